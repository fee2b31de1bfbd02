// Every control class together in one dialog built from an in-memory
// template and run modally, as the programs use them: hover buttons (one
// with a drop-down owner-drawn menu), a hyperlink, the capacity scale, the
// text progress bar and a browse button opening the extended file dialog.
// Screenshots of the dialog, its hovered button with tooltip, the menu and
// the file dialog go to the build folder.
#include <gtest/gtest.h>

#include <string>

#include "controls/file_dialog_ex.h"
#include "controls/hover_button.h"
#include "controls/hyperlink_static.h"
#include "controls/owner_menu.h"
#include "controls/size_range.h"
#include "controls/tests/control_test_support.h"
#include "controls/text_progress_bar.h"

using controls_test::Hex;

namespace {

enum {
  kAdd = 600,
  kRemove = 601,
  kOptions = 602,
  kBrowse = 603,
  kLink = 610,
  kScale = 620,
  kProgress = 630,
  kToolbar = 300,  // controls_test.rc: commands 1001 to 1003
};

const COLORREF kGreen = RGB(0, 170, 0);
const COLORREF kOrange = RGB(240, 150, 0);
const COLORREF kBar = RGB(40, 110, 210);
const COLORREF kBack = RGB(255, 255, 255);

class AllControlsDialog : public CDialog {
public:
  HoverButton add, remove, options, browse;
  HyperLinkStatic link;
  CSizeRange scale;
  TextProgressBar progress;
  int menuChoice = -1;
  INT_PTR fileResult = -1;

  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, kAdd, add);
    DDX_Control(pDX, kRemove, remove);
    DDX_Control(pDX, kOptions, options);
    DDX_Control(pDX, kBrowse, browse);
    DDX_Control(pDX, kLink, link);
    DDX_Control(pDX, kProgress, progress);
  }

  BOOL OnInitDialog() override {
    link.SetURL("http://www.example.com/quorbel");
    CDialog::OnInitDialog();
    add.SetIcon(controls_test::MakeSolidIcon(RGB(0, 150, 0), 16, 2), HoverButton::kGrayOut);
    add.SetTooltipText("Add video files to the list");
    remove.SetIcon(controls_test::MakeSolidIcon(RGB(200, 0, 0), 16, 2), static_cast<HICON>(NULL));
    remove.SetTooltipText("Remove the selected files");
    options.SetIcon(controls_test::MakeSolidIcon(RGB(0, 0, 200), 16, 2), static_cast<HICON>(NULL));
    options.SetAlign(HoverButton::kAlignTop);
    browse.SetIcon(controls_test::MakeSolidIcon(RGB(230, 180, 0), 16, 2), static_cast<HICON>(NULL));
    browse.SetFlat(FALSE);

    COwnerMenu& menu = options.GetMenu();
    menu.CreatePopupMenu();
    menu.AppendItem("&Play\tCtrl+P", MF_STRING, 1002, kToolbar);
    menu.AppendItem("&Loop", MF_STRING | MF_CHECKED, 1010);
    menu.AppendItem("", MF_STRING, 0);
    menu.AppendItem("&Record\tF5", MF_STRING | MF_GRAYED, 1001, kToolbar);
    menu.AppendItem("&Stop", MF_STRING, 1003, kToolbar);

    scale.AttachToDlgItem(kScale, this);
    scale.SetMaximum(80);
    scale.SetTickStep(5);
    scale.SetLabelStep(10);
    scale.SetUnitText("m");
    scale.AddMarker(74, RGB(200, 0, 0), TRUE);
    scale.AddMarker(35, RGB(0, 0, 200), FALSE);
    scale.AddColorBand(0, kGreen);
    scale.AddColorBand(70, kOrange);
    scale.SetValue(42);

    progress.SetBarColor(kBar);
    progress.SetBackColor(kBack);
    progress.SetRange32(0, 100);
    progress.SetPos(42);
    progress.SetWindowText("Converting 42%");
    return TRUE;
  }

  void OnOptions() {
    CRect r;
    options.GetWindowRect(&r);
    menuChoice = static_cast<int>(::TrackPopupMenu(options.GetMenu().GetSafeHmenu(),
                                                   TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, r.left, r.bottom,
                                                   0, options.GetSafeHwnd(), NULL));
  }
  void OnBrowse() {
    CFileDialogEx dialog(TRUE, "mpg", NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT,
                         "Video files (*.mpg;*.avi)|*.mpg;*.avi|All files (*.*)|*.*||", this);
    fileResult = dialog.DoModal();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(AllControlsDialog, CDialog)
  ON_BN_CLICKED(kOptions, OnOptions)
  ON_BN_CLICKED(kBrowse, OnBrowse)
END_MESSAGE_MAP()

TEST(ControlsDialogTest, EveryControlWorksInOneModalDialog) {
  ::SetCursorPos(1200, 1000);
  guitest::InitCommonControlsOnce();
  guitest::DialogTemplate t("Quorbel controls", 20, 20, 300, 150);
  t.Button(kAdd, "Add", 7, 7, 60, 24)
      .Button(kRemove, "Remove", 72, 7, 60, 24)
      .Button(kOptions, "Options", 137, 7, 60, 30)
      .Button(kBrowse, "Browse...", 202, 7, 80, 24)
      .Static(kLink, "Visit the Quorbel home page", 7, 45, 200, 10)
      .Static(kScale, "", 7, 62, 286, 30)
      .Add("msctls_progress32", kProgress, "", 7, 100, 286, 14, 0)
      .Button(IDCANCEL, "Close", 233, 125, 60, 16);

  AllControlsDialog dialog;
  dialog.InitModalIndirect(t.Get());
  struct Seen {
    guitest::Capture dialogShot, scaleShot, progressShot, menuShot;
    bool tooltip = false;
    bool menuShown = false;
    bool fileDialogShown = false;
  } seen;

  guitest::RunLater(300, [&] {
    seen.dialogShot = guitest::Capture::OfWindow(dialog.GetSafeHwnd());
    seen.scaleShot = guitest::Capture::OfWindow(dialog.scale.GetSafeHwnd());
    seen.progressShot = guitest::Capture::OfWindow(dialog.progress.GetSafeHwnd());
    guitest::SaveScreenshot(dialog.GetSafeHwnd(), "controls_dialog");
    // Rest the cursor on "Add" until its tooltip shows.
    RECT r = guitest::ClientRectOnScreen(dialog.add.GetSafeHwnd());
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::PostMessageA(dialog.add.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    guitest::RunLater(1500, [&] {
      seen.tooltip = controls_test::FindOwnVisibleWindow(TOOLTIPS_CLASSA) != NULL;
      guitest::SaveScreenScreenshot("controls_dialog_hover_tooltip");
      // Open the options menu; pick nothing.
      guitest::RunLater(400, [&] {
        HWND popup = controls_test::FindOwnVisibleWindow("#32768");
        seen.menuShown = popup != NULL;
        if (popup != NULL) seen.menuShot = guitest::Capture::OfWindow(popup, false);
        guitest::SaveScreenScreenshot("controls_dialog_menu");
        ::EndMenu();
        // Then the file dialog, cancelled.
        guitest::RunLater(300, [&] {
          guitest::RunLater(600, [&] {
            HWND open = guitest::FindTopWindow("Open");
            seen.fileDialogShown = open != NULL;
            guitest::SaveScreenScreenshot("controls_dialog_file_dialog");
            if (open != NULL) ::PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
            guitest::RunLater(300, [&] { dialog.EndDialog(IDCANCEL); });
          });
          guitest::PostClick(dialog.browse.GetSafeHwnd());
        });
      });
      guitest::PostClick(dialog.options.GetSafeHwnd());
    });
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);

  // The dialog as it first showed.
  ASSERT_TRUE(seen.dialogShot.Valid());
  ASSERT_TRUE(seen.scaleShot.Valid());
  int scaleWidth = seen.scaleShot.Width();
  int barEnd = scaleWidth * 42 / 80;
  int barTop = seen.scaleShot.Height() / 10;
  EXPECT_EQ(Hex(seen.scaleShot.At(barEnd / 2, barTop + 2)), Hex(kGreen));
  EXPECT_EQ(Hex(seen.scaleShot.At(barEnd + 4, barTop + 2)), Hex(CSizeRange::kBackground));
  ASSERT_TRUE(seen.progressShot.Valid());
  int progressEnd = seen.progressShot.Width() * 42 / 100;
  EXPECT_EQ(Hex(seen.progressShot.At(2, 1)), Hex(kBar));
  EXPECT_EQ(Hex(seen.progressShot.At(progressEnd - 1, 1)), Hex(kBar));
  EXPECT_EQ(Hex(seen.progressShot.At(progressEnd + 1, 1)), Hex(kBack));

  EXPECT_TRUE(seen.tooltip);
  EXPECT_TRUE(seen.menuShown);
  ASSERT_TRUE(seen.menuShot.Valid());
  RECT menuAll = {0, 0, seen.menuShot.Width(), seen.menuShot.Height()};
  EXPECT_GT(seen.menuShot.Count(menuAll, RGB(0, 255, 0)) + seen.menuShot.Count(menuAll, RGB(76, 255, 76)), 50);
  EXPECT_EQ(dialog.menuChoice, 0);
  EXPECT_TRUE(seen.fileDialogShown);
  EXPECT_EQ(dialog.fileResult, IDCANCEL);
}

}  // namespace
