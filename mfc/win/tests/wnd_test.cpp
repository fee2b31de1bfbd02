// The handle map and subclassing: temporary and permanent objects, the
// creation hook, giving the window back, and detaching when it goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace {

// An edit control wrapper that counts what it sees and keeps the control's
// own behaviour for everything else.
class CountingEdit : public CEdit {
public:
  int setTexts = 0;
  int preSubclassCalls = 0;
  bool styleSeenInPreSubclass = false;
  int postNcDestroyCalls = 0;

protected:
  void PreSubclassWindow() override {
    ++preSubclassCalls;
    // The window exists by now, with its style: a wrapper may change it here.
    styleSeenInPreSubclass = (GetStyle() & WS_CHILD) != 0;
    ModifyStyle(0, ES_UPPERCASE);
  }
  void PostNcDestroy() override { ++postNcDestroyCalls; }
  afx_msg LRESULT OnSetText(WPARAM, LPARAM) {
    ++setTexts;
    return Default();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingEdit, CEdit)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

class WndTest : public ::testing::Test {
protected:
  void SetUp() override {
    parent_ = guitest::CreateTestWindow("wnd test", 30, 30, 300, 200);
    ASSERT_NE(parent_, (HWND)NULL);
  }
  void TearDown() override {
    ::DestroyWindow(parent_);
    AfxDeleteTempMaps();
  }
  HWND MakeEdit(int id) {
    return ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10 + id % 10 * 25, 200, 22,
                             parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(NULL), NULL);
  }
  HWND parent_ = NULL;
};

TEST_F(WndTest, FromHandleGivesOneTemporaryPerHandleUntilTheMapsAreFreed) {
  HWND hEdit = MakeEdit(100);
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
  CWnd* temp = CWnd::FromHandle(hEdit);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(temp->m_hWnd, hEdit);
  EXPECT_EQ(CWnd::FromHandle(hEdit), temp);
  EXPECT_EQ(CWnd::FromHandle(NULL), nullptr);
  // A temporary wraps the handle only: freeing it leaves the window alone.
  AfxDeleteTempMaps();
  EXPECT_TRUE(::IsWindow(hEdit));
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
}

TEST_F(WndTest, SubclassingMakesThePermanentObjectAndKeepsTheControlWorking) {
  HWND hEdit = MakeEdit(101);
  CWnd* temp = CWnd::FromHandle(hEdit);
  CountingEdit edit;
  ASSERT_TRUE(edit.SubclassWindow(hEdit));
  EXPECT_EQ(edit.preSubclassCalls, 1);
  EXPECT_TRUE(edit.styleSeenInPreSubclass);
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), &edit);
  EXPECT_EQ(CWnd::FromHandle(hEdit), &edit);  // permanent wins over the old temporary
  (void)temp;
  // A second object cannot take a window that has one.
  CWnd other;
  EXPECT_FALSE(other.SubclassWindow(hEdit));

  edit.SetWindowText("hello");
  EXPECT_EQ(edit.setTexts, 1);
  CString text;
  edit.GetWindowText(text);
  EXPECT_STREQ(text, "HELLO");  // the control's own procedure ran (ES_UPPERCASE from PreSubclassWindow)

  HWND back = edit.UnsubclassWindow();
  EXPECT_EQ(back, hEdit);
  EXPECT_EQ(edit.m_hWnd, (HWND)NULL);
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
  ::SetWindowTextA(hEdit, "again");
  EXPECT_EQ(edit.setTexts, 1);  // no longer ours
  EXPECT_EQ(guitest::GetText(hEdit), "AGAIN");
}

TEST_F(WndTest, SubclassDlgItemFindsTheChildById) {
  MakeEdit(102);
  CountingEdit edit;
  CWnd* parent = CWnd::FromHandle(parent_);
  EXPECT_FALSE(edit.SubclassDlgItem(999, parent));
  ASSERT_TRUE(edit.SubclassDlgItem(102, parent));
  EXPECT_EQ(edit.GetDlgCtrlID(), 102);
  EXPECT_EQ(parent->GetDlgItem(102), &edit);
}

