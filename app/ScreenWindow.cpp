#include "ScreenWindow.h"

#include "app/core/EditorControls.h"
#include "app/core/SettingsStore.h"
#include "common/ListFile.h"
#include "common/PathRules.h"
#include "common/WaveMute.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>

namespace lumo::app {

namespace {

constexpr std::string_view kWindowClass = "TLumoScreenFrm";
constexpr int kMinute = 60000;

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

void ScreenWindow::showEvent(QShowEvent* event)
{
    if (!m_claim)
        m_claim = m_services.presence.claim(kWindowClass);
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void ScreenWindow::FormShow()
{
    // 1. The settings, with this player's own defaults, and the mute flag.
    Result<StoredSettings> read = readPlayerSettings(m_services.registry);
    const StoredSettings settings = read ? *read : StoredSettings::fullScreenPlayerDefaults();
    m_random = settings.rnd;
    m_oneByOne = settings.one;
    if (m_host)
        m_host->SetWaveMute(settings.mute);
    // 2 to 5: the draws start afresh, the pointer's place is noted, input is watched, the pointer hidden.
    m_sequence.restart();
    m_start = QCursor::pos();
    if (!m_filtering) {
        qApp->installEventFilter(this);
        m_filtering = true;
        QApplication::setOverrideCursor(Qt::BlankCursor);
    }
    // 6. PlayList.list, when there is one.
    m_playList.clear();
    if (m_host) {
        const std::string path = joinHostPath(m_host->listFolder(), "PlayList.list");
        if (m_services.files.exists(path))
            if (Result<std::vector<std::string>> lines = readListFile(m_services.files, path))
                m_playList = *lines;
    }
    // 7, 8: play, the main window's selected checked row first when it shows one.
    m_view->play();
    if (!m_playList.empty()) {
        const std::optional<ScreenHost::Row> row
            = m_host && m_host->mainShowing() ? m_host->selectedRow() : std::nullopt;
        PlayMov(row && row->checked ? row->text : m_playList.front());
    }
    // 9, 10, 11: the interval, then quality, loop and scale, then the timer from position 0.
    m_timer->setInterval(settings.timer * kMinute);
    m_view->setQuality2(settings.quality == 0 ? "Low" : "High");
    m_view->setLoop(settings.loop);
    if (const std::string scale = EditorControls::scaleText(settings.scale); !scale.empty())
        m_view->setScale(scale); // any other value leaves the view's scale as it was
    if (settings.timer > 0) // an interval of 0 never fires
        m_timer->start();
}

void ScreenWindow::PlayMov(const std::string& location)
{
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
    // Real input only. Activation is left out: window systems activate windows on their own (the
    // player's own showing among them), and a player that closes on that is gone before it starts.
    if (!m_filtering || !isVisible() || !event->spontaneous())
        return false;
    bool closes = false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        closes = true;
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
    setFocus();
}

} // namespace lumo::app
