// Message map dispatch: window messages, commands, notifications,
// registered messages, and what the parent reflects back to its controls
// (notifications, colours, owner drawing).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace {

const UINT kPrivateMessage = WM_APP + 7;
const UINT kRegisteredMessage = ::RegisterWindowMessageA("msg_quorbelMapTest");

// A window with one handler of most shapes, logging what it saw.
class LoggingWnd : public CWnd {
public:
  std::vector<std::string> log;
  UINT_PTR lastTimer = 0;
  CPoint lastPoint;
  WPARAM lastWParam = 0;
  LPARAM lastLParam = 0;
  UINT lastRangeId = 0;

  BOOL CreateTop(const char* title) {
    return CreateEx(0, NULL, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, NULL, NULL);
  }

protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    lastTimer = nIDEvent;
    log.push_back("timer");
  }
  afx_msg void OnLButtonDown(UINT, CPoint point) {
    lastPoint = point;
    log.push_back("lbuttondown");
  }
  afx_msg LRESULT OnPrivate(WPARAM wParam, LPARAM lParam) {
    lastWParam = wParam;
    lastLParam = lParam;
    log.push_back("private");
    return 1234;
  }
  afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM) {
    lastWParam = wParam;
    log.push_back("registered");
    return 77;
  }
  afx_msg void OnMenuCommand() { log.push_back("command 500"); }
  afx_msg void OnRange(UINT nID) {
    lastRangeId = nID;
    log.push_back("range");
  }
  afx_msg void OnListClick(NMHDR* pNMHDR, LRESULT* pResult) {
    log.push_back("notify " + std::to_string(pNMHDR->idFrom));
    *pResult = 99;
  }
  afx_msg void OnButtonClicked() { log.push_back("clicked 601"); }
  afx_msg void OnSize(UINT, int cx, int cy) { log.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy)); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(LoggingWnd, CWnd)
  ON_WM_TIMER()
  ON_WM_LBUTTONDOWN()
  ON_WM_SIZE()
  ON_MESSAGE(kPrivateMessage, OnPrivate)
  ON_REGISTERED_MESSAGE(kRegisteredMessage, OnRegistered)
  ON_COMMAND(500, OnMenuCommand)
  ON_COMMAND_RANGE(510, 519, OnRange)
  ON_NOTIFY(NM_CLICK, 700, OnListClick)
  ON_BN_CLICKED(601, OnButtonClicked)
END_MESSAGE_MAP()

// A derived window: its own entry wins over the base's for the same message.
class DerivedWnd : public LoggingWnd {
protected:
  afx_msg void OnTimer(UINT_PTR) { log.push_back("derived timer"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, LoggingWnd)
  ON_WM_TIMER()
END_MESSAGE_MAP()

class MsgMapTest : public ::testing::Test {
protected:
  void SetUp() override { guitest::InitCommonControlsOnce(); }
  void TearDown() override { guitest::CancelPending(); }
};

TEST_F(MsgMapTest, WindowMessagesReachTheirHandlersWithUnpackedArguments) {
  LoggingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop("map test"));
  wnd.log.clear();
  wnd.SendMessage(WM_TIMER, 42, 0);
  EXPECT_EQ(wnd.lastTimer, 42u);
  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 17));
  EXPECT_EQ(wnd.lastPoint.x, -5);  // signed coordinates
  EXPECT_EQ(wnd.lastPoint.y, 17);
  EXPECT_EQ(wnd.SendMessage(kPrivateMessage, 3, 4), 1234);
  EXPECT_EQ(wnd.lastLParam, 4);
  EXPECT_EQ(wnd.SendMessage(kRegisteredMessage, 8, 0), 77);
  EXPECT_EQ(wnd.lastWParam, 8u);
  wnd.SetTimer(5, 10);
  EXPECT_TRUE(guitest::PumpUntil([&] { return wnd.lastTimer == 5; }, 2000));
  wnd.KillTimer(5);
  EXPECT_EQ(wnd.log.front(), "timer");
  wnd.DestroyWindow();
}

