// The skinned popup menu window under Wine: menus opened by the library's
// TrackPopupMenu and driven by messages from inside its loop - keys (Up,
// Down, Enter, Right, Left, Escape, mnemonics), mouse moves and clicks,
// submenus opened by hovering and by keys, scrolling of menus taller than
// the screen, clicks outside, the menu bar's drop-down mode - and painted
// from the test skin's PopupMenu object (row 11 of test.bmp). Screenshots
// go to screenshots/.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/popups/skin_popup_menu.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;

COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Message> g_owner;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_NCACTIVATE:
    case WM_APP:
    case WM_MENUSELECT:
    case WM_INITMENUPOPUP:
    case kSkinMsgMenuEnded:
    case kSkinMsgMenuKey:
    case kSkinMsgPopupLeftClickOutside:
    case kSkinMsgPopupMouseOutside:
        g_owner.push_back({message, wParam, lParam});
        if (message == WM_SYSCOMMAND)
            return 0;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Received(UINT message, WPARAM wParam)
{
    for (const Message& m : g_owner)
        if (m.message == message && m.wParam == wParam)
            return true;
    return false;
}

// Items: 0 Open, 1 Save (checked), 2 separator, 3 Disabled, 4 More (Alpha,
// Beta), 5 Exit.
HMENU MakeMenu()
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 101, "&Open\tCtrl+O");
    AppendMenuA(menu, MF_STRING | MF_CHECKED, 102, "&Save");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 103, "&Disabled");
    HMENU more = CreatePopupMenu();
    AppendMenuA(more, MF_STRING, 201, "&Alpha");
    AppendMenuA(more, MF_STRING, 202, "&Beta");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "&More");
    AppendMenuA(menu, MF_STRING, 104, "E&xit");
    return menu;
}

SkinPopupMenu* OpenPopup() { return SkinPopupMenu::FromWindow(FindWindowA(kPopupMenuClass, nullptr)); }

POINT ItemCentre(SkinPopupMenu* popup, int i)
{
    const RECT r = popup->GetItemRect(i);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void PostMouse(SkinPopupMenu* popup, UINT message, POINT client)
{
    // The top-level popup holds the capture: its coordinates for all.
    SkinPopupMenu* root = popup->GetRootPopup();
    POINT pt = client;
    ClientToScreen(popup->GetWindow(), &pt);
    ScreenToClient(root->GetWindow(), &pt);
    PostMessageA(root->GetWindow(), message, 0, MAKELPARAM(pt.x, pt.y));
}

void PostKey(SkinPopupMenu* popup, WPARAM key) { PostMessageA(popup->GetWindow(), WM_KEYDOWN, key, 0); }

class PopupMenus : public testing::Test {
protected:
    void SetUp() override
    {
        // The pointer may stand where the last test on this screen left it.
        guitest::ParkPointer();
        g_owner.clear();
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = &OwnerProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            wc.lpszClassName = "SkinPopupOwner";
            registered = RegisterClassA(&wc) != 0;
        }
        owner = CreateWindowExA(0, "SkinPopupOwner", "Popup owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300,
                                200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
        SetForegroundWindow(owner);
        menu = MakeMenu();
        // Activation settles first: a popup that loses it ends its menu.
        guitest::PumpFor(150);
    }
    void TearDown() override
    {
        guitest::ParkPointer();
        guitest::CancelPending();
        DestroyMenu(menu);
        DestroyWindow(owner);
        SkinLibExit();
    }
    // Runs script on the open popup from inside the menu loop.
    int Track(UINT flags, int x, int y, std::function<void(SkinPopupMenu*)> script)
    {
        guitest::RunLater(80, [script] {
            SkinPopupMenu* popup = OpenPopup();
            ASSERT_NE(popup, nullptr);
            script(popup);
        });
        const int result = SkinGdiUtil::TrackPopupMenu(menu, flags, x, y, owner, FALSE);
        guitest::PumpFor(50);
        return result;
    }
    HWND owner = nullptr;
    HMENU menu = nullptr;
};

TEST_F(PopupMenus, DownDownEnterReturnsTheSecondItem)
{
    int hotAfterKeys = -1;
    const int result = Track(TPM_RETURNCMD, 200, 150, [&](SkinPopupMenu* popup) {
        EXPECT_EQ(popup->GetMode(), 3);
        EXPECT_EQ(popup->GetItemCount(), 6);
        PostKey(popup, VK_DOWN);
        PostKey(popup, VK_DOWN);
        guitest::RunLater(60, [popup, &hotAfterKeys] {
            hotAfterKeys = popup->GetHotItem();
            PostKey(popup, VK_RETURN);
        });
    });
    EXPECT_EQ(hotAfterKeys, 1);
    EXPECT_EQ(result, 102);
    EXPECT_TRUE(Received(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu)));
    EXPECT_TRUE(Received(WM_MENUSELECT, MAKEWPARAM(102, MF_HILITE)));
    EXPECT_TRUE(Received(WM_MENUSELECT, 0xFFFF0000));
    EXPECT_FALSE(Received(WM_COMMAND, 102));  // returned, not posted
    EXPECT_EQ(FindWindowA(kPopupMenuClass, nullptr), nullptr);
}

