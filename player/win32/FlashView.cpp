// A small in-place ActiveX container for the Shockwave Flash control, found by its class id and
// driven through IDispatch: properties by their dispatch ids, methods by name.
#include "MovieView.h"

#include <ole2.h>

#include <vector>

namespace lumo::player {

namespace {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
constexpr CLSID kShockwaveFlash = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr DISPID kMovie = 102;
constexpr DISPID kBackgroundColor = 123;
constexpr DISPID kBGColor = 140;

// The site the control lives in: client site, in-place site and frame in one object, owned by the
// view. COM interfaces have no virtual destructors; the site is only ever deleted as itself.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FlashSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    explicit FlashSite(HWND host)
        : m_host(host)
    {
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    // The view owns the site; the control's references never end its life.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (for the site and the frame alike)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override
    {
        *out = m_host;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip, OLEINPLACEFRAMEINFO* info) override
    {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        *document = nullptr;
        GetClientRect(m_host, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(m_host, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, borders or status line to share.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    HWND m_host;
};
#pragma GCC diagnostic pop

class FlashView final : public MovieView {
public:
    FlashView(HWND host, IOleObject* object, IDispatch* dispatch, FlashSite* site)
        : m_host(host)
        , m_object(object)
        , m_dispatch(dispatch)
        , m_site(site)
    {
    }
    ~FlashView() override
    {
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
        m_dispatch->Release();
        m_object->Release();
        delete m_site;
        DestroyWindow(m_host);
    }

    HWND hwnd() const override { return m_host; }
    std::wstring movie() const override
    {
        VARIANT result;
        VariantInit(&result);
        DISPPARAMS none{};
        std::wstring location;
        if (SUCCEEDED(m_dispatch->Invoke(kMovie, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                                         nullptr, nullptr))
            && result.vt == VT_BSTR && result.bstrVal)
            location = result.bstrVal;
        VariantClear(&result);
        return location;
    }
    void setMovie(const std::wstring& location) override { put(kMovie, text(location)); }
    void loadMovie(int layer, const std::wstring& location) override
    {
        VARIANT arguments[2]; // in reverse order
        arguments[0] = text(location);
        arguments[1].vt = VT_I4;
        arguments[1].lVal = layer;
        call(L"LoadMovie", arguments, 2);
        VariantClear(&arguments[0]);
    }
    void play() override { call(L"Play", nullptr, 0); }
    void setBackgroundColor(int color) override
    {
        VARIANT v;
        v.vt = VT_I4;
        v.lVal = color;
        put(kBackgroundColor, v);
    }
    void setBGColor(const std::wstring& color) override { put(kBGColor, text(color)); }
    bool playsMovies() const override { return true; }

private:
    static VARIANT text(const std::wstring& s)
    {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
        return v;
    }
    void put(DISPID id, VARIANT value)
    {
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS parameters{&value, &named, 1, 1};
        m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr, nullptr,
                           nullptr);
        VariantClear(&value);
    }
    void call(const wchar_t* name, VARIANT* arguments, UINT count)
    {
        DISPID id;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        if (FAILED(m_dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
            return;
        DISPPARAMS parameters{arguments, nullptr, count, 0};
        m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
    }

    HWND m_host;
    IOleObject* m_object;
    IDispatch* m_dispatch;
    FlashSite* m_site;
};

LRESULT CALLBACK hostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE) {
        // Keep the control filling its host.
        HWND control = GetWindow(hwnd, GW_CHILD);
        if (control)
            SetWindowPos(control, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

std::unique_ptr<MovieView> createFlashView(HWND parent, const RECT& bounds)
{
    IOleObject* object = nullptr;
    if (FAILED(CoCreateInstance(kShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object))))
        return nullptr;
    IDispatch* dispatch = nullptr;
    if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        object->Release();
        return nullptr;
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (!GetClassInfoW(instance, L"LumoFlashHost", &wc)) {
        wc = {};
        wc.lpfnWndProc = &hostProcedure;
        wc.hInstance = instance;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"LumoFlashHost";
        RegisterClassW(&wc);
    }
    HWND host
        = CreateWindowExW(0, L"LumoFlashHost", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds.left, bounds.top,
                          bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr, instance, nullptr);
    auto* site = new FlashSite(host);
    object->SetClientSite(site);
    RECT area{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, host, &area);
    return std::make_unique<FlashView>(host, object, dispatch, site);
}

} // namespace lumo::player
