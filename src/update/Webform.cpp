#include "update/Webform.h"

#include "common/ComPtr.h"
#include "common/UniqueResource.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>
#include <shlwapi.h>

#include <atomic>
#include <new>
#include <cwchar>
#include <string>

namespace {

constexpr CLSID kWebBrowserClsid = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr UINT kFilteredMessages = 7; // WM_USER .. WM_USER+6
constexpr int kPageFileAttempts = 100;
constexpr LONG kDownloadControl = DLCTL_DLIMAGES | DLCTL_NO_SCRIPTS | DLCTL_NO_JAVA |
                                  DLCTL_NO_RUNACTIVEXCTLS | DLCTL_NO_DLACTIVEXCTLS | DLCTL_SILENT;

class WebformHost final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IDispatch,
                          public IDocHostUIHandler {
public:
    WebformHost(HWND window, bool scrollBarsAllowed)
        : window_(window), scrollBarsAllowed_(scrollBarsAllowed) {}

    // Creates and connects the browser control; false leaves the host without one.
    bool CreateBrowser();
    // Undoes CreateBrowser: the window is going away.
    void DisconnectBrowser();

    void Resize(int width, int height) const {
        if (browser_) {
            browser_->put_Width(width);
            browser_->put_Height(height);
        }
    }
    HANDLE OpenPageFile();
    LRESULT WritePage(const void* bytes, size_t count) const;
    void ShowPage();
    const wchar_t* LastLink() const { return lastLink_.empty() ? nullptr : lastLink_.c_str(); }
    IUnknown* Browser() const { return browser_.get(); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the site and the frame)
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                  RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;

    // IOleInPlaceUIWindow, IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; } // frame and UI handler alike
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return E_NOTIMPL; }

