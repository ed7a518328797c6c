#include "ScreenWindow.h"

#include "app/core/EditorControls.h"
#include "app/core/SettingsStore.h"
#include "common/ListFile.h"
#include "common/PathRules.h"
#include "common/Text.h"
#include "common/WaveMute.h"
#include "playback/MovieLocation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

namespace lumo::app {

namespace {

constexpr std::string_view kWindowClass = "TLumoScreenFrm";
constexpr int kHintMs = 4000; // how long a hint stays

} // namespace

ScreenWindow::ScreenWindow(Services services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_services(std::move(services))
    , m_sequence(processRandom())
{
    setObjectName("LumoScreenFrm");
    setWindowTitle(QStringLiteral("Lumo ScreenSaver"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    setMouseTracking(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = m_services.views(this);
    layout->addWidget(m_view->widget());
    // Panel1 is disabled while the player runs: the movie takes no input of its own.
    m_view->widget()->setEnabled(false);
    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    connect(m_timer, &QTimer::timeout, this, &ScreenWindow::NextMov);

    // The hint sits over the movie, in the middle; it takes no input.
    m_hint = new QLabel(this);
    m_hint->setObjectName("Hint");
    m_hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setWordWrap(true);
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->setStyleSheet(QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 170); padding: 14px; "
                                         "border-radius: 8px; font-size: 16pt; }"));
    m_hint->hide();
    m_hintTimer = new QTimer(this);
    m_hintTimer->setSingleShot(true);
    m_hintTimer->setInterval(kHintMs);
    connect(m_hintTimer, &QTimer::timeout, m_hint, &QWidget::hide);
}

ScreenWindow::~ScreenWindow()
{
    if (m_filtering)
        qApp->removeEventFilter(this);
}

void ScreenWindow::showFullScreenPlayer()
{
    // The screen it starts on: the one under the pointer.
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos()))
        setGeometry(screen->geometry());
    showFullScreen();
    raise();
    activateWindow();
}

void ScreenWindow::playInside(WId window, std::function<std::optional<QSize>()> windowSize)
{
    m_embedded = true;
    m_hostSize = std::move(windowSize);
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    if (const std::optional<QSize> size = m_hostSize())
        setGeometry(0, 0, size->width(), size->height());
    // The engine joins first: joining later would build the native window anew, outside the host's.
    m_view->prepare();
    winId(); // the native window, to be put into the host's
    windowHandle()->setParent(QWindow::fromWinId(window));
    windowHandle()->setPosition(0, 0);
    // The daemon resizes its window (the settings preview, a monitor that changes) without telling.
    m_follow = new QTimer(this);
    m_follow->setInterval(250);
    connect(m_follow, &QTimer::timeout, this, [this] {
        const std::optional<QSize> size = m_hostSize();
        if (!size) {
            QCoreApplication::exit(0); // the window went: so does the saver
            return;
        }
        if (*size != this->size())
            setGeometry(0, 0, size->width(), size->height());
    });
    m_follow->start();
    windowHandle()->show();
}

void ScreenWindow::showEvent(QShowEvent* event)
{
    if (!m_claim && !m_embedded)
        m_claim = m_services.presence.claim(kWindowClass);
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void ScreenWindow::FormShow()
{
    m_shown.start();
    m_hint->hide();
    QStringList problems;
    // 1. The settings, with this player's own defaults, and the mute flag. Settings that cannot be
    // read are said, and the defaults play.
    Result<StoredSettings> read = readPlayerSettings(m_services.registry);
    if (!read)
        problems << QString::fromStdString(read.message());
    const StoredSettings settings = read ? *read : StoredSettings::fullScreenPlayerDefaults();
    m_random = settings.rnd;
    m_oneByOne = settings.one;
    if (m_host)
        m_host->SetWaveMute(settings.mute);
    // 2 to 5: the draws start afresh, the pointer's place is noted, input is watched, the pointer hidden.
    m_sequence.restart();
    m_start = QCursor::pos();
    if (!m_filtering && !m_embedded) {
        qApp->installEventFilter(this);
        m_filtering = true;
        QApplication::setOverrideCursor(Qt::BlankCursor);
    }
    // 6. PlayList.list, when there is one; one that cannot be read is said, and plays as empty.
    m_playList.clear();
    if (m_host) {
        const std::string path = joinHostPath(m_host->listFolder(), "PlayList.list");
        if (m_services.files.exists(path)) {
            if (Result<std::vector<std::string>> lines = readListFile(m_services.files, path))
                m_playList = *lines;
            else
                problems << QString::fromStdString(lines.message());
        }
    }
    // 7, 8: play, the main window's selected checked row first when it shows one.
    m_view->play();
    if (!m_playList.empty()) {
        const std::optional<ScreenHost::Row> row
            = m_host && m_host->mainShowing() ? m_host->selectedRow() : std::nullopt;
        PlayMov(row && row->checked ? row->text : m_playList.front());
    } else {
        problems << QStringLiteral("No checked movies to play");
    }
    // 9, 10, 11: the interval, then quality, loop and scale, then the timer from position 0.
    const int interval = EditorControls::intervalMs(settings.timer);
    m_timer->setInterval(interval);
    m_view->setQuality2(settings.quality == 0 ? "Low" : "High");
    m_view->setLoop(settings.loop);
    if (const std::string scale = EditorControls::scaleText(settings.scale); !scale.empty())
        m_view->setScale(scale); // any other value leaves the view's scale as it was
    if (interval > 0) // an interval of 0 never fires
        m_timer->start();
    if (!problems.isEmpty()) {
        for (const QString& problem : problems)
            qWarning().noquote() << "lumo:" << problem;
        showHint(problems.join('\n') + (m_hint->isVisible() ? '\n' + m_hint->text() : QString()));
    }
}

void ScreenWindow::showHint(const QString& text)
{
    m_hint->setText(text);
    const int width = std::min(this->width() * 3 / 4, 900);
    m_hint->setFixedWidth(std::max(width, 200));
    m_hint->adjustSize();
    m_hint->move((this->width() - m_hint->width()) / 2, (height() - m_hint->height()) / 2);
    m_hint->raise();
    m_hint->show();
    m_hintTimer->start();
}

QString ScreenWindow::hint() const
{
    return m_hint->isVisible() ? m_hint->text() : QString();
}

void ScreenWindow::PlayMov(const std::string& location)
{
    // The view shows black for what it cannot play, as the control does; the user is told which.
    if (playback::classifyLocation(QString::fromStdString(location)) == playback::LocationKind::Nothing)
        showHint(QStringLiteral("Cannot show %1").arg(QString::fromStdString(escapedForDisplay(location))));
    m_view->setBackgroundColor(-1);
    m_view->setBGColor("");
    m_view->setMovie(location);
}

void ScreenWindow::NextMov()
{
    for (std::uint32_t entry : m_sequence.next(static_cast<std::uint32_t>(m_playList.size()), m_random, m_oneByOne))
        PlayMov(m_playList[entry]);
}

bool ScreenWindow::eventFilter(QObject*, QEvent* event)
{
    // Real input only. A key release, or a press the keyboard repeats, belongs to a key held down
    // before the player started (the shortcut that opened it): only a new press closes.
    if (!m_filtering || !isVisible() || !event->spontaneous())
        return false;
    bool closes = false;
    switch (event->type()) {
    case QEvent::KeyPress:
        closes = !static_cast<QKeyEvent*>(event)->isAutoRepeat();
        break;
    case QEvent::MouseButtonPress: {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        closes = button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
        break;
    }
    case QEvent::MouseMove: {
        // Compared on the screen, so the tolerance means the same on every monitor.
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        closes = std::abs(at.x() - m_start.x()) > 5 || std::abs(at.y() - m_start.y()) > 5;
        break;
    }
    default:
        break;
    }
    if (closes)
        close(); // the event goes on to its own handling all the same
    return false;
}

void ScreenWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Gaining the keyboard never closes the player. Losing it to another window would send the
    // user's keys to a window they cannot see: right after showing, while the window system still
    // shuffles, the player takes the keyboard back; later it closes.
    if (event->type() != QEvent::ActivationChange || !m_filtering || m_embedded || !isVisible() || isActiveWindow())
        return;
    QWidget* other = QApplication::activeWindow();
    if (!other || other == this)
        return;
    if (m_shown.isValid() && m_shown.elapsed() < m_settlingMs) {
        raise();
        activateWindow();
        return;
    }
    close();
}

void ScreenWindow::closeEvent(QCloseEvent* event)
{
    FormCloseQuery();
    event->accept();
}

void ScreenWindow::FormCloseQuery()
{
    m_view->stopPlay();
    m_view->stop();
    const bool mainShowing = m_host && m_host->mainShowing();
    if (mainShowing)
        if (const std::optional<ScreenHost::Row> row = m_host->selectedRow())
            m_host->PlayInPreview(row->text);
    m_view->setMovie("0");
    if (m_filtering) {
        qApp->removeEventFilter(this);
        m_filtering = false;
        QApplication::restoreOverrideCursor();
    }
    if (m_host)
        m_host->SetWaveMute(mainShowing && m_host->muteChecked());
    m_timer->stop();
}

void ScreenWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The focus routine: the window keeps the keyboard, the disabled movie never takes it.
    if (!m_embedded)
        setFocus();
}

void ScreenWindow::setVisible(bool visible)
{
    playback::prepareBeforeFirstShow(*this, *m_view, visible);
    QWidget::setVisible(visible);
}

} // namespace lumo::app
