#include "X11Display.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace lumo::platform {

Result<std::unique_ptr<X11Display>> X11Display::open()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return Error{"there is no X display to play in (DISPLAY is not set)"};
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(name, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return Error{std::string("cannot open the X display ") + name};
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        xcb_disconnect(connection);
        return Error{std::string("the X display ") + name + " has no such screen"};
    }
    return std::unique_ptr<X11Display>(new X11Display(connection, screens.data->root));
}

X11Display::X11Display(xcb_connection_t* connection, std::uint32_t root)
    : m_connection(connection)
    , m_root(root)
{
}

X11Display::~X11Display()
{
    xcb_disconnect(m_connection);
}

std::optional<X11Display::Size> X11Display::size(std::uint32_t window) const
{
    xcb_generic_error_t* error = nullptr;
    xcb_get_geometry_reply_t* reply
        = xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), &error);
    std::free(error);
    if (!reply)
        return std::nullopt;
    const Size size{reply->width, reply->height};
    std::free(reply);
    return size;
}

bool X11Display::offersDirectRendering() const
{
    // Ask for all at once: one round trip.
    const char* const names[] = {"DRI3", "DRI2", "NV-GLX"};
    xcb_query_extension_cookie_t cookies[std::size(names)];
    for (std::size_t i = 0; i < std::size(names); ++i)
        cookies[i] = xcb_query_extension(m_connection, static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    bool offered = false;
    for (const xcb_query_extension_cookie_t& cookie : cookies) {
        xcb_query_extension_reply_t* reply = xcb_query_extension_reply(m_connection, cookie, nullptr);
        offered = offered || (reply && reply->present);
        std::free(reply);
    }
    return offered;
}

} // namespace lumo::platform
