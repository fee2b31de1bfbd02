// Drawing through CDC and the GDI wrappers, checked by sampling pixels, and
// owner-drawn menu items routed to the CMenu objects that own them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace {

const COLORREF kRed = RGB(220, 20, 20);
const COLORREF kGreen = RGB(20, 200, 40);
const COLORREF kBlue = RGB(10, 20, 230);
const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kBack = RGB(255, 255, 255);

// Paints a fixed picture with the wrappers on every WM_PAINT.
class PictureWnd : public CWnd {
public:
  int paints = 0;
  bool oldPenWasStock = false;

protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    ++paints;
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kBack);
    dc.FillSolidRect(10, 10, 40, 20, kRed);
    dc.Draw3dRect(60, 10, 40, 30, RGB(255, 255, 255) - 1, RGB(0, 0, 0));
    CPen pen(PS_SOLID, 1, kBlue);
    CBrush brush(kGreen);
    CPen* oldPen = dc.SelectObject(&pen);
    oldPenWasStock = oldPen->m_hObject == ::GetStockObject(BLACK_PEN);
    CBrush* oldBrush = dc.SelectObject(&brush);
    dc.Rectangle(110, 10, 150, 40);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    // Through a memory DC and bitmap.
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, 20, 20);
    CBitmap* oldBitmap = mem.SelectObject(&bitmap);
    mem.FillSolidRect(0, 0, 20, 20, kMagenta);
    dc.BitBlt(160, 10, 20, 20, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBitmap);
    // A region filled with a brush.
    CRgn rgn;
    rgn.CreateRectRgn(10, 50, 30, 70);
    CBrush blue(kBlue);
    dc.FillRgn(&rgn, &blue);
  }
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PictureWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class GdiTest : public ::testing::Test {
protected:
  void TearDown() override {
    guitest::CancelPending();
    AfxDeleteTempMaps();
  }
};

TEST_F(GdiTest, PaintedShapesShowWhereTheyWereDrawn) {
  PictureWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, NULL, "GDI picture", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, NULL, NULL));
  wnd.UpdateWindow();
  guitest::PumpFor(50);
  ASSERT_GT(wnd.paints, 0);
  EXPECT_TRUE(wnd.oldPenWasStock);
  guitest::Capture shot = guitest::Capture::OfWindow(wnd.m_hWnd);
  ASSERT_TRUE(shot.Valid());
  auto at = [&](int x, int y) { return guitest::ColorText(shot.At(x, y)); };
  using guitest::ColorText;
  // FillSolidRect: exactly its rectangle.
  EXPECT_EQ(shot.Count(CRect(10, 10, 50, 30), kRed), 40 * 20);
  EXPECT_EQ(at(9, 10), ColorText(kBack));
  EXPECT_EQ(at(50, 29), ColorText(kBack));
  // Draw3dRect: light top and left edges, dark bottom and right, inside untouched.
  EXPECT_EQ(at(70, 10), ColorText(RGB(255, 255, 255) - 1));
  EXPECT_EQ(at(60, 20), ColorText(RGB(255, 255, 255) - 1));
  EXPECT_EQ(at(99, 20), ColorText(RGB(0, 0, 0)));
  EXPECT_EQ(at(80, 39), ColorText(RGB(0, 0, 0)));
  EXPECT_EQ(at(80, 25), ColorText(kBack));
  // Rectangle: pen border, brush inside.
  EXPECT_EQ(at(110, 25), ColorText(kBlue));
  EXPECT_EQ(at(149, 25), ColorText(kBlue));
  EXPECT_EQ(at(130, 25), ColorText(kGreen));
  // BitBlt from the memory bitmap.
  EXPECT_EQ(shot.Count(CRect(160, 10, 180, 30), kMagenta), 400);
  // FillRgn.
  EXPECT_EQ(shot.Count(CRect(10, 50, 30, 70), kBlue), 400);
  guitest::SaveScreenshot(wnd.m_hWnd, "mfc_gdi_picture");
  wnd.DestroyWindow();
}

TEST_F(GdiTest, TemporaryWrappersFollowTheHandles) {
  CWnd* desktop = CWnd::GetDesktopWindow();
  CClientDC dc(NULL);
  ASSERT_NE(dc.m_hDC, (HDC)NULL);
  EXPECT_EQ(CDC::FromHandle(dc.m_hDC), CDC::FromHandle(dc.m_hDC));
  CFont* font = CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
  CGdiObject* plain = CGdiObject::FromHandle(::GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(font->m_hObject, plain->m_hObject);
  EXPECT_TRUE(font->IsKindOf(RUNTIME_CLASS(CFont)));
  LOGFONTA lf = {};
  EXPECT_GT(font->GetLogFont(&lf), 0);
  CFont own;
  ASSERT_TRUE(own.CreateFontIndirect(&lf));
  CFont* old = dc.SelectObject(&own);
  EXPECT_EQ(dc.GetCurrentFont()->m_hObject, own.m_hObject);
  dc.SelectObject(old);
  // A detached handle is the caller's to delete.
  HGDIOBJ handle = own.Detach();
  EXPECT_EQ(own.m_hObject, (HGDIOBJ)NULL);
  EXPECT_TRUE(::DeleteObject(handle));
  (void)desktop;
}

// ---- Owner-drawn menus -------------------------------------------------------------

class SwatchMenu : public CMenu {
public:
  explicit SwatchMenu(COLORREF color) : color_(color) {}
  std::vector<UINT> measured, drawn;
  std::vector<ULONG_PTR> measuredData;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    measured.push_back(mis->itemID);
    measuredData.push_back(mis->itemData);
    mis->itemWidth = 100;
    mis->itemHeight = 20;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    drawn.push_back(dis->itemID);
    CDC::FromHandle(dis->hDC)->FillSolidRect(&dis->rcItem, color_);
  }

private:
  COLORREF color_;
};

