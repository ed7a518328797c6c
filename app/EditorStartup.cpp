#include "EditorStartup.h"

#include "AboutWindow.h"
#include "BalloonTips.h"
#include "ErrorReport.h"
#include "MainWindow.h"
#include "MovieAdder.h"
#include "SaverMode.h"
#include "ScreenWindow.h"
#include "SearchDialog.h"
#include "UrlDialog.h"
#include "app/core/ListFolderSeed.h"
#include "app/core/OsRelease.h"
#include "common/PathRules.h"
#include "creator/CreatorPreviewWindow.h"
#include "creator/CreatorWindow.h"
#include "playback/RuffleMovieView.h"
#include "playback/ViewEngine.h"

#include <QApplication>
#include <QIcon>

#include <algorithm>
#include <cstdio>

namespace lumo::app {

EditorWindows::EditorWindows(EditorMode mode, EditorServices services)
    : m_mode(mode)
{
    const formats::StorageServices storage{services.files, services.environment, services.registry};
    for (const EditorWindow which : windowOrder(mode)) {
        std::unique_ptr<QWidget> window;
        switch (which) {
        case EditorWindow::MainWindow: {
            auto main = std::make_unique<MainWindow>(services);
            m_main = main.get();
            window = std::move(main);
            break;
        }
        case EditorWindow::ScreenPlayer:
            window = std::make_unique<ScreenWindow>(
                ScreenWindow::Services{services.presence, services.registry, services.files, services.views});
            break;
        case EditorWindow::Creator:
            // Owned by the main window, which makes it anew after a run that ends with OK.
            m_windows.emplace_back(which, nullptr);
            continue;
        case EditorWindow::About:
            window = std::make_unique<AboutWindow>(services.shell, services.dialogs.inform);
            break;
        case EditorWindow::UrlDialog:
            window = std::make_unique<UrlDialog>();
            break;
        case EditorWindow::CreatorPreview:
            window = std::make_unique<creator::CreatorPreviewWindow>(services.views);
            break;
        case EditorWindow::SearchDialog:
            window = std::make_unique<SearchDialog>();
            break;
        }
        // Only the leading window ends the program when it closes.
        window->setAttribute(Qt::WA_QuitOnClose, m_windows.empty());
        m_windows.emplace_back(which, std::move(window));
    }
    auto* about = static_cast<AboutWindow*>(window(EditorWindow::About));
    about->setSources({[files = &services.files] {
                           for (const char* path : {"/etc/os-release", "/usr/lib/os-release"})
                               if (Result<std::string> text = files->readFile(path))
                                   return prettyNameOf(*text);
                           return std::string();
                       },
                       [main = m_main] { return main->preview().flashVersion(); },
                       [main = m_main] { return main->preview().engineName(); }});
    auto* screen = static_cast<ScreenWindow*>(window(EditorWindow::ScreenPlayer));
    screen->setHost(m_main);
    auto* url = static_cast<UrlDialog*>(window(EditorWindow::UrlDialog));
    auto* search = static_cast<SearchDialog*>(window(EditorWindow::SearchDialog));
    auto* preview = static_cast<creator::CreatorPreviewWindow*>(window(EditorWindow::CreatorPreview));
    MainWindow* main = m_main;
    const creator::CreatorServices creatorServices{
        storage,
        services.shell,
        services.views,
        preview,
        [main](QWidget* owner) { main->openHelp(owner); },
        [url](QWidget*) -> std::optional<QString> {
            if (url->exec() != QDialog::Accepted)
                return std::nullopt;
            return url->text();
        },
        [search](QWidget* owner) { search->showFor(owner); },
        [search] { search->hide(); },
        services.dialogs.chooseFile,
        services.dialogs.chooseWizardFolder,
        services.dialogs.ask,
        services.dialogs.inform,
        [](const QString& text) { reportError(text); },
        services.web,
        services.recorder,
    };
    m_main->setPeers({about, url, search, screen, [creatorServices, search] {
                          auto creator = std::make_unique<creator::CreatorWindow>(creatorServices);
                          creator->setAttribute(Qt::WA_QuitOnClose, false);
                          QObject::connect(search, &SearchDialog::cancelRequested, creator.get(),
                                           &creator::CreatorWindow::requestAbort);
                          return std::unique_ptr<QDialog>(std::move(creator));
                      }});
    // The Creator exists from start-up on, as the other windows do.
    m_main->createCreator();
}

EditorWindows::~EditorWindows()
{
    // The Creator first: it works with the windows created after it.
    if (m_main)
        m_main->dropCreator();
    // Destroyed in reverse order of creation, without their close handlers.
    while (!m_windows.empty())
        m_windows.pop_back();
}

QWidget* EditorWindows::window(EditorWindow which) const
{
    if (which == EditorWindow::Creator)
        return m_main ? m_main->creator() : nullptr;
    for (const auto& [kind, window] : m_windows)
        if (kind == which)
            return window.get();
    return nullptr;
}

void EditorWindows::showLeading()
{
    if (m_mode == EditorMode::Screensaver)
        static_cast<ScreenWindow*>(leading())->showFullScreenPlayer();
    else if (QWidget* first = leading())
        first->show();
}

int runEditor(int argc, char** argv)
{
    EditorServices services = EditorServices::host();
    services.views = playback::ruffleViews(services.waveOut);
    // A screensaver daemon's saver: inside the window it gives, beside whatever else runs.
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const std::string program = argc > 0 ? fileNameOf(argv[0], PathSyntax::Host) : std::string();
    const Result<std::optional<SaverTarget>> saver
        = saverTarget(arguments, services.environment.variable("XSCREENSAVER_WINDOW"), program == "lumo-saver");
    if (!saver) {
        std::fprintf(stderr, "lumo: %s\n", saver.message().c_str());
        return 1;
    }
    if (*saver)
        return runSaver(**saver, services, argc, argv);
    // A running copy that holds both windows blocks the start, silently.
    if (startBlocked(services.presence))
        return 0;
    const std::optional<std::string> firstArgument = argc > 1 ? std::optional<std::string>(argv[1]) : std::nullopt;
    const EditorMode mode = decideEditorMode(firstArgument);
    if (mode == EditorMode::EndAtOnce)
        return 0;

    playback::prepareViewEngine();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumo ScreenSaver"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/lumo/lumo.png")));
    BalloonTips::install();

    if (Status seeded = seedListFolder(services.registry, services.files, defaultListFolder(services.environment));
        !seeded)
        reportError(QString::fromStdString(seeded.message()));

    EditorWindows windows(mode, services);
    windows.showLeading();
    // Files from a file manager's "Open with" join the playlist the main window has just read. The
    // first argument's own modes (/c and its window) are no file.
    if (mode == EditorMode::Editor && windows.mainWindow()) {
        QStringList files;
        for (int i = 1; i < argc; ++i)
            if (i > 1 || !isSettingsRequest(argv[i]))
                files << QString::fromLocal8Bit(argv[i]);
        windows.mainWindow()->adder().addOpened(files);
    }
    return QApplication::exec();
}

} // namespace lumo::app
