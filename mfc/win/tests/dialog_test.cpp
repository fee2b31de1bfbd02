// CDialog: the modal loop, the PreTranslateMessage chain, data exchange,
// modeless dialogs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace {

enum { IDC_NAME = 1001, IDC_COUNT, IDC_TICK, IDC_RADIO_A, IDC_RADIO_B, IDC_RADIO_C, IDC_CHOICE, IDC_END = 1100 };

guitest::DialogTemplate DataTemplate(const std::string& title) {
  guitest::DialogTemplate t(title, 20, 20, 200, 150);
  t.Edit(IDC_NAME, 5, 5, 100, 12)
      .Edit(IDC_COUNT, 5, 20, 50, 12)
      .Add("BUTTON", IDC_TICK, "Tick", 5, 35, 60, 10, BS_AUTOCHECKBOX | WS_TABSTOP)
      .Add("BUTTON", IDC_RADIO_A, "A", 5, 50, 30, 10, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP)
      .Add("BUTTON", IDC_RADIO_B, "B", 40, 50, 30, 10, BS_AUTORADIOBUTTON)
      .Add("BUTTON", IDC_RADIO_C, "C", 75, 50, 30, 10, BS_AUTORADIOBUTTON)
      .Add("COMBOBOX", IDC_CHOICE, "", 5, 65, 80, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP)
      .Button(IDC_END, "End", 120, 5, 50, 14)
      .Button(IDOK, "OK", 120, 25, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP)
      .Button(IDCANCEL, "Cancel", 120, 45, 50, 14);
  return t;
}

// A dialog exchanging one member of each kind.
class DataDialog : public CDialog {
public:
  CString name = "first";
  int count = 3;
  int tick = 1;
  int radio = 2;
  int choice = 1;
  int initCalls = 0;
  bool endInInit = false;
  CEdit nameEdit;

  BOOL OnInitDialog() override {
    ++initCalls;
    CComboBox* combo = static_cast<CComboBox*>(GetDlgItem(IDC_CHOICE));
    combo->AddString("zero");
    combo->AddString("one");
    combo->AddString("two");
    CDialog::OnInitDialog();  // members to controls
    if (endInInit) EndDialog(55);
    return TRUE;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_NAME, nameEdit);
    DDX_Text(pDX, IDC_NAME, name);
    DDV_MaxChars(pDX, name, 8);
    DDX_Text(pDX, IDC_COUNT, count);
    DDX_Check(pDX, IDC_TICK, tick);
    DDX_Radio(pDX, IDC_RADIO_A, radio);
    DDX_CBIndex(pDX, IDC_CHOICE, choice);
  }

protected:
  afx_msg void OnEnd() { EndDialog(42); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DataDialog, CDialog)
  ON_BN_CLICKED(IDC_END, OnEnd)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
protected:
  void SetUp() override { guitest::InitCommonControlsOnce(); }
  void TearDown() override { guitest::CancelPending(); }
};

TEST_F(DialogTest, ModalLoopEndsWithTheResultGivenToEndDialog) {
  guitest::DialogTemplate t = DataTemplate("Modal data");
  DataDialog dlg;
  dlg.InitModalIndirect(t.Get());
  bool sawVisible = false;
  guitest::RunLater(50, [&] {
    HWND hDlg = guitest::FindTopWindow("Modal data");
    sawVisible = hDlg != NULL && guitest::IsVisible(hDlg);
    guitest::PostClick(::GetDlgItem(hDlg, IDC_END));
  });
  EXPECT_EQ(dlg.DoModal(), 42);
  EXPECT_TRUE(sawVisible);
  EXPECT_EQ(dlg.initCalls, 1);
  EXPECT_EQ(dlg.m_hWnd, (HWND)NULL);
  EXPECT_EQ(dlg.nameEdit.m_hWnd, (HWND)NULL);  // the subclassed control went with it
  EXPECT_EQ(guitest::FindTopWindow("Modal data"), (HWND)NULL);
}

TEST_F(DialogTest, EndDialogDuringInitialisationSkipsTheLoop) {
  guitest::DialogTemplate t = DataTemplate("Ends at once");
  DataDialog dlg;
  dlg.endInInit = true;
  dlg.InitModalIndirect(t.Get());
  EXPECT_EQ(dlg.DoModal(), 55);
}

