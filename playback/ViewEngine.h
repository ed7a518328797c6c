// What the web engine behind the movie views needs before the QApplication exists.
#pragma once

namespace lumo::platform {
class X11Display;
}

namespace lumo::playback {

// The private URL scheme; no sandbox where the engine refuses one (root); one renderer for all
// views; Ruffle's WebAssembly compiled as it runs; Qt's software scene graph where OpenGL would be
// software anyway. The user's own --js-flags (in QTWEBENGINE_CHROMIUM_FLAGS), QT_QUICK_BACKEND and
// QT_XCB_GL_INTEGRATION stand. display: the X server, when the caller has it open already.
void prepareViewEngine(const platform::X11Display* display = nullptr);

} // namespace lumo::playback