TEST_F(MsgMapTest, CommandsMatchByIdAndRange) {
  LoggingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop("command test"));
  wnd.log.clear();
  EXPECT_EQ(wnd.SendMessage(WM_COMMAND, MAKEWPARAM(500, 0), 0), 1);  // menu
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(500, 1), 0);                // accelerator
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(514, 0), 0);
  EXPECT_EQ(wnd.lastRangeId, 514u);
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(520, 0), 0);  // no handler: nothing
  std::vector<std::string> expected = {"command 500", "command 500", "range"};
  EXPECT_EQ(wnd.log, expected);
  wnd.DestroyWindow();
}

TEST_F(MsgMapTest, DerivedEntryOverridesBaseAndBaseEntriesStillWork) {
  DerivedWnd wnd;
  ASSERT_TRUE(wnd.CreateTop("derived test"));
  wnd.log.clear();
  wnd.SendMessage(WM_TIMER, 1, 0);
  wnd.SendMessage(kPrivateMessage, 0, 0);
  std::vector<std::string> expected = {"derived timer", "private"};
  EXPECT_EQ(wnd.log, expected);
  wnd.DestroyWindow();
}

TEST_F(MsgMapTest, NotificationsFromControlsReachTheParent) {
  LoggingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop("notify test"));
  CListCtrl list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(5, 5, 200, 100), &wnd, 700));
  wnd.log.clear();
  NMHDR hdr = {list.m_hWnd, 700, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 700, reinterpret_cast<LPARAM>(&hdr)), 99);
  hdr.code = static_cast<UINT>(NM_RCLICK);  // no handler
  EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 700, reinterpret_cast<LPARAM>(&hdr)), 0);
  ASSERT_EQ(wnd.log.size(), 1u);
  EXPECT_EQ(wnd.log[0], "notify 700");
  wnd.DestroyWindow();
}

// ---- Reflection --------------------------------------------------------------------------

// A button that handles its own click; with `passOn` the parent still hears it.
class SelfClickButton : public CButton {
public:
  int clicks = 0;
  BOOL passOn = FALSE;
protected:
  afx_msg BOOL OnReflectedClick() {
    ++clicks;
    return !passOn;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfClickButton, CButton)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnReflectedClick)
END_MESSAGE_MAP()

class EatingButton : public CButton {
public:
  int clicks = 0;
protected:
  afx_msg void OnReflectedClick() { ++clicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EatingButton, CButton)
  ON_CONTROL_REFLECT(BN_CLICKED, OnReflectedClick)
END_MESSAGE_MAP()

TEST_F(MsgMapTest, ReflectedCommandsReachTheControlFirst) {
  LoggingWnd parent;
  ASSERT_TRUE(parent.CreateTop("reflect test"));
  SelfClickButton passing;
  passing.passOn = TRUE;
  ASSERT_TRUE(passing.Create("pass", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 80, 30), &parent, 601));
  EatingButton eating;
  ASSERT_TRUE(eating.Create("eat", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 40, 80, 65), &parent, 602));
  parent.log.clear();

  guitest::Click(passing.m_hWnd);
  EXPECT_EQ(passing.clicks, 1);
  ASSERT_EQ(parent.log.size(), 1u);  // _EX returning FALSE lets the parent see it
  EXPECT_EQ(parent.log[0], "clicked 601");

  guitest::Click(eating.m_hWnd);
  EXPECT_EQ(eating.clicks, 1);
  EXPECT_EQ(parent.log.size(), 1u);  // plain reflection keeps it from the parent

  passing.passOn = FALSE;
  guitest::Click(passing.m_hWnd);
  EXPECT_EQ(passing.clicks, 2);
  EXPECT_EQ(parent.log.size(), 1u);
  parent.DestroyWindow();
}

