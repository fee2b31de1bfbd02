// The control wrappers the programs lean on: list view rows and columns,
// combo boxes, progress bars and tooltips.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace {

class ControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.CreateEx(0, NULL, "controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500, 300, NULL, NULL));
  }
  void TearDown() override {
    parent_.DestroyWindow();
    AfxDeleteTempMaps();
  }
  CWnd parent_;
};

TEST_F(ControlsTest, ListRowsColumnsSelectionAndLongTexts) {
  CListCtrl list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(5, 5, 480, 200), &parent_, 1007));
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  EXPECT_EQ(list.GetExtendedStyle() & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
            static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
  EXPECT_EQ(list.InsertColumn(0, "   Source Video Files", LVCFMT_LEFT, 300), 0);
  EXPECT_EQ(list.InsertColumn(1, " Duration", LVCFMT_LEFT, 100), 1);
  EXPECT_EQ(list.GetColumnWidth(0), 300);
  std::string longPath(600, 'p');
  EXPECT_EQ(list.InsertItem(0, "C:\\a.avi"), 0);
  EXPECT_EQ(list.InsertItem(1, longPath.c_str()), 1);
  EXPECT_EQ(list.InsertItem(1, "C:\\b.avi"), 1);  // before the long one
  list.SetItemText(0, 1, "00:01:02.3");
  EXPECT_EQ(list.GetItemCount(), 3);
  EXPECT_STREQ(list.GetItemText(0, 1), "00:01:02.3");
  EXPECT_EQ(list.GetItemText(2, 0).GetLength(), 600);  // longer than the first buffer
  EXPECT_TRUE(list.GetItemText(5, 0).IsEmpty());
  list.SetItemData(1, 0xBEEF);
  EXPECT_EQ(list.GetItemData(1), 0xBEEFu);

  list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetSelectedCount(), 2u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED), 1);
  std::vector<int> selected;
  POSITION pos = list.GetFirstSelectedItemPosition();
  while (pos != NULL) selected.push_back(list.GetNextSelectedItem(pos));
  EXPECT_EQ(selected, (std::vector<int>{1, 2}));
  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_STREQ(list.GetItemText(0, 0), "C:\\b.avi");
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetFirstSelectedItemPosition(), nullptr);
}

TEST_F(ControlsTest, ComboBoxTextsAndSelection) {
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(5, 5, 200, 150), &parent_, 1016));
  EXPECT_EQ(combo.AddString("80 minutes"), 0);
  EXPECT_EQ(combo.AddString("70 minutes"), 1);
  EXPECT_EQ(combo.GetCurSel(), CB_ERR);
  combo.SetCurSel(1);
  CString text;
  combo.GetLBText(combo.GetCurSel(), text);
  EXPECT_STREQ(text, "70 minutes");
  combo.GetLBText(9, text);
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_EQ(combo.FindStringExact(-1, "80 minutes"), 0);
  combo.ResetContent();
  EXPECT_EQ(combo.GetCount(), 0);
}

TEST_F(ControlsTest, ProgressRangeAndPosition) {
  CProgressCtrl progress;
  ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(5, 5, 200, 25), &parent_, 1033));
  progress.SetRange(0, 100);
  progress.SetPos(42);
  EXPECT_EQ(progress.GetPos(), 42);
  int lo = -1, hi = -1;
  progress.GetRange(lo, hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 100);
  progress.SetRange32(0, 4800);
  progress.SetPos(4000);
  EXPECT_EQ(progress.GetPos(), 4000);
}

TEST_F(ControlsTest, TooltipKeepsOneToolAndItsLatestText) {
  CButton button;
  ASSERT_TRUE(button.Create("tip", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 100, 40), &parent_, 1000));
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(&button));
  EXPECT_TRUE(tip.GetExStyle() & WS_EX_TOPMOST);
  CRect client;
  button.GetClientRect(&client);
  ASSERT_TRUE(tip.AddTool(&button, "Add video files to list", &client, 1));
  EXPECT_EQ(tip.GetToolCount(), 1);
  tip.UpdateTipText("Visit our homepage", &button, 1);
  CString text;
  tip.GetText(text, &button, 1);
  EXPECT_STREQ(text, "Visit our homepage");
  tip.SetMaxTipWidth(400);
  // The whole-window form of a tool.
  CStatic label;
  ASSERT_TRUE(label.Create("label", WS_CHILD | WS_VISIBLE, CRect(5, 50, 100, 70), &parent_));
  ASSERT_TRUE(tip.AddTool(&label, "on the label"));
  EXPECT_EQ(tip.GetToolCount(), 2);
  tip.GetText(text, &label);
  EXPECT_STREQ(text, "on the label");
  tip.DelTool(&label);
  EXPECT_EQ(tip.GetToolCount(), 1);
}

TEST_F(ControlsTest, CheckBoxAndEditWrappers) {
  CButton check;
  ASSERT_TRUE(check.Create("check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(5, 5, 100, 25), &parent_, 1060));
  check.SetCheck(BST_CHECKED);
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);
  EXPECT_EQ(check.GetButtonStyle() & 0x0F, static_cast<UINT>(BS_AUTOCHECKBOX));
  CEdit log;
  ASSERT_TRUE(log.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, CRect(5, 30, 300, 90), &parent_, 1065));
  log.SetWindowText("12:00:00  Starting...\r\n12:00:01  Done!\r\n");
  EXPECT_EQ(log.GetLineCount(), 3);
  char line[64] = {};
  int got = log.GetLine(1, line, sizeof(line) - 1);
  EXPECT_EQ(std::string(line, got), "12:00:01  Done!");
  char tiny[1] = {'x'};
  EXPECT_EQ(log.GetLine(1, tiny, 1), 1);  // a buffer smaller than the size word still works
  EXPECT_EQ(tiny[0], '1');
  log.LineScroll(log.GetLineCount());
  log.SetReadOnly(TRUE);
  EXPECT_TRUE(log.GetStyle() & ES_READONLY);
}

}  // namespace