    // IDispatch: ambient properties and the browser's events
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_FAIL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_FAIL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                        UINT*) override;

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_OK;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        *key = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override {
        *target = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP GetExternal(IDispatch** external) override {
        *external = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override {
        *translated = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** filtered) override {
        *filtered = nullptr;
        return S_FALSE;
    }

private:
    ~WebformHost() = default; // only Release ends the host; the page file closes with it

    void OnBeforeNavigate(DISPPARAMS* parameters);
    bool IsOwnDocument(const VARIANT& navigator) const;

    std::atomic<ULONG> references_{0};
    HWND window_;
    bool scrollBarsAllowed_;
    ComPtr<IWebBrowser2> browser_;
    DWORD eventCookie_ = 0;
    bool ownNavigation_ = false;
    UniqueHandle pageFile_;
    std::wstring pageFilePath_;
    std::wstring lastLink_;
};

STDMETHODIMP WebformHost::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
        *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
    } else if (iid == IID_IDocHostUIHandler) {
        *object = static_cast<IDocHostUIHandler*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP WebformHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) {
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    ::GetClientRect(window_, position);
    ::GetClientRect(window_, clip);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = window_;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP WebformHost::OnPosRectChange(LPCRECT position) {
    ComPtr<IOleInPlaceObject> inPlace;
    if (browser_ && SUCCEEDED(browser_->QueryInterface(IID_IOleInPlaceObject, inPlace.put_void()))) {
        inPlace->SetObjectRects(position, position);
    }
    return S_OK;
}

STDMETHODIMP WebformHost::GetHostInfo(DOCHOSTUIINFO* info) {
    info->dwFlags = DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_DISABLE_HELP_MENU | DOCHOSTUIFLAG_NO3DOUTERBORDER |
                    DOCHOSTUIFLAG_DPI_AWARE | (scrollBarsAllowed_ ? 0 : DOCHOSTUIFLAG_SCROLL_NO);
    return S_OK;
}

STDMETHODIMP WebformHost::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
    switch (id) {
    case DISPID_AMBIENT_DLCONTROL:
        if (result) {
            ::VariantInit(result);
            result->vt = VT_I4;
            result->lVal = kDownloadControl;
        }
        return S_OK;
    case DISPID_BEFORENAVIGATE2:
        OnBeforeNavigate(parameters);
        return S_OK;
    case DISPID_DOCUMENTCOMPLETE:
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// Arguments arrive last first: Cancel is the first, the address the sixth.
void WebformHost::OnBeforeNavigate(DISPPARAMS* parameters) {
    if (ownNavigation_) {
        ownNavigation_ = false;
        return;
    }
    if (!parameters || parameters->cArgs < 7) {
        return;
    }
    VARIANT& cancel = parameters->rgvarg[0];
    if (cancel.vt == (VT_BYREF | VT_BOOL) && cancel.pboolVal) {
        *cancel.pboolVal = VARIANT_TRUE;
    }
    // A frame of the page (or one the change table brings in) is never a link the user
    // followed out of the page: cancelled, and not reported.
    if (!IsOwnDocument(parameters->rgvarg[6])) {
        return;
    }
    const VARIANT* address = &parameters->rgvarg[5];
    if (address->vt == (VT_BYREF | VT_VARIANT) && address->pvarVal) {
        address = address->pvarVal;
    }
    lastLink_ = address->vt == VT_BSTR && address->bstrVal ? address->bstrVal : L"";
    ::PostMessageW(::GetParent(window_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(window_), kWebformLinkClicked),
                   reinterpret_cast<LPARAM>(window_));
}

// The page's own document navigates through the browser itself; a frame through an
// object of its own.
bool WebformHost::IsOwnDocument(const VARIANT& navigator) const {
    const VARIANT* value =
        navigator.vt == (VT_BYREF | VT_VARIANT) && navigator.pvarVal ? navigator.pvarVal : &navigator;
    if (!browser_ || value->vt != VT_DISPATCH || !value->pdispVal) {
        return false;
    }
    ComPtr<IUnknown> navigating;
    ComPtr<IUnknown> own;
    return SUCCEEDED(value->pdispVal->QueryInterface(IID_IUnknown, navigating.put_void())) &&
           SUCCEEDED(browser_->QueryInterface(IID_IUnknown, own.put_void())) && navigating.get() == own.get();
}

bool WebformHost::CreateBrowser() {
    ComPtr<IOleObject> control;
    if (FAILED(::CoCreateInstance(kWebBrowserClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  control.put_void())) ||
        FAILED(control->SetClientSite(this)) || FAILED(control->SetHostNames(L"PVHost", L"PVDoc")) ||
        FAILED(::OleSetContainedObject(control.get(), TRUE))) {
        return false;
    }
    RECT client{};
    ::GetClientRect(window_, &client);
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> events;
    if (FAILED(control->DoVerb(OLEIVERB_SHOW, nullptr, this, 0, window_, &client)) ||
        FAILED(control->QueryInterface(IID_IConnectionPointContainer, points.put_void())) ||
        FAILED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, events.put())) ||
        FAILED(events->Advise(static_cast<IDispatch*>(this), &eventCookie_))) {
        control->Close(OLECLOSE_NOSAVE);
        control->SetClientSite(nullptr);
        return false;
    }
    if (FAILED(control->QueryInterface(IID_IWebBrowser2, browser_.put_void()))) {
        events->Unadvise(eventCookie_);
        control->Close(OLECLOSE_NOSAVE);
        control->SetClientSite(nullptr);
        return false;
    }
    return true;
}

void WebformHost::DisconnectBrowser() {
    if (!browser_) {
        return;
    }
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> events;
    if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, points.put_void())) &&
        SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, events.put()))) {
        events->Unadvise(eventCookie_);
    }
    ComPtr<IOleObject> control;
    if (SUCCEEDED(browser_->QueryInterface(IID_IOleObject, control.put_void()))) {
        control->Close(OLECLOSE_NOSAVE);
        // The control holds the site; without this the host would never be freed.
        control->SetClientSite(nullptr);
    }
    browser_.reset();
}

// "wbf<number>.html" in the page folder under the temporary path. The folder is made
// here; a name that exists is skipped, any other refusal ends the attempts.
HANDLE WebformHost::OpenPageFile() {
    if (pageFile_) {
        return pageFile_.get();
    }
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH || !::PathAppendW(folder, L"Pictavel\\")) {
        return nullptr;
    }
    ::CreateDirectoryW(folder, nullptr);
    const unsigned long start = ::GetTickCount() / 100;
    for (int attempt = 0; attempt < kPageFileAttempts; ++attempt) {
        wchar_t name[32];
        std::swprintf(name, std::size(name), L"wbf%lu%ls", (start + attempt) % 100'000, L".html");
        wchar_t path[MAX_PATH];
        std::wcscpy(path, folder);
        if (!::PathAppendW(path, name)) {
            return nullptr;
        }
        pageFile_.reset(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NORMAL, nullptr));
        if (pageFile_) {
            pageFilePath_ = path;
            return pageFile_.get();
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return nullptr;
        }
    }
    return nullptr;
}

