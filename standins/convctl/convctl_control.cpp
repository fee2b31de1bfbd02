// The conversion control: a hand-written dispinterface with the programs'
// dispatch ids, the outgoing event interface through one connection point,
// and just enough of the OLE control interfaces to be hosted in a dialog
// as an invisible window.
//
// A conversion runs on a worker thread: an MPEG program stream that already
// fits the profile is cut without re-encoding (CutClip of ps_demux.h), any
// other file is converted through FFmpeg (ConvertClip of media_convert.h).
// The worker
// posts what it has to say to the control's window; the window procedure
// fires the events, so they arrive on the thread that owns the control.
// Every Start begins a new run number; Stop ends the worker, and posts of
// an earlier run are dropped, so a stopped run never reports back.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "standins/common/standin_trace.h"
#include "standins/convctl/convctl_control.h"
#include "standins/convctl/media_convert.h"
#include "standins/convctl/ps_demux.h"
#include "standins/include/convctl.h"

namespace convctl {

namespace {

const char kWindowClass[] = "QuorbelConversionControl";
const UINT kMsgEvent = WM_APP + 0x51;  // wParam run, lParam PostedEvent*

// An event the worker asks the window to fire.
struct PostedEvent {
  DISPID id;
  long code;
  std::string text;
  bool ends;  // the run is over (finished or failed)
};

std::string ToAnsi(BSTR text) {
  if (text == NULL) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);
  if (n <= 1) return std::string();
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &s[0], n, NULL, NULL);
  s.resize(static_cast<size_t>(n - 1));
  return s;
}

BSTR ToBstr(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, NULL, 0);
  std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &w[0], n);
  return SysAllocString(w.c_str());
}

// Reads a milliseconds switch of the environment (0 when unset).
DWORD PaceFromEnvironment() {
  char value[32] = "";
  DWORD n = GetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", value, sizeof value);
  if (n == 0 || n >= sizeof value) return 0;
  long ms = strtol(value, NULL, 10);
  return ms > 0 && ms < 10000 ? static_cast<DWORD>(ms) : 0;
}

struct ProfileInfo {
  int number;
  const char* name;
  int discType;   // 0 VCD, 1 SVCD, 2 DVD
  bool pal;
};
const ProfileInfo kProfiles[] = {
    {kConvProfileVcdNtsc, "VCD NTSC", 0, false},   {kConvProfileVcdPal, "VCD PAL", 0, true},
    {kConvProfileSvcdNtsc, "SVCD NTSC", 1, false}, {kConvProfileSvcdPal, "SVCD PAL", 1, true},
    {kConvProfileDvdNtsc, "DVD NTSC", 2, false},   {kConvProfileDvdPal, "DVD PAL", 2, true},
};

const ProfileInfo* FindProfile(long number) {
  for (const ProfileInfo& p : kProfiles)
    if (p.number == number) return &p;
  return NULL;
}

// One run of the worker: its inputs, written before the thread starts, and
// what the two threads share (the cancel flag and the position).
struct Job {
  std::string input, videoOutput, audioOutput;
  double start = 0, stop = 0;
  SourceInfo source;
  bool transcode = false;  // through FFmpeg, to target
  TargetFormat target;
  HWND window = NULL;
  LONG run = 0;
  DWORD paceMs = 0;
  std::atomic<bool> cancel{false};
  std::atomic<double> position{0};  // seconds from the clip's start
};

class JobObserver : public ClipObserver {
public:
  explicit JobObserver(Job* job) : job_(job) {}
  bool Continue() override {
    if (job_->paceMs > 0 && !job_->cancel.load()) Sleep(job_->paceMs);
    return !job_->cancel.load();
  }
  void Progress(double seconds) override {
    // Never backwards.
    if (seconds > job_->position.load()) job_->position.store(seconds);
  }

private:
  Job* job_;
};

void Post(Job* job, DISPID id, long code, const std::string& text, bool ends) {
  PostedEvent* e = new PostedEvent{id, code, text, ends};
  if (!PostMessageA(job->window, kMsgEvent, static_cast<WPARAM>(job->run), reinterpret_cast<LPARAM>(e)))
    delete e;
}

