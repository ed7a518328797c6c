#include "ViewEngine.h"

#include "ViewScheme.h"

#include "platform/posix/ProcessIdentity.h"
#include "platform/posix/X11Display.h"

#include <QByteArray>
#include <QQuickWindow>
#include <QSGRendererInterface>

namespace lumo::playback {

namespace {

// Where the X server renders no OpenGL on a graphics card (Xvfb, a remote display), Qt's OpenGL
// scene graph would load Mesa's rasteriser and its compiler into the program (about 80 MiB) only
// to copy what the engine has already drawn in software, at a tenth of a core.
bool openGLIsSoftware(const platform::X11Display* display)
{
    if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        return false;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() && qgetenv("XDG_SESSION_TYPE") == "wayland"
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return false;
    if (display)
        return !display->offersDirectRendering();
    const Result<std::unique_ptr<platform::X11Display>> opened = platform::X11Display::open();
    return opened && !(*opened)->offersDirectRendering();
}

} // namespace

void prepareViewEngine(const platform::X11Display* display)
{
    if (platform::runsAsRoot())
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    registerViewScheme();
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    // Every view in one renderer: a view opened later (the full-screen player) finds Ruffle
    // compiled, and starts in a tenth of the time.
    if (!flags.contains("--process-per-site"))
        flags += " --process-per-site";
    // Ruffle is 14 MB of WebAssembly. Compiled and checked whole before it starts, it holds the
    // first frame back by a quarter of a second; compiled and checked function by function as
    // they are first called, only what a movie runs is (we ship that WebAssembly; the tests run it).
    if (!flags.contains("--js-flags"))
        flags += " --js-flags=\"--wasm-lazy-compilation --wasm-lazy-validation\"";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    if (openGLIsSoftware(display)) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        // Nor the context the engine would share: making it alone loads the rasteriser (and
        // holds the first frame back by a tenth of a second).
        if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
            qputenv("QT_XCB_GL_INTEGRATION", "none");
    }
}

} // namespace lumo::playback
