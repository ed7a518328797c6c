// The player's windows are laid out in 96-DPI units, as designed, and scaled to the DPI of the
// monitor they stand on (the program is per-monitor DPI aware).
#pragma once

#include <windows.h>

namespace lumo::player {

// The window's DPI where the system knows it per window (Windows 10 1607 and later), else the
// screen's.
UINT dpiOf(HWND window);
inline int scaled(int value, UINT dpi)
{
    return MulDiv(value, static_cast<int>(dpi), 96);
}
inline int unscaled(int value, UINT dpi)
{
    return MulDiv(value, 96, static_cast<int>(dpi));
}
RECT scaledRect(const RECT& designed, UINT dpi);

// The system's message font at that DPI; one font per DPI for the life of the program.
HFONT dialogFont(UINT dpi);

} // namespace lumo::player