DWORD WINAPI Worker(LPVOID parameter) {
  Job* job = static_cast<Job*>(parameter);
  ClipRequest request;
  request.input = job->input.c_str();
  request.videoOutput = job->videoOutput.c_str();
  request.audioOutput = job->audioOutput.c_str();
  request.start = job->start;
  request.stop = job->stop;
  JobObserver observer(job);
  int result;
  std::string reason;
  if (job->transcode) {
    ConvertRequest convert;
    convert.input = request.input;
    convert.videoOutput = request.videoOutput;
    convert.audioOutput = request.audioOutput;
    convert.start = request.start;
    convert.stop = request.stop;
    convert.target = job->target;
    ConvertReport report;
    result = ConvertClip(convert, &observer, &report, &reason);
    StandinTrace(kTraceName, "worker run %ld: %s (%d pictures, %d audio frames, %.3f s)", static_cast<long>(job->run),
                 reason.empty() ? ClipResultText(result) : reason.c_str(), report.videoFrames, report.audioFrames,
                 report.seconds);
  } else {
    ClipReport report;
    result = CutClip(request, job->source, &observer, &report);
    reason = ClipResultText(result);
    StandinTrace(kTraceName, "worker run %ld: %s (%d GOPs, %d audio frames, %.3f-%.3f s)", static_cast<long>(job->run),
                 ClipResultText(result), report.gops, report.audioFrames, report.videoStart, report.videoEnd);
  }
  if (result == kClipOk) {
    Post(job, kConvEventFinished, 0, std::string(), true);
  } else if (result != kClipCancelled) {
    Post(job, kConvEventError, 100 + result, reason, true);
  }
  return 0;
}

class ConnectionPoint;

// ---- The control ---------------------------------------------------------------

