// Event sink maps without a control: events handed to AfxDispatchControlEvent
// as a control's connection point hands them over - handler lookup by
// control id and dispatch id through the base classes' maps, argument
// unpacking by the handler's parameter types, and refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/mfc.h"
#include "mfc/win/olecontrol.h"

namespace {

enum { kControl = 300, kOther = 301 };

class BaseHost : public CWnd {
public:
  std::vector<std::string> calls;
  void OnBaseDone() { calls.push_back("base done"); }
  void OnBaseText(long code, LPCTSTR text) { calls.push_back("base " + std::to_string(code) + " " + text); }
  DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(BaseHost, CWnd)
  ON_EVENT(BaseHost, kControl, 2, OnBaseDone, VTS_NONE)
  ON_EVENT(BaseHost, kControl, 3, OnBaseText, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

class Host : public BaseHost {
public:
  bool take = true;
  // A BOOL handler that declines leaves the event to the next entry.
  BOOL OnText(long code, LPCTSTR text) {
    calls.push_back("derived " + std::to_string(code) + " " + text);
    return take ? TRUE : FALSE;
  }
  void OnNumbers(short s, double d, float f, BOOL b) {
    calls.push_back(std::to_string(s) + " " + std::to_string(d) + " " + std::to_string(f) + " " + std::to_string(b));
  }
  void OnOther(BSTR text, VARIANT* v) {
    calls.push_back(std::string("other ") + (text != NULL ? "text" : "null") + " " + std::to_string(v->vt));
  }
  DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(Host, BaseHost)
  ON_EVENT(Host, kControl, 3, OnText, VTS_I4 VTS_BSTR)
  ON_EVENT(Host, kControl, 5, OnNumbers, VTS_I2 VTS_R8 VTS_R4 VTS_BOOL)
  ON_EVENT(Host, kOther, 3, OnOther, VTS_BSTR VTS_VARIANT)
END_EVENTSINK_MAP()

// Arguments as a caller of IDispatch::Invoke lays them out: last first.
class Args {
public:
  Args& Long(long v) { return Push(VT_I4, [&](VARIANT& x) { x.lVal = v; }); }
  Args& Text(const wchar_t* v) { return Push(VT_BSTR, [&](VARIANT& x) { x.bstrVal = SysAllocString(v); }); }
  Args& Double(double v) { return Push(VT_R8, [&](VARIANT& x) { x.dblVal = v; }); }
  Args& Bool(bool v) { return Push(VT_BOOL, [&](VARIANT& x) { x.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE; }); }
  DISPPARAMS* Params() {
    reversed_.assign(args_.rbegin(), args_.rend());
    params_ = {reversed_.empty() ? NULL : reversed_.data(), NULL, static_cast<UINT>(reversed_.size()), 0};
    return &params_;
  }
  ~Args() {
    for (VARIANT& v : args_) VariantClear(&v);
  }

private:
  template <class F>
  Args& Push(VARTYPE vt, F fill) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    fill(v);
    args_.push_back(v);
    return *this;
  }
  std::vector<VARIANT> args_, reversed_;
  DISPPARAMS params_;
};

TEST(EventSinkMap, FindsTheHandlerByControlAndDispatchId) {
  Host host;
  HRESULT hr = E_FAIL;
  Args done;
  EXPECT_TRUE(AfxDispatchControlEvent(&host, kControl, 2, done.Params(), &hr));  // from the base map
  EXPECT_EQ(S_OK, hr);
  Args text;
  text.Long(7).Text(L"status");
  EXPECT_TRUE(AfxDispatchControlEvent(&host, kControl, 3, text.Params(), &hr));
  EXPECT_FALSE(AfxDispatchControlEvent(&host, kControl, 9, done.Params(), &hr)) << "no such event";
  EXPECT_FALSE(AfxDispatchControlEvent(&host, 999, 2, done.Params(), &hr)) << "another control";
  EXPECT_EQ((std::vector<std::string>{"base done", "derived 7 status"}), host.calls);
}

TEST(EventSinkMap, DecliningHandlerLeavesTheEventToTheBase) {
  Host host;
  host.take = false;
  HRESULT hr = E_FAIL;
  Args text;
  text.Long(1).Text(L"x");
  EXPECT_TRUE(AfxDispatchControlEvent(&host, kControl, 3, text.Params(), &hr));
  EXPECT_EQ((std::vector<std::string>{"derived 1 x", "base 1 x"}), host.calls);
}

TEST(EventSinkMap, ArgumentsAreConvertedToTheHandlersTypes) {
  Host host;
  HRESULT hr = E_FAIL;
  Args numbers;
  numbers.Long(-3).Long(2).Double(0.5).Bool(true);  // a long where a double goes is converted
  ASSERT_TRUE(AfxDispatchControlEvent(&host, kControl, 5, numbers.Params(), &hr));
  EXPECT_EQ("-3 2.000000 0.500000 1", host.calls.back()) << "VARIANT_TRUE arrives as TRUE";
  Args other;
  other.Text(L"t").Double(1);
  ASSERT_TRUE(AfxDispatchControlEvent(&host, kOther, 3, other.Params(), &hr));
  EXPECT_EQ("other text 5", host.calls.back());
}

TEST(EventSinkMap, ArgumentsThatDoNotFitAreRefused) {
  Host host;
  HRESULT hr = S_OK;
  Args tooFew;
  tooFew.Long(1);
  EXPECT_FALSE(AfxDispatchControlEvent(&host, kControl, 3, tooFew.Params(), &hr));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, hr);
  Args wrongType;
  wrongType.Text(L"not a number").Text(L"x");
  EXPECT_FALSE(AfxDispatchControlEvent(&host, kControl, 3, wrongType.Params(), &hr));
  EXPECT_EQ(DISP_E_TYPEMISMATCH, hr);
  EXPECT_TRUE(host.calls.empty());
}

TEST(ControlCalls, WindowWithoutControlFailsQuietly) {
  CWnd plain;
  long value = 5;
  plain.GetProperty(1, VT_I4, &value);
  EXPECT_EQ(0, value) << "results start as zero";
  EXPECT_EQ(E_NOINTERFACE, AfxGetLastControlResult());
  plain.SetProperty(1, VT_I4, 3L);
  EXPECT_EQ(E_NOINTERFACE, AfxGetLastControlResult());
  EXPECT_EQ(nullptr, plain.GetControlUnknown());
  RECT rect = {0, 0, 10, 10};
  CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  CWnd parentless;
  EXPECT_FALSE(parentless.CreateControl(unknown, NULL, WS_CHILD, rect, NULL, 1));
  EXPECT_FALSE(parentless.CreateControl("{not a class id}", NULL, WS_CHILD, rect, NULL, 1));
}

}  // namespace
