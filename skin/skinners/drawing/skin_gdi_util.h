// SkinGdiUtil: what every painter of the skin library shares - drawing a
// skin image part (plain, tiled, stretched, or as a nine-piece image),
// key-coloured and masked blits, regions from bitmaps, effect text, the
// window icon, the library's own popup-menu tracking and the skinned system
// menu, the operating-system class, and small menu, resource and file
// helpers. Free functions; the only state is GetMenuItemText's buffer (one
// per thread).
// Windows only (the pure geometry is in skin_draw_geometry.h).
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_GDI_UTIL_H
#define QUORBEL_SKIN_SKINNERS_SKIN_GDI_UTIL_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/core/skin_data_types.h"

class CSkinImage;
class SkinDataObject;
class SkinPackage;

// What the library's popup-menu tracking needs of a popup menu window.
// The popup menu skinner provides it through RegisterPopupMenuFactory;
// without one, TrackPopupMenu shows the system's menu instead.
class SkinPopupMenuWindow {
public:
    virtual ~SkinPopupMenuWindow() = default;
    // Creates the (hidden) window; FALSE on failure.
    virtual BOOL Create() = 0;
    virtual void AttachMenu(HMENU menu) = 0;
    // Binds the skin's PopupMenu object.
    virtual void BindSkin(SkinDataObject* popupMenuObject) = 0;
    virtual SIZE GetMenuSize() = 0;
    virtual HWND GetWindow() = 0;
    // Set once the menu has ended (the loop stops on it).
    virtual bool IsClosed() = 0;
    // The command chosen (popups that return it).
    virtual UINT GetChosenCommand() = 0;
    // Closes the open submenus and destroys the window.
    virtual void Close() = 0;
};
// mode: 1 system menu, 2 popup that posts its command, 3 popup that
// returns it (0 is the menu bar's drop-down).
typedef SkinPopupMenuWindow* (*SkinPopupMenuFactory)(HWND owner, int mode);
void RegisterPopupMenuFactory(SkinPopupMenuFactory factory);
// A popup menu window from the registered factory; null without one.
SkinPopupMenuWindow* CreatePopupMenuWindow(HWND owner, int mode);

// The per-window accelerator list the keyboard hook consults.
class AccelTable {
public:
    AccelTable() = default;
    AccelTable(const ACCEL* entries, int count) { Set(entries, count); }
    void Set(const ACCEL* entries, int count);
    // The first entry for the key whose modifiers (FSHIFT, FCONTROL, FALT)
    // are all down; copied to out.
    BOOL FindKey(WORD key, ACCEL* out) const;
    void Clear() { entries_.clear(); }
    int Count() const { return int(entries_.size()); }

private:
    std::vector<ACCEL> entries_;  // ACCEL layout: flags, pad, key, command
};
static_assert(sizeof(ACCEL) == 6, "accelerator entries are 6 bytes");

