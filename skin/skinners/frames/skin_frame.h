// SkinFrame: skins a top-level window or an MDI child with a FrameWnd
// object. It takes the whole non-client area over: the nine frame parts,
// caption text, caption buttons and other elements, the window region, the
// hit test and the minimum and maximised sizes; the window's menu comes off
// the window and is drawn by a SkinMenuBar. A frame that holds an
// "MDIClient" skins it with SkinMdiClient (background and maximised-child
// buttons). Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_FRAME_H
#define QUORBEL_SKIN_SKINNERS_SKIN_FRAME_H

#include <windows.h>

#include <memory>

#include "skin/core/skin_window.h"

class SkinMemDC;
class SkinMenuBar;
class SkinMdiClient;
class SkinPartsData;
class SkinMemDC;

// What the frame and dialog skinners share.
// The window title in the middle-top part in the caption font and colour,
// when attachStyle has both WS_CAPTION bits.
void DrawWindowCaptionText(HDC hdc, HWND window, const SkinPartsData& parts, const RECT& middleTop,
                           LONG attachStyle);
// ptMinTrackSize from the frame parts (corners plus 2 pixels), then the
// window's own answer (system) merged in: per axis the smaller maximum
// track size and the larger minimum track size.
void SetFrameTrackLimits(MINMAXINFO* mine, const SkinPartsData* parts);
void MergeTrackLimits(MINMAXINFO* mine, const MINMAXINFO& system);
// Erases the client area from the painted background (within the clip box);
// the first erase after eraseOnce was set redraws the window instead.
BOOL EraseFromClientCache(HWND window, HDC hdc, RECT client, const SkinMemDC& cache, bool& eraseOnce);

class SkinFrame : public SkinWindowObject {
public:
    SkinFrame();
    ~SkinFrame() override;

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    HMENU GetMenu() override;
    // 0 while a menu bar popup is open or for something that is not a menu.
    BOOL SetMenu(HMENU menu) override;
    LRESULT OnMenuKey(WPARAM key, LPARAM keyData) override;
    HWND GetActiveMdiChild(BOOL* maximized) override;
    void Detach() override;
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The menu bar's rectangle (window coordinates).
    void GetInsets(RECT* out) override;
    // Draws the menu bar into the frame picture.
    void AfterFrame(HDC hdc) override;
    void DrawCaption(HDC hdc, BOOL active) override;

    // Window-relative points.
    void OnNcLButtonUp(int hit, POINT point);
    void OnNcLButtonDown(int hit, POINT point);
    LRESULT OnNcLButtonDblClk(int hit, POINT point);
    void OnNcMouseMove(int hit, POINT point);
    int NcHitTest(POINT point);
    void GetMinMaxInfo(MINMAXINFO* info);

    // The maximised-child buttons of the menu bar.
    void MdiCommand(int button);

    SkinMenuBar& MenuBar() { return *menuBar_; }
    bool IsMdiChild() const { return mdiChild_; }
    LONG GetAttachStyle() const { return attachStyle_; }
    // The MDI client's skinner while it still has its window, else null.
    SkinMdiClient* GetMdiClient();

private:
    LRESULT WithoutSysMenu(UINT message, WPARAM wParam, LPARAM lParam);
    void OnNcCalcSize(RECT* rect);
    void OnNcPaint(HRGN region);
    LRESULT OnNcActivate(WPARAM wParam, LPARAM lParam);
    void ForwardPopupClick(LPARAM screenPoint);
    void ForwardPopupMove(LPARAM screenPoint);
    void BuildClientCache(int cx, int cy);
    BOOL EraseClient(HDC hdc);
    void AdoptWindowMenu();
    void RepaintCaptionBand();
    // Default processing of a non-client button message with WS_SYSMENU
    // off (and off the top-level window for an MDI child).
    void SystemNcButton(UINT message, int hit, POINT point);

    std::unique_ptr<SkinMenuBar> menuBar_;   // draws the window's menu
    HMENU savedMenu_ = nullptr;              // the window's menu at attach
    bool mdiChild_ = false;                  // WS_EX_MDICHILD at attach
    LONG substituteStyle_ = LONG(0x96000000);  // put on while some default processing runs
    LONG attachStyle_ = 0;                   // GWL_STYLE at attach (answer of 6041)
    std::unique_ptr<SkinMemDC> clientCache_;  // the painted client background
    bool eraseOnce_ = false;                 // next erase redraws instead of copying
    SkinMdiClient* mdiClient_ = nullptr;     // skinner of the "MDIClient" child (the manager owns it)
    HWND mdiClientWindow_ = nullptr;         // its window, to check the skinner is still there
    RECT menuBarRect_ = {};                  // where the bar was last painted
    SYSTEMTIME lastCaptionClick_ = {};       // last button-up on a maximised caption
};

// The frame's "MDIClient" child: the MDICLIENT background, maximised
// children restored before a new one comes, and the area of a child that
// goes away repainted.
class SkinMdiClient : public SkinWindowObject {
public:
    explicit SkinMdiClient(SkinFrame* frame) : frame_(frame) {}
    ~SkinMdiClient() override;
    BOOL KeepOnReskin() override { return TRUE; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    SkinFrame* frame_;  // not owned
};

#endif