LRESULT WebformHost::WritePage(const void* bytes, size_t count) const {
    DWORD written = 0;
    if (!pageFile_ || !bytes || count == 0 || count > MAXDWORD ||
        !::WriteFile(pageFile_.get(), bytes, static_cast<DWORD>(count), &written, nullptr)) {
        return 0;
    }
    return written;
}

void WebformHost::ShowPage() {
    if (!pageFile_) {
        return;
    }
    pageFile_.reset();
    if (!browser_) {
        return;
    }
    VARIANT address;
    ::VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = ::SysAllocString(pageFilePath_.c_str());
    VARIANT flags;
    ::VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = navNoHistory;
    VARIANT none;
    ::VariantInit(&none);
    ownNavigation_ = true;
    browser_->Navigate2(&address, &flags, &none, &none, &none);
    ::VariantClear(&address);
}

WebformHost* HostOf(HWND window) {
    return reinterpret_cast<WebformHost*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The page messages must reach the window also from a process of another integrity
// level.
void AllowPageMessages(HWND window) {
    using FilterExFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    using FilterFunction = BOOL(WINAPI*)(UINT, DWORD);
    const HMODULE user = ::GetModuleHandleW(L"user32.dll");
    const auto filterEx = reinterpret_cast<FilterExFunction>(
        reinterpret_cast<void*>(::GetProcAddress(user, "ChangeWindowMessageFilterEx")));
    const auto filter = reinterpret_cast<FilterFunction>(
        reinterpret_cast<void*>(::GetProcAddress(user, "ChangeWindowMessageFilter")));
    for (UINT message = WM_USER; message < WM_USER + kFilteredMessages; ++message) {
        if (filterEx) {
            filterEx(window, message, MSGFLT_ALLOW, nullptr);
            filterEx(::GetParent(window), message, MSGFLT_ALLOW, nullptr);
        } else if (filter) {
            filter(message, MSGFLT_ADD);
        }
    }
}

void CreateHost(HWND window) {
    AllowPageMessages(window);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const bool scrollBars = (style & (WS_VSCROLL | WS_HSCROLL)) != 0;
    auto* host = new (std::nothrow) WebformHost(window, scrollBars);
    if (host) {
        host->AddRef(); // kept while the browser is being connected
        if (host->CreateBrowser()) {
            host->AddRef(); // the window's reference
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
        }
        host->Release();
    }
    if (scrollBars) {
        // The browser draws its own; the frame is recalculated so no empty gutter stays.
        ::SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VSCROLL | WS_HSCROLL));
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

LRESULT CALLBACK WebformProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    WebformHost* host = HostOf(window);
    switch (message) {
    case WM_CREATE:
        CreateHost(window);
        break;
    case WM_DESTROY:
        if (host) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            host->DisconnectBrowser();
            host->Release();
        }
        break;
    case WM_SIZE:
        if (host) {
            host->Resize(LOWORD(lParam), HIWORD(lParam));
        }
        break;
    case WM_SETTEXT:
        if (host && (!lParam || *reinterpret_cast<const wchar_t*>(lParam) == L'\0')) {
            host->ShowPage();
        }
        break;
    case kWebformOpenPage:
        return host ? reinterpret_cast<LRESULT>(host->OpenPageFile()) : 0;
    case kWebformWritePage:
        return host ? host->WritePage(reinterpret_cast<const void*>(lParam), wParam) : 0;
    case kWebformClickedLink:
        return host ? reinterpret_cast<LRESULT>(host->LastLink()) : 0;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

bool RegisterWebformClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = &WebformProcedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kWebformClassName;
        return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

IUnknown* WebformHostOf(HWND webform) {
    return static_cast<IOleClientSite*>(HostOf(webform));
}

IUnknown* WebformBrowserOf(HWND webform) {
    WebformHost* host = HostOf(webform);
    return host ? host->Browser() : nullptr;
}