TEST_F(DialogTest, WithoutATemplateDoModalFails) {
  CDialog dlg;
  EXPECT_EQ(dlg.DoModal(), -1);
  CDialog missing(4711);
  EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(DialogTest, TheOwnerIsDisabledWhileTheDialogRuns) {
  HWND owner = guitest::CreateTestWindow("owner", 10, 10, 200, 100);
  CWnd* pOwner = CWnd::FromHandle(owner);
  guitest::DialogTemplate t = DataTemplate("Owned dialog");
  DataDialog dlg;
  dlg.InitModalIndirect(t.Get(), pOwner);
  bool ownerEnabledDuring = true;
  HWND dialogOwner = NULL;
  guitest::RunLater(50, [&] {
    HWND hDlg = guitest::FindTopWindow("Owned dialog");
    ownerEnabledDuring = guitest::IsEnabled(owner);
    dialogOwner = ::GetWindow(hDlg, GW_OWNER);
    guitest::PostCommand(hDlg, IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_EQ(dialogOwner, owner);
  EXPECT_TRUE(guitest::IsEnabled(owner));
  ::DestroyWindow(owner);
}

TEST_F(DialogTest, DataExchangeRoundTrip) {
  guitest::DialogTemplate t = DataTemplate("Exchange");
  DataDialog dlg;
  dlg.InitModalIndirect(t.Get());
  std::string shownName, shownCount;
  int shownTick = -1, shownRadio[3] = {}, shownChoice = -1;
  LRESULT limit = 0;
  guitest::RunLater(50, [&] {
    HWND hDlg = dlg.m_hWnd;
    // What OnInitDialog put into the controls.
    shownName = guitest::GetText(::GetDlgItem(hDlg, IDC_NAME));
    shownCount = guitest::GetText(::GetDlgItem(hDlg, IDC_COUNT));
    shownTick = guitest::GetCheck(::GetDlgItem(hDlg, IDC_TICK));
    for (int i = 0; i < 3; ++i) shownRadio[i] = guitest::GetCheck(::GetDlgItem(hDlg, IDC_RADIO_A + i));
    shownChoice = static_cast<int>(::SendDlgItemMessageA(hDlg, IDC_CHOICE, CB_GETCURSEL, 0, 0));
    limit = ::SendDlgItemMessageA(hDlg, IDC_NAME, EM_GETLIMITTEXT, 0, 0);
    // The user's changes.
    guitest::SetText(::GetDlgItem(hDlg, IDC_NAME), "second");
    guitest::SetText(::GetDlgItem(hDlg, IDC_COUNT), " -17 ");
    guitest::Click(::GetDlgItem(hDlg, IDC_TICK));
    guitest::Click(::GetDlgItem(hDlg, IDC_RADIO_A));
    ::SendDlgItemMessageA(hDlg, IDC_CHOICE, CB_SETCURSEL, 2, 0);
    guitest::PostCommand(hDlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(shownName, "first");
  EXPECT_EQ(shownCount, "3");
  EXPECT_EQ(shownTick, BST_CHECKED);
  EXPECT_EQ(shownRadio[0], BST_UNCHECKED);
  EXPECT_EQ(shownRadio[2], BST_CHECKED);
  EXPECT_EQ(shownChoice, 1);
  EXPECT_EQ(limit, 8);  // DDV_MaxChars limits the edit when loading
  EXPECT_STREQ(dlg.name, "second");
  EXPECT_EQ(dlg.count, -17);
  EXPECT_EQ(dlg.tick, 0);
  EXPECT_EQ(dlg.radio, 0);
  EXPECT_EQ(dlg.choice, 2);
}

TEST_F(DialogTest, FailedValidationKeepsTheDialogOpenAndSaysWhy) {
  guitest::DialogTemplate t = DataTemplate("Validation");
  DataDialog dlg;
  dlg.InitModalIndirect(t.Get());
  CMessageBoxScript boxes;
  int focusAfterFailure = 0;
  guitest::RunLater(50, [&] {
    HWND hDlg = dlg.m_hWnd;
    guitest::SetText(::GetDlgItem(hDlg, IDC_COUNT), "12abc");
    guitest::PostCommand(hDlg, IDOK);
    guitest::RunLater(50, [&, hDlg] {
      focusAfterFailure = ::GetDlgCtrlID(::GetFocus());
      guitest::SetText(::GetDlgItem(hDlg, IDC_COUNT), "12");
      // The name is over its 8 characters: typed past the limit by code.
      ::SendDlgItemMessageA(hDlg, IDC_NAME, EM_SETLIMITTEXT, 100, 0);
      guitest::SetText(::GetDlgItem(hDlg, IDC_NAME), "much too long");
      guitest::PostCommand(hDlg, IDOK);
      guitest::RunLater(50, [hDlg] { guitest::PostCommand(hDlg, IDCANCEL); });
    });
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_EQ(boxes.Count(), 2);
  EXPECT_STREQ(boxes.Boxes()[0].text, "Please enter an integer.");
  EXPECT_STREQ(boxes.Boxes()[1].text, "Please enter no more than 8 characters.");
  EXPECT_EQ(focusAfterFailure, IDC_COUNT);  // the failing control has the focus
  EXPECT_EQ(dlg.count, 3);  // the exchange stopped at the name, before the count
}

// A control that sees keyboard input before the dialog manager does.
class KeyWatchingEdit : public CEdit {
public:
  std::vector<UINT> keys;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN) keys.push_back(static_cast<UINT>(pMsg->wParam));
    return FALSE;
  }
};

class KeyDialog : public DataDialog {
public:
  KeyWatchingEdit watcher;
  std::vector<UINT> dialogKeys;
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_COUNT, watcher); }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN) dialogKeys.push_back(static_cast<UINT>(pMsg->wParam));
    return CDialog::PreTranslateMessage(pMsg);
  }
};

TEST_F(DialogTest, PreTranslateMessageRunsFromTheControlUpBeforeTheDialogManager) {
  guitest::DialogTemplate t = DataTemplate("Keys");
  KeyDialog dlg;
  dlg.InitModalIndirect(t.Get());
  guitest::RunLater(50, [&] {
    guitest::PostKey(dlg.watcher.m_hWnd, 'X');
    // Escape in a control goes through IsDialogMessage and cancels.
    guitest::PostKey(dlg.watcher.m_hWnd, VK_ESCAPE);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_GE(dlg.watcher.keys.size(), 2u);
  EXPECT_EQ(dlg.watcher.keys[0], static_cast<UINT>('X'));
  EXPECT_EQ(dlg.watcher.keys[1], static_cast<UINT>(VK_ESCAPE));
  ASSERT_GE(dlg.dialogKeys.size(), 2u);
  EXPECT_EQ(dlg.dialogKeys[1], static_cast<UINT>(VK_ESCAPE));
}

TEST_F(DialogTest, NestedModalDialogsEachKeepTheirResult) {
  guitest::DialogTemplate outerT = DataTemplate("Outer");
  guitest::DialogTemplate innerT = DataTemplate("Inner");
  DataDialog outer;
  outer.InitModalIndirect(outerT.Get());
  INT_PTR innerResult = 0;
  bool outerDisabled = false;
  guitest::RunLater(50, [&] {
    DataDialog inner;
    inner.InitModalIndirect(innerT.Get(), &outer);
    guitest::RunLater(50, [&] {
      outerDisabled = !guitest::IsEnabled(outer.m_hWnd);
      guitest::PostClick(::GetDlgItem(inner.m_hWnd, IDC_END));
    });
    innerResult = inner.DoModal();
    guitest::PostCommand(outer.m_hWnd, IDCANCEL);
  });
  EXPECT_EQ(outer.DoModal(), IDCANCEL);
  EXPECT_EQ(innerResult, 42);
  EXPECT_TRUE(outerDisabled);
}

TEST_F(DialogTest, ModelessDialogLivesUntilDestroyed) {
  guitest::DialogTemplate t = DataTemplate("Modeless");
  t.Get();
  guitest::DialogTemplate visibleT("Modeless", 20, 20, 200, 150,
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
  visibleT.Button(IDC_END, "End", 5, 5, 50, 14).Edit(IDC_NAME, 5, 25, 100, 12).Edit(IDC_COUNT, 5, 40, 50, 12)
      .Add("BUTTON", IDC_TICK, "Tick", 5, 55, 60, 10, BS_AUTOCHECKBOX)
      .Add("BUTTON", IDC_RADIO_A, "A", 5, 70, 30, 10, BS_AUTORADIOBUTTON | WS_GROUP)
      .Add("COMBOBOX", IDC_CHOICE, "", 5, 85, 80, 60, CBS_DROPDOWNLIST | WS_GROUP);
  DataDialog dlg;
  ASSERT_TRUE(dlg.CreateIndirect(visibleT.Get()));
  EXPECT_EQ(dlg.initCalls, 1);
  EXPECT_TRUE(dlg.IsWindowVisible());
  EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_hWnd), &dlg);
  guitest::PumpFor(50);
  guitest::SaveScreenshot(dlg.m_hWnd, "mfc_modeless_dialog");
  // EndDialog on a modeless dialog hides it; the window stays.
  dlg.EndDialog(3);
  EXPECT_FALSE(dlg.IsWindowVisible());
  EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
  HWND hWnd = dlg.m_hWnd;
  dlg.DestroyWindow();
  EXPECT_FALSE(::IsWindow(hWnd));
  EXPECT_EQ(dlg.m_hWnd, (HWND)NULL);
}

TEST_F(DialogTest, ScreenshotOfAModalDialog) {
  guitest::DialogTemplate t = DataTemplate("Screenshot dialog");
  DataDialog dlg;
  dlg.InitModalIndirect(t.Get());
  std::string path;
  guitest::RunLater(100, [&] {
    path = guitest::SaveScreenshot(dlg.m_hWnd, "mfc_modal_dialog");
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(path.empty());
}

}  // namespace
