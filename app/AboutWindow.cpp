#include "AboutWindow.h"

#include <algorithm>

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace lumo::app {

namespace {

QLabel* label(QWidget* parent, const QString& text, int left, int top)
{
    auto* l = new QLabel(text, parent);
    QFont font = l->font();
    font.setPointSize(8);
    l->setFont(font);
    l->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    l->move(left, top);
    return l;
}

} // namespace

AboutWindow::AboutWindow(platform::Shell& shell, std::function<void(QWidget* owner, const QString& text)> inform,
                         QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_shell(shell)
    , m_inform(std::move(inform))
{
    setObjectName("Form5");
    setWindowTitle(QStringLiteral("About Lumo ScreenSaver v1.0"));
    setFixedSize(508, 281);
    // The values stand a space after the widest caption, whatever the font.
    QLabel* captions[] = {label(this, QStringLiteral("Operating System:"), 8, 160),
                          label(this, QStringLiteral("Adobe Flash:"), 8, 176),
                          label(this, QStringLiteral("Web Site:"), 8, 192),
                          label(this, QStringLiteral("Support e-mail:"), 8, 208)};
    m_flashCaption = captions[1];
    m_flashCaption->setText(QStringLiteral("Flash player:")); // the wider of its two captions
    int valueLeft = 0;
    for (QLabel* caption : captions) {
        caption->adjustSize();
        valueLeft = std::max(valueLeft, 8 + caption->width() + caption->fontMetrics().horizontalAdvance(' '));
    }
    m_label5 = label(this, {}, valueLeft, 160);
    m_label6 = label(this, {}, valueLeft, 176);
    m_label9 = label(this, {}, valueLeft, 192);
    m_label10 = label(this, {}, valueLeft, 208);
    m_label5->setObjectName("Label5");
    m_label6->setObjectName("Label6");
    m_label9->setObjectName("Label9");
    m_label10->setObjectName("Label10");
    for (QLabel* link : {m_label9, m_label10}) {
        link->setCursor(Qt::PointingHandCursor);
        link->installEventFilter(this);
    }
}

void AboutWindow::About1Click(QWidget* owner)
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    if (owner)
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    show();
}

void AboutWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_label5->setText(m_sources.productName ? QString::fromStdString(m_sources.productName()) : QString());
    // A Flash control tells its major version; another engine (Ruffle on Linux) its name and version.
    const std::string engine = m_sources.engineName ? m_sources.engineName() : std::string();
    m_flashCaption->setText(engine.empty() ? QStringLiteral("Adobe Flash:") : QStringLiteral("Flash player:"));
    m_flashCaption->adjustSize();
    m_label6->setText(!engine.empty()             ? QString::fromStdString(engine)
                          : m_sources.flashVersion ? QString::number(m_sources.flashVersion() / 65536)
                                                   : QString());
    m_label9->setText(QString::fromLatin1(kMakerWebSite));
    m_label10->setText(QString::fromLatin1(kMakerSupportEmail));
    for (QLabel* l : {m_label5, m_label6, m_label9, m_label10})
        l->adjustSize();
}

void AboutWindow::paintEvent(QPaintEvent*)
{
    // The picture: the product's mark and name on a dark red ground.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, height());
    ground.setColorAt(0, QColor(120, 16, 24));
    ground.setColorAt(1, QColor(60, 6, 12));
    p.fillRect(rect(), ground);
    const QRectF mark(28, 30, 96, 96);
    p.setPen(QPen(Qt::white, 8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(mark.adjusted(6, 6, -6, -6));
    QPainterPath play;
    play.moveTo(mark.left() + 40, mark.top() + 28);
    play.lineTo(mark.left() + 40, mark.bottom() - 28);
    play.lineTo(mark.right() - 26, mark.center().y());
    play.closeSubpath();
    p.fillPath(play, Qt::white);
    // The name in the largest size up to 26 points that fits its place.
    QFont title = font();
    title.setBold(true);
    for (int size = 26; size > 8; --size) {
        title.setPointSize(size);
        if (QFontMetricsF(title).horizontalAdvance(QStringLiteral("Lumo ScreenSaver")) <= 356)
            break;
    }
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(140, 40, 360, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lumo ScreenSaver"));
    QFont version = font();
    version.setPointSize(11);
    p.setFont(version);
    p.setPen(QColor(255, 210, 210));
    p.drawText(QRectF(142, 88, 360, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version 1.0 \u2014 Flash movies as screensavers"));
}

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        hide(); // as a click on the picture does
    else
        QWidget::keyPressEvent(event);
}

void AboutWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        hide(); // Image1Click
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A press on a link is the link's, not a click on the picture that would close the window.
    if (event->type() == QEvent::MouseButtonPress && (watched == m_label9 || watched == m_label10))
        return true;
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_label9) {
            if (!m_shell.open(kMakerWebSite)) // Label9Click
                m_inform(this,
                         QStringLiteral("No web browser could be started to show %1.")
                             .arg(QString::fromLatin1(kMakerWebSite)));
            return true;
        }
        if (watched == m_label10) {
            if (!m_shell.open(std::string("mailto:") + kMakerSupportEmail)) // Label10Click
                m_inform(this,
                         QStringLiteral("No mail program could be started to write to %1.")
                             .arg(QString::fromLatin1(kMakerSupportEmail)));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lumo::app
