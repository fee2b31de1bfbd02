// Resources compiled from a resource script: dialog templates, strings,
// menus, bitmaps with system-colour mapping and toolbars.
#include <gtest/gtest.h>

#include <string>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace {

class ResourceDialog : public CDialog {
public:
  ResourceDialog() : CDialog(103) {}
  CString text = "typed";
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 1001, text); }
};

TEST(ResourceTest, DialogFromATemplateResource) {
  ResourceDialog dlg;
  std::string caption, label, shown;
  guitest::RunLater(50, [&] {
    caption = guitest::GetText(dlg.m_hWnd);
    label = guitest::GetText(::GetDlgItem(dlg.m_hWnd, 1002));
    shown = guitest::GetText(::GetDlgItem(dlg.m_hWnd, 1001));
    guitest::SetText(::GetDlgItem(dlg.m_hWnd, 1001), "changed");
    guitest::SaveScreenshot(dlg.m_hWnd, "mfc_resource_dialog");
    guitest::PostCommand(dlg.m_hWnd, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(caption, "Resource dialog");
  EXPECT_EQ(label, "From a resource script");
  EXPECT_EQ(shown, "typed");
  EXPECT_STREQ(dlg.text, "changed");
  guitest::CancelPending();
}

TEST(ResourceTest, StringsOfAnyLength) {
  CString about;
  EXPECT_TRUE(about.LoadString(104));
  EXPECT_STREQ(about, "&About Vantrel...");
  CString longText;
  EXPECT_TRUE(longText.LoadString(105));
  EXPECT_GT(longText.GetLength(), 256);
  EXPECT_EQ(longText.Right(3), CString("end"));
  CString missing;
  EXPECT_FALSE(missing.LoadString(106));
}

TEST(ResourceTest, MenuFromAResource) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(102));
  CMenu* file = menu.GetSubMenu(0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->GetMenuItemCount(), 3u);
  CString text;
  file->GetMenuString(201, text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&Open\tCtrl+O");
  EXPECT_EQ(file->GetMenuItemID(1), 0u);  // separator
  EXPECT_FALSE(menu.LoadMenu(102));       // already holds one
  CMenu missing;
  EXPECT_FALSE(missing.LoadMenu(999));
}

TEST(ResourceTest, MappedBitmapTakesTheButtonColours) {
  CBitmap plain, mapped;
  ASSERT_TRUE(plain.LoadBitmap(101));
  ASSERT_TRUE(mapped.LoadMappedBitmap(101));
  BITMAP bm = {};
  mapped.GetBitmap(&bm);
  EXPECT_EQ(bm.bmWidth, 48);
  EXPECT_EQ(bm.bmHeight, 15);
  CClientDC screen(NULL);
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  CBitmap* old = mem.SelectObject(&mapped);
  // Light grey became the button face, black the button text; the
  // images' own colours stay.
  EXPECT_EQ(guitest::ColorText(mem.GetPixel(1, 1)), guitest::ColorText(::GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(guitest::ColorText(mem.GetPixel(0, 1)), guitest::ColorText(::GetSysColor(COLOR_BTNTEXT)));
  EXPECT_EQ(guitest::ColorText(mem.GetPixel(21, 7)), guitest::ColorText(RGB(20, 200, 40)));
  mem.SelectObject(&plain);
  EXPECT_EQ(guitest::ColorText(mem.GetPixel(1, 1)), guitest::ColorText(RGB(0xC0, 0xC0, 0xC0)));
  mem.SelectObject(old);

  CImageList images;
  ASSERT_TRUE(images.Create(101, 16, 1, RGB(0xC0, 0xC0, 0xC0)));
  EXPECT_EQ(images.GetImageCount(), 3);
}

TEST(ResourceTest, ToolbarGivesEachCommandItsImage) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, NULL, "toolbar parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, NULL, NULL));
  CToolBar bar;
  ASSERT_TRUE(bar.Create(&parent, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR));
  EXPECT_EQ(bar.GetDlgCtrlID(), AFX_IDW_TOOLBAR);
  ASSERT_TRUE(bar.LoadToolBar(101));
  EXPECT_EQ(bar.GetCount(), 4);
  EXPECT_EQ(bar.CommandToIndex(201), 0);
  EXPECT_EQ(bar.CommandToIndex(202), 2);
  EXPECT_EQ(bar.CommandToIndex(999), -1);
  UINT id = 0, style = 0;
  int image = -1;
  bar.GetButtonInfo(bar.CommandToIndex(203), id, style, image);
  EXPECT_EQ(id, 203u);
  EXPECT_EQ(image, 2);  // the separator takes no image
  bar.GetButtonInfo(1, id, style, image);
  EXPECT_TRUE(LOWORD(style) & TBSTYLE_SEP);
  EXPECT_EQ(bar.GetItemID(1), 0u);
  CToolBar broken;
  ASSERT_TRUE(broken.Create(&parent));
  EXPECT_FALSE(broken.LoadToolBar(999));
  parent.DestroyWindow();
}

}  // namespace
