// The movie view of the player's windows, with the operations they use: the Shockwave Flash
// control when it is registered; otherwise a view that plays a movie's recorded video (the .avi
// beside it) and draws image files itself (.bmp, .jpg, .png, .gif), fitted as the default scale
// "showAll" fits them, and for a movie without a video, the project's logo or name. Like the
// control, neither view reports a location it cannot show.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace lumo::player {

class MovieView {
public:
    virtual ~MovieView() = default;
    virtual HWND hwnd() const = 0;
    // Movie: the location loaded last into layer 0.
    virtual std::wstring movie() const = 0;
    virtual void setMovie(const std::wstring& location) = 0;
    virtual void loadMovie(int layer, const std::wstring& location) = 0;
    virtual void play() = 0;
    virtual void setBackgroundColor(int color) = 0;
    virtual void setBGColor(const std::wstring& color) = 0;
    // True when the view plays Flash movies (the control is registered).
    virtual bool playsMovies() const { return false; }
    // What the view draws for a location it cannot show: the logo picture when it decodes, else the
    // title, centred on black.
    virtual void setStandIn(const std::wstring& /*logo*/, const std::wstring& /*title*/) { }
    // One line at the foot of the view.
    virtual void setNote(const std::wstring& /*note*/) { }
    // The sound of what the view plays itself; the control's follows the wave output's volume.
    virtual void setMuted(bool /*muted*/) { }
    void setBounds(const RECT& r)
    {
        SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

std::unique_ptr<MovieView> createMovieView(HWND parent, const RECT& bounds);

// The two kinds, for createMovieView; the Flash view is null when the control is not registered.
std::unique_ptr<MovieView> createFlashView(HWND parent, const RECT& bounds);
std::unique_ptr<MovieView> createNoFlashView(HWND parent, const RECT& bounds);

} // namespace lumo::player