class Control : public IDispatch,
                public IOleObject,
                public IOleInPlaceObject,
                public IViewObject,
                public IConnectionPointContainer,
                public IProvideClassInfo2,
                public IPersistStreamInit {
public:
  Control();
  virtual ~Control();

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count == NULL) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != NULL) *info = NULL;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argError) override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override {
    if (m != NULL) *m = NULL;
    return E_NOTIMPL;
  }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject** d) override {
    if (d != NULL) *d = NULL;
    return E_NOTIMPL;
  }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** e) override {
    if (e != NULL) *e = NULL;
    return E_NOTIMPL;
  }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override {
    if (clsid == NULL) return E_POINTER;
    *clsid = CLSID_ConversionControl;
    return S_OK;
  }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR* type) override {
    if (type != NULL) *type = NULL;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override {
    if (size == NULL) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    extent_ = *size;
    return S_OK;
  }
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override {
    if (size == NULL) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = extent_;
    return S_OK;
  }
  STDMETHODIMP Advise(IAdviseSink*, DWORD* cookie) override {
    if (cookie != NULL) *cookie = 0;
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** e) override {
    if (e != NULL) *e = NULL;
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override {
    if (status == NULL) return E_POINTER;
    *status = aspect == DVASPECT_CONTENT
                  ? OLEMISC_INVISIBLEATRUNTIME | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST |
                        OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE
                  : 0;
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow / IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* window) override {
    if (window == NULL) return E_POINTER;
    *window = window_;
    return window_ != NULL ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override {
    if (position == NULL) return E_POINTER;
    if (window_ != NULL)
      MoveWindow(window_, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
    return S_OK;
  }
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IViewObject: an invisible control draws a plain frame where it sits.
  STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdc, LPCRECTL bounds, LPCRECTL,
                    BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (hdc == NULL || bounds == NULL) return E_INVALIDARG;
    RECT r = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    FrameRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    return S_OK;
  }
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** set) override {
    if (set != NULL) *set = NULL;
    return S_FALSE;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return S_OK; }
  STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink** sink) override {
    if (sink != NULL) *sink = NULL;
    return S_OK;
  }

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** e) override {
    if (e != NULL) *e = NULL;
    return E_NOTIMPL;
  }
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override {
    if (info != NULL) *info = NULL;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override {
    if (guid == NULL) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = DIID_ConversionControlEvents;
    return S_OK;
  }

  // IPersistStreamInit: no state to keep.
  STDMETHODIMP GetClassID(CLSID* clsid) override { return GetUserClassID(clsid); }
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(LPSTREAM) override { return S_OK; }
  STDMETHODIMP Save(LPSTREAM, BOOL) override { return S_OK; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override {
    if (size == NULL) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
  }
  STDMETHODIMP InitNew() override { return S_OK; }

  // Sinks of the event interface (kept by the connection point).
  std::vector<std::pair<DWORD, IDispatch*>> sinks_;
  DWORD nextCookie_ = 1;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
  bool EnsureWindow(HWND parent, const RECT* rect);
  void DestroyOwnWindow();
  void Fire(DISPID id, long code, const std::string& text, bool hasArguments);
  void PostToSelf(DISPID id, long code, const std::string& text, bool ends);
  void OnPosted(WPARAM run, PostedEvent* e);

  HRESULT GetFileInfo(DISPPARAMS* params);
  BOOL Start();
  void StopRun(const char* why);

  LONG refs_ = 1;
  IOleClientSite* site_ = NULL;   // held
  HWND window_ = NULL;            // the control's window (child, or message-only)
  SIZEL extent_ = {1000, 1000};   // HIMETRIC
  ConnectionPoint* point_;        // the one connection point, owned
  // Properties.
  std::string input_, output_;
  long profile_ = 0;
  long audioBitRate_ = 0, videoBitRate_ = 0;
  BOOL flags_[4] = {FALSE, FALSE, FALSE, FALSE};  // dispids 2, 16, 18, 26
  double start_ = 0, stop_ = 0;
  // The current run.
  Job* job_ = NULL;               // the worker's block while a run exists
  HANDLE thread_ = NULL;          // the worker, until it is joined
  LONG run_ = 0;                  // number of the current run
  bool running_ = false;          // a run is converting (until its end event)
  double total_ = 0;              // clip length of the current run, seconds
  double finalPosition_ = 0;      // position of the last ended run
};

// ---- The connection point -----------------------------------------------------------

class ConnectionPoint : public IConnectionPoint {
public:
  explicit ConnectionPoint(Control* owner) : owner_(owner) {}
  virtual ~ConnectionPoint() = default;
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == NULL) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
      *ppv = static_cast<IConnectionPoint*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
  }
  // Lives as long as its control: references go to the control.
  STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }
  STDMETHODIMP GetConnectionInterface(IID* iid) override {
    if (iid == NULL) return E_POINTER;
    *iid = DIID_ConversionControlEvents;
    return S_OK;
  }
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override {
    if (container == NULL) return E_POINTER;
    *container = static_cast<IConnectionPointContainer*>(owner_);
    owner_->AddRef();
    return S_OK;
  }
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
    if (sink == NULL || cookie == NULL) return E_POINTER;
    *cookie = 0;
    IDispatch* dispatch = NULL;
    if (FAILED(sink->QueryInterface(DIID_ConversionControlEvents, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
      return CONNECT_E_CANNOTCONNECT;
    *cookie = owner_->nextCookie_++;
    owner_->sinks_.push_back({*cookie, dispatch});
    StandinTrace(kTraceName, "Advise -> %lu", static_cast<unsigned long>(*cookie));
    return S_OK;
  }
  STDMETHODIMP Unadvise(DWORD cookie) override {
    for (size_t i = 0; i < owner_->sinks_.size(); ++i) {
      if (owner_->sinks_[i].first == cookie) {
        IDispatch* sink = owner_->sinks_[i].second;
        owner_->sinks_.erase(owner_->sinks_.begin() + static_cast<long>(i));
        sink->Release();
        StandinTrace(kTraceName, "Unadvise %lu", static_cast<unsigned long>(cookie));
        return S_OK;
      }
    }
    return CONNECT_E_NOCONNECTION;
  }
  STDMETHODIMP EnumConnections(IEnumConnections** e) override {
    if (e != NULL) *e = NULL;
    return E_NOTIMPL;
  }

private:
  Control* owner_;
};

Control::Control() : point_(new ConnectionPoint(this)) {
  InterlockedIncrement(&g_objects);
  StandinTrace(kTraceName, "control created");
}

Control::~Control() {
  StopRun("release");
  DestroyOwnWindow();
  for (auto& s : sinks_) s.second->Release();
  sinks_.clear();
  if (site_ != NULL) site_->Release();
  delete point_;
  InterlockedDecrement(&g_objects);
  StandinTrace(kTraceName, "control released");
}

STDMETHODIMP Control::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == NULL) return E_POINTER;
  *ppv = NULL;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID_ConversionControl))
    *ppv = static_cast<IDispatch*>(this);
  else if (IsEqualIID(riid, IID_IOleObject))
    *ppv = static_cast<IOleObject*>(this);
  else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceObject))
    *ppv = static_cast<IOleInPlaceObject*>(this);
  else if (IsEqualIID(riid, IID_IViewObject))
    *ppv = static_cast<IViewObject*>(this);
  else if (IsEqualIID(riid, IID_IConnectionPointContainer))
    *ppv = static_cast<IConnectionPointContainer*>(this);
  else if (IsEqualIID(riid, IID_IProvideClassInfo) || IsEqualIID(riid, IID_IProvideClassInfo2))
    *ppv = static_cast<IProvideClassInfo2*>(this);
  else if (IsEqualIID(riid, IID_IPersistStreamInit))
    *ppv = static_cast<IPersistStreamInit*>(this);
  if (*ppv == NULL) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP Control::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (point == NULL) return E_POINTER;
  *point = NULL;
  if (!IsEqualIID(riid, DIID_ConversionControlEvents)) return CONNECT_E_NOCONNECTION;
  *point = point_;
  point_->AddRef();
  return S_OK;
}

