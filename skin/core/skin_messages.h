// The skin library's private window messages, shared by the library core
// and the skinners.
#ifndef QUORBEL_SKIN_CORE_SKIN_MESSAGES_H
#define QUORBEL_SKIN_CORE_SKIN_MESSAGES_H

enum SkinMessage : unsigned {
    kSkinMsgPopupLeftClickOutside = 6024,   // popup -> owner: lParam screen point
    kSkinMsgPopupRightClickOutside = 6025,  // popup -> owner: lParam screen point
    kSkinMsgPopupMouseOutside = 6026,       // popup -> owner: lParam screen point
    kSkinMsgMenuEnded = 6027,               // popup -> owner; the menu loops stop on it
    kSkinMsgMdiChildLeaving = 6028,         // frame -> MDI client: lParam child rectangle
    kSkinMsgSkinScrollBars = 6029,          // posted to a control: skin its scroll bars now
    kSkinMsgApplyColors = 6030,             // list / tree view: apply the skin colours
    kSkinMsgProgressState = 6031,           // progress bar takes its state over
    kSkinMsgCloseSubmenu = 6032,            // to a parent popup
    kSkinMsgMenuItemChosen = 6033,          // wParam command id
    kSkinMsgChildDying = 6035,              // control -> parent: wParam its HWND
    kSkinMsgMenuKey = 6036,                 // wParam key (or -1), lParam key data
    kSkinMsgChildBackground = 6037,         // wParam HDC, lParam child HWND
    kSkinMsgRecordFont = 6038,              // posted to a control before the skin font
    kSkinMsgAttachStyle = 6041,             // frame: answers its attach-time style
    kSkinMsgResyncScrollBars = 6042,        // Windows 98 / ME scroll-bar resync
    kSkinMsgDestroySelf = 6043,             // posted to the tooltip: destroy it on its own thread
    kSkinMsgReskin = 6044,                  // to a skinned window: wParam a SkinReskinAction
    kSkinMsgTooltipShow = 6045,             // posted to the tooltip: wParam 1 start the show delay, 0 hide
    kSkinMsgScrollBarSizes = 6046,          // posted to a window with skinned bars: wParam size, lParam min thumb
    kSkinMsgRefuseSkin = 0x83E8,            // to the parent: wParam id, lParam HWND; non-zero refuses
};

// What kSkinMsgReskin asks of the window's skinner, on the window's thread.
enum SkinReskinAction : unsigned {
    kSkinReskinRebind = 0,  // take the object of the current skin
    kSkinReskinDetach = 1,  // let the window go (the library ends)
};
// The answer of a skinner that did what kSkinMsgReskin asked.
constexpr long kSkinReskinDone = 0x5EC1;

#endif
