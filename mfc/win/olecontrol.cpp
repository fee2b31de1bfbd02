// ActiveX control hosting: the control site, the event sink, calls by
// dispatch id and the dialog placeholders.
#include "mfc/win/olecontrol.h"

#include <olectl.h>

#include <cstdarg>
#include <cstring>
#include <vector>

#include "mfc/win/app.h"
#include "mfc/win/internal.h"

using quorbel_mfc::GetThreadState;

namespace {

// Window properties on the control's window: its site, and the procedure
// the site's subclassing replaced.
const char kSiteProp[] = "QuorbelOleSite";
const char kSiteProcProp[] = "QuorbelOleSiteProc";

bool g_containerEnabled = false;  // AfxEnableControlContainer was called

bool EnsureOle() {
  quorbel_mfc::ThreadState& ts = GetThreadState();
  if (ts.bOleInitialized) return true;
  HRESULT hr = ::OleInitialize(NULL);
  if (hr == S_FALSE) {
    ::OleUninitialize();  // someone else's initialisation: keep their count as it was
    ts.bOleInitialized = true;
  } else if (SUCCEEDED(hr)) {
    ts.bOleInitialized = true;  // ours, for the thread's life
  } else if (hr == RPC_E_CHANGED_MODE) {
    ts.bOleInitialized = true;  // COM runs in another mode here; controls may still work
  }
  return ts.bOleInitialized;
}

BSTR AnsiToBstr(LPCSTR text) {
  if (text == NULL) return ::SysAllocString(L"");
  int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
  BSTR result = ::SysAllocStringLen(NULL, n > 0 ? static_cast<UINT>(n - 1) : 0);
  if (result != NULL && n > 0) ::MultiByteToWideChar(CP_ACP, 0, text, -1, result, n);
  return result;
}

CString BstrToAnsi(BSTR text) {
  CString result;
  if (text == NULL) return result;
  int n = ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(::SysStringLen(text)), NULL, 0, NULL, NULL);
  if (n <= 0) return result;
  char* buffer = result.GetBuffer(n);
  ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(::SysStringLen(text)), buffer, n, NULL, NULL);
  result.ReleaseBuffer(n);
  return result;
}

// The objects here are counted as COM objects are: the last Release
// deletes the object.
template <class Object>
ULONG ReleaseReference(Object* object, LONG* refs) {
  LONG n = InterlockedDecrement(refs);
  if (n == 0) delete object;
  return static_cast<ULONG>(n);
}

// IDispatch of objects that describe themselves by no type information.
HRESULT NoTypeInfoCount(UINT* count) {
  if (count == NULL) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT NoTypeInfo(ITypeInfo** info) {
  if (info != NULL) *info = NULL;
  return E_NOTIMPL;
}

class ControlSite;

// The sink of the control's outgoing interface: every event goes to the
// event sink map of the window that owns the control.
class EventSink : public IDispatch {
public:
  EventSink(ControlSite* site, REFIID iid) : site_(site), iid_(iid) {}
  virtual ~EventSink() = default;
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == NULL) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, iid_)) {
      *ppv = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(this, &refs_); }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return NoTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return NoTypeInfo(info); }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;
  // The site went away: later events go nowhere.
  void Detach() { site_ = NULL; }

private:
  LONG refs_ = 1;
  ControlSite* site_;
  IID iid_;
};

// One hosted control: the container's side of it.
class ControlSite : public IOleClientSite, public IOleInPlaceSite, public IOleControlSite, public IDispatch {
public:
  ControlSite(HWND hWndOwner, UINT nID, const RECT& rect, LPCTSTR name)
      : hWndOwner_(hWndOwner), nID_(nID), rect_(rect), name_(name != NULL ? name : "") {}
  virtual ~ControlSite() = default;

  // Creates and activates the control; false leaves nothing behind.
  bool Create(REFCLSID clsid, DWORD dwStyle, HWND hWndInsertAfter);
  // Undoes Create: events disconnected, control closed and released.
  void Destroy();