// ---- Window ------------------------------------------------------------------------------

bool Control::EnsureWindow(HWND parent, const RECT* rect) {
  if (window_ != NULL) {
    if (parent != NULL && GetParent(window_) != parent) SetParent(window_, parent);
    if (rect != NULL)
      MoveWindow(window_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, FALSE);
    return true;
  }
  WNDCLASSA wc;
  if (!::GetClassInfoA(g_module, kWindowClass, &wc)) {
    wc = WNDCLASSA();
    wc.lpfnWndProc = &Control::WindowProc;
    wc.hInstance = g_module;
    wc.hCursor = LoadCursorA(NULL, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
  }
  RECT r = rect != NULL ? *rect : RECT{0, 0, 0, 0};
  // Without a container window the control still needs one for its
  // events: a message-only window.
  DWORD style = parent != NULL ? WS_CHILD | WS_CLIPSIBLINGS : 0;
  window_ = CreateWindowExA(0, kWindowClass, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                            parent != NULL ? parent : HWND_MESSAGE, NULL, g_module, NULL);
  if (window_ == NULL) return false;
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

void Control::DestroyOwnWindow() {
  if (window_ == NULL) return;
  HWND window = window_;
  window_ = NULL;
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  // Events posted but not delivered go with it.
  MSG msg;
  while (PeekMessageA(&msg, window, kMsgEvent, kMsgEvent, PM_REMOVE))
    delete reinterpret_cast<PostedEvent*>(msg.lParam);
  DestroyWindow(window);
}

LRESULT CALLBACK Control::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Control* control = reinterpret_cast<Control*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == kMsgEvent) {
    PostedEvent* e = reinterpret_cast<PostedEvent*>(lParam);
    if (control != NULL) {
      control->AddRef();  // a handler may release the control
      control->OnPosted(wParam, e);
      control->Release();
    }
    delete e;
    return 0;
  }
  if (message == WM_NCDESTROY && control != NULL) {
    // The container destroyed the window (its dialog went): forget it.
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    MSG msg;
    while (PeekMessageA(&msg, window, kMsgEvent, kMsgEvent, PM_REMOVE))
      delete reinterpret_cast<PostedEvent*>(msg.lParam);
    control->window_ = NULL;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void Control::OnPosted(WPARAM run, PostedEvent* e) {
  if (static_cast<LONG>(run) != run_) return;  // from a run that was stopped
  if (e->ends) {
    if (thread_ != NULL) {
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
      thread_ = NULL;
    }
    finalPosition_ = e->id == kConvEventFinished ? total_ : (job_ != NULL ? job_->position.load() : 0);
    if (finalPosition_ > total_) finalPosition_ = total_;
    delete job_;
    job_ = NULL;
    running_ = false;
  }
  StandinTrace(kTraceName, "event %ld (%ld, \"%s\")", static_cast<long>(e->id), e->code, e->text.c_str());
  Fire(e->id, e->code, e->text, e->id == kConvEventStatus || e->id == kConvEventError);
}

void Control::Fire(DISPID id, long code, const std::string& text, bool hasArguments) {
  // A handler may unadvise: call a copy of the list.
  std::vector<IDispatch*> sinks;
  for (auto& s : sinks_) {
    s.second->AddRef();
    sinks.push_back(s.second);
  }
  VARIANT args[2];
  DISPPARAMS params = {NULL, NULL, 0, 0};
  if (hasArguments) {
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[1].vt = VT_I4;  // arguments go last to first
    args[1].lVal = code;
    args[0].vt = VT_BSTR;
    args[0].bstrVal = ToBstr(text);
    params.rgvarg = args;
    params.cArgs = 2;
  }
  for (IDispatch* sink : sinks) {
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, NULL, NULL, NULL);
    sink->Release();
  }
  if (hasArguments) VariantClear(&args[0]);
}

void Control::PostToSelf(DISPID id, long code, const std::string& text, bool ends) {
  if (!EnsureWindow(NULL, NULL)) return;
  PostedEvent* e = new PostedEvent{id, code, text, ends};
  if (!PostMessageA(window_, kMsgEvent, static_cast<WPARAM>(run_), reinterpret_cast<LPARAM>(e))) delete e;
}

// ---- OLE object ----------------------------------------------------------------------

STDMETHODIMP Control::SetClientSite(IOleClientSite* site) {
  if (site != NULL) site->AddRef();
  if (site_ != NULL) site_->Release();
  site_ = site;
  return S_OK;
}

STDMETHODIMP Control::GetClientSite(IOleClientSite** site) {
  if (site == NULL) return E_POINTER;
  *site = site_;
  if (site_ != NULL) site_->AddRef();
  return S_OK;
}

STDMETHODIMP Control::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      break;
    case OLEIVERB_HIDE:
      if (window_ != NULL) ShowWindow(window_, SW_HIDE);
      return S_OK;
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
  if (site == NULL) site = site_;
  IOleInPlaceSite* inPlace = NULL;
  if (site != NULL) site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace));
  HWND container = parent;
  RECT position = rect != NULL ? *rect : RECT{0, 0, 0, 0};
  if (inPlace != NULL) {
    if (inPlace->CanInPlaceActivate() != S_OK) {
      inPlace->Release();
      return OLEOBJ_S_CANNOT_DOVERB_NOW;
    }
    HWND siteWindow = NULL;
    if (SUCCEEDED(inPlace->GetWindow(&siteWindow)) && siteWindow != NULL) container = siteWindow;
    IOleInPlaceFrame* frame = NULL;
    IOleInPlaceUIWindow* document = NULL;
    RECT clip;
    OLEINPLACEFRAMEINFO info = {sizeof info, FALSE, NULL, NULL, 0};
    if (SUCCEEDED(inPlace->GetWindowContext(&frame, &document, &position, &clip, &info))) {
      if (frame != NULL) frame->Release();
      if (document != NULL) document->Release();
    }
    inPlace->OnInPlaceActivate();
  }
  bool ok = EnsureWindow(container, &position);
  if (inPlace != NULL) inPlace->Release();
  StandinTrace(kTraceName, "DoVerb %ld -> %s", static_cast<long>(verb), ok ? "window" : "no window");
  return ok ? S_OK : E_FAIL;
}

