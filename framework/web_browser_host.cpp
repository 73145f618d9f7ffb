#include "framework/web_browser_host.h"

#include <commctrl.h>

namespace fw {

namespace {

// The window that plays the in-place frame: the top-level window of the
// parent, so the control can find the application's main window.
HWND FrameWindowOf(HWND parent) {
    HWND root = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
    return root ? root : parent;
}

}  // namespace

class BrowserSiteObject;

// The three site interfaces are tear-offs of one object: they share its
// reference count and its QueryInterface, as OLE's identity rules demand.
class BrowserClientSite : public IOleClientSite {
public:
    explicit BrowserClientSite(BrowserSiteObject* owner) : m_owner(owner) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
private:
    BrowserSiteObject* m_owner;
};

class BrowserInPlaceSite : public IOleInPlaceSite {
public:
    explicit BrowserInPlaceSite(BrowserSiteObject* owner) : m_owner(owner) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT posRect, LPRECT clipRect,
                                  LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
private:
    BrowserSiteObject* m_owner;
};

class BrowserInPlaceFrame : public IOleInPlaceFrame {
public:
    explicit BrowserInPlaceFrame(BrowserSiteObject* owner) : m_owner(owner) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return OLE_E_INVALIDRECT; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
private:
    BrowserSiteObject* m_owner;
};

// The container's site: reference counted on its own, because the control
// may hold it a little longer than the host lives. Detach cuts the link to
// the host so late calls see no window instead of a dead host.
class BrowserSiteObject {
public:
    explicit BrowserSiteObject(WebBrowserHost* host)
        : m_host(host), m_clientSite(this), m_inPlaceSite(this), m_frame(this) {}
    BrowserSiteObject(const BrowserSiteObject&) = delete;
    BrowserSiteObject& operator=(const BrowserSiteObject&) = delete;

    ULONG AddRef() { return InterlockedIncrement(&m_refs); }
    ULONG Release() {
        ULONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return refs;
    }
    HRESULT QueryInterface(REFIID iid, void** out);

    void Detach() { m_host = nullptr; }
    HWND Parent() const { return m_host ? m_host->Parent() : nullptr; }
    bool GetRect(RECT* rect) const {
        if (!m_host) return false;
        *rect = m_host->Rect();
        return true;
    }
    IOleClientSite* ClientSite() { return &m_clientSite; }
    IOleInPlaceFrame* Frame() { return &m_frame; }

private:
    ~BrowserSiteObject() = default;

    LONG m_refs = 1;
    WebBrowserHost* m_host;
    BrowserClientSite m_clientSite;
    BrowserInPlaceSite m_inPlaceSite;
    BrowserInPlaceFrame m_frame;
};

HRESULT BrowserSiteObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    IUnknown* found = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        found = &m_clientSite;
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
        found = &m_inPlaceSite;
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
        found = &m_frame;
    }
    *out = found;
    if (!found) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP BrowserClientSite::QueryInterface(REFIID iid, void** out) {
    return m_owner->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) BrowserClientSite::AddRef() { return m_owner->AddRef(); }
STDMETHODIMP_(ULONG) BrowserClientSite::Release() { return m_owner->Release(); }

STDMETHODIMP BrowserInPlaceSite::QueryInterface(REFIID iid, void** out) {
    return m_owner->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) BrowserInPlaceSite::AddRef() { return m_owner->AddRef(); }
STDMETHODIMP_(ULONG) BrowserInPlaceSite::Release() { return m_owner->Release(); }

STDMETHODIMP BrowserInPlaceSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = m_owner->Parent();
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP BrowserInPlaceSite::CanInPlaceActivate() {
    return m_owner->Parent() ? S_OK : S_FALSE;
}

STDMETHODIMP BrowserInPlaceSite::GetWindowContext(IOleInPlaceFrame** frame,
                                                  IOleInPlaceUIWindow** document, LPRECT posRect,
                                                  LPRECT clipRect,
                                                  LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!frame || !document || !posRect || !clipRect || !frameInfo) return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    RECT rect;
    if (!m_owner->GetRect(&rect)) return E_UNEXPECTED;
    *frame = m_owner->Frame();
    (*frame)->AddRef();
    *posRect = rect;
    *clipRect = rect;
    frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = FrameWindowOf(m_owner->Parent());
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP BrowserInPlaceFrame::QueryInterface(REFIID iid, void** out) {
    return m_owner->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) BrowserInPlaceFrame::AddRef() { return m_owner->AddRef(); }
