// SkinNamedWindow: skins a dialog with a FrameWnd object chosen by name
// (the library's default dialog skin, or SkinSetDialogWindow). A dialog
// with a dialog frame (WS_DLGFRAME or DS_MODALFRAME) gets the whole
// non-client area from the skin - frame parts, caption text, elements,
// hit test, sizing limits - and, with "SKINCLIENT", the client background;
// any other dialog only the client background. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_NAMED_WINDOW_H
#define QUORBEL_SKIN_SKINNERS_SKIN_NAMED_WINDOW_H

#include <windows.h>

#include <memory>

#include "skin/core/skin_window.h"

class SkinMemDC;

class SkinNamedWindow : public SkinWindowObject {
public:
    SkinNamedWindow();
    ~SkinNamedWindow() override;

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    LRESULT OnMenuKey(WPARAM key, LPARAM keyData) override { return 0; }
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The window title in the middle-top part, in the caption font.
    void DrawCaption(HDC hdc, BOOL active) override;

    // Framed when the window has a dialog frame now.
    bool IsFramed();
    // Hit code of a window-relative point.
    int NcHitTest(POINT point);
    // Paints the frame (region 1: all of it).
    void OnNcPaint(HRGN region);
    // Copies the client background from the cache; FALSE without "SKINCLIENT".
    BOOL EraseClient(HDC hdc);
    void GetMinMaxInfo(MINMAXINFO* info);

private:
    // Has a window that still exists paint its whole frame.
    static void RepaintFrame(HWND window);
    void BuildClientCache();
    // The messages a skinned dialog answers alike with or without its
    // frame; false leaves the message to the procedure of its kind.
    bool ClientMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    LRESULT FramedProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ClientOnlyProc(UINT message, WPARAM wParam, LPARAM lParam);

    LONG savedStyle_ = 0;                     // GWL_STYLE at attach
    std::unique_ptr<SkinMemDC> clientCache_;  // the painted client background
    bool eraseOnce_ = false;                  // next erase redraws instead of copying
};

#endif