// A static that picks its own colours through the reflected WM_CTLCOLOR.
class ColorStatic : public CStatic {
public:
  CBrush brush{RGB(0, 128, 255)};
  int calls = 0;
  UINT lastType = 99;
protected:
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
    ++calls;
    lastType = nCtlColor;
    pDC->SetTextColor(RGB(255, 255, 0));
    pDC->SetBkColor(RGB(0, 128, 255));
    return brush;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColorStatic, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// A parent that sees WM_CTLCOLOR first and lets the base reflect it.
class ColorParent : public CWnd {
public:
  int calls = 0;
protected:
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    ++calls;
    return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColorParent, CWnd)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST_F(MsgMapTest, ControlColoursAreReflectedToTheControl) {
  ColorParent parent;
  ASSERT_TRUE(parent.CreateEx(0, NULL, "ctlcolor test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 260, 160, NULL, NULL));
  ColorStatic label;
  ASSERT_TRUE(label.Create("colours", WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(10, 10, 200, 60), &parent, 800));
  // A plain static without reflection: the default colours.
  CStatic plain;
  ASSERT_TRUE(plain.Create("plain", WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(10, 70, 200, 100), &parent, 801));
  parent.UpdateWindow();
  guitest::PumpFor(100);

  HDC hdc = ::GetDC(label.m_hWnd);
  LRESULT brush = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(label.m_hWnd));
  ::ReleaseDC(label.m_hWnd, hdc);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), static_cast<HBRUSH>(label.brush));
  EXPECT_EQ(label.lastType, static_cast<UINT>(CTLCOLOR_STATIC));
  EXPECT_GT(parent.calls, 0);

  // The static's background on screen is the reflected brush's colour.
  guitest::Capture shot = guitest::Capture::OfWindow(label.m_hWnd);
  ASSERT_TRUE(shot.Valid());
  EXPECT_EQ(guitest::ColorText(shot.At(shot.Width() - 3, shot.Height() - 3)), guitest::ColorText(RGB(0, 128, 255)));
  guitest::Capture other = guitest::Capture::OfWindow(plain.m_hWnd);
  EXPECT_NE(guitest::ColorText(other.At(other.Width() - 3, other.Height() - 3)), guitest::ColorText(RGB(0, 128, 255)));
  guitest::SaveScreenshot(parent.m_hWnd, "mfc_ctlcolor_reflection");
  parent.DestroyWindow();
}

// An owner-drawn button painting a known colour in DrawItem.
class SwatchButton : public CButton {
public:
  int draws = 0;
  UINT lastState = 0;
  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override {
    ++draws;
    lastState = lpDIS->itemState;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    pDC->FillSolidRect(&lpDIS->rcItem, RGB(20, 180, 60));
    CRect inner(lpDIS->rcItem);
    inner.DeflateRect(5, 5);
    pDC->FillSolidRect(&inner, RGB(250, 250, 10));
  }
};

TEST_F(MsgMapTest, OwnerDrawIsReflectedToTheControlsDrawItem) {
  LoggingWnd parent;
  ASSERT_TRUE(parent.CreateTop("owner draw test"));
  SwatchButton swatch;
  ASSERT_TRUE(swatch.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 120, 70), &parent, 900));
  parent.UpdateWindow();
  guitest::PumpFor(100);
  EXPECT_GT(swatch.draws, 0);
  guitest::Capture shot = guitest::Capture::OfWindow(swatch.m_hWnd);
  ASSERT_EQ(shot.Width(), 100);
  EXPECT_EQ(guitest::ColorText(shot.At(1, 1)), guitest::ColorText(RGB(20, 180, 60)));
  EXPECT_EQ(guitest::ColorText(shot.At(50, 25)), guitest::ColorText(RGB(250, 250, 10)));
  EXPECT_EQ(shot.Count(CRect(5, 5, 95, 45), RGB(250, 250, 10)), 90 * 40);
  guitest::SaveScreenshot(parent.m_hWnd, "mfc_owner_draw_button");
  parent.DestroyWindow();
}

