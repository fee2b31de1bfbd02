// The owner-drawn menu: measuring and drawing both looks (pixels of known
// areas, never text), images by command from toolbar resources and icons,
// loading a menu resource with aligned shortcuts, resynchronisation,
// mnemonics, the theme test and real popups on screen.
#include <gtest/gtest.h>

#include "controls/color_math.h"
#include "controls/owner_menu.h"
#include "controls/owner_menu_layout.h"
#include "controls/tests/control_test_support.h"

using controls_test::Canvas;
using controls_test::Hex;
using quorbel_controls::LightenColor;

namespace {

COLORREF Sys(int index) { return ::GetSysColor(index); }
COLORREF Lighten(COLORREF c, double f) { return static_cast<COLORREF>(LightenColor(c, f)); }

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kLime = RGB(0, 255, 0);
const COLORREF kRed = RGB(255, 0, 0);

// Resources of controls_test.rc.
const UINT kToolbar = 300;    // commands 1001, 1002, 1003: red, green, blue
const UINT kMenuResource = 400;
const UINT kBrokenMenuResource = 401;  // cut short inside its first item

// The item's type (GetMenuState gives a popup's item count instead).
bool IsOwnerDrawn(HMENU menu, int pos) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE;
  return ::GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &info) && (info.fType & MFT_OWNERDRAW) != 0;
}

class OwnerMenuTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override {
    guitest::CancelPending();
    Reset();
  }
  static void Reset() {
    COwnerMenu::ResetEnvironment();
    COwnerMenu::Settings() = OwnerMenuSettings();
    COwnerMenu::ResetGlobalImages();
  }
  // The XP look on XP with its theme, or on a system without one.
  static void UseXp(bool themed) {
    COwnerMenu::OverrideEnvironment(themed ? quorbel_controls::kMenuWinXp : quorbel_controls::kMenuWin2000, 0);
  }
  // The classic look.
  static void UseClassic(int versionClass = quorbel_controls::kMenuWin2000) {
    COwnerMenu::OverrideEnvironment(versionClass, 0);
    COwnerMenu::Settings().xpLookOtherwise = 0;
  }

  static void Draw(COwnerMenu& menu, int index, Canvas& canvas, RECT rect, UINT state) {
    OwnerMenuItem* item = menu.GetItem(index);
    ASSERT_NE(item, nullptr);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = static_cast<UINT>(item->id);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = reinterpret_cast<HWND>(menu.GetSafeHmenu());
    dis.hDC = canvas.dc();
    dis.rcItem = rect;
    dis.itemData = reinterpret_cast<ULONG_PTR>(item);
    menu.DrawItem(&dis);
  }

  static MEASUREITEMSTRUCT Measure(COwnerMenu& menu, int index) {
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemID = static_cast<UINT>(menu.GetItem(index)->id);
    mis.itemData = reinterpret_cast<ULONG_PTR>(menu.GetItem(index));
    menu.MeasureItem(&mis);
    return mis;
  }

  // A popup with an imaged command, a plain command, a separator and a
  // second imaged command.
  static void Fill(COwnerMenu& menu) {
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendItem("&Play\tCtrl+P", MF_STRING, 1002, kToolbar));
    ASSERT_TRUE(menu.AppendItem("&Loop", MF_STRING, 1010));
    ASSERT_TRUE(menu.AppendItem("", MF_STRING, 0));
    ASSERT_TRUE(menu.AppendItem("&Record", MF_STRING, 1001, kToolbar));
  }
};

// ---- Measuring --------------------------------------------------------------------------------

TEST_F(OwnerMenuTest, MeasuresItemsOfBothLooksAndEmptyTextsSafely) {
  UseXp(true);
  COwnerMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("", MF_STRING, 1010));        // an empty text
  ASSERT_TRUE(menu.AppendItem("Open a file", MF_STRING, 1011));
  ASSERT_TRUE(menu.AppendItem(NULL, MF_STRING, 0));         // separator
  int menuHeight = ::GetSystemMetrics(SM_CYMENU);

  MEASUREITEMSTRUCT empty = Measure(menu, 0);
  EXPECT_EQ(static_cast<int>(empty.itemWidth), 3 + 16 + 7 + 8);
  EXPECT_EQ(static_cast<int>(empty.itemHeight), std::max(15 + 7, menuHeight));
  MEASUREITEMSTRUCT text = Measure(menu, 1);
  EXPECT_GT(static_cast<int>(text.itemWidth), 3 + 16 + 7 + 8 + 30);
  MEASUREITEMSTRUCT separator = Measure(menu, 2);
  EXPECT_EQ(separator.itemWidth, 0u);
  EXPECT_EQ(static_cast<int>(separator.itemHeight), std::max(11, menuHeight / 2));

  UseClassic();
  empty = Measure(menu, 0);
  EXPECT_EQ(static_cast<int>(empty.itemWidth), 3 + 2 * 16 + 1);
  EXPECT_EQ(static_cast<int>(empty.itemHeight), std::max(15 + 4, menuHeight));
  // A record that is not the menu's is left alone.
  MEASUREITEMSTRUCT foreign = {};
  foreign.CtlType = ODT_MENU;
  foreign.itemData = 12345;
  foreign.itemWidth = 77;
  menu.MeasureItem(&foreign);
  EXPECT_EQ(foreign.itemWidth, 77u);
}

