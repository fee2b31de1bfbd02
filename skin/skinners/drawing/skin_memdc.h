// SkinMemDC: the double buffer every painter of the skin library uses - a
// memory DC compatible with a given DC and a bitmap of the given size
// selected into it. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_MEMDC_H
#define QUORBEL_SKIN_SKINNERS_SKIN_MEMDC_H

#include <windows.h>

class SkinMemDC {
public:
    SkinMemDC(HDC hdc, int cx, int cy);
    SkinMemDC(const SkinMemDC&) = delete;
    SkinMemDC& operator=(const SkinMemDC&) = delete;
    virtual ~SkinMemDC();

    operator HDC() const { return dc_; }
    HDC GetDC() const { return dc_; }
    HBITMAP GetBitmap() const { return bitmap_; }
    int Width() const { return cx_; }
    int Height() const { return cy_; }
    bool IsValid() const { return dc_ && bitmap_; }
    // Gives the bitmap to the caller (who deletes it) and drops the DC.
    HBITMAP DetachBitmap();

private:
    HDC dc_ = nullptr;          // the memory DC
    HBITMAP bitmap_ = nullptr;  // owned until DetachBitmap
    HGDIOBJ oldBitmap_ = nullptr;  // selected before ours
    int cx_ = 0, cy_ = 0;       // bitmap size
};

#endif