HWND FindMenuWindow(int index) {
  int seen = 0;
  HWND found = NULL;
  for (HWND h = ::FindWindowExA(NULL, NULL, "#32768", NULL); h != NULL; h = ::FindWindowExA(NULL, h, "#32768", NULL)) {
    if (!::IsWindowVisible(h)) continue;
    if (seen++ == index) found = h;
  }
  return found;
}

TEST_F(GdiTest, OwnerDrawnMenuItemsAreMeasuredAndDrawnByTheirMenu) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, NULL, "menu owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, NULL, NULL));
  owner.SetForegroundWindow();
  SwatchMenu top(kGreen);
  SwatchMenu sub(kRed);
  ASSERT_TRUE(top.CreatePopupMenu());
  ASSERT_TRUE(sub.CreatePopupMenu());
  ASSERT_TRUE(sub.AppendMenu(MF_OWNERDRAW, 401, reinterpret_cast<LPCTSTR>(static_cast<UINT_PTR>(0x401))));
  ASSERT_TRUE(top.AppendMenu(MF_OWNERDRAW, 301, reinterpret_cast<LPCTSTR>(static_cast<UINT_PTR>(0x301))));
  ASSERT_TRUE(top.AppendMenu(MF_OWNERDRAW, 302, reinterpret_cast<LPCTSTR>(static_cast<UINT_PTR>(0x302))));
  ASSERT_TRUE(top.AppendMenu(MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub.m_hMenu), "More"));
  EXPECT_EQ(CMenu::FromHandlePermanent(sub.m_hMenu), &sub);
  EXPECT_EQ(top.GetSubMenu(2), &sub);

  int greenOnScreen = 0, redOnScreen = 0;
  guitest::RunLater(200, [&] {
    HWND menuWnd = FindMenuWindow(0);
    if (menuWnd == NULL) return;
    guitest::Capture shot = guitest::Capture::OfWindow(menuWnd);
    greenOnScreen = shot.Count(CRect(0, 0, shot.Width(), shot.Height()), kGreen);
    // Open the submenu from the keyboard: up to the last item, then right.
    guitest::PostKey(menuWnd, VK_UP);
    guitest::PostKey(menuWnd, VK_RIGHT);
    guitest::RunLater(200, [&, menuWnd] {
      HWND subWnd = FindMenuWindow(0) != menuWnd ? FindMenuWindow(0) : FindMenuWindow(1);
      if (subWnd != NULL) {
        guitest::Capture subShot = guitest::Capture::OfWindow(subWnd);
        redOnScreen = subShot.Count(CRect(0, 0, subShot.Width(), subShot.Height()), kRed);
      }
      guitest::SaveScreenScreenshot("mfc_owner_drawn_menu");
      ::EndMenu();
    });
  });
  CPoint pt(80, 80);
  top.TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, pt.x, pt.y, &owner);

  // Each item went to its own menu object, with its own item data.
  EXPECT_TRUE(std::count(top.measured.begin(), top.measured.end(), 301u) >= 1);
  EXPECT_TRUE(std::count(top.measured.begin(), top.measured.end(), 302u) >= 1);
  EXPECT_TRUE(std::count(top.measuredData.begin(), top.measuredData.end(), 0x302u) >= 1);
  EXPECT_EQ(std::count(top.measured.begin(), top.measured.end(), 401u), 0);
  EXPECT_TRUE(std::count(sub.measured.begin(), sub.measured.end(), 401u) >= 1);
  EXPECT_TRUE(std::count(top.drawn.begin(), top.drawn.end(), 301u) >= 1);
  EXPECT_TRUE(std::count(sub.drawn.begin(), sub.drawn.end(), 401u) >= 1);
  EXPECT_EQ(std::count(sub.drawn.begin(), sub.drawn.end(), 301u), 0);
  // What they drew is what the menus show.
  EXPECT_GE(greenOnScreen, 2 * 100 * 20 * 8 / 10);
  EXPECT_GE(redOnScreen, 100 * 20 * 8 / 10);
  owner.DestroyWindow();
}

TEST_F(GdiTest, MenuWrappersAndTheSystemMenu) {
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, NULL, "system menu", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL));
  CMenu* sys = wnd.GetSystemMenu(FALSE);
  ASSERT_NE(sys, nullptr);
  UINT before = sys->GetMenuItemCount();
  sys->AppendMenu(MF_SEPARATOR);
  sys->AppendMenu(MF_STRING, 16, "&About Quorbel...");
  EXPECT_EQ(sys->GetMenuItemCount(), before + 2);
  CString text;
  EXPECT_GT(sys->GetMenuString(16, text, MF_BYCOMMAND), 0);
  EXPECT_STREQ(text, "&About Quorbel...");
  EXPECT_EQ(CMenu::FromHandlePermanent(sys->m_hMenu), nullptr);  // a temporary, not owned

  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 5, "Five");
  menu.EnableMenuItem(5, MF_BYCOMMAND | MF_GRAYED);
  EXPECT_TRUE(menu.GetMenuState(5, MF_BYCOMMAND) & MF_GRAYED);
  HMENU handle = menu.Detach();
  EXPECT_EQ(CMenu::FromHandlePermanent(handle), nullptr);
  EXPECT_TRUE(::IsMenu(handle));  // detached: not destroyed with the object
  ::DestroyMenu(handle);
  wnd.DestroyWindow();
}

}  // namespace