// A list that handles its own clicks; with `passOn` the parent hears them too.
class SelfNotifyList : public CListCtrl {
public:
  int clicks = 0;
  int rclicks = 0;
  BOOL passOn = FALSE;
protected:
  afx_msg void OnClick(NMHDR*, LRESULT* pResult) {
    ++clicks;
    *pResult = 5;
  }
  afx_msg BOOL OnRightClick(NMHDR*, LRESULT*) {
    ++rclicks;
    return !passOn;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfNotifyList, CListCtrl)
  ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
  ON_NOTIFY_REFLECT_EX(NM_RCLICK, OnRightClick)
END_MESSAGE_MAP()

class NotifyParent : public LoggingWnd {
protected:
  afx_msg void OnListRightClick(NMHDR*, LRESULT*) { log.push_back("parent rclick"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NotifyParent, LoggingWnd)
  ON_NOTIFY(NM_RCLICK, 700, OnListRightClick)
END_MESSAGE_MAP()

TEST_F(MsgMapTest, ReflectedNotificationsReachTheControlFirst) {
  NotifyParent parent;
  ASSERT_TRUE(parent.CreateTop("notify reflect test"));
  SelfNotifyList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(5, 5, 200, 100), &parent, 700));
  parent.log.clear();
  NMHDR hdr = {list.m_hWnd, 700, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 700, reinterpret_cast<LPARAM>(&hdr)), 5);
  EXPECT_EQ(list.clicks, 1);
  EXPECT_TRUE(parent.log.empty());  // the parent's NM_CLICK handler never ran

  hdr.code = static_cast<UINT>(NM_RCLICK);
  parent.SendMessage(WM_NOTIFY, 700, reinterpret_cast<LPARAM>(&hdr));
  EXPECT_EQ(list.rclicks, 1);
  EXPECT_TRUE(parent.log.empty());
  list.passOn = TRUE;
  parent.SendMessage(WM_NOTIFY, 700, reinterpret_cast<LPARAM>(&hdr));
  EXPECT_EQ(list.rclicks, 2);
  ASSERT_EQ(parent.log.size(), 1u);
  EXPECT_EQ(parent.log[0], "parent rclick");
  parent.DestroyWindow();
}

// An owner-drawn list box measuring its own items.
class MeasuringList : public CListBox {
public:
  std::vector<UINT> measured;
  int draws = 0;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    measured.push_back(mis->itemID);
    mis->itemHeight = 10 + 5 * mis->itemID;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    ++draws;
    CDC::FromHandle(dis->hDC)->FillSolidRect(&dis->rcItem, dis->itemID == 1 ? RGB(200, 0, 200) : RGB(0, 200, 200));
  }
};

TEST_F(MsgMapTest, MeasureItemIsReflectedToTheControl) {
  LoggingWnd parent;
  ASSERT_TRUE(parent.CreateTop("measure test"));
  MeasuringList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT,
                          CRect(10, 10, 150, 150), &parent, 710));
  list.AddString("zero");
  list.AddString("one");
  list.AddString("two");
  EXPECT_EQ(list.measured, (std::vector<UINT>{0, 1, 2}));
  parent.UpdateWindow();
  guitest::PumpFor(50);
  EXPECT_GE(list.draws, 3);
  // Row heights 10, 15, 20: the second row spans y 10..25.
  guitest::Capture shot = guitest::Capture::OfWindow(list.m_hWnd);
  EXPECT_EQ(guitest::ColorText(shot.At(20, 17)), guitest::ColorText(RGB(200, 0, 200)));
  EXPECT_EQ(guitest::ColorText(shot.At(20, 5)), guitest::ColorText(RGB(0, 200, 200)));
  EXPECT_EQ(guitest::ColorText(shot.At(20, 30)), guitest::ColorText(RGB(0, 200, 200)));
  parent.DestroyWindow();
}

}  // namespace
