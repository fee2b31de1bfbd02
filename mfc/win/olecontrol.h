// ActiveX controls in the layer's windows: CWnd::CreateControl makes a
// control a child window with a control site of its own (client site,
// in-place site, control site, ambient properties); CWnd::InvokeHelper,
// GetProperty and SetProperty call it by dispatch id; an event sink map in
// the parent window's class takes the control's events.
//
// Dialogs: a dialog template holds a control as a placeholder STATIC whose
// text is the control's class id in braces, for example
//   CONTROL "{D81ADC49-B724-468C-89FC-D39AEB8A9956}", 1069, "Static", 0, ...
// Once AfxEnableControlContainer has been called, every dialog replaces its
// placeholders with the controls before OnInitDialog, keeping the id, the
// rectangle, the z-order and the visible/disabled styles; DDX_Control then
// attaches a wrapper class to the control as to any other child window. A
// control whose class cannot be created leaves its placeholder (calls
// through the wrapper then fail and return zeroes).
//
// Calls never throw: a failed call leaves zeroes in its results, and
// AfxGetLastControlResult tells what the control answered.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "mfc/win/wnd.h"

// ---- Parameter types -----------------------------------------------------------
//
// A parameter list is a string of type bytes, the VARTYPE of each argument,
// with 0x40 added for an argument passed by pointer. In C++ the arguments
// are: VTS_I2 short, VTS_I4 long, VTS_R4 float, VTS_R8 double, VTS_BSTR
// LPCTSTR, VTS_BOOL BOOL, VTS_VARIANT const VARIANT*, VTS_DISPATCH
// IDispatch*, VTS_UNKNOWN IUnknown*, VTS_UI1 BYTE; the VTS_P* kinds are
// pointers to the same (VTS_PBSTR: BSTR*, the callee may replace it).
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_UNKNOWN "\x0D"
#define VTS_UI1 "\x11"
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR4 "\x44"
#define VTS_PR8 "\x45"
#define VTS_PBSTR "\x48"
#define VTS_PBOOL "\x4B"
#define VTS_PVARIANT "\x4C"
#define VTS_PUI1 "\x51"
#define VT_MFCBYREF 0x40

// The HRESULT of the calling thread's last InvokeHelper, GetProperty or
// SetProperty (S_OK, or why it failed).
HRESULT AFXAPI AfxGetLastControlResult();

// ---- Event sink maps ----------------------------------------------------------------

// Calls one handler with the event's arguments; FALSE when the handler
// did not take the event. *pResult: S_OK, or why the arguments did not fit.
typedef BOOL (*AFX_EVENT_CALL)(CCmdTarget* pTarget, DISPPARAMS* pParams, HRESULT* pResult);

struct AFX_EVENTSINKMAP_ENTRY {
  UINT nCtlID;            // the control's child window id; 0 ends the map
  DISPID dispid;          // the event's dispatch id
  const char* pbParams;   // its parameter types (VTS_ string)
  AFX_EVENT_CALL pfnCall; // the handler behind its argument unpacking
};

struct AFX_EVENTSINKMAP {
  const AFX_EVENTSINKMAP* (*pfnGetBaseMap)();  // NULL at the root
  const AFX_EVENTSINKMAP_ENTRY* lpEntries;
};

// Hands an event of control nCtlID to pOwner's event sink map (most derived
// class first). TRUE when a handler took it.
BOOL AFXAPI AfxDispatchControlEvent(CWnd* pOwner, UINT nCtlID, DISPID dispid, DISPPARAMS* pParams,
                                    HRESULT* pResult);

