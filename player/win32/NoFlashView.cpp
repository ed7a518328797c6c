// The view used where no Flash control is registered: a movie's video (the .avi the Creator
// recorded beside it) played with DirectShow; images decoded with WIC into a 32-bit premultiplied
// bitmap; both letterboxed on black. For anything else, the project's logo or name, so a
// screensaver of movies is never a black screen with nothing said.
#include "ComPtr.h"
#include "Dpi.h"
#include "MovieView.h"
#include "VideoPlayer.h"

#include "common/PathRules.h"
#include "platform/win32/Wide.h"
#include "player/core/StandIn.h"

#include <wincodec.h>

#include <algorithm>
#include <vector>

namespace lumo::player {

namespace {

// The first frame as a top-down 32-bit premultiplied BGRA bitmap; null when it cannot be decoded.
HBITMAP decode(const std::wstring& path, SIZE& size)
{
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.putVoid())))
        return nullptr;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put()))
        || FAILED(decoder->GetFrame(0, frame.put())) || FAILED(factory->CreateFormatConverter(converter.put()))
        || FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                        0.0, WICBitmapPaletteTypeCustom))
        || FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 16384 || height > 16384)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    size = {static_cast<LONG>(width), static_cast<LONG>(height)};
    return bitmap;
}

class NoFlashView final : public MovieView {
public:
    NoFlashView(HWND parent, const RECT& bounds)
    {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW wc{};
        if (!GetClassInfoW(instance, L"LumoNoFlashView", &wc)) {
            wc = {};
            wc.lpfnWndProc = &NoFlashView::dispatch;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
            wc.lpszClassName = L"LumoNoFlashView";
            RegisterClassW(&wc);
        }
        m_hwnd
            = CreateWindowExW(0, L"LumoNoFlashView", L"", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr, instance, this);
    }
    ~NoFlashView() override
    {
        m_video.reset(); // before its window goes
        if (m_bitmap)
            DeleteObject(m_bitmap);
        if (m_logo)
            DeleteObject(m_logo);
        if (m_hwnd) {
            SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
            DestroyWindow(m_hwnd);
        }
    }

