// Native builds: the classic Windows colour scheme and no GDI objects.
#include "skin/core/skin_data_gdi.h"

namespace {

// GetSysColor's answers under the classic scheme, indexes 0 to 30.
const SkinColor kClassicColors[kSkinSysColorCount] = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000,
    0x000000, 0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A,
    0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF,
    0x404040, 0xC8D0D4, 0x000000, 0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6,
    0xC0C0C0, 0x6A240A, 0xC8D0D4,
};

class NullGdi : public SkinGdiBackend {
public:
    SkinColor SysColor(int index) override
    {
        return (index >= 0 && index < kSkinSysColorCount) ? kClassicColors[index] : 0;
    }
    SkinGdiHandle MakeFont(const SkinLogFont&) override { return nullptr; }
    SkinGdiHandle MakeKeyRegion(const CSkinImage&, SkinColor) override { return nullptr; }
    void DeleteHandle(SkinGdiHandle) override {}
};

NullGdi g_nullGdi;
SkinGdiBackend* g_backend = nullptr;

}  // namespace

SkinGdiBackend& SkinGdi() { return g_backend ? *g_backend : g_nullGdi; }

void SetSkinGdi(SkinGdiBackend* backend) { g_backend = backend; }