  HWND Window() const { return hWnd_; }
  UINT Id() const { return nID_; }
  HWND Owner() const { return hWndOwner_; }
  IDispatch* Dispatch() const { return dispatch_; }
  IUnknown* Unknown() const { return object_; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == NULL) return E_POINTER;
    *ppv = NULL;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
      *ppv = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
      *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(riid, IID_IOleControlSite))
      *ppv = static_cast<IOleControlSite*>(this);
    else if (IsEqualIID(riid, IID_IDispatch))
      *ppv = static_cast<IDispatch*>(this);  // ambient properties
    if (*ppv == NULL) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(this, &refs_); }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override {
    if (ppmk != NULL) *ppmk = NULL;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** ppContainer) override {
    if (ppContainer != NULL) *ppContainer = NULL;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow / IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* phwnd) override {
    if (phwnd == NULL) return E_POINTER;
    *phwnd = hWndOwner_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override {
    if (ppFrame != NULL) *ppFrame = NULL;
    if (ppDoc != NULL) *ppDoc = NULL;
    if (lprcPosRect != NULL) *lprcPosRect = rect_;
    if (lprcClipRect != NULL) *lprcClipRect = rect_;
    if (lpFrameInfo != NULL) {
      lpFrameInfo->fMDIApp = FALSE;
      lpFrameInfo->hwndFrame = ::GetAncestor(hWndOwner_, GA_ROOT);
      lpFrameInfo->haccel = NULL;
      lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return S_FALSE; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT lprcPosRect) override {
    if (lprcPosRect == NULL) return E_POINTER;
    rect_ = *lprcPosRect;
    if (inPlace_ != NULL) inPlace_->SetObjectRects(&rect_, &rect_);
    return S_OK;
  }

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch** ppDisp) override {
    if (ppDisp != NULL) *ppDisp = NULL;
    return E_NOTIMPL;
  }
  STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
  STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

  // IDispatch: the ambient properties a dialog has.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return NoTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return NoTypeInfo(info); }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (!(wFlags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (result == NULL) return E_POINTER;
    ::VariantInit(result);
    switch (dispid) {
      case DISPID_AMBIENT_USERMODE:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
      case DISPID_AMBIENT_UIDEAD:
      case DISPID_AMBIENT_SHOWHATCHING:
      case DISPID_AMBIENT_SHOWGRABHANDLES:
      case DISPID_AMBIENT_MESSAGEREFLECT:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_FALSE;
        return S_OK;
      case DISPID_AMBIENT_LOCALEID:
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(::GetUserDefaultLCID());
        return S_OK;
      case DISPID_AMBIENT_DISPLAYNAME:
        result->vt = VT_BSTR;
        result->bstrVal = AnsiToBstr(name_);
        return S_OK;
      case DISPID_AMBIENT_BACKCOLOR:
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(0x80000000 | COLOR_BTNFACE);  // a system colour as OLE spells it
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

  static LRESULT CALLBACK SiteWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
  void ConnectEvents();

  LONG refs_ = 1;
  HWND hWndOwner_;                       // the window the control sits in
  UINT nID_;                             // its child id there
  RECT rect_;                            // its place, in the owner's client coordinates
  CString name_;                         // its display name (ambient)
  HWND hWnd_ = NULL;                     // the control's own window
  IOleObject* object_ = NULL;            // the control
  IOleInPlaceObject* inPlace_ = NULL;    // its in-place side
  IDispatch* dispatch_ = NULL;           // its dispatch interface
  IConnectionPoint* eventPoint_ = NULL;  // where our sink is advised
  DWORD eventCookie_ = 0;
  EventSink* sink_ = NULL;
};

STDMETHODIMP EventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                               UINT*) {
  static DISPPARAMS none = {NULL, NULL, 0, 0};
  if (result != NULL) ::VariantInit(result);
  if (site_ == NULL) return S_OK;
  CWnd* pOwner = CWnd::FromHandlePermanent(site_->Owner());
  if (pOwner == NULL) return S_OK;
  HRESULT hr = S_OK;
  AfxDispatchControlEvent(pOwner, site_->Id(), dispid, params != NULL ? params : &none, &hr);
  return hr;
}