// ---- XP look ------------------------------------------------------------------------------------

TEST_F(OwnerMenuTest, XpLookPaintsColumnImageSelectionAndSeparator) {
  UseXp(true);
  COwnerMenu menu;
  Fill(menu);
  const COLORREF face = Sys(COLOR_BTNFACE);
  const COLORREF window = Sys(COLOR_WINDOW);
  const COLORREF frame = Sys(COLOR_HIGHLIGHT);
  const COLORREF fill = Lighten(frame, 0.7);
  const RECT item = {0, 4, 200, 26};
  Canvas canvas(220, 30, kMagenta);

  // Normal: window background, face column, the faded copy of the image.
  Draw(menu, 0, canvas, item, 0);
  EXPECT_COLOR(canvas.At(0, 15), face);
  EXPECT_COLOR(canvas.At(22, 24), face);
  EXPECT_COLOR(canvas.At(100, 4), window);
  EXPECT_COLOR(canvas.At(199, 25), window);
  EXPECT_COLOR(canvas.At(11, 15), Lighten(kLime, 0.3));  // image at (4, 8), its square from (6, 10)
  EXPECT_COLOR(canvas.At(5, 9), face);                    // the image's transparent frame
  EXPECT_COLOR(canvas.At(210, 15), kMagenta);             // nothing beyond the item
  canvas.SavePng("owner_menu_xp_item");

  // Selected: selection fill and frame; the image raised over its shadow.
  Draw(menu, 0, canvas, item, ODS_SELECTED);
  EXPECT_COLOR(canvas.At(100, 4), frame);
  EXPECT_COLOR(canvas.At(0, 15), frame);
  EXPECT_COLOR(canvas.At(100, 6), fill);
  EXPECT_COLOR(canvas.At(21, 6), fill);
  EXPECT_COLOR(canvas.At(10, 14), kLime);  // image one pixel up-left: square from (5, 9)
  EXPECT_COLOR(canvas.At(18, 21), Lighten(Sys(COLOR_BTNSHADOW), 0.49));  // shadow only

  // Grayed: never selected; the image embossed in shadow and highlight.
  Draw(menu, 0, canvas, item, ODS_GRAYED | ODS_SELECTED);
  EXPECT_COLOR(canvas.At(100, 6), window);
  EXPECT_COLOR(canvas.At(0, 15), face);
  EXPECT_COLOR(canvas.At(10, 14), Sys(COLOR_BTNSHADOW));
  EXPECT_COLOR(canvas.At(18, 21), Sys(COLOR_BTNHIGHLIGHT));

  // Checked, with an image: the box in a light selection tint.
  Draw(menu, 0, canvas, item, ODS_CHECKED);
  EXPECT_COLOR(canvas.At(1, 5), frame);
  EXPECT_COLOR(canvas.At(2, 6), Lighten(frame, 0.85));

  // Separator: face column, an etched line from the gap after it.
  Draw(menu, 2, canvas, item, 0);
  EXPECT_COLOR(canvas.At(5, 10), face);
  EXPECT_COLOR(canvas.At(100, 6), window);
  EXPECT_COLOR(canvas.At(100, 15), Sys(COLOR_BTNSHADOW));
  EXPECT_COLOR(canvas.At(100, 16), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_COLOR(canvas.At(25, 15), window);
}

TEST_F(OwnerMenuTest, XpLookDrawsCheckAndRadioMarks) {
  UseXp(true);
  COwnerMenu menu;
  Fill(menu);
  const COLORREF frame = Sys(COLOR_HIGHLIGHT);
  const COLORREF text = Sys(COLOR_MENUTEXT);
  const RECT item = {0, 4, 200, 26};
  Canvas canvas(220, 30, kMagenta);

  // A checked item without an image: a tick in a 16 x 16 square at (4, 7).
  Draw(menu, 1, canvas, item, ODS_CHECKED);
  EXPECT_COLOR(canvas.At(4, 7), frame);
  EXPECT_COLOR(canvas.At(19, 22), frame);
  EXPECT_COLOR(canvas.At(5, 8), Lighten(frame, 0.85));
  EXPECT_COLOR(canvas.At(9, 14), text);   // first stroke: rows 13 to 15
  EXPECT_COLOR(canvas.At(9, 12), Lighten(frame, 0.85));
  EXPECT_COLOR(canvas.At(11, 17), text);  // deepest stroke: rows 15 to 17
  EXPECT_COLOR(canvas.At(15, 11), text);  // last stroke: rows 11 to 13

  // With a checked-mark bitmap the item belongs to a radio group.
  HBITMAP mark = ::CreateBitmap(8, 8, 1, 1, NULL);
  ASSERT_TRUE(::SetMenuItemBitmaps(menu.GetSafeHmenu(), 1010, MF_BYCOMMAND, NULL, mark));
  canvas.Fill(kMagenta);
  Draw(menu, 1, canvas, item, ODS_CHECKED);
  EXPECT_COLOR(canvas.At(12, 14), text);  // the dot at (9, 11)-(15, 17)
  EXPECT_COLOR(canvas.At(15, 11), Lighten(frame, 0.85));
  menu.DestroyMenu();
  ::DeleteObject(mark);
}

TEST_F(OwnerMenuTest, XpLookWithoutThemeUsesLighterTints) {
  UseXp(false);
  ASSERT_FALSE(COwnerMenu::XpWithTheme());
  ASSERT_TRUE(COwnerMenu::XpLook());
  COwnerMenu menu;
  Fill(menu);
  Canvas canvas(220, 30, kMagenta);
  Draw(menu, 1, canvas, {0, 4, 200, 26}, 0);
  EXPECT_COLOR(canvas.At(0, 15), Lighten(Sys(COLOR_BTNFACE), 0.25));
  Draw(menu, 1, canvas, {0, 4, 200, 26}, ODS_SELECTED);
  EXPECT_COLOR(canvas.At(100, 6), Lighten(Sys(COLOR_HIGHLIGHT), 0.85));
}

// ---- Classic look ---------------------------------------------------------------------------------

TEST_F(OwnerMenuTest, ClassicLookPaintsFaceHighlightAndThreeDFrames) {
  UseClassic();
  ASSERT_FALSE(COwnerMenu::XpLook());
  COwnerMenu menu;
  Fill(menu);
  const COLORREF face = Sys(COLOR_MENU);
  const COLORREF highlight = Sys(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = Sys(COLOR_BTNSHADOW);
  const COLORREF selection = Sys(COLOR_HIGHLIGHT);
  const RECT item = {0, 4, 200, 26};  // d = 1: frame box (0, 5)-(20, 24)
  Canvas canvas(220, 30, kMagenta);

  Draw(menu, 0, canvas, item, 0);
  EXPECT_COLOR(canvas.At(100, 6), face);
  EXPECT_COLOR(canvas.At(0, 4), face);
  EXPECT_COLOR(canvas.At(0, 5), face);
  EXPECT_COLOR(canvas.At(9, 14), kLime);  // image at (2, 7), its square from (4, 9)

  // Selected with an image: highlight right of the icon, a raised box.
  Draw(menu, 0, canvas, item, ODS_SELECTED);
  EXPECT_COLOR(canvas.At(100, 6), selection);
  EXPECT_COLOR(canvas.At(21, 6), selection);
  EXPECT_COLOR(canvas.At(0, 5), highlight);
  EXPECT_COLOR(canvas.At(19, 23), shadow);
  EXPECT_COLOR(canvas.At(9, 14), kLime);

  // Checked with an image: a lighter, sunken box.
  canvas.Fill(kMagenta);
  Draw(menu, 0, canvas, item, ODS_CHECKED);
  EXPECT_COLOR(canvas.At(0, 5), shadow);
  EXPECT_COLOR(canvas.At(19, 23), highlight);
  EXPECT_COLOR(canvas.At(1, 6), Lighten(face, 0.6));

  // Selected without an image or check: the whole item is highlighted.
  Draw(menu, 1, canvas, item, ODS_SELECTED);
  EXPECT_COLOR(canvas.At(2, 6), selection);

  // Checked without an image: the tick in a sunken, lighter box.
  Draw(menu, 1, canvas, item, ODS_CHECKED);
  EXPECT_COLOR(canvas.At(1, 7), shadow);
  EXPECT_COLOR(canvas.At(16, 21), highlight);
  EXPECT_COLOR(canvas.At(3, 9), Lighten(face, 0.6));
  EXPECT_COLOR(canvas.At(5, 14), Sys(COLOR_MENUTEXT));  // box corner (1, 7) + (4, 4), rows 13 to 15

  // Separator: an etched line across the item at half height.
  Draw(menu, 2, canvas, item, 0);
  EXPECT_COLOR(canvas.At(100, 6), face);
  EXPECT_COLOR(canvas.At(0, 15), shadow);
  EXPECT_COLOR(canvas.At(100, 16), highlight);
}

TEST_F(OwnerMenuTest, ClassicLookKeepsGrayedSelectionUnlessSettingsForbidIt) {
  UseClassic();
  COwnerMenu menu;
  Fill(menu);
  Canvas canvas(220, 30, kMagenta);
  const RECT item = {0, 4, 200, 26};
  Draw(menu, 1, canvas, item, ODS_GRAYED | ODS_SELECTED);
  EXPECT_COLOR(canvas.At(100, 6), Sys(COLOR_HIGHLIGHT));
  COwnerMenu::Settings().selectDisabled = 0;
  Draw(menu, 1, canvas, item, ODS_GRAYED | ODS_SELECTED);
  EXPECT_COLOR(canvas.At(100, 6), Sys(COLOR_MENU));

  // A grayed image: embossed, or in the monochrome style.
  Draw(menu, 0, canvas, item, ODS_GRAYED);
  EXPECT_COLOR(canvas.At(9, 14), Sys(COLOR_BTNSHADOW));
  EXPECT_COLOR(canvas.At(2 + 14, 7 + 13), Sys(COLOR_BTNHIGHLIGHT));
  menu.SetDisabledImageStyle(1);
  Draw(menu, 0, canvas, item, ODS_GRAYED);
  EXPECT_COLOR(canvas.At(9, 14), Sys(COLOR_BTNSHADOW));
  EXPECT_COLOR(canvas.At(2 + 14, 7 + 13), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(OwnerMenuTest, ClassicIconBoxOfALowItemStaysAtItsTop) {
  UseClassic();
  COwnerMenu menu;
  Fill(menu);
  Canvas canvas(220, 30, kMagenta);
  Draw(menu, 0, canvas, {0, 4, 200, 16}, ODS_SELECTED);  // 12 high, icon 15
  EXPECT_COLOR(canvas.At(0, 4), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_COLOR(canvas.At(0, 3), kMagenta);
}

TEST_F(OwnerMenuTest, ClassicLookLeavesThreeDFramesToNewerSystems) {
  UseClassic(quorbel_controls::kMenuOtherNt);
  COwnerMenu menu;
  Fill(menu);
  Canvas canvas(220, 30, kMagenta);
  Draw(menu, 0, canvas, {0, 4, 200, 26}, ODS_CHECKED);
  EXPECT_COLOR(canvas.At(0, 5), Sys(COLOR_MENU));
  EXPECT_COLOR(canvas.At(1, 6), Lighten(Sys(COLOR_MENU), 0.6));
}

// ---- Images --------------------------------------------------------------------------------------

COLORREF GlobalImagePixel(int index, int x, int y) {
  CImageList* images = COwnerMenu::GetGlobalImages();
  if (images == nullptr) return CLR_INVALID;
  Canvas canvas(16, 15, kMagenta);
  ImageList_Draw(images->GetSafeHandle(), index, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  return canvas.At(x, y);
}

TEST_F(OwnerMenuTest, ImagesComeFromTheToolbarResourceByCommand) {
  UseXp(true);
  COwnerMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("Green", MF_STRING, 1002, kToolbar));
  ASSERT_TRUE(menu.AppendItem("Red", MF_STRING, 1001, kToolbar));   // at index 0 of the toolbar
  ASSERT_TRUE(menu.AppendItem("Absent", MF_STRING, 1009, kToolbar));  // not in the toolbar
  ASSERT_TRUE(menu.AppendItem("Again", MF_STRING, 1002));             // the command's image

  int green = menu.GetItem(0)->globalImageIndex;
  ASSERT_GE(green, 0);
  EXPECT_EQ(COwnerMenu::FindGlobalImage(1002), green);
  EXPECT_EQ(menu.GetItem(3)->globalImageIndex, green);
  EXPECT_TRUE(COwnerMenu::HasThreeGlobalEntries(green));
  EXPECT_COLOR(GlobalImagePixel(green, 8, 7), kLime);
  EXPECT_COLOR(GlobalImagePixel(green + 1, 8, 7), Lighten(kLime, 0.3));
  EXPECT_COLOR(GlobalImagePixel(green + 2, 8, 7), Lighten(Sys(COLOR_BTNSHADOW), 0.49));
  EXPECT_COLOR(GlobalImagePixel(green, 0, 0), kMagenta);  // the frame is transparent
  EXPECT_COLOR(GlobalImagePixel(menu.GetItem(1)->globalImageIndex, 8, 7), kRed);
  EXPECT_COLOR(GlobalImagePixel(menu.GetItem(2)->globalImageIndex, 8, 7), kRed);
  // A missing resource gives no image and no crash.
  ASSERT_TRUE(menu.AppendItem("Nothing", MF_STRING, 1020, 999));
  EXPECT_EQ(menu.GetItem(4)->globalImageIndex, -1);
}

TEST_F(OwnerMenuTest, AddingAnImageForAKnownCommandReplacesItInPlace) {
  UseXp(true);
  COwnerMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.SetImageResourcesAreIcons(TRUE);
  HICON red = controls_test::MakeSolidIcon(kRed, 16, 2);
  HICON blue = controls_test::MakeSolidIcon(RGB(0, 0, 255), 16, 2);
  ASSERT_TRUE(menu.AppendItem("One", MF_STRING, 5000, reinterpret_cast<INT_PTR>(red)));
  int first = menu.GetItem(0)->globalImageIndex;
  ASSERT_GE(first, 0);
  int count = COwnerMenu::GetGlobalImages()->GetImageCount();
  ASSERT_TRUE(menu.AppendItem("One again", MF_STRING, 5000, reinterpret_cast<INT_PTR>(blue)));
  EXPECT_EQ(menu.GetItem(1)->globalImageIndex, first);
  EXPECT_EQ(COwnerMenu::GetGlobalImages()->GetImageCount(), count);
  EXPECT_COLOR(GlobalImagePixel(first, 8, 7), RGB(0, 0, 255));
  EXPECT_COLOR(GlobalImagePixel(first + 1, 8, 7), Lighten(RGB(0, 0, 255), 0.3));

  // A command that got a single entry (no raised icons then) keeps the
  // entries behind it when it is replaced later.
  COwnerMenu::Settings().raisedIcons = 0;
  ASSERT_TRUE(menu.AppendItem("Two", MF_STRING, 5001, reinterpret_cast<INT_PTR>(red)));
  ASSERT_TRUE(menu.AppendItem("Three", MF_STRING, 5002, reinterpret_cast<INT_PTR>(red)));
  int two = COwnerMenu::FindGlobalImage(5001);
  EXPECT_FALSE(COwnerMenu::HasThreeGlobalEntries(two));
  COwnerMenu::Settings().raisedIcons = 1;
  ASSERT_TRUE(menu.AppendItem("Two again", MF_STRING, 5001, reinterpret_cast<INT_PTR>(blue)));
  EXPECT_COLOR(GlobalImagePixel(two, 8, 7), RGB(0, 0, 255));
  EXPECT_COLOR(GlobalImagePixel(two + 1, 8, 7), kRed);  // the next command's image stays
  EXPECT_EQ(COwnerMenu::FindGlobalImage(5002), two + 1);
  ::DestroyIcon(red);
  ::DestroyIcon(blue);
}

// ---- Menu resources, texts and mnemonics ----------------------------------------------------------------

int TextWidth(const CString& text) {
  HDC dc = ::GetDC(NULL);
  HFONT font = owner_menu_detail::CreateMenuFont();
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size = {0, 0};
  ::GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
  ::SelectObject(dc, old);
  ::DeleteObject(font);
  ::ReleaseDC(NULL, dc);
  return size.cx;
}

TEST_F(OwnerMenuTest, LoadsAMenuResourceWithPlainTopLevelAndAlignedShortcuts) {
  UseXp(true);
  COwnerMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  HMENU bar = menu.GetSafeHmenu();
  ASSERT_EQ(::GetMenuItemCount(bar), 2);
  // The top level is plain text.
  EXPECT_FALSE(IsOwnerDrawn(bar, 0));
  CString top;
  menu.GetMenuString(1, top, MF_BYPOSITION);
  EXPECT_EQ(top, "&Help");
  EXPECT_TRUE(COwnerMenu::IsOwnMenu(bar));

  ASSERT_EQ(menu.GetSubMenuObjectCount(), 2);
  COwnerMenu* file = menu.GetSubMenuObject(0);
  ASSERT_EQ(file->GetSafeHmenu(), ::GetSubMenu(bar, 0));
  ASSERT_EQ(file->GetItemCount(), 5);
  EXPECT_TRUE(IsOwnerDrawn(file->GetSafeHmenu(), 0));
  EXPECT_EQ(file->GetSubMenuObjectCount(), 1);

  // Labels before a TAB are padded to the widest label plus one space.
  int widest = 0;
  for (int i = 0; i < file->GetItemCount(); ++i) {
    CString text = file->GetItem(i)->GetText();
    int tab = text.Find('\t');
    CString label = tab >= 0 ? text.Left(tab) : text;
    label.TrimRight(' ');
    widest = std::max(widest, TextWidth(label + " "));
  }
  CString open = file->GetItem(0)->GetText();
  ASSERT_GE(open.Find('\t'), 0);
  CString openLabel = open.Left(open.Find('\t'));
  EXPECT_EQ(open.Mid(open.Find('\t')), "\tCtrl+O");
  EXPECT_EQ(openLabel.Left(5), "&Open");
  EXPECT_GE(TextWidth(openLabel), widest);
  EXPECT_LT(TextWidth(openLabel.Left(openLabel.GetLength() - 1)), widest);
  CString saveAs = file->GetItem(1)->GetText();
  EXPECT_EQ(saveAs.Left(saveAs.Find('\t')).TrimRight(' '), "Save &As...");
  EXPECT_EQ(file->GetItem(3)->GetText(), "E&xit");  // no TAB: unchanged

  // Texts by position and by command (nested menus too).
  CString text;
  EXPECT_TRUE(file->GetItemText(3, text, MF_BYPOSITION));
  EXPECT_EQ(text, "E&xit");
  EXPECT_TRUE(menu.GetItemText(2011, text, MF_BYCOMMAND));
  EXPECT_EQ(text, "&1 first.mpg");
  EXPECT_FALSE(menu.GetItemText(4242, text, MF_BYCOMMAND));
  EXPECT_FALSE(file->GetItemText(9, text, MF_BYPOSITION));

  // Appending to a loaded menu keeps its top level plain.
  COwnerMenu extra;
  ASSERT_TRUE(extra.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("&Tools", MF_POPUP, reinterpret_cast<UINT_PTR>(extra.GetSafeHmenu())));
  EXPECT_FALSE(IsOwnerDrawn(bar, 2));
  extra.Detach();  // destroyed with the bar

  EXPECT_FALSE(menu.LoadMenu(4321));
}

TEST_F(OwnerMenuTest, MnemonicsMatchOnlyAfterAnAmpersandInAnyCase) {
  COwnerMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  COwnerMenu* file = menu.GetSubMenuObject(0);
  EXPECT_EQ(COwnerMenu::FindMenuChar('x', MF_POPUP, file), MAKELRESULT(3, MNC_EXECUTE));
  EXPECT_EQ(COwnerMenu::FindMenuChar('X', MF_POPUP, file), 0x20003);
  EXPECT_EQ(COwnerMenu::FindMenuChar('o', MF_POPUP, file), 0x20000);
  EXPECT_EQ(COwnerMenu::FindMenuChar('p', MF_POPUP, file), 0);  // in "Open", but not marked
  EXPECT_EQ(COwnerMenu::FindMenuChar('x', 0, file), 0);         // not a popup
  EXPECT_EQ(COwnerMenu::FindMenuChar('x', MF_POPUP, NULL), 0);
  CMenu foreign;
  ASSERT_TRUE(foreign.CreatePopupMenu());
  foreign.AppendMenu(MF_STRING, 1, "E&xit");
  EXPECT_EQ(COwnerMenu::FindMenuChar('x', MF_POPUP, &foreign), 0);
}

TEST_F(OwnerMenuTest, MenusChangedBehindTheirBackAreResynchronised) {
  COwnerMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  COwnerMenu* file = menu.GetSubMenuObject(0);
  HMENU hFile = file->GetSafeHmenu();

  // Unchanged: every record stays, in place.
  std::vector<OwnerMenuItem*> before;
  for (int i = 0; i < file->GetItemCount(); ++i) before.push_back(file->GetItem(i));
  file->SynchronizeItems();
  ASSERT_EQ(file->GetItemCount(), static_cast<int>(before.size()));
  for (int i = 0; i < file->GetItemCount(); ++i) EXPECT_EQ(file->GetItem(i), before[i]) << i;

  // "Open" removed with the menu functions: its record goes.
  ASSERT_TRUE(::DeleteMenu(hFile, 0, MF_BYPOSITION));
  EXPECT_EQ(COwnerMenu::FindMenuChar('x', MF_POPUP, file), 0x20002);
  ASSERT_EQ(file->GetItemCount(), 4);
  EXPECT_EQ(file->GetItem(0), before[1]);
  // A plain "Zoom" appended: it gets a record and becomes owner-drawn.
  ASSERT_TRUE(::AppendMenuA(hFile, MF_STRING, 2099, "&Zoom"));
  EXPECT_EQ(COwnerMenu::FindMenuChar('z', MF_POPUP, file), 0x20004);
  ASSERT_EQ(file->GetItemCount(), 5);
  EXPECT_EQ(file->GetItem(4)->GetText(), "&Zoom");
  EXPECT_EQ(file->GetItem(4)->id, 2099u);
  EXPECT_TRUE(IsOwnerDrawn(hFile, 4));
  // The popup and the separator kept their records.
  EXPECT_EQ(file->GetItem(3), before[4]);
  EXPECT_EQ(file->GetItem(1), before[2]);
}

TEST_F(OwnerMenuTest, DestroyingForgetsTheMenuAndItsSubmenus) {
  COwnerMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  HMENU bar = menu.GetSafeHmenu();
  HMENU file = ::GetSubMenu(bar, 0);
  EXPECT_TRUE(COwnerMenu::IsOwnMenu(file));
  EXPECT_TRUE(menu.DestroyMenu());
  EXPECT_FALSE(COwnerMenu::IsOwnMenu(bar));
  EXPECT_FALSE(COwnerMenu::IsOwnMenu(file));
  EXPECT_FALSE(::IsMenu(bar));
  EXPECT_EQ(menu.GetSubMenuObjectCount(), 0);
  EXPECT_EQ(menu.GetItemCount(), 0);
}

// Reaches the check images a menu holds.
class CheckImageMenu : public COwnerMenu {
public:
  CImageList* CheckImages() const { return m_pCheckImages; }
};

TEST_F(OwnerMenuTest, AFailedLoadLeavesTheMenuAndItsCheckImagesAsTheyWere) {
  CheckImageMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  HMENU bar = menu.GetSafeHmenu();
  HMENU file = ::GetSubMenu(bar, 0);
  CImageList* checks = new CImageList;  // the menu's own: it frees the list
  ASSERT_TRUE(checks->Create(16, 15, ILC_COLOR24 | ILC_MASK, 2, 0));
  menu.SetCheckImages(checks, 1, 0, FALSE);
  const int items = menu.GetItemCount();
  const int subMenus = menu.GetSubMenuObjectCount();
  for (UINT broken : {4321u, kBrokenMenuResource}) {
    SCOPED_TRACE(broken);
    EXPECT_FALSE(menu.LoadMenu(broken));
    EXPECT_EQ(menu.GetSafeHmenu(), bar);
    EXPECT_TRUE(::IsMenu(bar));
    EXPECT_TRUE(COwnerMenu::IsOwnMenu(bar));
    EXPECT_TRUE(COwnerMenu::IsOwnMenu(file));
    EXPECT_EQ(menu.GetItemCount(), items);
    EXPECT_EQ(menu.GetSubMenuObjectCount(), subMenus);
    EXPECT_EQ(menu.CheckImages(), checks);
  }
  // A good load after a failed one still works and keeps the images.
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  EXPECT_FALSE(::IsMenu(bar));
  EXPECT_EQ(menu.GetItemCount(), items);
  EXPECT_EQ(menu.CheckImages(), checks);
  EXPECT_EQ(menu.GetSubMenuObject(0)->GetItemCount(), 5);
}

TEST_F(OwnerMenuTest, DestroyingThroughThePlainMenuTypeFreesTheRecordsToo) {
  COwnerMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  HMENU file = ::GetSubMenu(menu.GetSafeHmenu(), 0);
  CMenu& plain = menu;
  EXPECT_TRUE(plain.DestroyMenu());
  EXPECT_EQ(menu.GetItemCount(), 0);
  EXPECT_EQ(menu.GetSubMenuObjectCount(), 0);
  EXPECT_FALSE(COwnerMenu::IsOwnMenu(file));
}

// The texts themselves: the label in the text colour, a grayed item in the
// look's grey (XP with a theme: the grey text colour; XP without: that
// colour lightened; classic: embossed, grey over a highlight one pixel
// down-right), and the shortcut's right edge an icon's width in from the
// item's right.
TEST_F(OwnerMenuTest, TextsOfBothLooksInTheirColoursWithRightAlignedShortcuts) {
  struct Case {
    const char* look;
    void (*use)();
    COLORREF grey;         // the grayed text
    COLORREF under;        // the embossed highlight, or CLR_INVALID
  };
  const Case cases[] = {
      {"xp themed", [] { UseXp(true); }, Sys(COLOR_GRAYTEXT), CLR_INVALID},
      {"xp plain", [] { UseXp(false); }, Lighten(Sys(COLOR_GRAYTEXT), 0.4), CLR_INVALID},
      {"classic", [] { UseClassic(); }, Sys(COLOR_GRAYTEXT), Sys(COLOR_BTNHIGHLIGHT)},
  };
  const RECT item = {0, 4, 200, 26};
  const int shortcutRight = item.right - 16;  // an icon's width in
  for (const Case& c : cases) {
    SCOPED_TRACE(c.look);
    c.use();
    COwnerMenu menu;
    Fill(menu);
    Canvas canvas(220, 30, kMagenta);
    // The rightmost column holding a pixel of the colour right of the label.
    auto rightEdge = [&](COLORREF colour) {
      for (int x = item.right - 1; x >= 30; --x)
        for (int y = item.top; y < item.bottom; ++y)
          if (canvas.At(x, y) == colour) return x;
      return -1;
    };
    const RECT text = {30, item.top, item.right, item.bottom};

    Draw(menu, 0, canvas, item, 0);
    canvas.SavePng(std::string("owner_menu_texts_") + (c.look[0] == 'c' ? "classic" : "xp"));
    const COLORREF normal = Sys(COLOR_MENUTEXT);
    EXPECT_GT(canvas.Count(text, normal), 20);
    EXPECT_LE(rightEdge(normal), shortcutRight - 1);
    EXPECT_GE(rightEdge(normal), shortcutRight - 5);  // the glyph's own side bearing

    canvas.Fill(kMagenta);
    Draw(menu, 0, canvas, item, ODS_GRAYED);
    EXPECT_EQ(canvas.Count(text, normal), 0);
    EXPECT_GT(canvas.Count(text, c.grey), 20);
    EXPECT_LE(rightEdge(c.grey), shortcutRight - 1);
    EXPECT_GE(rightEdge(c.grey), shortcutRight - 5);
    if (c.under != CLR_INVALID) {
      // The highlight shows one pixel down-right of the grey strokes.
      int embossed = 0;
      for (int y = item.top; y + 1 < item.bottom; ++y)
        for (int x = 30; x + 1 < item.right; ++x)
          embossed += canvas.At(x, y) == c.grey && canvas.At(x + 1, y + 1) == c.under;
      EXPECT_GT(embossed, 10);
    }
  }
}

// ---- Theme and look ---------------------------------------------------------------------------------------

TEST_F(OwnerMenuTest, ThemeSettingDecidesTheClassicLook) {
  const char kKey[] = "Software\\Microsoft\\Plus!\\Themes\\Current";
  HKEY key = NULL;
  ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key), ERROR_SUCCESS);
  const char classic[] = "C:\\WINDOWS\\Resources\\Themes\\windows classic.theme";
  ASSERT_EQ(::RegSetValueExA(key, NULL, 0, REG_SZ, reinterpret_cast<const BYTE*>(classic), sizeof(classic)),
            ERROR_SUCCESS);
  EXPECT_TRUE(COwnerMenu::DetectClassicTheme());
  COwnerMenu::OverrideEnvironment(quorbel_controls::kMenuWinXp, -1);
  EXPECT_TRUE(COwnerMenu::ClassicTheme());
  EXPECT_FALSE(COwnerMenu::XpWithTheme());

  const char luna[] = "C:\\WINDOWS\\Resources\\Themes\\Luna.theme";
  ASSERT_EQ(::RegSetValueExA(key, NULL, 0, REG_SZ, reinterpret_cast<const BYTE*>(luna), sizeof(luna)),
            ERROR_SUCCESS);
  EXPECT_FALSE(COwnerMenu::DetectClassicTheme());
  EXPECT_TRUE(COwnerMenu::ClassicTheme());  // read once per process
  ::RegCloseKey(key);
  ASSERT_EQ(::RegDeleteKeyA(HKEY_CURRENT_USER, kKey), ERROR_SUCCESS);
  EXPECT_FALSE(COwnerMenu::DetectClassicTheme());

  // Settings pick the look per case; with the defaults it is always XP.
  COwnerMenu::OverrideEnvironment(quorbel_controls::kMenuWinXp, 0);
  EXPECT_TRUE(COwnerMenu::XpLook());
  COwnerMenu::Settings().xpLookWithTheme = 0;
  EXPECT_FALSE(COwnerMenu::XpLook());
  COwnerMenu::OverrideEnvironment(quorbel_controls::kMenuOtherNt, 0);
  EXPECT_TRUE(COwnerMenu::XpLook());
}

// ---- On screen ----------------------------------------------------------------------------------------------

// Opens the menu at (x, y) over an owner window of ours, takes the screen
// and the menu window's pixels, and closes it.
guitest::Capture ShowPopup(COwnerMenu& menu, const std::string& screenshot) {
  CWnd owner;
  LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(NULL, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  EXPECT_TRUE(owner.CreateEx(0, cls, "Menu owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 360, 260, NULL, NULL));
  guitest::PumpFor(50);
  guitest::Capture shot;
  guitest::RunLater(400, [&] {
    HWND popup = controls_test::FindOwnVisibleWindow("#32768");
    if (popup != NULL) shot = guitest::Capture::OfWindow(popup, false);
    guitest::SaveScreenScreenshot(screenshot);
    ::EndMenu();
  });
  ::SetForegroundWindow(owner.GetSafeHwnd());
  menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, 80, 90, &owner);
  owner.DestroyWindow();
  return shot;
}

void FillForScreen(COwnerMenu& menu) {
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("&Play\tCtrl+P", MF_STRING, 1002, kToolbar));
  ASSERT_TRUE(menu.AppendItem("&Loop", MF_STRING | MF_CHECKED, 1010));
  ASSERT_TRUE(menu.AppendItem("", MF_STRING, 0));
  ASSERT_TRUE(menu.AppendItem("&Record\tF5", MF_STRING | MF_GRAYED, 1001, kToolbar));
  ASSERT_TRUE(menu.AppendItem("&Stop", MF_STRING, 1003, kToolbar));
}

TEST_F(OwnerMenuTest, PopupOnScreenShowsTheXpLook) {
  UseXp(true);
  COwnerMenu menu;
  FillForScreen(menu);
  guitest::Capture shot = ShowPopup(menu, "owner_menu_popup_xp");
  ASSERT_TRUE(shot.Valid());
  // The icon column (face) and the item background (window) fill the menu.
  RECT column = {0, 0, 26, shot.Height()};
  RECT rest = {40, 0, shot.Width(), shot.Height()};
  EXPECT_GT(shot.Count(column, Sys(COLOR_BTNFACE)), 200);
  EXPECT_GT(shot.Count(rest, Sys(COLOR_WINDOW)), 1000);
  EXPECT_GT(shot.Count(column, Lighten(kLime, 0.3)), 50);  // faded image of "Play"
}

TEST_F(OwnerMenuTest, PopupOnScreenShowsTheClassicLook) {
  UseClassic();
  COwnerMenu menu;
  FillForScreen(menu);
  guitest::Capture shot = ShowPopup(menu, "owner_menu_popup_classic");
  ASSERT_TRUE(shot.Valid());
  RECT all = {0, 0, shot.Width(), shot.Height()};
  EXPECT_GT(shot.Count(all, Sys(COLOR_MENU)), 1000);
  EXPECT_GT(shot.Count(all, kLime), 50);
}

}  // namespace
