// A video played with Windows' own media engine, for a movie where the Flash control is missing:
// DirectShow's AVI splitter and Motion-JPEG decoder into the Video Renderer, whose window is a
// child of the window it is given and covers the area place() gives it; the picture goes where
// placement() says (as large as fits, the aspect kept) and the rest of that area is black. The
// Video Renderer draws with GDI where it must, so it shows in a child window everywhere (VMR-9
// draws with Direct3D, which under Wine never reaches a child window). Mouse and keyboard input
// over the video is passed on to the given window. It loops by a seek to the start, and a system
// without an audio device plays it silently.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace lumo::player {

class VideoPlayer {
public:
    virtual ~VideoPlayer() = default;
    // Where the picture goes in client: as large as fits, the aspect kept, centred.
    virtual RECT placement(const RECT& client) const = 0;
    virtual void place(const RECT& client) = 0;
    // On the window's notification message: loops at the end.
    virtual void handleEvents() = 0;
    virtual void setMuted(bool muted) = 0;
};

// The message the player posts to window when the graph has news; handleEvents() answers it.
inline constexpr UINT kVideoEventMessage = WM_APP + 0x4C56;

// Null when the file cannot be played as a video here (no DirectShow, no decoder, no picture).
std::unique_ptr<VideoPlayer> openVideo(const std::wstring& path, HWND window, bool muted);

} // namespace lumo::player