// The control's outgoing interface: the default source its class names,
// else the first connection point that is not a property sink.
bool FindSourceInterface(IUnknown* object, IConnectionPointContainer* container, IID* iid) {
  IProvideClassInfo2* info2 = NULL;
  if (SUCCEEDED(object->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info2)))) {
    HRESULT hr = info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, iid);
    info2->Release();
    if (SUCCEEDED(hr)) return true;
  }
  IProvideClassInfo* info = NULL;
  if (SUCCEEDED(object->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&info)))) {
    ITypeInfo* classInfo = NULL;
    bool found = false;
    if (SUCCEEDED(info->GetClassInfo(&classInfo)) && classInfo != NULL) {
      TYPEATTR* attr = NULL;
      if (SUCCEEDED(classInfo->GetTypeAttr(&attr))) {
        for (UINT i = 0; i < attr->cImplTypes && !found; ++i) {
          INT flags = 0;
          if (FAILED(classInfo->GetImplTypeFlags(i, &flags))) continue;
          if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
            continue;
          HREFTYPE ref;
          ITypeInfo* source = NULL;
          if (SUCCEEDED(classInfo->GetRefTypeOfImplType(i, &ref)) && SUCCEEDED(classInfo->GetRefTypeInfo(ref, &source))) {
            TYPEATTR* sourceAttr = NULL;
            if (SUCCEEDED(source->GetTypeAttr(&sourceAttr))) {
              *iid = sourceAttr->guid;
              found = true;
              source->ReleaseTypeAttr(sourceAttr);
            }
            source->Release();
          }
        }
        classInfo->ReleaseTypeAttr(attr);
      }
      classInfo->Release();
    }
    info->Release();
    if (found) return true;
  }
  IEnumConnectionPoints* points = NULL;
  if (container == NULL || FAILED(container->EnumConnectionPoints(&points)) || points == NULL) return false;
  IConnectionPoint* point = NULL;
  bool found = false;
  while (!found && points->Next(1, &point, NULL) == S_OK) {
    IID candidate;
    if (SUCCEEDED(point->GetConnectionInterface(&candidate)) && !IsEqualIID(candidate, IID_IPropertyNotifySink)) {
      *iid = candidate;
      found = true;
    }
    point->Release();
  }
  points->Release();
  return found;
}

