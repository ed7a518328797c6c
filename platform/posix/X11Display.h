// The X server, asked what Qt cannot tell before it starts: about the window a screensaver daemon
// hands its saver (whether it is a window, its size now) and whether OpenGL can reach a graphics
// card. A connection of its own, apart from Qt's.
#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace lumo::platform {

class X11Display {
public:
    struct Size {
        int width = 0, height = 0;
    };
    // The display DISPLAY names; an error when there is none or it cannot be opened.
    static Result<std::unique_ptr<X11Display>> open();
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    std::uint32_t rootWindow() const { return m_root; }
    // Nothing when window is no window (now).
    std::optional<Size> size(std::uint32_t window) const;
    // Whether the server offers direct rendering (DRI3, DRI2, or NVIDIA's own GLX); without it
    // OpenGL is Mesa's software rasteriser (Xvfb, a remote display).
    bool offersDirectRendering() const;

private:
    X11Display(xcb_connection_t* connection, std::uint32_t root);
    xcb_connection_t* m_connection;
    std::uint32_t m_root;
};

} // namespace lumo::platform