TEST_F(WndTest, DestroyingTheWindowDetachesTheObject) {
  HWND hEdit = MakeEdit(103);
  CountingEdit edit;
  ASSERT_TRUE(edit.SubclassWindow(hEdit));
  ASSERT_TRUE(::DestroyWindow(hEdit));
  EXPECT_EQ(edit.m_hWnd, (HWND)NULL);
  EXPECT_EQ(edit.postNcDestroyCalls, 1);
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
}

TEST_F(WndTest, DestroyingTheObjectDestroysItsWindow) {
  HWND hEdit;
  {
    CountingEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 100, 200, 122), CWnd::FromHandle(parent_), 104));
    hEdit = edit.m_hWnd;
    ASSERT_TRUE(::IsWindow(hEdit));
  }
  EXPECT_FALSE(::IsWindow(hEdit));
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
}

TEST_F(WndTest, CreateAttachesBeforeTheFirstMessage) {
  // WM_NCCREATE and WM_CREATE reach the object's map: the creation hook
  // attached it before them. PreSubclassWindow ran as with subclassing.
  struct CreateLogger : public CWnd {
    std::vector<UINT> firstMessages;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
      if (firstMessages.size() < 3) firstMessages.push_back(message);
      return CWnd::WindowProc(message, wParam, lParam);
    }
  } logger;
  ASSERT_TRUE(logger.CreateEx(0, NULL, "created", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), CWnd::FromHandle(parent_), 105));
  ASSERT_FALSE(logger.firstMessages.empty());
  EXPECT_TRUE(std::find(logger.firstMessages.begin(), logger.firstMessages.end(), (UINT)WM_NCCREATE) !=
              logger.firstMessages.end());
  CountingEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 60, 100, 80), CWnd::FromHandle(parent_), 106));
  EXPECT_EQ(edit.preSubclassCalls, 1);
  EXPECT_TRUE(edit.GetStyle() & ES_UPPERCASE);
  logger.DestroyWindow();
}

TEST_F(WndTest, AWindowWhoseObjectWasDetachedKeepsItsOwnProcedure) {
  HWND hEdit = MakeEdit(107);
  CountingEdit edit;
  ASSERT_TRUE(edit.SubclassWindow(hEdit));
  // Detach without unsubclassing: messages must still reach the edit control.
  edit.Detach();
  ::SetWindowTextA(hEdit, "still works");
  EXPECT_EQ(guitest::GetText(hEdit), "STILL WORKS");
  EXPECT_EQ(edit.setTexts, 0);
}

TEST_F(WndTest, WorkerThreadsFindThePermanentObject) {
  HWND hEdit = MakeEdit(108);
  CountingEdit edit;
  ASSERT_TRUE(edit.SubclassWindow(hEdit));
  CWnd* seen = nullptr;
  std::thread worker([&] { seen = CWnd::FromHandlePermanent(hEdit); });
  worker.join();
  EXPECT_EQ(seen, &edit);
}

TEST_F(WndTest, StyleAndTextWrappers) {
  CountingEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(5, 5, 105, 25), CWnd::FromHandle(parent_), 109));
  EXPECT_TRUE(edit.ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED));
  EXPECT_FALSE(edit.ModifyStyle(0, WS_BORDER));  // nothing changed
  EXPECT_TRUE(edit.GetStyle() & WS_BORDER);
  CRect client;
  edit.GetClientRect(&client);
  EXPECT_LT(client.Width(), 100);  // the border took room
  CRect window;
  edit.GetWindowRect(&window);
  CWnd::FromHandle(parent_)->ScreenToClient(&window);
  EXPECT_EQ(window.left, 5);
  EXPECT_EQ(window.top, 5);
  edit.MoveWindow(20, 30, 60, 20);
  edit.GetWindowRect(&window);
  EXPECT_EQ(window.Width(), 60);
  EXPECT_EQ(edit.GetParent()->m_hWnd, parent_);
  edit.EnableWindow(FALSE);
  EXPECT_FALSE(guitest::IsEnabled(edit.m_hWnd));
  edit.ShowWindow(SW_HIDE);
  EXPECT_FALSE(edit.IsWindowVisible());
}

}  // namespace