void ControlSite::ConnectEvents() {
  IConnectionPointContainer* container = NULL;
  if (FAILED(object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
    return;
  IID source;
  if (FindSourceInterface(object_, container, &source) &&
      SUCCEEDED(container->FindConnectionPoint(source, &eventPoint_)) && eventPoint_ != NULL) {
    sink_ = new EventSink(this, source);
    if (FAILED(eventPoint_->Advise(static_cast<IDispatch*>(sink_), &eventCookie_))) {
      eventPoint_->Release();
      eventPoint_ = NULL;
      sink_->Detach();
      sink_->Release();
      sink_ = NULL;
    }
  }
  container->Release();
}

bool ControlSite::Create(REFCLSID clsid, DWORD dwStyle, HWND hWndInsertAfter) {
  if (!EnsureOle()) return false;
  if (FAILED(::CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object_))) ||
      object_ == NULL) {
    object_ = NULL;
    return false;
  }
  object_->SetClientSite(this);
  IPersistStreamInit* persist = NULL;
  if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
    persist->InitNew();
    persist->Release();
  }
  // The extent in HIMETRIC from the rectangle in pixels.
  HDC hdc = ::GetDC(NULL);
  int dpiX = ::GetDeviceCaps(hdc, LOGPIXELSX), dpiY = ::GetDeviceCaps(hdc, LOGPIXELSY);
  ::ReleaseDC(NULL, hdc);
  SIZEL extent = {::MulDiv(rect_.right - rect_.left, 2540, dpiX > 0 ? dpiX : 96),
                  ::MulDiv(rect_.bottom - rect_.top, 2540, dpiY > 0 ? dpiY : 96)};
  object_->SetExtent(DVASPECT_CONTENT, &extent);
  object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
  ConnectEvents();
  HRESULT hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, NULL, this, 0, hWndOwner_, &rect_);
  if (SUCCEEDED(hr)) object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace_));
  if (inPlace_ != NULL) inPlace_->GetWindow(&hWnd_);
  if (hWnd_ == NULL || !::IsWindow(hWnd_)) {
    // Windowless controls are not hosted here.
    hWnd_ = NULL;
    Destroy();
    return false;
  }
  ::SetWindowLongPtrA(hWnd_, GWLP_ID, static_cast<LONG_PTR>(nID_));
  if (!name_.IsEmpty()) ::SetWindowTextA(hWnd_, name_);
  ::SetWindowPos(hWnd_, hWndInsertAfter != NULL ? hWndInsertAfter : HWND_TOP, rect_.left, rect_.top,
                 rect_.right - rect_.left, rect_.bottom - rect_.top,
                 SWP_NOACTIVATE | (dwStyle & WS_VISIBLE ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) |
                     (hWndInsertAfter != NULL ? 0 : SWP_NOZORDER));
  if (dwStyle & WS_DISABLED) ::EnableWindow(hWnd_, FALSE);
  if (dwStyle & WS_TABSTOP)
    ::SetWindowLongPtrA(hWnd_, GWL_STYLE, ::GetWindowLongPtrA(hWnd_, GWL_STYLE) | WS_TABSTOP);
  // The site lives as long as the control's window.
  ::SetPropA(hWnd_, kSiteProp, reinterpret_cast<HANDLE>(this));
  WNDPROC old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlSite::SiteWindowProc)));
  ::SetPropA(hWnd_, kSiteProcProp, reinterpret_cast<HANDLE>(old));
  return true;
}

void ControlSite::Destroy() {
  if (eventPoint_ != NULL) {
    eventPoint_->Unadvise(eventCookie_);
    eventPoint_->Release();
    eventPoint_ = NULL;
  }
  if (sink_ != NULL) {
    sink_->Detach();
    sink_->Release();
    sink_ = NULL;
  }
  if (inPlace_ != NULL) {
    inPlace_->InPlaceDeactivate();
    inPlace_->Release();
    inPlace_ = NULL;
  }
  if (dispatch_ != NULL) {
    dispatch_->Release();
    dispatch_ = NULL;
  }
  if (object_ != NULL) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(NULL);
    object_->Release();
    object_ = NULL;
  }
}

LRESULT CALLBACK ControlSite::SiteWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC old = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kSiteProcProp));
  LRESULT result = old != NULL ? ::CallWindowProcA(old, hWnd, message, wParam, lParam)
                               : ::DefWindowProcA(hWnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The control has seen its window go; now the site lets go of it.
    ControlSite* site = reinterpret_cast<ControlSite*>(::RemovePropA(hWnd, kSiteProp));
    ::RemovePropA(hWnd, kSiteProcProp);
    if (site != NULL) {
      site->hWnd_ = NULL;
      site->Destroy();
      site->Release();
    }
  }
  return result;
}

ControlSite* SiteOf(HWND hWnd) {
  return hWnd != NULL ? reinterpret_cast<ControlSite*>(::GetPropA(hWnd, kSiteProp)) : NULL;
}

