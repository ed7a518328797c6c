#include "Dpi.h"

#include <map>

namespace lumo::player {

namespace {

UINT screenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

} // namespace

UINT dpiOf(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi ? dpi : screenDpi();
}

RECT scaledRect(const RECT& designed, UINT dpi)
{
    return {scaled(designed.left, dpi), scaled(designed.top, dpi), scaled(designed.right, dpi),
            scaled(designed.bottom, dpi)};
}

HFONT dialogFont(UINT dpi)
{
    static std::map<UINT, HFONT> fonts;
    if (const auto found = fonts.find(dpi); found != fonts.end())
        return found->second;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // The metrics are given at the screen's DPI.
    metrics.lfMessageFont.lfHeight
        = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(screenDpi()));
    return fonts[dpi] = CreateFontIndirectW(&metrics.lfMessageFont);
}

} // namespace lumo::player