TEST_F(PopupMenus, AClickPostsTheCommandAndAMnemonicChoosesToo)
{
    Track(0, 200, 150, [](SkinPopupMenu* popup) {
        PostMouse(popup, WM_MOUSEMOVE, ItemCentre(popup, 0));
        PostMouse(popup, WM_LBUTTONDOWN, ItemCentre(popup, 0));
    });
    EXPECT_TRUE(Received(WM_COMMAND, 101));
    EXPECT_TRUE(Received(WM_MENUSELECT, MAKEWPARAM(101, MF_HILITE | MF_MOUSESELECT)));
    EXPECT_TRUE(Received(kSkinMsgMenuEnded, 0));
    g_owner.clear();
    Track(0, 200, 150, [](SkinPopupMenu* popup) { PostKey(popup, 'X'); });
    EXPECT_TRUE(Received(WM_COMMAND, 104));
    // A disabled item's mnemonic does nothing.
    g_owner.clear();
    const int result = Track(0, 200, 150, [](SkinPopupMenu* popup) {
        PostKey(popup, 'D');
        guitest::RunLater(60, [popup] {
            EXPECT_FALSE(popup->IsClosed());
            PostKey(popup, VK_ESCAPE);
        });
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(Received(WM_COMMAND, 103));
}

TEST_F(PopupMenus, DisabledItemsSeparatorsAndTheFrameKeepTheMenuOpen)
{
    bool openAfterClicks = false;
    const int result = Track(0, 200, 150, [&](SkinPopupMenu* popup) {
        PostMouse(popup, WM_LBUTTONDOWN, ItemCentre(popup, 3));
        PostMouse(popup, WM_LBUTTONDOWN, ItemCentre(popup, 2));
        PostMouse(popup, WM_LBUTTONDOWN, POINT{ItemCentre(popup, 0).x, -2});  // the frame
        guitest::RunLater(60, [popup, &openAfterClicks] {
            openAfterClicks = !popup->IsClosed() && IsWindowVisible(popup->GetWindow());
            PostKey(popup, VK_ESCAPE);
        });
    });
    EXPECT_TRUE(openAfterClicks);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(Received(WM_COMMAND, 103));
}

TEST_F(PopupMenus, AClickOutsideEndsTheMenu)
{
    const int result = Track(0, 200, 150, [](SkinPopupMenu* popup) {
        PostMouse(popup, WM_LBUTTONDOWN, POINT{-80, -80});
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(Received(kSkinMsgMenuEnded, 0));
    EXPECT_TRUE(Received(WM_MENUSELECT, 0xFFFF0000));
    EXPECT_FALSE(Received(kSkinMsgPopupLeftClickOutside, 0));  // only for the menu bar
}

TEST_F(PopupMenus, HoveringOpensTheSubmenuAndEscapeClosesOnlyIt)
{
    HWND child = nullptr, lastOpen = nullptr;
    bool childGoneAfterEscape = false, topOpen = false, closedByMove = false;
    RECT itemOnScreen = {}, childRect = {};
    Track(0, 200, 150, [&](SkinPopupMenu* popup) {
        PostMouse(popup, WM_MOUSEMOVE, ItemCentre(popup, 4));
        guitest::RunLater(300, [&, popup] {
            EXPECT_EQ(popup->GetChild(), nullptr);  // not before 500 ms
            guitest::RunLater(400, [&, popup] {
                ASSERT_NE(popup->GetChild(), nullptr);
                child = popup->GetChild()->GetWindow();
                lastOpen = SkinLibGetPopupMenuService()->LastOpenSubmenu(popup->GetWindow());
                GetWindowRect(child, &childRect);
                itemOnScreen = popup->GetItemRect(4);
                MapWindowPoints(popup->GetWindow(), nullptr, reinterpret_cast<POINT*>(&itemOnScreen), 2);
                guitest::SaveScreenScreenshot("skin_popup_menu_submenu");
                // Escape queued for the submenu, through the menu loop:
                // only the submenu goes.
                PostKey(popup->GetChild(), VK_ESCAPE);
                guitest::RunLater(60, [&, popup] {
                    childGoneAfterEscape = popup->GetChild() == nullptr && !IsWindow(child);
                    topOpen = !popup->IsClosed();
                    // Open again, then move to another item: it closes.
                    if (!popup->GetChild())
                        PostKey(popup, VK_RIGHT);
                    guitest::RunLater(60, [&, popup] {
                        PostMouse(popup, WM_MOUSEMOVE, ItemCentre(popup, 0));
                        guitest::RunLater(60, [&, popup] {
                            closedByMove = popup->GetChild() == nullptr && popup->GetHotItem() == 0;
                            PostKey(popup, VK_ESCAPE);
                        });
                    });
                });
            });
        });
    });
    EXPECT_NE(child, nullptr);
    EXPECT_EQ(lastOpen, child);
    EXPECT_EQ(childRect.left, itemOnScreen.right);  // at the item's top-right corner
    EXPECT_EQ(childRect.top, itemOnScreen.top);
    EXPECT_TRUE(childGoneAfterEscape);
    EXPECT_TRUE(topOpen);
    EXPECT_TRUE(closedByMove);
}

// A real Escape key while a submenu is open closes that submenu only; the
// next one ends the menu.
TEST_F(PopupMenus, ARealEscapeKeyClosesTheSubmenuFirst)
{
    bool childGone = false, topOpen = false;
    const int result = Track(TPM_RETURNCMD, 200, 150, [&](SkinPopupMenu* popup) {
        for (int i = 0; i < 4; ++i)
            PostKey(popup, VK_DOWN);  // Open, Save, Disabled, More
        PostKey(popup, VK_RIGHT);
        HWND top = popup->GetWindow();
        guitest::RunLater(80, [&, popup, top] {
            ASSERT_NE(popup->GetChild(), nullptr);
            SetForegroundWindow(popup->GetChild()->GetWindow());
            keybd_event(VK_ESCAPE, 0, 0, 0);
            keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
            guitest::RunLater(80, [&, top] {
                // The menu may be over already: the popup found again.
                SkinPopupMenu* root = SkinPopupMenu::FromWindow(top);
                childGone = root && !root->GetChild();
                topOpen = root && !root->IsClosed();
                keybd_event(VK_ESCAPE, 0, 0, 0);
                keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
            });
        });
    });
    EXPECT_TRUE(childGone);
    EXPECT_TRUE(topOpen);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FindWindowA(kPopupMenuClass, nullptr), nullptr);
}

TEST_F(PopupMenus, KeysReachIntoTheSubmenu)
{
    int result = Track(0, 200, 150, [](SkinPopupMenu* popup) {
        for (int i = 0; i < 4; ++i)
            PostKey(popup, VK_DOWN);  // Open, Save, Disabled, More
        PostKey(popup, VK_RIGHT);
        guitest::RunLater(80, [popup] {
            SkinPopupMenu* child = popup->GetChild();
            ASSERT_NE(child, nullptr);
            PostKey(child, VK_DOWN);
            PostKey(child, VK_DOWN);
            PostKey(child, VK_RETURN);
        });
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(Received(WM_COMMAND, 202));
    // Left in a top-level popup asks the owner to switch menus.
    g_owner.clear();
    result = Track(0, 200, 150, [](SkinPopupMenu* popup) {
        PostKey(popup, VK_LEFT);
        guitest::RunLater(60, [popup] { PostKey(popup, VK_ESCAPE); });
    });
    EXPECT_TRUE(Received(kSkinMsgMenuKey, VK_LEFT));
}

TEST_F(PopupMenus, ASubmenuAtTheRightEdgeOpensOnTheLeft)
{
    const RECT work = SkinGdiUtil::WorkAreaAt(POINT{10, 10});
    RECT parent = {}, child = {};
    Track(0, work.right - 10, 150, [&](SkinPopupMenu* popup) {
        GetWindowRect(popup->GetWindow(), &parent);
        PostMouse(popup, WM_MOUSEMOVE, ItemCentre(popup, 4));
        guitest::RunLater(650, [&, popup] {
            ASSERT_NE(popup->GetChild(), nullptr);
            GetWindowRect(popup->GetChild()->GetWindow(), &child);
            PostKey(popup, VK_ESCAPE);
        });
    });
    EXPECT_EQ(parent.right, work.right);  // the popup itself kept inside
    EXPECT_LE(child.right, parent.left + 10);
    EXPECT_GE(child.left, work.left);
}

TEST_F(PopupMenus, PaintedFromTheSkinWhileTheOwnerKeepsItsCaption)
{
    bool ownerCaptionKept = false, subclassed = false;
    guitest::Capture shot;
    RECT onScreen = {}, hotItem = {}, separator = {}, checked = {}, more = {};
    Track(0, 200, 150, [&](SkinPopupMenu* popup) {
        PostKey(popup, VK_DOWN);
        guitest::RunLater(80, [&, popup] {
            subclassed = GetPropA(owner, "SKIN_WNDPROC") != nullptr;
            ownerCaptionKept = SendMessageA(owner, WM_NCACTIVATE, FALSE, 0) == 1;
            GetWindowRect(popup->GetWindow(), &onScreen);
            auto toWindow = [&](RECT r) {
                MapWindowPoints(popup->GetWindow(), nullptr, reinterpret_cast<POINT*>(&r), 2);
                OffsetRect(&r, -onScreen.left, -onScreen.top);
                return r;
            };
            hotItem = toWindow(popup->GetItemRect(0));
            separator = toWindow(popup->GetItemRect(2));
            checked = toWindow(popup->GetItemRect(1));
            more = toWindow(popup->GetItemRect(4));
            RedrawWindow(popup->GetWindow(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
            shot = guitest::Capture::OfScreen(onScreen);
            guitest::SaveScreenScreenshot("skin_popup_menu_painted");
            PostKey(popup, VK_ESCAPE);
        });
    });
    EXPECT_TRUE(subclassed);
    EXPECT_TRUE(ownerCaptionKept);
    EXPECT_EQ(GetPropA(owner, "SKIN_WNDPROC"), nullptr);  // given back
    ASSERT_TRUE(shot.Valid());
    EXPECT_EQ(shot.At(1, 1), Cell(0, 11));                                      // FRAME.TOPLEFT
    EXPECT_EQ(shot.At(shot.Width() - 2, shot.Height() - 2), Cell(8, 11));       // FRAME.BOTTOMRIGHT
    EXPECT_EQ(shot.At(hotItem.right - 3, hotItem.top + 2), Cell(9, 11));        // ITEM.ACTIVEIMAGE
    EXPECT_EQ(shot.At(separator.right - 3, (separator.top + separator.bottom) / 2), Cell(10, 11));
    const int h = checked.bottom - checked.top;
    EXPECT_EQ(shot.At(checked.left + h / 2, checked.top + h / 2), Cell(12, 11));  // ITEM.CHECKIMAGE
    EXPECT_EQ(shot.At(more.right - h / 2, more.top + h / 2), Cell(11, 11));       // ITEM.SUBMENU
    EXPECT_EQ(shot.At(checked.right - 3, checked.top + 2), Cell(4, 11));          // FRAME.CLIENT
}

// Another subclass of the owner, saving what was there before it.
LRESULT CALLBACK ForeignSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, "FOREIGN_PREVIOUS"));
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

// Whether the owner's own procedure hears a deactivation now (a popup that
// is up keeps it away, so that the owner's caption stays active); any other
// message reaches it always.
bool OwnerHearsDeactivation(HWND owner)
{
    g_owner.clear();
    SendMessageA(owner, WM_APP, 7, 0);
    EXPECT_TRUE(Received(WM_APP, 7)) << "a message was lost on its way to the owner";
    SendMessageA(owner, WM_NCACTIVATE, FALSE, 0);
    return Received(WM_NCACTIVATE, FALSE);
}

// The owner's subclass never saves itself as the procedure to call next,
// whatever else comes and goes while menus are up: a message to the owner
// would call it again and again until the stack ran out.
TEST_F(PopupMenus, TheOwnersSubclassNeverLeadsBackToItself)
{
    auto popup = [&]() {
        std::unique_ptr<SkinPopupMenu> p(new SkinPopupMenu(owner, nullptr, 2));
        EXPECT_TRUE(p->Create());
        p->AttachMenu(menu);
        return p;
    };
    // Two top-level popups for one owner, hidden in either order.
    for (const bool firstGoesFirst : {true, false}) {
        std::unique_ptr<SkinPopupMenu> first = popup(), second = popup();
        ShowWindow(first->GetWindow(), SW_SHOWNA);
        ShowWindow(second->GetWindow(), SW_SHOWNA);
        EXPECT_FALSE(OwnerHearsDeactivation(owner));
        ShowWindow((firstGoesFirst ? first : second)->GetWindow(), SW_HIDE);
        EXPECT_FALSE(OwnerHearsDeactivation(owner)) << "one popup is still up";
        ShowWindow((firstGoesFirst ? second : first)->GetWindow(), SW_HIDE);
        EXPECT_TRUE(OwnerHearsDeactivation(owner));
    }

    // Another subclass lands on top of ours while a popup is up, and the
    // popup is shown again after it; then that subclass goes again.
    std::unique_ptr<SkinPopupMenu> shown = popup();
    ShowWindow(shown->GetWindow(), SW_SHOWNA);
    SetPropA(owner, "FOREIGN_PREVIOUS", reinterpret_cast<HANDLE>(GetWindowLongPtrA(owner, GWLP_WNDPROC)));
    SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignSubclass));
    EXPECT_FALSE(OwnerHearsDeactivation(owner));
    ShowWindow(shown->GetWindow(), SW_HIDE);
    EXPECT_TRUE(OwnerHearsDeactivation(owner));
    ShowWindow(shown->GetWindow(), SW_SHOWNA);
    EXPECT_FALSE(OwnerHearsDeactivation(owner));
    ShowWindow(shown->GetWindow(), SW_HIDE);
    EXPECT_TRUE(OwnerHearsDeactivation(owner));
    SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropA(owner, "FOREIGN_PREVIOUS")));
    RemovePropA(owner, "FOREIGN_PREVIOUS");
    ShowWindow(shown->GetWindow(), SW_SHOWNA);
    EXPECT_FALSE(OwnerHearsDeactivation(owner));
    shown.reset();
    EXPECT_TRUE(OwnerHearsDeactivation(owner));
    EXPECT_EQ(GetWindowLongPtrA(owner, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OwnerProc))
        << "the owner has its own procedure back";
    EXPECT_EQ(GetPropA(owner, "SKIN_WNDPROC"), nullptr);
}

TEST_F(PopupMenus, AMenuTallerThanTheScreenScrolls)
{
    HMENU tall = CreatePopupMenu();
    for (int i = 0; i < 120; ++i)
        AppendMenuA(tall, MF_STRING, 1000 + i, ("Item " + std::to_string(i)).c_str());
    std::swap(menu, tall);
    int visible = 0, firstAfterClick = -1, itemHeight = 0, clientHeight = 0;
    bool scrolling = false;
    Track(0, 100, 10, [&](SkinPopupMenu* popup) {
        scrolling = popup->IsScrolling();
        visible = popup->GetVisibleCount();
        itemHeight = popup->GetItemHeight();
        RECT client;
        GetClientRect(popup->GetWindow(), &client);
        clientHeight = client.bottom;
        PostMouse(popup, WM_LBUTTONDOWN, POINT{client.right / 2, client.bottom - 2});  // the lower strip
        guitest::RunLater(60, [&, popup] {
            firstAfterClick = popup->GetFirstVisible();
            PostKey(popup, VK_ESCAPE);
        });
    });
    std::swap(menu, tall);
    DestroyMenu(tall);
    EXPECT_TRUE(scrolling);
    ASSERT_GT(itemHeight, 0);
    const int fit = clientHeight / itemHeight;
    EXPECT_EQ(visible, clientHeight % itemHeight < 10 ? fit - 1 : fit);
    EXPECT_EQ(firstAfterClick, 1);
}

TEST_F(PopupMenus, TheSkinnedSystemMenuPostsSystemCommands)
{
    int mode = -1;
    guitest::RunLater(80, [&mode] {
        SkinPopupMenu* popup = OpenPopup();
        ASSERT_NE(popup, nullptr);
        mode = popup->GetMode();
        PostKey(popup, 'C');  // "&Close"
    });
    SkinGdiUtil::TrackSystemMenu(owner);
    guitest::PumpFor(50);
    EXPECT_EQ(mode, 1);
    EXPECT_TRUE(Received(WM_SYSCOMMAND, SC_CLOSE));
}

TEST_F(PopupMenus, ImageListIconsShowInTheIconColumn)
{
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    HDC screen = GetDC(nullptr);
    HBITMAP red = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, red);
    const RECT all = {0, 0, 16, 16};
    SkinGdiUtil::FillSolidRect(dc, all, RGB(255, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ImageList_Add(icons, red, nullptr);
    DeleteObject(red);

    SkinPopupMenu popup(owner, nullptr, 2);
    SkinPopupImages images;
    images.normal = icons;
    images.table.push_back({104, 0});
    popup.SetImages(images);
    ASSERT_TRUE(popup.Create());
    popup.AttachMenu(menu);
    popup.BindSkin(SkinManager::Instance().GetSkin()->FindObjectByType(17));
    EXPECT_GE(popup.GetItemHeight(), 16 + 2);
    const SIZE size = popup.GetMenuSize();
    MoveWindow(popup.GetWindow(), 120, 120, size.cx, size.cy, TRUE);
    ShowWindow(popup.GetWindow(), SW_SHOW);
    UpdateWindow(popup.GetWindow());
    guitest::PumpFor(80);
    const RECT exit = popup.GetItemRect(5);
    guitest::Capture shot = guitest::Capture::Printed(popup.GetWindow());
    if (!shot.Valid() || shot.At(exit.left + 8, exit.top + 8) != RGB(255, 0, 0))
        shot = guitest::Capture::OfWindow(popup.GetWindow());
    EXPECT_EQ(shot.At(exit.left + 8, (exit.top + exit.bottom) / 2), RGB(255, 0, 0));
    popup.Close();
    ImageList_Destroy(icons);
}

TEST_F(PopupMenus, TheMenuBarDropDownTalksToItsOwner)
{
    SkinPopupMenuWindow* made = CreatePopupMenuWindow(owner, 0);
    ASSERT_NE(made, nullptr);
    auto* popup = dynamic_cast<SkinPopupMenu*>(made);
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->Create());
    popup->AttachMenu(menu);
    popup->BindSkin(SkinManager::Instance().GetSkin()->FindObjectByType(17));
    const SIZE size = popup->GetMenuSize();
    MoveWindow(popup->GetWindow(), 100, 100, size.cx, size.cy, TRUE);
    ShowWindow(popup->GetWindow(), SW_SHOW);
    guitest::PumpFor(50);
    PostKey(popup, VK_LEFT);
    guitest::PumpFor(50);
    EXPECT_TRUE(Received(kSkinMsgMenuKey, VK_LEFT));
    PostMessageA(popup->GetWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(-30, -30));
    guitest::PumpFor(50);
    EXPECT_TRUE(Received(kSkinMsgPopupMouseOutside, 0));
    PostMessageA(popup->GetWindow(), WM_LBUTTONDOWN, 0, MAKELPARAM(-30, -30));
    guitest::PumpFor(50);
    EXPECT_TRUE(Received(kSkinMsgPopupLeftClickOutside, 0));
    EXPECT_TRUE(popup->IsClosed());
    popup->Close();
    delete made;
    EXPECT_EQ(FindWindowA(kPopupMenuClass, nullptr), nullptr);
}

// The library may end while a popup menu window is still up (a drop-down
// the program has not closed yet): it starts again, twice, with a class
// that makes popups, and once the last popup has gone after an end the
// class is gone too.
TEST_F(PopupMenus, TheLibraryStartsAgainAfterEndingWithAPopupUp)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto openPopup = [this]() -> SkinPopupMenuWindow* {
        SkinPopupMenuWindow* made = CreatePopupMenuWindow(owner, 0);
        auto* popup = dynamic_cast<SkinPopupMenu*>(made);
        if (!popup || !popup->Create()) {
            delete made;
            return nullptr;
        }
        popup->AttachMenu(menu);
        const SIZE size = popup->GetMenuSize();
        MoveWindow(popup->GetWindow(), 100, 100, size.cx, size.cy, TRUE);
        ShowWindow(popup->GetWindow(), SW_SHOWNA);
        return made;
    };
    auto closePopup = [](SkinPopupMenuWindow* made) {
        dynamic_cast<SkinPopupMenu*>(made)->Close();
        delete made;
    };
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        SkinPopupMenuWindow* up = openPopup();
        ASSERT_NE(up, nullptr);
        SkinLibExit();
        ASSERT_TRUE(SkinLibInit(instance, nullptr, nullptr, 0)) << "code " << SkinGetLastError();
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        SkinPopupMenuWindow* next = openPopup();
        EXPECT_NE(next, nullptr) << "no popup after the new start";
        if (next)
            closePopup(next);
        closePopup(up);
    }
    SkinPopupMenuWindow* last = openPopup();
    ASSERT_NE(last, nullptr);
    SkinLibExit();
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExA(instance, kPopupMenuClass, &info)) << "the popup still uses its class";
    closePopup(last);
    EXPECT_FALSE(GetClassInfoExA(instance, kPopupMenuClass, &info)) << "the class outlived its last popup";
    ASSERT_TRUE(SkinLibInit(instance, nullptr, nullptr, 0));  // the fixture ends it
}

}  // namespace