// Creates a control as a child of hWndParent; its window, or NULL.
HWND CreateControlWindow(REFCLSID clsid, LPCTSTR name, DWORD dwStyle, const RECT& rect, HWND hWndParent, UINT nID,
                         HWND hWndInsertAfter) {
  if (hWndParent == NULL) return NULL;
  ControlSite* site = new ControlSite(hWndParent, nID, rect, name);
  if (!site->Create(clsid, dwStyle, hWndInsertAfter)) {
    site->Release();
    return NULL;
  }
  return site->Window();  // the window's reference keeps the site
}

bool ClassIdFromText(LPCTSTR text, CLSID* clsid) {
  if (text == NULL || text[0] == '\0') return false;
  BSTR wide = AnsiToBstr(text);
  HRESULT hr = text[0] == '{' ? ::CLSIDFromString(wide, clsid) : ::CLSIDFromProgID(wide, clsid);
  ::SysFreeString(wide);
  return SUCCEEDED(hr);
}

// ---- Calls by dispatch id --------------------------------------------------------------

void SetLastResult(HRESULT hr) { GetThreadState().hrLastControlCall = hr; }

// Zeroes a result of the C++ type that vtRet stands for.
void ClearResult(VARTYPE vtRet, void* pvRet) {
  if (pvRet == NULL) return;
  switch (vtRet) {
    case VT_I2: *static_cast<short*>(pvRet) = 0; break;
    case VT_I4: *static_cast<long*>(pvRet) = 0; break;
    case VT_R4: *static_cast<float*>(pvRet) = 0; break;
    case VT_R8: *static_cast<double*>(pvRet) = 0; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = FALSE; break;
    case VT_UI1: *static_cast<BYTE*>(pvRet) = 0; break;
    case VT_BSTR: static_cast<CString*>(pvRet)->Empty(); break;
    case VT_DISPATCH:
    case VT_UNKNOWN: *static_cast<IUnknown**>(pvRet) = NULL; break;
    case VT_VARIANT: ::VariantClear(static_cast<VARIANT*>(pvRet)); break;
    default: break;
  }
}

HRESULT StoreResult(VARTYPE vtRet, void* pvRet, VARIANT* result) {
  if (vtRet == VT_EMPTY || pvRet == NULL) return S_OK;
  if (vtRet == VT_VARIANT) {
    VARIANT* out = static_cast<VARIANT*>(pvRet);
    ::VariantClear(out);
    return ::VariantCopy(out, result);
  }
  VARIANT converted;
  ::VariantInit(&converted);
  HRESULT hr = ::VariantChangeType(&converted, result, 0, vtRet);
  if (FAILED(hr)) return hr;
  switch (vtRet) {
    case VT_I2: *static_cast<short*>(pvRet) = converted.iVal; break;
    case VT_I4: *static_cast<long*>(pvRet) = converted.lVal; break;
    case VT_R4: *static_cast<float*>(pvRet) = converted.fltVal; break;
    case VT_R8: *static_cast<double*>(pvRet) = converted.dblVal; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = converted.boolVal != VARIANT_FALSE; break;
    case VT_UI1: *static_cast<BYTE*>(pvRet) = converted.bVal; break;
    case VT_BSTR: *static_cast<CString*>(pvRet) = BstrToAnsi(converted.bstrVal); break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      *static_cast<IUnknown**>(pvRet) = converted.punkVal;
      if (converted.punkVal != NULL) converted.punkVal->AddRef();
      break;
    default:
      hr = DISP_E_TYPEMISMATCH;
  }
  ::VariantClear(&converted);
  return hr;
}

// The arguments of one call: VARIANTs last to first, and what is copied
// back to the caller's BOOL pointers afterwards.
struct CallArguments {
  std::vector<VARIANT> args;
  std::vector<VARIANT_BOOL> bools;   // stand-ins for BOOL* arguments
  std::vector<BOOL*> boolTargets;
  ~CallArguments() {
    for (VARIANT& v : args)
      if (!(v.vt & VT_BYREF)) ::VariantClear(&v);
  }
};