    HWND hwnd() const override { return m_hwnd; }
    std::wstring movie() const override { return m_location; }
    void setMovie(const std::wstring& location) override { loadMovie(0, location); }
    void loadMovie(int layer, const std::wstring& location) override
    {
        if (layer != 0)
            return; // only layer 0 is shown
        m_location = location;
        m_video.reset();
        if (m_bitmap)
            DeleteObject(m_bitmap);
        m_bitmap = isPicture(platform::narrow(location)) ? decode(location, m_size) : nullptr;
        if (!m_bitmap) {
            const std::wstring video = platform::widen(videoPathOf(platform::narrow(location)));
            if (!video.empty() && GetFileAttributesW(video.c_str()) != INVALID_FILE_ATTRIBUTES)
                m_video = openVideo(video, m_hwnd, m_muted);
            if (m_video)
                m_video->place(pictureArea());
        }
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
    void play() override { }
    void setBackgroundColor(int) override { }
    void setBGColor(const std::wstring&) override { }
    void setStandIn(const std::wstring& logo, const std::wstring& title) override
    {
        if (m_logo)
            DeleteObject(m_logo);
        m_logo = !logo.empty() && isPicture(platform::narrow(logo)) ? decode(logo, m_logoSize) : nullptr;
        m_title = title;
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
    void setNote(const std::wstring& note) override
    {
        m_note = note;
        if (m_video)
            m_video->place(pictureArea());
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
    void setMuted(bool muted) override
    {
        m_muted = muted;
        if (m_video)
            m_video->setMuted(muted);
    }

private:
    static LRESULT CALLBACK dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<NoFlashView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_ERASEBKGND)
            return 1;
        if (self && message == WM_PAINT) {
            self->paint();
            return 0;
        }
        if (self && message == WM_SIZE) {
            if (self->m_video)
                self->m_video->place(self->pictureArea());
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        if (self && message == kVideoEventMessage && self->m_video) {
            self->m_video->handleEvents();
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static void drawBitmap(HDC dc, HBITMAP bitmap, SIZE size, int left, int top, int width, int height)
    {
        HDC memory = CreateCompatibleDC(dc);
        const HGDIOBJ old = SelectObject(memory, bitmap);
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        SetStretchBltMode(dc, HALFTONE);
        GdiAlphaBlend(dc, left, top, width, height, memory, 0, 0, size.cx, size.cy, blend);
        SelectObject(memory, old);
        DeleteDC(memory);
    }

    // The client area without the note's line under it.
    RECT pictureArea() const
    {
        RECT picture;
        GetClientRect(m_hwnd, &picture);
        if (!m_note.empty())
            picture.bottom = std::max<LONG>(0, picture.bottom - scaled(22, dpiOf(m_hwnd)));
        return picture;
    }

    void paint()
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        RECT client;
        GetClientRect(m_hwnd, &client);
        const RECT picture = pictureArea();
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (picture.right > 0 && picture.bottom > 0 && !m_video) { // the video's window covers the picture
            if (m_bitmap) {
                // showAll: the whole picture, as large as fits, centred.
                const double scale = std::min(double(picture.right) / m_size.cx, double(picture.bottom) / m_size.cy);
                const int w = std::max(1, int(m_size.cx * scale + 0.5));
                const int h = std::max(1, int(m_size.cy * scale + 0.5));
                drawBitmap(dc, m_bitmap, m_size, (picture.right - w) / 2, (picture.bottom - h) / 2, w, h);
            } else if (!m_location.empty()) {
                paintStandIn(dc, picture);
            }
        }
        if (!m_note.empty() && client.right > 0 && client.bottom > 0)
            paintNote(dc, client);
        EndPaint(m_hwnd, &ps);
    }

    // The logo at its own size on this monitor (smaller when the view is), else the title.
    void paintStandIn(HDC dc, const RECT& client)
    {
        const UINT dpi = dpiOf(m_hwnd);
        if (m_logo) {
            const double natural = dpi / 96.0;
            const double scale
                = std::min({natural, double(client.right) / m_logoSize.cx, double(client.bottom) / m_logoSize.cy});
            const int w = std::max(1, int(m_logoSize.cx * scale + 0.5));
            const int h = std::max(1, int(m_logoSize.cy * scale + 0.5));
            drawBitmap(dc, m_logo, m_logoSize, (client.right - w) / 2, (client.bottom - h) / 2, w, h);
            return;
        }
        if (m_title.empty())
            return;
        const int height = std::clamp(static_cast<int>(client.bottom / 8), 8, scaled(36, dpi));
        HFONT font
            = CreateFontW(-height, 0, 0, 0, FW_SEMIBOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
        const HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(230, 230, 230));
        RECT area = client;
        DrawTextW(dc, m_title.c_str(), static_cast<int>(m_title.size()), &area,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
        DeleteObject(font);
    }

    void paintNote(HDC dc, const RECT& client)
    {
        const UINT dpi = dpiOf(m_hwnd);
        const HGDIOBJ old = SelectObject(dc, dialogFont(dpi));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 210, 90));
        RECT line{scaled(4, dpi), 0, client.right - scaled(4, dpi), client.bottom - scaled(4, dpi)};
        DrawTextW(dc, m_note.c_str(), static_cast<int>(m_note.size()), &line,
                  DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
    }

    HWND m_hwnd = nullptr;
    std::wstring m_location;
    HBITMAP m_bitmap = nullptr;
    SIZE m_size{};
    HBITMAP m_logo = nullptr;
    SIZE m_logoSize{};
    std::wstring m_title;
    std::wstring m_note;
    std::unique_ptr<VideoPlayer> m_video; // while a movie's video plays
    bool m_muted = false;
};

} // namespace

std::unique_ptr<MovieView> createNoFlashView(HWND parent, const RECT& bounds)
{
    return std::make_unique<NoFlashView>(parent, bounds);
}

std::unique_ptr<MovieView> createMovieView(HWND parent, const RECT& bounds)
{
    if (std::unique_ptr<MovieView> flash = createFlashView(parent, bounds))
        return flash;
    return createNoFlashView(parent, bounds);
}

} // namespace lumo::player
