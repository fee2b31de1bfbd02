// What the skin data classes need from the display: system colours for
// their defaults, and the GDI objects (fonts, regions) that Resolve
// builds. The Windows build answers with GDI (skin_data_gdi_win32.cpp); the
// native build with the classic colour scheme and no handles
// (skin_data_gdi_null.cpp), so the data classes stay platform-neutral.
#ifndef QUORBEL_SKIN_CORE_SKIN_DATA_GDI_H
#define QUORBEL_SKIN_CORE_SKIN_DATA_GDI_H

#include "skin/core/skin_data_types.h"

class CSkinImage;

// System colour indexes, as COLOR_* numbers them.
enum SkinSysColorIndex : int {
    kSkinColorScrollBar = 0,
    kSkinColorActiveCaption = 2,
    kSkinColorWindow = 5,
    kSkinColorWindowText = 8,
    kSkinColorCaptionText = 9,
    kSkinColorHighlight = 13,
    kSkinColorHighlightText = 14,
    kSkinColorBtnFace = 15,
    kSkinColorBtnShadow = 16,
    kSkinColorGrayText = 17,
    kSkinColorBtnText = 18,
    kSkinColorInfoBk = 24,
    kSkinSysColorCount = 31,  // indexes 0 to 30
};

typedef void* SkinGdiHandle;

class SkinGdiBackend {
public:
    virtual ~SkinGdiBackend() = default;
    virtual SkinColor SysColor(int index) = 0;
    virtual SkinGdiHandle MakeFont(const SkinLogFont& font) = 0;
    // Region of every pixel whose colour differs from the key; null when
    // none can be made.
    virtual SkinGdiHandle MakeKeyRegion(const CSkinImage& image, SkinColor key) = 0;
    virtual void DeleteHandle(SkinGdiHandle handle) = 0;
};

// The backend in use: the platform's own unless one was installed.
SkinGdiBackend& SkinGdi();
// Installs another backend (tests, or the skinners' own region builder);
// null puts the platform's own back.
void SetSkinGdi(SkinGdiBackend* backend);

inline SkinColor SkinSysColor(int index) { return SkinGdi().SysColor(index); }

#endif