// Reads the arguments that the VTS_ string names; false for a type it does not know.
bool ReadArguments(const BYTE* pbParamInfo, va_list argList, CallArguments* call) {
  size_t count = pbParamInfo != NULL ? std::strlen(reinterpret_cast<const char*>(pbParamInfo)) : 0;
  call->args.resize(count);
  call->bools.resize(count);
  for (size_t i = 0; i < count; ++i) {
    VARIANT& v = call->args[count - 1 - i];
    ::VariantInit(&v);
    BYTE type = pbParamInfo[i];
    if (type & VT_MFCBYREF) {
      VARTYPE vt = static_cast<VARTYPE>(type & ~VT_MFCBYREF);
      void* p = va_arg(argList, void*);
      v.vt = static_cast<VARTYPE>(vt | VT_BYREF);
      switch (vt) {
        case VT_I2: v.piVal = static_cast<short*>(p); break;
        case VT_I4: v.plVal = static_cast<LONG*>(p); break;
        case VT_R4: v.pfltVal = static_cast<float*>(p); break;
        case VT_R8: v.pdblVal = static_cast<double*>(p); break;
        case VT_BSTR: v.pbstrVal = static_cast<BSTR*>(p); break;
        case VT_VARIANT: v.pvarVal = static_cast<VARIANT*>(p); break;
        case VT_UI1: v.pbVal = static_cast<BYTE*>(p); break;
        case VT_BOOL: {
          BOOL* target = static_cast<BOOL*>(p);
          call->bools[i] = target != NULL && *target ? VARIANT_TRUE : VARIANT_FALSE;
          v.pboolVal = &call->bools[i];
          call->boolTargets.push_back(target);
          break;
        }
        default: return false;
      }
      continue;
    }
    switch (type) {
      case VT_I2: v.vt = VT_I2; v.iVal = static_cast<short>(va_arg(argList, int)); break;
      case VT_I4: v.vt = VT_I4; v.lVal = va_arg(argList, long); break;
      case VT_R4: v.vt = VT_R4; v.fltVal = static_cast<float>(va_arg(argList, double)); break;
      case VT_R8: v.vt = VT_R8; v.dblVal = va_arg(argList, double); break;
      case VT_BSTR: v.vt = VT_BSTR; v.bstrVal = AnsiToBstr(va_arg(argList, LPCSTR)); break;
      case VT_BOOL: v.vt = VT_BOOL; v.boolVal = va_arg(argList, BOOL) ? VARIANT_TRUE : VARIANT_FALSE; break;
      case VT_UI1: v.vt = VT_UI1; v.bVal = static_cast<BYTE>(va_arg(argList, int)); break;
      case VT_VARIANT: {
        const VARIANT* p = va_arg(argList, const VARIANT*);
        if (p != NULL) ::VariantCopy(&v, const_cast<VARIANT*>(p));  // only read
        break;
      }
      case VT_DISPATCH:
      case VT_UNKNOWN: {
        IUnknown* p = va_arg(argList, IUnknown*);
        v.vt = type;
        v.punkVal = p;
        if (p != NULL) p->AddRef();
        break;
      }
      default: return false;
    }
  }
  return true;
}

HRESULT InvokeV(IDispatch* dispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                const BYTE* pbParamInfo, va_list argList) {
  ClearResult(vtRet, pvRet);
  if (dispatch == NULL) return E_NOINTERFACE;
  CallArguments call;
  if (!ReadArguments(pbParamInfo, argList, &call)) return DISP_E_BADVARTYPE;
  DISPPARAMS params = {call.args.empty() ? NULL : call.args.data(), NULL, static_cast<UINT>(call.args.size()), 0};
  DISPID named = DISPID_PROPERTYPUT;
  if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  VARIANT result;
  ::VariantInit(&result);
  EXCEPINFO exception;
  std::memset(&exception, 0, sizeof exception);
  UINT argError = 0;
  HRESULT hr = dispatch->Invoke(dwDispID, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params,
                                vtRet != VT_EMPTY ? &result : NULL, &exception, &argError);
  if (hr == DISP_E_EXCEPTION) {
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
  }
  // Whatever the control wrote through BOOL pointers goes back as BOOL.
  size_t b = 0;
  for (size_t i = 0; pbParamInfo != NULL && pbParamInfo[i] != 0; ++i) {
    if (pbParamInfo[i] != (VT_BOOL | VT_MFCBYREF)) continue;
    BOOL* target = call.boolTargets[b++];
    if (target != NULL && SUCCEEDED(hr)) *target = call.bools[i] != VARIANT_FALSE;
  }
  if (SUCCEEDED(hr)) hr = StoreResult(vtRet, pvRet, &result);
  ::VariantClear(&result);
  return hr;
}

}  // namespace

