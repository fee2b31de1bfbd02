// Pure rules of the static skinner: which statics it refuses, what kind of
// content a style shows, and the DrawText format of a text static. No
// windows.h (the style bits are written out), so it is tested natively.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_STATIC_GEOMETRY_H
#define QUORBEL_SKIN_SKINNERS_SKIN_STATIC_GEOMETRY_H

#include <cstdint>

enum StaticContent { kStaticText, kStaticIcon, kStaticBitmap };

// SS_SIMPLE, SS_OWNERDRAW and SS_ENHMETAFILE statics keep the system look.
bool StaticIsRefused(uint32_t style);
// Low two bits both set: icon; bits 0xE set: bitmap; else text.
StaticContent StaticContentOfStyle(uint32_t style);
// DT_ flags from the SS_ alignment, image centring, prefix, word-wrap and
// edit-control bits and WS_EX_RTLREADING.
uint32_t StaticTextFormat(uint32_t style, uint32_t exStyle);

#endif
