#include "skin/skinners/controls/skin_static_geometry.h"

namespace {

// SS_ types (the low five bits) and flags.
const uint32_t kTypeMask = 0x1F, kCenter = 0x1, kRight = 0x2, kSimple = 0xB, kLeftNoWordWrap = 0xC,
               kOwnerDraw = 0xD, kEnhMetaFile = 0xF, kNoPrefix = 0x80, kCenterImage = 0x200,
               kEditControl = 0x2000;
const uint32_t kExRtlReading = 0x2000;
// DT_ flags.
const uint32_t kDtCenter = 0x1, kDtRight = 0x2, kDtVCenter = 0x4, kDtWordBreak = 0x10, kDtSingleLine = 0x20,
               kDtNoPrefix = 0x800, kDtEditControl = 0x2000, kDtRtlReading = 0x20000;

}  // namespace

bool StaticIsRefused(uint32_t style)
{
    const uint32_t type = style & kTypeMask;
    return type == kSimple || type == kOwnerDraw || type == kEnhMetaFile;
}

StaticContent StaticContentOfStyle(uint32_t style)
{
    if ((style & 0x3) == 0x3)
        return kStaticIcon;
    if ((style & 0xE) == 0xE)
        return kStaticBitmap;
    return kStaticText;
}

uint32_t StaticTextFormat(uint32_t style, uint32_t exStyle)
{
    const uint32_t type = style & kTypeMask;
    uint32_t format = 0;
    if (type == kCenter)
        format |= kDtCenter;
    else if (type == kRight)
        format |= kDtRight;
    if (style & kCenterImage)
        format |= kDtVCenter | kDtSingleLine;
    if (style & kNoPrefix)
        format |= kDtNoPrefix;
    if (type == kLeftNoWordWrap)
        format |= kDtSingleLine;
    else if (!(format & kDtSingleLine))
        format |= kDtWordBreak;
    if (exStyle & kExRtlReading)
        format |= kDtRtlReading;
    if (style & kEditControl)
        format |= kDtWordBreak | kDtEditControl;
    return format;
}
