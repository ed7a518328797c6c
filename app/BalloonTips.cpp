#include "BalloonTips.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumo::app {

namespace {

class Balloon : public QWidget {
public:
    Balloon()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
    {
        setObjectName("BalloonTip");
        auto* outer = new QVBoxLayout(this);
        outer->setContentsMargins(12, 10, 10, 12);
        auto* head = new QHBoxLayout;
        auto* icon = new QLabel(this);
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16));
        auto* title = new QLabel(QStringLiteral("Lumo ScreenSaver v1.0"), this);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        auto* close = new QToolButton(this);
        close->setText(QStringLiteral("\u2715"));
        close->setAutoRaise(true);
        connect(close, &QToolButton::clicked, this, &QWidget::hide);
        head->addWidget(icon);
        head->addWidget(title);
        head->addStretch();
        head->addWidget(close);
        outer->addLayout(head);
        m_text = new QLabel(this);
        m_text->setObjectName("BalloonText");
        outer->addWidget(m_text);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
    }

    void showText(const QPoint& at, const QString& text)
    {
        m_text->setText(text);
        adjustSize();
        move(at + QPoint(-16, 18));
        show();
        m_timer.start(8000);
    }

protected:
    // A rounded body with a stem pointing up at the pointer; a mask, not translucency, cuts it out,
    // so it looks the same with or without a compositing window manager.
    QPainterPath shape() const
    {
        QPainterPath body;
        body.addRoundedRect(QRectF(rect()).adjusted(0, 8, -1, -1), 8, 8);
        QPainterPath stem;
        stem.moveTo(14, 9);
        stem.lineTo(16, 0);
        stem.lineTo(28, 9);
        return body.united(stem);
    }
    void resizeEvent(QResizeEvent*) override { setMask(QRegion(shape().toFillPolygon().toPolygon())); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(shape(), QColor(255, 255, 225));
        p.setPen(QColor(90, 90, 90));
        p.drawPath(shape());
    }

private:
    QLabel* m_text = nullptr;
    QTimer m_timer;
};

QPointer<Balloon> g_balloon;

} // namespace

void BalloonTips::install()
{
    static BalloonTips* tips = nullptr;
    if (tips)
        return;
    tips = new BalloonTips(qApp);
    qApp->installEventFilter(tips);
}

bool BalloonTips::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const QString text = widget ? widget->toolTip() : QString();
        if (text.isEmpty())
            return false; // item views give their own tips
        if (!g_balloon)
            g_balloon = new Balloon;
        g_balloon->showText(static_cast<QHelpEvent*>(event)->globalPos(), text);
        return true;
    }
    if (g_balloon && g_balloon->isVisible()
        && (event->type() == QEvent::Leave || event->type() == QEvent::MouseButtonPress))
        g_balloon->hide();
    return QObject::eventFilter(watched, event);
}

} // namespace lumo::app