// ---- Public operations ---------------------------------------------------------------

void AFXAPI AfxEnableControlContainer() {
  EnsureOle();
  g_containerEnabled = true;
}

HRESULT AFXAPI AfxGetLastControlResult() { return GetThreadState().hrLastControlCall; }

BOOL CWnd::CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID) {
  if (m_hWnd != NULL) return FALSE;
  HWND hWnd = CreateControlWindow(clsid, lpszWindowName, dwStyle, rect, pParentWnd->GetSafeHwnd(), nID, NULL);
  if (hWnd == NULL) return FALSE;
  if (!SubclassWindow(hWnd)) {
    ::DestroyWindow(hWnd);
    return FALSE;
  }
  return TRUE;
}

BOOL CWnd::CreateControl(LPCTSTR lpszClass, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID) {
  CLSID clsid;
  if (!EnsureOle() || !ClassIdFromText(lpszClass, &clsid)) return FALSE;
  return CreateControl(clsid, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

IUnknown* CWnd::GetControlUnknown() {
  ControlSite* site = SiteOf(m_hWnd);
  return site != NULL ? site->Unknown() : NULL;
}

void __cdecl CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                                ...) {
  va_list args;
  va_start(args, pbParamInfo);
  ControlSite* site = SiteOf(m_hWnd);
  HRESULT hr = InvokeV(site != NULL ? site->Dispatch() : NULL, dwDispID, wFlags, vtRet, pvRet, pbParamInfo, args);
  va_end(args);
  SetLastResult(hr);
}

void __cdecl CWnd::SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) {
  va_list args;
  va_start(args, vtProp);
  BYTE params[2] = {static_cast<BYTE>(vtProp), 0};
  ControlSite* site = SiteOf(m_hWnd);
  HRESULT hr = InvokeV(site != NULL ? site->Dispatch() : NULL, dwDispID,
                       vtProp == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT, VT_EMPTY, NULL,
                       params, args);
  va_end(args);
  SetLastResult(hr);
}

namespace {
HRESULT GetPropertyNoArgs(IDispatch* dispatch, DISPID dwDispID, VARTYPE vtProp, void* pvProp, ...) {
  va_list args;
  va_start(args, pvProp);
  HRESULT hr = InvokeV(dispatch, dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, NULL, args);
  va_end(args);
  return hr;
}
}  // namespace

void CWnd::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const {
  ControlSite* site = SiteOf(m_hWnd);
  SetLastResult(GetPropertyNoArgs(site != NULL ? site->Dispatch() : NULL, dwDispID, vtProp, pvProp));
}

// ---- Event sink maps --------------------------------------------------------------------

