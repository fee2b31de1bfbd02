// The hover button in a real dialog, driven by messages: its normal,
// hovered, pressed, disabled and ticked looks (pixels of known areas),
// leaving on mouse leave, deactivation and disabling, default-button
// styles, generated "out" icons, bitmaps, the transparent background, the
// tooltip, sounds, its menu, and double clicks that count twice.
#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <string>
#include <vector>

#include "controls/hover_button.h"
#include "controls/tests/control_test_support.h"

using controls_test::Hex;

namespace {

COLORREF Sys(int index) { return ::GetSysColor(index); }

const COLORREF kOut = RGB(200, 220, 255);
const COLORREF kIn = RGB(255, 230, 150);
const COLORREF kFocus = RGB(220, 255, 220);
const COLORREF kIconRed = RGB(230, 20, 20);

enum { kPlay = 300, kIconOnly = 301, kToggle = 302, kDefault = 303, kGlass = 304 };

class ButtonDialog : public controls_test::TemplateDialog {
public:
  HoverButton play, iconOnly, toggle, byDefault, glass;
  int clicks = 0;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    struct Place {
      HoverButton* button;
      int id, x, y;
    } places[] = {{&play, kPlay, 10, 10},        {&iconOnly, kIconOnly, 120, 10}, {&toggle, kToggle, 230, 10},
                  {&byDefault, kDefault, 10, 60}, {&glass, kGlass, 120, 60}};
    for (const Place& p : places) {
      p.button->SubclassDlgItem(p.id, this);
      p.button->MoveWindow(p.x, p.y, 100, 40);
      p.button->SetColor(HoverButton::kColorOut, kOut, RGB(0, 0, 0), FALSE);
      p.button->SetColor(HoverButton::kColorIn, kIn, RGB(0, 0, 0), FALSE);
      p.button->SetColor(HoverButton::kColorFocus, kFocus, RGB(0, 0, 0), FALSE);
      p.button->SetIcon(controls_test::MakeSolidIcon(kIconRed, 16, 2), static_cast<HICON>(NULL));
    }
    glass.SetTransparent(FALSE);
    return TRUE;
  }
  void OnPlayClicked() { ++clicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ButtonDialog, CDialog)
  ON_BN_CLICKED(kPlay, OnPlayClicked)
END_MESSAGE_MAP()

guitest::DialogTemplate MakeTemplate() {
  guitest::DialogTemplate t("Hover buttons", 10, 10, 240, 80);
  // The first tab stop takes the focus, so the buttons show unfocused.
  t.Edit(399, 170, 45, 50, 12)
      .Button(kPlay, "Play", 5, 5, 50, 14)
      .Button(kIconOnly, "", 60, 5, 50, 14)
      .Add("BUTTON", kToggle, "Loop", 115, 5, 50, 14, BS_AUTOCHECKBOX | WS_TABSTOP)
      .Button(kDefault, "Start", 5, 30, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP)
      .Button(kGlass, "", 60, 30, 50, 14);
  return t;
}

struct SoundCall {
  std::string name;
  DWORD flags;
};
std::vector<SoundCall> g_sounds;
void RecordSound(LPCTSTR name, HMODULE, DWORD flags, void*) { g_sounds.push_back({name, flags}); }

class HoverButtonTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The real cursor away from where the buttons will be.
    ::SetCursorPos(1200, 1000);
    guitest::DialogTemplate t = MakeTemplate();
    ASSERT_TRUE(dialog_.Open(t));
    g_sounds.clear();
    HoverButton::SetSoundPlayer(&RecordSound, NULL);
  }
  void TearDown() override {
    HoverButton::SetSoundPlayer(NULL, NULL);
    guitest::CancelPending();
    if (dialog_.GetSafeHwnd() != NULL) dialog_.DestroyWindow();
  }

  static guitest::Capture Shot(HoverButton& button) {
    button.UpdateWindow();
    return guitest::Capture::OfWindow(button.GetSafeHwnd());
  }
  // The real cursor over the button (the system tracks it), then the move.
  static void Hover(HoverButton& button) {
    RECT r = guitest::ClientRectOnScreen(button.GetSafeHwnd());
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    guitest::PumpFor(30);
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(50, 20));
  }

  ButtonDialog dialog_;
};

