#include "MainWindow.h"

#include "ErrorReport.h"
#include "app/core/StartMode.h"
#include "common/WaveMute.h"

#include <QCloseEvent>
#include <QFrame>
#include <QTimer>
#include <QVBoxLayout>

namespace lumo::app {

namespace {
constexpr int kMinute = 60000;
}

MainWindow::MainWindow(EditorServices services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_presence(services.presence.claim(kMainWindowClass))
{
    setObjectName("LumoMainFrm");
    setWindowTitle(QStringLiteral("Lumo ScreenSaver v1.0"));
    setFixedSize(685, 476);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_sfp = new QFrame(central);
    m_sfp->setObjectName("sfp");
    m_sfp->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(m_sfp);
    setCentralWidget(central);

    // Creation, in order: the one-by-one position, the change timer at the interval box's design
    // value, the preview panel closed to input, then the stored settings.
    m_oneByOneIndex = 0;
    m_changeTimer = new QTimer(this);
    m_changeTimer->setObjectName("ChangeTimer");
    m_changeTimer->setInterval(m_controls.timer() * kMinute);
    m_changeTimer->start();
    m_sfp->setEnabled(false);

    m_controls.setHandlers({
        .loopClick = {},
        .muteClick = [this] { SetWaveMute(m_controls.mute()); },
        .timerChange = [this] { timerChange(); },
        .moved = [this] { move(m_controls.left(), m_controls.top()); },
    });
    loadSettings();
}

MainWindow::~MainWindow() = default;

void MainWindow::loadSettings()
{
    if (Status loaded = ReadSettings(m_services.registry, m_controls, m_programFolder); !loaded) {
        reportError(QString::fromStdString(loaded.message()));
        return;
    }
    SetWaveMute(m_controls.mute());
}

void MainWindow::SetWaveMute(bool muted)
{
    lumo::SetWaveMute(m_services.waveOut, muted);
}

void MainWindow::timerChange()
{
    const int interval = m_controls.timer() * kMinute;
    if (m_changeTimer->interval() != interval)
        m_changeTimer->start(interval);
}

void MainWindow::AddEntry(const std::string& text, bool checked)
{
    m_rows.push_back({text, checked});
}

void MainWindow::LoadListFile()
{
    Result<std::vector<PlaylistRow>> rows = app::LoadListFile(m_services.files, m_programFolder);
    if (!rows) {
        reportError(QString::fromStdString(rows.message()));
        return;
    }
    for (const PlaylistRow& row : *rows)
        AddEntry(row.text, row.checked);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        LoadListFile();
    }
}

void MainWindow::FormCloseQuery()
{
    // The window may have been moved by the user since the settings were loaded.
    m_controls.notePosition(x(), y());
    if (Status saved = SaveListFiles(m_services.files, m_services.registry, m_programFolder, m_rows, m_controls);
        !saved) {
        reportError(QString::fromStdString(saved.message()));
        return;
    }
    SetWaveMute(false);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A failed save is reported and the window still closes: nothing the user can do here would
    // make the save succeed, and keeping the editor from closing would only trap them.
    FormCloseQuery();
    event->accept();
}

} // namespace lumo::app
