// The view used where no Flash control is registered: images decoded with WIC into a 32-bit
// premultiplied bitmap and drawn letterboxed on black; anything else leaves the view black.
#include "MovieView.h"

#include <wincodec.h>

#include <algorithm>
#include <cwctype>
#include <vector>

namespace lumo::player {

namespace {

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr()
    {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

bool isImage(const std::wstring& location)
{
    const size_t dot = location.find_last_of(L".\\/:");
    if (dot == std::wstring::npos || location[dot] != L'.')
        return false;
    std::wstring extension = location.substr(dot);
    for (wchar_t& c : extension)
        c = static_cast<wchar_t>(std::towlower(c));
    return extension == L".bmp" || extension == L".jpg" || extension == L".jpeg" || extension == L".png"
        || extension == L".gif";
}

// The first frame as a top-down 32-bit premultiplied BGRA bitmap; null when it cannot be decoded.
HBITMAP decode(const std::wstring& path, SIZE& size)
{
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory))))
        return nullptr;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &decoder))
        || FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter))
        || FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom))
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

class ImageView final : public MovieView {
public:
    ImageView(HWND parent, const RECT& bounds)
    {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW wc{};
        if (!GetClassInfoW(instance, L"LumoImageView", &wc)) {
            wc = {};
            wc.lpfnWndProc = &ImageView::dispatch;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
            wc.lpszClassName = L"LumoImageView";
            RegisterClassW(&wc);
        }
        m_hwnd
            = CreateWindowExW(0, L"LumoImageView", L"", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr, instance, this);
    }
    ~ImageView() override
    {
        if (m_bitmap)
            DeleteObject(m_bitmap);
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
        if (m_bitmap)
            DeleteObject(m_bitmap);
        m_bitmap = isImage(location) ? decode(location, m_size) : nullptr;
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
    void play() override { }
    void setBackgroundColor(int) override { }
    void setBGColor(const std::wstring&) override { }

private:
    static LRESULT CALLBACK dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<ImageView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_ERASEBKGND)
            return 1;
        if (self && message == WM_PAINT) {
            self->paint();
            return 0;
        }
        if (self && message == WM_SIZE)
            InvalidateRect(hwnd, nullptr, FALSE);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    void paint()
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        RECT client;
        GetClientRect(m_hwnd, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (m_bitmap && client.right > 0 && client.bottom > 0) {
            // showAll: the whole picture, as large as fits, centred.
            const double scale = std::min(double(client.right) / m_size.cx, double(client.bottom) / m_size.cy);
            const int w = std::max(1, int(m_size.cx * scale + 0.5));
            const int h = std::max(1, int(m_size.cy * scale + 0.5));
            HDC memory = CreateCompatibleDC(dc);
            const HGDIOBJ old = SelectObject(memory, m_bitmap);
            const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            SetStretchBltMode(dc, HALFTONE);
            GdiAlphaBlend(dc, (client.right - w) / 2, (client.bottom - h) / 2, w, h, memory, 0, 0, m_size.cx, m_size.cy,
                          blend);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
        EndPaint(m_hwnd, &ps);
    }

    HWND m_hwnd = nullptr;
    std::wstring m_location;
    HBITMAP m_bitmap = nullptr;
    SIZE m_size{};
};

} // namespace

std::unique_ptr<MovieView> createImageView(HWND parent, const RECT& bounds)
{
    return std::make_unique<ImageView>(parent, bounds);
}

std::unique_ptr<MovieView> createMovieView(HWND parent, const RECT& bounds)
{
    if (std::unique_ptr<MovieView> flash = createFlashView(parent, bounds))
        return flash;
    return createImageView(parent, bounds);
}

} // namespace lumo::player