const AFX_EVENTSINKMAP* CWnd::GetThisEventSinkMap() {
  static const AFX_EVENTSINKMAP_ENTRY entries[] = {{0, 0, nullptr, nullptr}};
  static const AFX_EVENTSINKMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_EVENTSINKMAP* CWnd::GetEventSinkMap() const { return GetThisEventSinkMap(); }

BOOL AFXAPI AfxDispatchControlEvent(CWnd* pOwner, UINT nCtlID, DISPID dispid, DISPPARAMS* pParams,
                                    HRESULT* pResult) {
  *pResult = S_OK;
  if (pOwner == NULL || pParams == NULL) return FALSE;
  for (const AFX_EVENTSINKMAP* map = pOwner->GetEventSinkMap(); map != NULL;
       map = map->pfnGetBaseMap != NULL ? map->pfnGetBaseMap() : NULL) {
    for (const AFX_EVENTSINKMAP_ENTRY* e = map->lpEntries; e != NULL && e->pfnCall != NULL; ++e) {
      if (e->nCtlID != nCtlID || e->dispid != dispid) continue;
      if (e->pfnCall(pOwner, pParams, pResult)) return TRUE;
      if (FAILED(*pResult)) return FALSE;  // the arguments do not fit the handler
    }
  }
  return FALSE;
}

namespace quorbel_ole {

bool ArgToLong(VARIANT* v, long* out) {
  VARIANT* src = v;
  if (src->vt == (VT_VARIANT | VT_BYREF) && src->pvarVal != NULL) src = src->pvarVal;
  if (src->vt == VT_BOOL) {
    *out = src->boolVal != VARIANT_FALSE ? TRUE : FALSE;
    return true;
  }
  VARIANT converted;
  ::VariantInit(&converted);
  if (FAILED(::VariantChangeType(&converted, src, 0, VT_I4))) return false;
  *out = converted.lVal;
  return true;
}

bool ArgToDouble(VARIANT* v, double* out) {
  VARIANT converted;
  ::VariantInit(&converted);
  if (FAILED(::VariantChangeType(&converted, v, 0, VT_R8))) return false;
  *out = converted.dblVal;
  return true;
}

bool ArgToText(VARIANT* v, CString* out) {
  VARIANT converted;
  ::VariantInit(&converted);
  if (FAILED(::VariantChangeType(&converted, v, 0, VT_BSTR))) return false;
  *out = BstrToAnsi(converted.bstrVal);
  ::VariantClear(&converted);
  return true;
}

}  // namespace quorbel_ole

// ---- Dialog placeholders ----------------------------------------------------------------

namespace quorbel_mfc {

void CreateDialogControls(CWnd* pDialog) {
  if (!g_containerEnabled || pDialog == NULL || pDialog->m_hWnd == NULL) return;
  // Collect first: replacing changes the child list.
  std::vector<HWND> placeholders;
  for (HWND child = ::GetWindow(pDialog->m_hWnd, GW_CHILD); child != NULL; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char cls[16] = "", text[64] = "";
    ::GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) continue;
    ::GetWindowTextA(child, text, sizeof text);
    if (text[0] == '{' && std::strlen(text) == 38) placeholders.push_back(child);
  }
  for (HWND placeholder : placeholders) {
    char text[64] = "";
    ::GetWindowTextA(placeholder, text, sizeof text);
    CLSID clsid;
    if (!ClassIdFromText(text, &clsid)) continue;
    RECT rect;
    ::GetWindowRect(placeholder, &rect);
    ::MapWindowPoints(NULL, pDialog->m_hWnd, reinterpret_cast<LPPOINT>(&rect), 2);
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(placeholder, GWL_STYLE));
    UINT nID = static_cast<UINT>(::GetDlgCtrlID(placeholder));
    // The control takes the placeholder's place in the tab order.
    HWND before = ::GetWindow(placeholder, GW_HWNDPREV);
    ::SetWindowLongPtrA(placeholder, GWLP_ID, 0);  // the id goes to the control
    HWND control = CreateControlWindow(clsid, NULL, style & (WS_VISIBLE | WS_DISABLED | WS_TABSTOP), rect,
                                       pDialog->m_hWnd, nID, before != NULL ? before : HWND_TOP);
    if (control == NULL) {
      ::SetWindowLongPtrA(placeholder, GWLP_ID, static_cast<LONG_PTR>(nID));
      continue;
    }
    ::DestroyWindow(placeholder);
  }
}

}  // namespace quorbel_mfc
