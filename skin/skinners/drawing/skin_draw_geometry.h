// Pure geometry of the drawing utilities: how an image with layout is cut
// into nine pieces and which of them stretch, the strips of layout mode 8,
// where the library's popup menu goes, and the operating-system class. No
// windows.h, so all of it is tested natively.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_DRAW_GEOMETRY_H
#define QUORBEL_SKIN_SKINNERS_SKIN_DRAW_GEOMETRY_H

#include <cstdint>
#include <vector>

#include "skin/core/skin_data_types.h"

// One piece of a nine-piece image: where it goes, which part of the
// source it shows, and whether it is stretched (else tiled).
struct LayoutPiece {
    enum Position : uint8_t {
        kTopLeft, kTop, kTopRight, kLeft, kCentre, kRight, kBottomLeft, kBottom, kBottomRight
    };
    Position position;
    SkinRect dest;
    SkinRect source;
    bool stretch;
};

// Cuts dest with the margins destMargins (left, top, right, bottom as a
// rectangle's four fields) and source with sourceMargins the same way, and
// marks the stretched pieces of the layout mode (1 all; 2 bottom edge;
// 3 centre; 4 left edge; 5 and 8 the four edges; 6 right edge; 7 top edge;
// any other none). Pieces come in drawing order; the centre is left out
// when withCentre is false.
std::vector<LayoutPiece> LayoutImagePieces(const SkinRect& dest, const SkinRect& destMargins,
                                           const SkinRect& source, const SkinRect& sourceMargins,
                                           uint32_t layoutMode, bool withCentre);

// Layout mode 8's centre: strips as wide as the centre's source piece,
// side by side from the centre's left edge while the next strip fits; the
// last strip ends at the right edge.
std::vector<SkinRect> CentreStrips(const SkinRect& centre, int32_t stripWidth);

// TrackPopupMenu's placement of a cx x cy popup for the point (x, y) and
// the TPM_ alignment flags (centre 4, right 8, vertical centre 0x10,
// bottom 0x20), kept inside workArea: a popup wider than the area takes
// its whole width, one left of it starts at its left edge, one past its
// right edge ends there; the same vertically.
SkinRect PlacePopupMenu(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t flags,
                        const SkinRect& workArea);

// The OS class from the version numbers: 0 Win32s, 1 other NT-family
// system, 2 Windows 95 (and other 9x), 3 Windows 98, 4 Windows ME, 5 NT 4,
// 6 Windows 2000, 7 Windows XP. windows9x: the 9x family (GetVersion's
// high bit). versionKnown false: the detailed version could not be read.
int OsClassFromVersion(bool windows9x, uint32_t major, uint32_t minor, bool versionKnown);

// Hit test of a skinned frame at a window-relative point (the rules the
// frame and dialog skinners share), with the nine laid-out parts: 5 x 5
// sizing squares in the corners, a 5-row sizing band at the top of the
// middle-top part, the sides and the bottom row for sizing, the client
// part as client. Not sizable (or zoomed): the top row is caption and the
// rest of the frame nowhere. Results are the HT* numbers.
enum FrameHit : int {
    kHitError = -2, kHitNowhere = 0, kHitClient = 1, kHitCaption = 2, kHitLeft = 10, kHitRight = 11,
    kHitTop = 12, kHitTopLeft = 13, kHitTopRight = 14, kHitBottom = 15, kHitBottomLeft = 16,
    kHitBottomRight = 17
};
int FrameHitTest(const SkinRect parts[9], int32_t x, int32_t y, bool sizable);

#endif