STDMETHODIMP Control::InPlaceDeactivate() {
  DestroyOwnWindow();
  IOleInPlaceSite* inPlace = NULL;
  if (site_ != NULL && SUCCEEDED(site_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
    inPlace->OnInPlaceDeactivate();
    inPlace->Release();
  }
  return S_OK;
}

STDMETHODIMP Control::Close(DWORD) {
  StopRun("close");
  if (window_ != NULL) InPlaceDeactivate();
  StandinTrace(kTraceName, "Close");
  return S_OK;
}

// ---- Dispatch --------------------------------------------------------------------------

struct NamedId {
  const wchar_t* name;
  DISPID id;
};
const NamedId kNames[] = {
    {L"AudioBitRate", kConvDispAudioBitRate}, {L"Flag2", kConvDispFlag2},
    {L"TotalTime", kConvDispTotalTime},       {L"GetFileInfo", kConvDispGetFileInfo},
    {L"OutputFile", kConvDispOutputFile},     {L"Profile", kConvDispProfile},
    {L"Flag16", kConvDispFlag16},             {L"Position", kConvDispPosition},
    {L"Flag18", kConvDispFlag18},             {L"InputFile", kConvDispInputFile},
    {L"Start", kConvDispStart},               {L"StartTime", kConvDispStartTime},
    {L"StopTime", kConvDispStopTime},         {L"Stop", kConvDispStop},
    {L"Flag26", kConvDispFlag26},             {L"VideoBitRate", kConvDispVideoBitRate},
};

STDMETHODIMP Control::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == NULL || ids == NULL) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    for (const NamedId& n : kNames)
      if (i == 0 && lstrcmpiW(names[i], n.name) == 0) ids[i] = n.id;
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

// Argument index (from the first) in DISPPARAMS, which stores them last to first.
VARIANT* Arg(DISPPARAMS* params, UINT index) { return &params->rgvarg[params->cArgs - 1 - index]; }

HRESULT ArgAs(DISPPARAMS* params, UINT index, VARTYPE type, VARIANT* out) {
  VariantInit(out);
  return VariantChangeType(out, Arg(params, index), 0, type);
}