TEST_F(HoverButtonTest, FlatButtonShowsNormalHoveredPressedAndDisabledLooks) {
  HoverButton& b = dialog_.play;
  guitest::Capture shot = Shot(b);
  EXPECT_COLOR(shot.At(0, 0), kOut);  // flat: no border
  EXPECT_COLOR(shot.At(50, 2), kOut);
  EXPECT_COLOR(shot.At(8, 19), kIconRed);  // icon at (3, 12) beside the caption
  EXPECT_COLOR(shot.At(17, 18), kOut);

  Hover(b);
  EXPECT_TRUE(b.IsHovered());
  shot = Shot(b);
  EXPECT_COLOR(shot.At(0, 0), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_COLOR(shot.At(99, 39), Sys(COLOR_BTNSHADOW));
  EXPECT_COLOR(shot.At(50, 2), kIn);
  guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "hover_button_hovered");

  b.SendMessage(BM_SETSTATE, TRUE);
  shot = Shot(b);
  EXPECT_COLOR(shot.At(0, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_COLOR(shot.At(99, 39), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_COLOR(shot.At(50, 2), kIn);
  EXPECT_COLOR(shot.At(17, 18), kIconRed);  // the image moved by (1, 1)
  b.SendMessage(BM_SETSTATE, FALSE);

  b.SendMessage(WM_MOUSELEAVE);
  EXPECT_FALSE(b.IsHovered());
  shot = Shot(b);
  EXPECT_COLOR(shot.At(0, 0), kOut);
  EXPECT_COLOR(shot.At(50, 2), kOut);

  b.EnableWindow(FALSE);
  shot = Shot(b);
  EXPECT_NE(Hex(shot.At(8, 19)), Hex(kIconRed));  // drawn disabled
  EXPECT_COLOR(shot.At(50, 2), kOut);
  b.EnableWindow(TRUE);
}

TEST_F(HoverButtonTest, LeavesOnDeactivationAndDisablingButNotWithoutFlatLook) {
  HoverButton& b = dialog_.play;
  Hover(b);
  ASSERT_TRUE(b.IsHovered());
  b.SendMessage(WM_ACTIVATE, WA_INACTIVE);
  EXPECT_FALSE(b.IsHovered());
  EXPECT_COLOR(Shot(b).At(0, 0), kOut);

  Hover(b);
  ASSERT_TRUE(b.IsHovered());
  b.SetFocus();
  b.EnableWindow(FALSE);
  EXPECT_FALSE(b.IsHovered());
  EXPECT_NE(::GetFocus(), b.GetSafeHwnd());  // the focus moved on
  b.EnableWindow(TRUE);

  Hover(b);
  ASSERT_TRUE(b.IsHovered());
  b.SendMessage(WM_CANCELMODE);
  EXPECT_FALSE(b.IsHovered());

  // A held left button does not start a hover; a button that is not flat never hovers.
  b.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 20));
  EXPECT_FALSE(b.IsHovered());
  b.SetFlat(FALSE);
  Hover(b);
  EXPECT_FALSE(b.IsHovered());
}

TEST_F(HoverButtonTest, ButtonsThatAreNotFlatHaveTheClassicEdgeAndTheDefaultFrame) {
  HoverButton& b = dialog_.play;
  b.SetFlat(FALSE);
  guitest::Capture shot = Shot(b);
  EXPECT_COLOR(shot.At(0, 0), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_COLOR(shot.At(1, 1), Sys(COLOR_3DLIGHT));
  EXPECT_COLOR(shot.At(99, 39), Sys(COLOR_3DDKSHADOW));
  EXPECT_COLOR(shot.At(98, 38), Sys(COLOR_BTNSHADOW));
  b.SendMessage(BM_SETSTATE, TRUE);
  shot = Shot(b);
  EXPECT_COLOR(shot.At(0, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_COLOR(shot.At(99, 39), Sys(COLOR_BTNSHADOW));
  b.SendMessage(BM_SETSTATE, FALSE);

  HoverButton& start = dialog_.byDefault;
  EXPECT_TRUE(start.IsDefault());
  start.SetFlat(FALSE);
  shot = Shot(start);
  EXPECT_COLOR(shot.At(0, 0), RGB(0, 0, 0));  // the default button's black frame
  EXPECT_COLOR(shot.At(1, 1), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(HoverButtonTest, DefaultStyleIsTrackedWhileTheButtonStaysOwnerDrawn) {
  HoverButton& start = dialog_.byDefault;
  EXPECT_EQ(start.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_NE(start.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, 0);
  start.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_FALSE(start.IsDefault());
  EXPECT_EQ(start.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_NE(start.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON, 0);
  start.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_TRUE(start.IsDefault());
  EXPECT_FALSE(dialog_.play.IsDefault());
  // The reflected colour message answers the empty brush.
  HDC dc = ::GetDC(dialog_.GetSafeHwnd());
  HBRUSH brush = reinterpret_cast<HBRUSH>(dialog_.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                                              reinterpret_cast<LPARAM>(start.GetSafeHwnd())));
  ::ReleaseDC(dialog_.GetSafeHwnd(), dc);
  EXPECT_EQ(brush, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
}

TEST_F(HoverButtonTest, CheckBoxModeTogglesOnClickAndFollowsSetCheck) {
  HoverButton& loop = dialog_.toggle;
  ASSERT_TRUE(loop.IsCheckBox());
  EXPECT_EQ(guitest::GetCheck(loop.GetSafeHwnd()), 0);
  guitest::Click(loop.GetSafeHwnd());
  EXPECT_EQ(guitest::GetCheck(loop.GetSafeHwnd()), 1);
  guitest::Capture shot = Shot(loop);
  EXPECT_COLOR(shot.At(0, 0), Sys(COLOR_BTNSHADOW));  // ticked: drawn pressed
  EXPECT_COLOR(shot.At(8, 19), kIconRed);             // ...without moving the image
  loop.SendMessage(BM_SETCHECK, BST_UNCHECKED);
  EXPECT_EQ(guitest::GetCheck(loop.GetSafeHwnd()), 0);
  EXPECT_NE(Hex(Shot(loop).At(0, 0)), Hex(Sys(COLOR_BTNSHADOW)));
  loop.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
  EXPECT_EQ(guitest::GetCheck(loop.GetSafeHwnd()), 1);
  // A push button keeps no tick.
  dialog_.play.SendMessage(BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(guitest::GetCheck(dialog_.play.GetSafeHwnd()), 0);
}

TEST_F(HoverButtonTest, SettersRefuseValuesOutOfRange) {
  HoverButton& b = dialog_.iconOnly;
  EXPECT_EQ(b.SetAlign(4), HoverButton::kInvalidAlign);
  EXPECT_EQ(b.SetAlign(1), HoverButton::kOk);
  EXPECT_EQ(b.SetPressedStyle(2), HoverButton::kInvalidPressedStyle);
  EXPECT_EQ(b.SetPressedStyle(1), HoverButton::kOk);
  // Without a caption the icon is centred; pressed style 1 moves it (0, 2).
  guitest::Capture shot = Shot(b);
  EXPECT_COLOR(shot.At(44, 14), kIconRed);
  EXPECT_COLOR(shot.At(44, 13), kOut);
  b.SendMessage(BM_SETSTATE, TRUE);
  shot = Shot(b);
  EXPECT_COLOR(shot.At(44, 16), kIconRed);
  EXPECT_COLOR(shot.At(44, 15), kIn);
  b.SendMessage(BM_SETSTATE, FALSE);
}

TEST_F(HoverButtonTest, GeneratedOutIconsShowUntilTheMouseComes) {
  HoverButton& b = dialog_.iconOnly;
  b.SetIcon(controls_test::MakeSolidIcon(kIconRed, 16, 2), HoverButton::kGrayOut);
  EXPECT_COLOR(Shot(b).At(44, 19), RGB(82, 82, 82));  // 0.299 * 230 + 0.587 * 20 + 0.114 * 20
  Hover(b);
  EXPECT_COLOR(Shot(b).At(44, 19), kIconRed);
  b.SendMessage(WM_MOUSELEAVE);
  b.SetIcon(controls_test::MakeSolidIcon(kIconRed, 16, 2), HoverButton::kDarkerOut);
  EXPECT_COLOR(Shot(b).At(44, 19), RGB(172, 15, 15));
}

TEST_F(HoverButtonTest, BitmapsAreDrawnThroughTheirMask) {
  HoverButton& b = dialog_.iconOnly;
  b.SetIcon(static_cast<HICON>(NULL), static_cast<HICON>(NULL));
  HDC screen = ::GetDC(NULL);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 20, 20);
  ::ReleaseDC(NULL, screen);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all = {0, 0, 20, 20}, inner = {5, 5, 15, 15};
  HBRUSH key = ::CreateSolidBrush(RGB(255, 0, 255)), blue = ::CreateSolidBrush(RGB(0, 0, 255));
  ::FillRect(dc, &all, key);
  ::FillRect(dc, &inner, blue);
  ::DeleteObject(key);
  ::DeleteObject(blue);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ASSERT_TRUE(b.SetBitmaps(bitmap, RGB(255, 0, 255)));
  guitest::Capture shot = Shot(b);  // centred at (40, 10)
  EXPECT_COLOR(shot.At(50, 20), RGB(0, 0, 255));
  EXPECT_COLOR(shot.At(42, 12), kOut);  // the key colour is transparent
  b.EnableWindow(FALSE);
  EXPECT_NE(Hex(Shot(b).At(50, 20)), Hex(RGB(0, 0, 255)));
  b.EnableWindow(TRUE);
}

TEST_F(HoverButtonTest, TransparentButtonShowsItsParentAndColoursResetOnSystemChange) {
  guitest::Capture dialogShot = guitest::Capture::OfWindow(dialog_.GetSafeHwnd());
  COLORREF parent = dialogShot.At(5, 5);
  EXPECT_COLOR(Shot(dialog_.glass).At(50, 2), parent);

  dialog_.play.SendMessage(WM_SYSCOLORCHANGE);
  EXPECT_COLOR(Shot(dialog_.play).At(50, 2), Sys(COLOR_BTNFACE));
}

TEST_F(HoverButtonTest, TooltipKeepsOneToolWithTheLatestText) {
  HoverButton& b = dialog_.play;
  b.SetTooltipText(NULL);
  EXPECT_EQ(b.GetTooltip(), nullptr);
  b.SetTooltipText("Play the clip");
  b.SetTooltipText("Play the whole clip");
  ASSERT_NE(b.GetTooltip(), nullptr);
  EXPECT_EQ(b.GetTooltip()->GetToolCount(), 1);
  CString text;
  b.GetTooltip()->GetText(text, &b, 1);
  EXPECT_EQ(text, "Play the whole clip");
}

TEST_F(HoverButtonTest, SoundsPlayOnlyWhenSet) {
  HoverButton& b = dialog_.play;
  EXPECT_FALSE(b.HasSound(HoverButton::kSoundHover));
  Hover(b);
  guitest::Click(b.GetSafeHwnd());
  EXPECT_TRUE(g_sounds.empty());
  b.SendMessage(WM_MOUSELEAVE);

  b.SetSound(HoverButton::kSoundHover, "over.wav");
  b.SetSound(HoverButton::kSoundClick, "click.wav");
  Hover(b);
  guitest::Click(b.GetSafeHwnd());
  ASSERT_EQ(g_sounds.size(), 2u);
  EXPECT_EQ(g_sounds[0].name, "over.wav");
  EXPECT_EQ(g_sounds[0].flags, static_cast<DWORD>(SND_ASYNC | SND_NODEFAULT | SND_FILENAME));
  EXPECT_EQ(g_sounds[1].name, "click.wav");
  b.SetSound(HoverButton::kSoundClick, NULL);
  guitest::Click(b.GetSafeHwnd());
  EXPECT_EQ(g_sounds.size(), 2u);
}

TEST_F(HoverButtonTest, ItsMenuAnswersMnemonicsAndMeasuring) {
  HoverButton& b = dialog_.play;
  COwnerMenu& menu = b.GetMenu();
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("&Open", MF_STRING, 11));
  ASSERT_TRUE(menu.AppendItem("E&xit", MF_STRING, 12));
  EXPECT_EQ(b.SendMessage(WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), reinterpret_cast<LPARAM>(menu.GetSafeHmenu())),
            0x20001);
  CMenu foreign;
  ASSERT_TRUE(foreign.CreatePopupMenu());
  foreign.AppendMenu(MF_STRING, 1, "E&xit");
  EXPECT_EQ(b.SendMessage(WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), reinterpret_cast<LPARAM>(foreign.GetSafeHmenu())),
            0);
  MEASUREITEMSTRUCT mis = {};
  mis.CtlType = ODT_MENU;
  mis.itemID = 12;
  mis.itemData = reinterpret_cast<ULONG_PTR>(menu.GetItem(1));
  b.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  EXPECT_GT(mis.itemWidth, 20u);
  EXPECT_GT(mis.itemHeight, 10u);
}

TEST_F(HoverButtonTest, ADoubleClickCountsAsTwoClicks) {
  dialog_.DestroyWindow();
  ButtonDialog modal;
  guitest::DialogTemplate t = MakeTemplate();
  modal.InitModalIndirect(t.Get());
  guitest::RunLater(200, [&modal] {
    HWND button = modal.play.GetSafeHwnd();
    LPARAM at = MAKELPARAM(50, 20);
    ::PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(button, WM_LBUTTONUP, 0, at);
    ::PostMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageA(button, WM_LBUTTONUP, 0, at);
    guitest::RunLater(200, [&modal] { modal.EndDialog(IDCANCEL); });
  });
  EXPECT_EQ(modal.DoModal(), IDCANCEL);
  EXPECT_EQ(modal.clicks, 2);
}

}  // namespace