namespace quorbel_ole {

// One event argument as the handler's parameter type wants it.
template <class T>
struct EventArg;

bool ArgToLong(VARIANT* v, long* out);
bool ArgToDouble(VARIANT* v, double* out);
bool ArgToText(VARIANT* v, CString* out);

template <>
struct EventArg<long> {
  long value = 0;
  bool Load(VARIANT* v) { return ArgToLong(v, &value); }
  long Get() { return value; }
};
template <>
struct EventArg<int> {  // also BOOL
  long value = 0;
  bool Load(VARIANT* v) { return ArgToLong(v, &value); }
  int Get() { return static_cast<int>(value); }
};
template <>
struct EventArg<short> {
  long value = 0;
  bool Load(VARIANT* v) { return ArgToLong(v, &value); }
  short Get() { return static_cast<short>(value); }
};
template <>
struct EventArg<double> {
  double value = 0;
  bool Load(VARIANT* v) { return ArgToDouble(v, &value); }
  double Get() { return value; }
};
template <>
struct EventArg<float> {
  double value = 0;
  bool Load(VARIANT* v) { return ArgToDouble(v, &value); }
  float Get() { return static_cast<float>(value); }
};
template <>
struct EventArg<LPCTSTR> {
  CString value;
  bool Load(VARIANT* v) { return ArgToText(v, &value); }
  LPCTSTR Get() { return value; }
};
template <>
struct EventArg<BSTR> {
  BSTR value = NULL;
  bool Load(VARIANT* v) {
    if (v->vt == VT_BSTR) value = v->bstrVal;
    else if (v->vt == (VT_BSTR | VT_BYREF) && v->pbstrVal != NULL) value = *v->pbstrVal;
    else return false;
    return true;
  }
  BSTR Get() { return value; }
};
template <>
struct EventArg<VARIANT*> {
  VARIANT* value = NULL;
  bool Load(VARIANT* v) {
    value = v;
    return true;
  }
  VARIANT* Get() { return value; }
};

template <class C, class M, M pfn>
struct EventCall;

template <class C, class K, class R, class... A, R (K::*pfn)(A...)>
struct EventCall<C, R (K::*)(A...), pfn> {
  template <size_t... I>
  static R Run(C* object, std::tuple<EventArg<A>...>& args, std::index_sequence<I...>) {
    return (object->*pfn)(std::get<I>(args).Get()...);
  }
  static BOOL Call(CCmdTarget* target, DISPPARAMS* params, HRESULT* result) {
    if (params->cArgs != sizeof...(A)) {
      *result = DISP_E_BADPARAMCOUNT;
      return FALSE;
    }
    std::tuple<EventArg<A>...> args;
    bool loaded = Load(args, params, std::index_sequence_for<A...>());
    if (!loaded) {
      *result = DISP_E_TYPEMISMATCH;
      return FALSE;
    }
    *result = S_OK;
    C* object = static_cast<C*>(target);
    if constexpr (std::is_same<R, void>::value) {
      Run(object, args, std::index_sequence_for<A...>());
      return TRUE;
    } else {
      return Run(object, args, std::index_sequence_for<A...>()) ? TRUE : FALSE;
    }
  }
  template <size_t... I>
  static bool Load(std::tuple<EventArg<A>...>& args, DISPPARAMS* params, std::index_sequence<I...>) {
    // DISPPARAMS keeps the arguments last to first.
    bool ok = true;
    (void)params;
    ((ok = ok && std::get<I>(args).Load(&params->rgvarg[params->cArgs - 1 - I])), ...);
    return ok;
  }
};

}  // namespace quorbel_ole

#define DECLARE_EVENTSINK_MAP()                     \
protected:                                          \
  static const AFX_EVENTSINKMAP* GetThisEventSinkMap(); \
  const AFX_EVENTSINKMAP* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                        \
  const AFX_EVENTSINKMAP* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); } \
  const AFX_EVENTSINKMAP* theClass::GetThisEventSinkMap() {                             \
    typedef baseClass TheBaseClass;                                                     \
    static const AFX_EVENTSINKMAP_ENTRY _eventEntries[] = {

// Handlers return void, or BOOL (FALSE: not taken). Their parameter types
// follow the VTS_ list: long, BOOL, short, double, float, LPCTSTR, BSTR or
// VARIANT*.
#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                   \
  {static_cast<UINT>(id), static_cast<DISPID>(dispid), vtsParams,               \
   &quorbel_ole::EventCall<theClass, decltype(&theClass::pfnHandler), &theClass::pfnHandler>::Call},

#define END_EVENTSINK_MAP()                                                         \
      {0, 0, nullptr, nullptr}};                                                    \
    static const AFX_EVENTSINKMAP eventMap = {&TheBaseClass::GetThisEventSinkMap,   \
                                              &_eventEntries[0]};                   \
    return &eventMap;                                                               \
  }

namespace quorbel_mfc {

// Replaces the dialog's placeholder statics by their controls (see above).
// Does nothing before AfxEnableControlContainer.
void CreateDialogControls(CWnd* pDialog);

}  // namespace quorbel_mfc
