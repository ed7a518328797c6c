#include "SaverMode.h"

#include "ScreenWindow.h"

#include "app/core/ListFolderSeed.h"
#include "app/core/SettingsStore.h"
#include "common/WaveMute.h"
#include "platform/posix/TerminationSignal.h"
#include "platform/posix/X11Display.h"
#include "playback/RuffleMovieView.h"
#include "playback/ViewEngine.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>

namespace lumo::app {

namespace {

// What the player would ask the main window, which a saver does not have.
class SaverHost final : public ScreenHost {
public:
    SaverHost(platform::WaveOut& waveOut, std::string listFolder)
        : m_waveOut(waveOut)
        , m_listFolder(std::move(listFolder))
    {
    }
    bool mainShowing() const override { return false; }
    std::optional<Row> selectedRow() const override { return std::nullopt; }
    bool muteChecked() const override { return false; }
    void PlayInPreview(const std::string&) override { }
    void SetWaveMute(bool muted) override { lumo::SetWaveMute(m_waveOut, muted); }
    std::string listFolder() const override { return m_listFolder; }

private:
    platform::WaveOut& m_waveOut;
    std::string m_listFolder;
};

int fail(const std::string& message)
{
    std::fprintf(stderr, "lumo: %s\n", message.c_str());
    return 1;
}

std::string hex(std::uint32_t window)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", window);
    return text;
}

} // namespace

int runSaver(const SaverTarget& target, EditorServices& services, int argc, char** argv)
{
    const int terminated = platform::terminationDescriptor(); // before the web engine's threads
    Result<std::unique_ptr<platform::X11Display>> display = platform::X11Display::open();
    if (!display)
        return fail(display.message());
    const std::uint32_t window = target.root ? (*display)->rootWindow() : target.window;
    if (!(*display)->size(window))
        return fail(hex(window) + " is not a window on this X display");
    // The daemon's window is an X window, whatever else the session runs.
    qputenv("QT_QPA_PLATFORM", "xcb");
    playback::prepareViewEngine(display->get());
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumo ScreenSaver"));

    // The list folder as the editor knows it; nothing is seeded or written.
    Result<std::string> folder
        = SettingsReader(services.registry).text("Path", defaultListFolder(services.environment));
    SaverHost host(services.waveOut, folder ? *folder : defaultListFolder(services.environment));
    ScreenWindow player({services.presence, services.registry, services.files, services.views});
    player.setHost(&host);
    QSocketNotifier ended(terminated, QSocketNotifier::Read);
    // exit, not quit: quit would first ask every window to close, the host's foreign window too.
    QObject::connect(&ended, &QSocketNotifier::activated, &application, [] { QCoreApplication::exit(0); });
    platform::X11Display& x11 = **display;
    player.playInside(window, [&x11, window]() -> std::optional<QSize> {
        if (const std::optional<platform::X11Display::Size> size = x11.size(window))
            return QSize(size->width, size->height);
        return std::nullopt;
    });
    return QApplication::exec();
}

} // namespace lumo::app