// Writes a result through a by-reference argument of the expected kind.
HRESULT PutRef(VARIANT* arg, double value) {
  if (arg->vt == (VT_R8 | VT_BYREF) && arg->pdblVal != NULL) { *arg->pdblVal = value; return S_OK; }
  if (arg->vt == (VT_VARIANT | VT_BYREF) && arg->pvarVal != NULL) {
    VariantClear(arg->pvarVal);
    arg->pvarVal->vt = VT_R8;
    arg->pvarVal->dblVal = value;
    return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}
HRESULT PutRefBool(VARIANT* arg, bool value) {
  VARIANT_BOOL b = value ? VARIANT_TRUE : VARIANT_FALSE;
  if (arg->vt == (VT_BOOL | VT_BYREF) && arg->pboolVal != NULL) { *arg->pboolVal = b; return S_OK; }
  if (arg->vt == (VT_VARIANT | VT_BYREF) && arg->pvarVal != NULL) {
    VariantClear(arg->pvarVal);
    arg->pvarVal->vt = VT_BOOL;
    arg->pvarVal->boolVal = b;
    return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}
HRESULT PutRefLong(VARIANT* arg, long value) {
  if (arg->vt == (VT_I4 | VT_BYREF) && arg->plVal != NULL) { *arg->plVal = value; return S_OK; }
  if (arg->vt == (VT_VARIANT | VT_BYREF) && arg->pvarVal != NULL) {
    VariantClear(arg->pvarVal);
    arg->pvarVal->vt = VT_I4;
    arg->pvarVal->lVal = value;
    return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}
HRESULT PutRefText(VARIANT* arg, const std::string& value) {
  if (arg->vt == (VT_BSTR | VT_BYREF) && arg->pbstrVal != NULL) {
    SysFreeString(*arg->pbstrVal);  // the caller's string is ours to replace
    *arg->pbstrVal = ToBstr(value);
    return S_OK;
  }
  if (arg->vt == (VT_VARIANT | VT_BYREF) && arg->pvarVal != NULL) {
    VariantClear(arg->pvarVal);
    arg->pvarVal->vt = VT_BSTR;
    arg->pvarVal->bstrVal = ToBstr(value);
    return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}

const char* AudioName(const SourceInfo& s) {
  switch (s.audio) {
    case kAudioMpeg: return s.audioLayer == 1 ? "MPEG audio layer I" : s.audioLayer == 3 ? "MPEG audio layer III"
                                                                                       : "MPEG audio layer II";
    case kAudioAc3: return "AC-3 audio";
    case kAudioLpcm: return "LPCM audio (not supported)";
    default: return "no audio";
  }
}

// GetFileInfo(path, frame rate, duration, video usable, audio usable,
// width, height, video bit rate, description).
HRESULT Control::GetFileInfo(DISPPARAMS* params) {
  if (params->cArgs != 9) return DISP_E_BADPARAMCOUNT;
  VARIANT path;
  HRESULT hr = ArgAs(params, 0, VT_BSTR, &path);
  if (FAILED(hr)) return hr;
  std::string file = ToAnsi(path.bstrVal);
  VariantClear(&path);
  // A program stream the control can cut answers for itself; any other
  // file is what FFmpeg makes of it.
  SourceInfo info;
  int probe = ProbeSource(file.c_str(), &info);
  bool video = probe == kProbeOk && info.hasVideo;
  bool audio = probe == kProbeOk && (info.audio == kAudioMpeg || info.audio == kAudioAc3);
  double duration = probe == kProbeOk ? info.duration : 0;
  char text[256];
  if (probe == kProbeOk)
    snprintf(text, sizeof text, "MPEG-%d program stream: %s %dx%d %.2f fps, %s", info.packVersion,
             info.hasVideo ? (info.videoVersion == 2 ? "MPEG-2 video" : "MPEG-1 video") : "no video", info.width,
             info.height, info.frameRate, AudioName(info));
  else
    snprintf(text, sizeof text, "%s", ProbeResultText(probe));
  if (!(video && audio)) {
    MediaInfo media;
    if (ProbeMedia(file.c_str(), &media)) {
      video = audio = true;
      duration = media.duration;
      info.frameRate = media.frameRate;
      info.width = media.width;
      info.height = media.height;
      info.videoBitRate = media.videoBitRate;
      snprintf(text, sizeof text, "%s", media.description.c_str());
    } else if (probe != kProbeOk) {
      snprintf(text, sizeof text, "%s", media.reason.c_str());
    }
  }
  StandinTrace(kTraceName, "GetFileInfo \"%s\" -> %.3f s, video %d, audio %d: %s", file.c_str(), duration, video,
               audio, text);
  HRESULT results[8] = {
      PutRef(Arg(params, 1), info.frameRate), PutRef(Arg(params, 2), duration),
      PutRefBool(Arg(params, 3), video),      PutRefBool(Arg(params, 4), audio),
      PutRefLong(Arg(params, 5), info.width), PutRefLong(Arg(params, 6), info.height),
      PutRefLong(Arg(params, 7), info.videoBitRate), PutRefText(Arg(params, 8), text)};
  for (HRESULT r : results)
    if (FAILED(r)) return r;
  return S_OK;
}

STDMETHODIMP Control::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO*, UINT* argError) {
  static DISPPARAMS none = {NULL, NULL, 0, 0};
  if (params == NULL) params = &none;
  if (argError != NULL) *argError = 0;
  bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  bool get = (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0 && !put;
  if (put && params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  VARIANT value;
  VariantInit(&value);
  auto putAs = [&](VARTYPE type) -> HRESULT { return ArgAs(params, 0, type, &value); };
  auto give = [&](VARTYPE type, double number, const std::string* text) {
    if (result == NULL) return;
    VariantInit(result);
    result->vt = type;
    if (type == VT_R8) result->dblVal = number;
    if (type == VT_I4) result->lVal = static_cast<long>(number);
    if (type == VT_BOOL) result->boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    if (type == VT_BSTR) result->bstrVal = ToBstr(*text);
  };
  HRESULT hr = S_OK;
  switch (id) {
    case kConvDispAudioBitRate:
    case kConvDispVideoBitRate:
    case kConvDispProfile: {
      long* field = id == kConvDispAudioBitRate ? &audioBitRate_ : id == kConvDispVideoBitRate ? &videoBitRate_ : &profile_;
      if (put) {
        if (FAILED(hr = putAs(VT_I4))) return hr;
        *field = value.lVal;
        StandinTrace(kTraceName, "put %ld = %ld", static_cast<long>(id), *field);
      } else if (get) {
        give(VT_I4, *field, NULL);
      }
      break;
    }
    case kConvDispFlag2:
    case kConvDispFlag16:
    case kConvDispFlag18:
    case kConvDispFlag26: {
      BOOL* field = &flags_[id == kConvDispFlag2 ? 0 : id == kConvDispFlag16 ? 1 : id == kConvDispFlag18 ? 2 : 3];
      if (put) {
        if (FAILED(hr = putAs(VT_BOOL))) return hr;
        *field = value.boolVal != VARIANT_FALSE;
        StandinTrace(kTraceName, "put %ld = %d", static_cast<long>(id), *field);
      } else if (get) {
        give(VT_BOOL, *field, NULL);
      }
      break;
    }
    case kConvDispStartTime:
    case kConvDispStopTime: {
      double* field = id == kConvDispStartTime ? &start_ : &stop_;
      if (put) {
        if (FAILED(hr = putAs(VT_R8))) return hr;
        *field = value.dblVal;
        StandinTrace(kTraceName, "put %ld = %.3f", static_cast<long>(id), *field);
      } else if (get) {
        give(VT_R8, *field, NULL);
      }
      break;
    }
    case kConvDispInputFile:
    case kConvDispOutputFile: {
      std::string* field = id == kConvDispInputFile ? &input_ : &output_;
      if (put) {
        if (FAILED(hr = putAs(VT_BSTR))) return hr;
        *field = ToAnsi(value.bstrVal);
        VariantClear(&value);
        StandinTrace(kTraceName, "put %ld = \"%s\"", static_cast<long>(id), field->c_str());
      } else if (get) {
        give(VT_BSTR, 0, field);
      }
      break;
    }
    case kConvDispTotalTime:
    case kConvDispPosition: {
      if (put) return DISP_E_MEMBERNOTFOUND;  // read-only
      double position = running_ && job_ != NULL ? job_->position.load() : finalPosition_;
      if (position > total_) position = total_;
      give(VT_R8, id == kConvDispTotalTime ? total_ : position, NULL);
      break;
    }
    case kConvDispGetFileInfo:
      if (put) return DISP_E_MEMBERNOTFOUND;
      return GetFileInfo(params);
    case kConvDispStart:
      if (put) return DISP_E_MEMBERNOTFOUND;
      give(VT_BOOL, Start(), NULL);
      break;
    case kConvDispStop:
      if (put) return DISP_E_MEMBERNOTFOUND;
      StopRun("Stop");
      break;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
  return S_OK;
}

// ---- Runs ------------------------------------------------------------------------------

BOOL Control::Start() {
  if (running_) {
    StandinTrace(kTraceName, "Start -> refused: a conversion is running");
    return FALSE;
  }
  StopRun("Start");  // a new run number; joins a worker that is still ending
  total_ = 0;
  finalPosition_ = 0;
  // The output name X ".mpg" gives X "_vid.mpg" and X "_aud.mpg".
  std::string stem = output_;
  if (stem.size() >= 4 && lstrcmpiA(stem.c_str() + stem.size() - 4, ".mpg") == 0) stem.resize(stem.size() - 4);
  const ProfileInfo* profile = FindProfile(profile_);
  std::string refusal;
  SourceInfo source;
  if (input_.empty()) refusal = "No input file is set";
  else if (stem.empty()) refusal = "No output file is set";
  else if (profile == NULL) refusal = "Unknown profile " + std::to_string(profile_);
  // An MPEG program stream that already fits is cut as it is; anything
  // else is converted.
  bool fits = false;
  MediaInfo media;
  TargetFormat target;
  if (refusal.empty()) {
    std::string mismatch = "not a program stream";
    if (ProbeSource(input_.c_str(), &source) == kProbeOk) mismatch = CopyMismatch(source, profile_);
    fits = mismatch.empty();
    StandinTrace(kTraceName, "Start: %s", fits ? "the streams fit the profile as they are"
                                                : ("converted: " + mismatch).c_str());
    if (!fits) {
      if (!ProbeMedia(input_.c_str(), &media)) refusal = media.reason;
      // 26: a 16:9 picture (else 4:3); 18: fill it by cropping (else pad).
      TargetForProfile(profile_, videoBitRate_, audioBitRate_, flags_[3] != FALSE, flags_[2] != FALSE, &target);
    }
  }
  if (!refusal.empty()) {
    StandinTrace(kTraceName, "Start \"%s\" -> error: %s", input_.c_str(), refusal.c_str());
    PostToSelf(kConvEventError, 1, refusal, false);
    return FALSE;
  }
  double length = fits ? source.duration : media.duration;
  double end = stop_ > start_ ? std::min(stop_, length) : length;
  total_ = end > start_ ? end - start_ : 0;

  Job* job = new Job;
  job->input = input_;
  job->videoOutput = stem + "_vid.mpg";
  job->audioOutput = stem + "_aud.mpg";
  job->start = start_;
  job->stop = stop_ > start_ ? stop_ : 0;
  job->source = source;
  job->transcode = !fits;
  job->target = target;
  job->run = run_;
  job->paceMs = PaceFromEnvironment();
  if (!EnsureWindow(NULL, NULL)) {
    delete job;
    return FALSE;
  }
  job->window = window_;
  job_ = job;
  running_ = true;

  char status[256];
  if (fits)
    snprintf(status, sizeof status, "Converting (streams copied, not transcoded)");
  else
    snprintf(status, sizeof status, "Converting to %s: MPEG-%d video %dx%d %.2f fps, %s audio %d Hz", profile->name,
             target.mpegVersion, target.width, target.height, static_cast<double>(target.rateNum) / target.rateDen,
             target.ac3 ? "AC-3" : "MPEG", target.sampleRate);
  PostToSelf(kConvEventStarted, 0, std::string(), false);
  PostToSelf(kConvEventStatus, 0, status, false);
  thread_ = CreateThread(NULL, 0, &Worker, job, 0, NULL);
  if (thread_ == NULL) {
    running_ = false;
    job_ = NULL;
    delete job;
    PostToSelf(kConvEventError, 2, "The conversion cannot start", false);
    return FALSE;
  }
  StandinTrace(kTraceName, "Start \"%s\" %s %.3f-%.3f -> \"%s\" (run %ld)", input_.c_str(), profile->name, start_,
               stop_, stem.c_str(), static_cast<long>(run_));
  return TRUE;
}

void Control::StopRun(const char* why) {
  ++run_;  // whatever was posted for the run so far is dropped
  if (thread_ == NULL && job_ == NULL) return;
  bool wasRunning = running_;
  if (job_ != NULL) job_->cancel.store(true);
  if (thread_ != NULL) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = NULL;
  }
  if (job_ != NULL) {
    finalPosition_ = std::min(job_->position.load(), total_);
    // A run stopped before it reported its end leaves nothing behind, not
    // even streams it may just have finished.
    if (wasRunning) {
      DeleteFileA(job_->videoOutput.c_str());
      DeleteFileA(job_->audioOutput.c_str());
    }
  }
  delete job_;
  job_ = NULL;
  running_ = false;
  if (wasRunning) StandinTrace(kTraceName, "%s: the running conversion is stopped", why);
}

}  // namespace

void UnregisterControlWindowClass() { UnregisterClassA(kWindowClass, g_module); }

HRESULT CreateConversionControl(REFIID riid, void** ppv) {
  Control* control = new Control;
  HRESULT hr = control->QueryInterface(riid, ppv);
  control->Release();
  return hr;
}

}  // namespace convctl