namespace SkinGdiUtil {

// --- geometry and tests ---------------------------------------------------
RECT* MakeRect(RECT* out, int left, int top, int right, int bottom);
void ScreenToClientRect(HWND window, RECT* rect);
void ClientToScreenRect(HWND window, RECT* rect);
// WS_EX_TOOLWINDOW with WS_THICKFRAME.
BOOL IsSizableToolWindow(HWND window);
// Its source rectangle is empty or its name "".
BOOL IsImageRefEmpty(const SkinImageRef& ref);
void PackColor24(uint8_t dest[3], COLORREF color);
COLORREF UnpackColor24(const uint8_t source[3]);
// 0 Win32s, 1 other NT-family system, 2 Windows 95, 3 Windows 98,
// 4 Windows ME, 5 NT 4, 6 Windows 2000, 7 Windows XP.
int GetOsClass();
// Makes GetOsClass answer cls (tests reach the other systems' branches);
// -1 puts the measured class back.
void SetOsClassOverride(int cls);

// --- painting ---------------------------------------------------------------
// Lets the key colour drop out when the image is drawn: a 24- or 32-bit
// image keys on the colour, a palette image on the entry that holds it.
void MakeKeyTransparent(CSkinImage& image, COLORREF key);
void FillSolidRect(HDC hdc, const RECT& rect, COLORREF color);
// A part of a skin image into dest by the reference's draw mode: 0 natural
// size, cut to dest (key colour transparent); 1 tiled (key colour
// transparent); else stretched. Without image or part, dest is filled with
// the fallback colour when fill is set. The image comes from the skin
// manager's skin, or from `skin` when given.
void DrawImageRef(HDC hdc, const RECT& dest, const SkinImageRef& ref, COLORREF fallback, BOOL fill,
                  SkinPackage* skin = nullptr);
// The nine pieces of an image with layout (layout modes 1..8).
void DrawLayoutImage(HDC hdc, const RECT& dest, const SkinLayoutImage& image, COLORREF fallback,
                     BOOL fill, SkinPackage* skin = nullptr);
// The eight outer pieces (modes 1..7).
void DrawLayoutBorder(HDC hdc, const RECT& dest, const SkinLayoutImage& image, COLORREF fallback,
                      BOOL fill, SkinPackage* skin = nullptr);
// As DrawLayoutBorder with the destination margins from borders (left,
// top, right, bottom).
void DrawLayoutBorderSized(HDC hdc, const RECT& dest, const RECT& borders, const SkinLayoutImage& image,
                           COLORREF fallback, BOOL fill, SkinPackage* skin = nullptr);
// DrawLayoutImage through a memory DC, copied with the key colour transparent.
void DrawLayoutImageKeyed(HDC hdc, const RECT& dest, const SkinLayoutImage& image, COLORREF key,
                          SkinPackage* skin = nullptr);
// Masked copy of a bitmap part: pixels of the key colour stay transparent.
void TransparentBlitBitmap(HDC hdc, int x, int y, int width, int height, HBITMAP bitmap, int sourceX,
                           int sourceY, COLORREF key, HPALETTE palette = nullptr);
// The same from a DC, stretched when the sizes differ.
void TransparentStretchBlit(HDC hdc, int x, int y, int width, int height, HDC source, int sourceX,
                            int sourceY, int sourceWidth, int sourceHeight, COLORREF key);
// A bitmap stretched into rect with the key colour (24-bit) or palette
// entry 0 (palette bitmaps) left out.
void DrawBitmapKeyed(HDC hdc, HBITMAP bitmap, const RECT& rect, COLORREF key);
// An image at rect's top left, cut to the smaller size, key colour left out.
void DrawImageKeyed(HDC hdc, const CSkinImage& image, const RECT& rect, COLORREF key);
void DrawTriangle(HDC hdc, const POINT points[3], COLORREF color);
// The window's small icon (or big, class, or its module's first) at 16 x 16.
void DrawWindowIcon(HWND window, HDC hdc, POINT at);
// offsets: low byte signed x, next byte signed y; flag bit 0 draws the
// shadow first.
void DrawShadowText(HDC hdc, const RECT& rect, uint32_t offsets, uint32_t flags, COLORREF shadow,
                    COLORREF color, const char* text, int length, UINT format);
void DrawEffectText(HDC hdc, const SkinTextEffect& effect, const RECT& rect, const char* text,
                    int length, UINT format);

// --- regions ------------------------------------------------------------------
// Scaled by (xScale, yScale), then moved by (dx, dy); null on failure.
HRGN TransformRegion(HRGN region, float xScale, float yScale, int dx, int dy);
// The source repeated over dest in steps, cut to dest; built by rows with
// doubled copies. Tiles that would make a region of more than 65536
// rectangles give the whole of dest.
HRGN TileRegion(HRGN source, int stepX, int stepY, const RECT& dest);
// Every pixel that differs from the key, one rectangle per run in a row.
HRGN RegionFromBitmap(HBITMAP bitmap, COLORREF key);

// --- menus --------------------------------------------------------------------
// The item's text in the calling thread's buffer, overwritten by its next
// call.
const char* GetMenuItemText(HMENU menu, UINT item, BOOL byPosition);
// Appends copies of every item of source (submenus copied too) to dest.
BOOL CopyMenu(HMENU source, HMENU dest);
// The library's modal popup menu; see the factory above. Returns 1, 0
// after Escape, or (TPM_RETURNCMD) the chosen command.
int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner, BOOL systemMenu);
// The window's system menu as a skinned popup at the cursor; 0 without one.
int TrackSystemMenu(HWND window);
// The work area of the monitor that holds the point.
RECT WorkAreaAt(POINT point);

// --- files and resources ------------------------------------------------------
BOOL ResourceToFile(const char* path, HMODULE module, const char* name, const char* type);
// A temporary file name ("SM" prefix) with an optional extension; out must
// hold MAX_PATH characters. The name is reserved: the file exists, empty,
// until the caller deletes it. When the system gives no name, name in the
// temporary (else fallback) folder, not reserved.
BOOL MakeTempFileName(char* out, size_t outSize, const char* name, const char* fallbackFolder,
                      const char* extension);
// The previous / next buttons of a month calendar, found by hit tests.
BOOL FindMonthCalNavButtons(HWND monthCal, RECT* previous, RECT* next);

}  // namespace SkinGdiUtil

#endif