STDMETHODIMP_(ULONG) BrowserInPlaceFrame::Release() { return m_owner->Release(); }

STDMETHODIMP BrowserInPlaceFrame::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = FrameWindowOf(m_owner->Parent());
    return *window ? S_OK : E_FAIL;
}

WebBrowserHost::WebBrowserHost() = default;

WebBrowserHost::~WebBrowserHost() { Destroy(); }

bool WebBrowserHost::Create(HWND parent, const RECT& rect) {
    if (m_browser) return true;
    if (!parent || !IsWindow(parent)) return false;
    HRESULT hr = OleInitialize(nullptr);
    if (FAILED(hr)) return false;
    m_oleInitialized = true;
    m_parent = parent;
    m_rect = rect;
    if (!Embed()) {
        Destroy();
        return false;
    }
    m_subclassed = SetWindowSubclass(parent, ParentProc, reinterpret_cast<UINT_PTR>(this),
                                     reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    return true;
}

// Creates the control, gives it our site and activates it in place; then
// keeps the interfaces that sizing, navigation and key handling need.
bool WebBrowserHost::Embed() {
    HRESULT hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  m_object.Receive());
    if (FAILED(hr) || !m_object) {
        m_object.Reset();
        return false;
    }
    m_site = CComPtr<BrowserSiteObject>(new BrowserSiteObject(this));
    if (FAILED(m_object->SetClientSite(m_site->ClientSite()))) return false;
    OleSetContainedObject(m_object.Get(), TRUE);
    hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site->ClientSite(), 0, m_parent,
                          &m_rect);
    if (FAILED(hr)) return false;
    m_object->QueryInterface(IID_IOleInPlaceObject, m_inPlace.Receive());
    m_object->QueryInterface(IID_IOleInPlaceActiveObject, m_active.Receive());
    m_object->QueryInterface(IID_IWebBrowser2, m_browser.Receive());
    return static_cast<bool>(m_browser);
}

void WebBrowserHost::Destroy() {
    if (m_subclassed) {
        RemoveWindowSubclass(m_parent, ParentProc, reinterpret_cast<UINT_PTR>(this));
        m_subclassed = false;
    }
    if (m_object) {
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
    }
    ReleaseInterfaces();
    if (m_site) {
        m_site->Detach();
        m_site.Reset();
    }
    if (m_oleInitialized) {
        OleUninitialize();
        m_oleInitialized = false;
    }
    m_parent = nullptr;
}

void WebBrowserHost::ReleaseInterfaces() {
    m_active.Reset();
    m_inPlace.Reset();
    m_browser.Reset();
    m_object.Reset();
}

HWND WebBrowserHost::Window() const {
    HWND window = nullptr;
    if (m_inPlace && FAILED(m_inPlace->GetWindow(&window))) window = nullptr;
    return window;
}

void WebBrowserHost::Move(const RECT& rect) {
    if (!m_browser) return;
    m_rect = rect;
    if (m_inPlace) m_inPlace->SetObjectRects(&m_rect, &m_rect);
    HWND window = Window();
    if (window) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool WebBrowserHost::Navigate(const wchar_t* url) {
    if (!m_browser || !url) return false;
    CBstr address(SysAllocString(url));
    if (!address) return false;
    // Flags, target frame, post data and headers are all left out.
    VARIANT absent;
    VariantInit(&absent);
    HRESULT hr = m_browser->Navigate(address.Get(), &absent, &absent, &absent, &absent);
    return SUCCEEDED(hr);
}

BSTR WebBrowserHost::LocationUrl() const {
    BSTR url = nullptr;
    if (m_browser && FAILED(m_browser->get_LocationURL(&url))) url = nullptr;
    return url;
}

bool WebBrowserHost::ContainsFocus() const {
    HWND window = Window();
    HWND focus = GetFocus();
    return window && focus && (focus == window || IsChild(window, focus));
}

bool WebBrowserHost::TranslateAccelerator(MSG* msg) {
    if (!m_active || !msg) return false;
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    if (!ContainsFocus()) return false;
    return m_active->TranslateAccelerator(msg) == S_OK;
}

// Closes the control while its windows still exist, before the parent and
// its children are destroyed.
LRESULT CALLBACK WebBrowserHost::ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR refData) {
    if (msg == WM_DESTROY) {
        reinterpret_cast<WebBrowserHost*>(refData)->Destroy();
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace fw
