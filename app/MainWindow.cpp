#include "MainWindow.h"

#include "AboutWindow.h"
#include "ErrorReport.h"
#include "MovieAdder.h"
#include "SearchDialog.h"
#include "SideBar.h"
#include "UrlDialog.h"
#include "app/core/StartMode.h"
#include "common/DeleteFolderTree.h"
#include "common/PathRules.h"
#include "common/TempFolder.h"
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

constexpr int kMinute = 60000;
constexpr int kClientWidth = 685;
constexpr int kClientHeight = 476;

} // namespace

MainWindow::MainWindow(EditorServices services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_presence(services.presence.claim(kMainWindowClass))
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
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Creation, in order: the one-by-one position, the change timer at the interval box's design
    // value, the preview panel closed to input, the commands bound, then the stored settings.
    m_oneByOneIndex = 0;
    m_changeTimer = new QTimer(this);
    m_changeTimer->setObjectName("ChangeTimer");
    m_changeTimer->setInterval(m_controls.timer() * kMinute);
    m_changeTimer->start();
    m_sfp->setEnabled(false);
    m_sideBar->bind(1, [this] { m_adder->AddFileCommand(); });
    m_sideBar->bind(2, [this] { m_adder->AddFolderCommand(); });
    m_sideBar->bind(3, [this] { CreateScreenSaverCommand(); });
    m_sideBar->bind(5, [this] { m_adder->AddWebsiteCommand(); });

    m_controls.setHandlers({
        .loopClick = {},
        .muteClick = [this] { SetWaveMute(m_controls.mute()); },
        .timerChange = [this] { timerChange(); },
        .moved = [this] { move(m_controls.left(), m_controls.top()); },
    });
    loadSettings();
}

MainWindow::~MainWindow() = default;

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
    ApplyViewSettings();
    SetWaveMute(m_controls.mute());
}

void MainWindow::SetWaveMute(bool muted)
{
    lumo::SetWaveMute(m_services.waveOut, muted);
}

void MainWindow::ApplyViewSettings()
{
    static const char* const scales[] = {"ShowAll", "NoBorder", "ExactFit", "NoScale"};
    static const char* const qualities[] = {"Low", "High"};
    m_view->setLoop(m_controls.loop());
    const int quality = m_controls.qualityIndex();
    m_view->setQuality2(quality >= 0 && quality < EditorControls::kQualityItems ? qualities[quality] : "");
    const int scale = m_controls.scaleIndex();
    m_view->setScale(scale >= 0 && scale < EditorControls::kScaleItems ? scales[scale] : "");
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
    const int interval = m_controls.timer() * kMinute;
    if (m_changeTimer->interval() != interval)
        m_changeTimer->start(interval);
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
    m_creator.reset();
    const std::string stagingRoot = joinHostPath(temporaryFolder(m_services.environment), "FS") + "/";
    DeleteFolderTree(m_services.files, stagingRoot, true, false, true);
}

void MainWindow::Help2Click()
{
    // The help document travels inside the program and is put beside the list files when missing.
    const std::string placed = joinHostPath(m_programFolder, "Help.chm");
    QFile carried(QStringLiteral(":/lumo/Help.chm"));
    if (!m_services.files.exists(placed) && carried.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = carried.readAll();
        // A failure shows as the shell's failure to open it, which is not reported either.
        (void)m_services.files.writeFileAtomically(placed, std::string_view(bytes.constData(), bytes.size()));
    }
    m_services.shell.open("Help.chm", "", m_programFolder);
}

void MainWindow::Checkforupdates1Click()
{
    m_services.shell.open(kMakerWebSite);
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
    // The window may have been moved by the user since the settings were loaded.
    m_controls.notePosition(x(), y());
    if (Status saved
        = SaveListFiles(m_services.files, m_services.registry, m_programFolder, m_playlist->rows(), m_controls);
        !saved) {
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
