#include "MainWindow.h"

#include "AboutWindow.h"
#include "ErrorReport.h"
#include "MovieAdder.h"
#include "PlaybackControls.h"
#include "SearchDialog.h"
#include "SideBar.h"
#include "UrlDialog.h"
#include "app/core/PreviewTicks.h"
#include "app/core/StartMode.h"
#include "common/PathRules.h"
#include "common/WaveMute.h"

#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>


namespace lumo::app {

namespace {

constexpr int kClientWidth = 685;
constexpr int kClientHeight = 476;

} // namespace

MainWindow::MainWindow(EditorServices services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_presence(services.presence.claim(kMainWindowClass))
    , m_help({services.files, services.shell, services.dialogs.ask, services.dialogs.inform})
{
    setObjectName("LumoMainFrm");
    setAttribute(Qt::WA_AlwaysShowToolTips); // hints show whether or not the window is active
    setWindowTitle(QStringLiteral("Lumo ScreenSaver v1.0"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* central = new QWidget(this);
    central->setFixedSize(kClientWidth, kClientHeight);
    m_sideBar = new SideBar(central);
    m_sideBar->setGeometry(0, 0, 193, kClientHeight);

    auto* settings = new QGroupBox(QStringLiteral("Screensaver settings"), central);
    settings->setObjectName("ScreensaverSettings");
    settings->setGeometry(197, 0, kClientWidth - 201, kClientHeight - 4);
    m_sfp = new QFrame(settings);
    m_sfp->setObjectName("sfp");
    m_sfp->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_sfp->setGeometry(8, 20, 260, 200);
    m_view = m_services.views(m_sfp);
    m_view->widget()->setGeometry(m_sfp->contentsRect());
    auto* playback = new QGroupBox(QStringLiteral("Playback settings"), settings);
    playback->setObjectName("PlaybackSettings");
    playback->setGeometry(276, 14, settings->width() - 284, 212);
    m_playlist = new PlaylistPanel(*this, settings);
    m_playlist->setGeometry(0, 232, settings->width(), settings->height() - 232);
    m_playlist->FL()->setGeometry(8, 20, 305, 209);
    setCentralWidget(central);

    m_adder = new MovieAdder(m_services.files, *m_playlist, m_services.dialogs, this);
    connect(m_playlist->FL(), &PlaylistView::pathsDropped, m_adder, &MovieAdder::addDropped);
    buildMenus();
    m_playback = new PlaybackControls(
        m_controls, playback, m_playlist, m_viewMenu,
        {[this] { ApplyViewSettings(); }, [this](bool muted) { SetWaveMute(muted); }, [this] { timerChange(); }});
    m_viewMenu->addSeparator();
    QAction* preview = m_viewMenu->addAction(QStringLiteral("Preview"));
    preview->setObjectName("Preview1");
    preview->setShortcut(QKeySequence("Ctrl+P"));
    connect(preview, &QAction::triggered, this, [this] { Preview1Click(); });
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Creation, in order: the one-by-one position, the change timer at the interval box's design
    // value, the preview panel closed to input, the commands bound, then the stored settings.
    m_oneByOneIndex = 0;
    m_changeTimer = new QTimer(this);
    m_changeTimer->setObjectName("ChangeTimer");
    m_changeTimer->setInterval(EditorControls::intervalMs(m_controls.timer()));
    m_changeTimer->start();
    connect(m_changeTimer, &QTimer::timeout, this, [this] { ChangeTimerTick(); });
    m_sfp->setEnabled(false);
    m_sideBar->bind(1, [this] { m_adder->AddFileCommand(); });
    m_sideBar->bind(2, [this] { m_adder->AddFolderCommand(); });
    m_sideBar->bind(3, [this] { CreateScreenSaverCommand(); });
    m_sideBar->bind(4, [this] { barItem4Click(); });
    m_sideBar->bind(5, [this] { m_adder->AddWebsiteCommand(); });

    m_controls.setHandlers({
        .loopClick = [this] { m_playback->loopClick(); },
        .muteClick = [this] { m_playback->muteClick(); },
        .timerChange =
            [this] {
                timerChange();
                m_playback->refresh();
            },
        .moved = [this] { move(m_controls.left(), m_controls.top()); },
    });
    loadSettings();
}

MainWindow::~MainWindow()
{
    // The children go first, the view's widget among them (it is the view), while everything they
    // may still call is alive.
    (void)m_view.release();
    delete takeCentralWidget();
}

void MainWindow::buildMenus()
{
    const auto add = [this](QMenu* menu, const QString& name, const QString& text, const QKeySequence& key,
                            std::function<void()> command) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        if (!key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (command)
            connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    add(file, "Openoraddfiles1", "Open or add files", QKeySequence("Ctrl+O"), [this] { m_adder->AddFileCommand(); });
    add(file, "Addfolder1", "Add folder", QKeySequence("Ctrl+F"), [this] { m_adder->AddFolderCommand(); });
    add(file, "Addwebsite1", "Add website", QKeySequence("Ctrl+W"), [this] { m_adder->Addwebsite1Click(); });
    add(file, "Deleteselected1", "Delete selected", QKeySequence(Qt::Key_Delete), [this] { m_playlist->N2Click(); });
    add(file, "Clearfilelist1", "Clear file list", QKeySequence("Ctrl+Del"), [this] { m_playlist->N3Click(); });
    file->addSeparator();
    add(file, "CreateScreenSaver1", "Create ScreenSaver", {}, [this] { CreateScreenSaverCommand(); });
    file->addSeparator();
    add(file, "Exit1", "Exit", {}, [this] { close(); });
    m_viewMenu = menuBar()->addMenu(QStringLiteral("View"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    add(help, "Help2", "Help", QKeySequence(Qt::Key_F1), [this] { Help2Click(); });
    add(help, "Checkforupdates1", "Check for updates", {}, [this] { Checkforupdates1Click(); });
    help->addSeparator();
    add(help, "About1", "About", {}, [this] { About1Click(); });
}

void MainWindow::setPeers(Peers peers)
{
    m_peers = std::move(peers);
    m_adder->setDialogs(m_peers.url, m_peers.search);
}

void MainWindow::loadSettings()
{
    if (Status loaded = ReadSettings(m_services.registry, m_controls, m_programFolder); !loaded) {
        reportError(QString::fromStdString(loaded.message()));
        return;
    }
    m_playback->refresh();
    ApplyViewSettings();
    m_playback->checkQualityItem();
    SetWaveMute(m_controls.mute());
}

void MainWindow::SetWaveMute(bool muted)
{
    lumo::SetWaveMute(m_services.waveOut, muted);
}

void MainWindow::ApplyViewSettings()
{
    m_view->setLoop(m_controls.loop());
    m_view->setQuality2(EditorControls::qualityText(m_controls.qualityIndex()));
    m_view->setScale(EditorControls::scaleText(m_controls.scaleIndex()));
}

void MainWindow::PlayInPreview(const std::string& text)
{
    m_view->widget()->setGeometry(m_sfp->contentsRect());
    ApplyViewSettings();
    m_view->setBackgroundColor(-1);
    m_view->setBGColor("");
    m_view->setMovie(text);
    SetWaveMute(m_controls.mute());
}

void MainWindow::ClearPreview()
{
    m_view->stopPlay();
    m_view->setBackgroundColor(-1);
    m_view->setBGColor("");
    m_view->setMovie("0");
}

void MainWindow::timerChange()
{
    // An interval of 0 (typed, until the box loses the focus) never ticks.
    const int interval = EditorControls::intervalMs(m_controls.timer());
    if (interval == 0) {
        m_changeTimer->stop();
        m_changeTimer->setInterval(0);
        return;
    }
    if (m_changeTimer->interval() != interval || !m_changeTimer->isActive())
        m_changeTimer->start(interval);
}

void MainWindow::ChangeTimerTick()
{
    const int n = static_cast<int>(m_playlist->rows().size());
    if (const std::optional<int> row = app::ChangeTimerTick(m_controls, n, m_oneByOneIndex, processRandom()))
        PlayInPreview(m_playlist->rows()[static_cast<size_t>(*row)].text);
}

std::optional<ScreenHost::Row> MainWindow::selectedRow() const
{
    const int row = m_playlist->FL()->selectedRow();
    if (row < 0)
        return std::nullopt;
    const PlaylistRow& r = m_playlist->rows()[static_cast<size_t>(row)];
    return Row{r.text, r.checked};
}

Status MainWindow::saveListFiles()
{
    // The window may have been moved by the user since the settings were loaded.
    m_controls.notePosition(x(), y());
    return SaveListFiles(m_services.files, m_services.registry, m_programFolder, m_playlist->rows(), m_controls);
}

void MainWindow::barItem4Click()
{
    startPreview(true);
}

void MainWindow::Preview1Click()
{
    startPreview(false);
}

void MainWindow::startPreview(bool fromSideBar)
{
    if (Status saved = saveListFiles(); !saved) {
        reportError(QString::fromStdString(saved.message()));
        return;
    }
    ClearPreview();
    if (fromSideBar) {
        m_view->setBackgroundColor(-1);
        m_view->setBGColor("");
    }
    if (m_peers.screen)
        m_peers.screen->showFullScreenPlayer();
}

void MainWindow::AddEntry(const std::string& text, bool checked)
{
    m_playlist->AddEntry(text, checked);
}

void MainWindow::LoadListFile()
{
    Result<std::vector<PlaylistRow>> rows = app::LoadListFile(m_services.files, m_programFolder);
    if (!rows) {
        reportError(QString::fromStdString(rows.message()));
        return;
    }
    m_playlist->addEntries(*rows);
}

void MainWindow::createCreator()
{
    if (!m_creator && m_peers.makeCreator)
        m_creator = m_peers.makeCreator();
}

void MainWindow::CreateScreenSaverCommand()
{
    createCreator();
    if (!m_creator)
        return;
    if (m_creator->exec() != QDialog::Accepted)
        return; // the Creator keeps all it holds for the next use
    // The build removed its own staging folder already; nothing else in the temporary folder is ours.
    m_creator.reset();
}

void MainWindow::Help2Click()
{
    openHelp(this);
}

void MainWindow::openHelp(QWidget* owner)
{
    m_help.open(owner, m_programFolder);
}

void MainWindow::Checkforupdates1Click()
{
    if (!m_services.shell.open(kMakerWebSite))
        m_services.dialogs.inform(this, QStringLiteral("No web browser could be started to show %1.")
                                            .arg(QString::fromLatin1(kMakerWebSite)));
}

void MainWindow::About1Click()
{
    if (m_peers.about)
        m_peers.about->About1Click(this);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        LoadListFile();
    }
}

void MainWindow::FormCloseQuery(bool& canClose)
{
    if (Status saved = saveListFiles(); !saved) {
        // Never lose the playlist without a word: the user decides whether to close all the same.
        const QString message = QString::fromStdString(saved.message());
        canClose = m_services.dialogs.closeWithoutSaving ? m_services.dialogs.closeWithoutSaving(this, message) : true;
        if (!m_services.dialogs.closeWithoutSaving)
            reportError(message);
        return;
    }
    SetWaveMute(false);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

} // namespace lumo::app
