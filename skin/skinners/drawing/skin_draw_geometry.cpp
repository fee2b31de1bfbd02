#include "skin/skinners/drawing/skin_draw_geometry.h"

#include <initializer_list>

namespace {

// The nine pieces of r cut by margins m (m.left, m.top, m.right, m.bottom).
void CutNine(const SkinRect& r, const SkinRect& m, SkinRect out[9])
{
    const int32_t x[4] = {r.left, ClampToInt32(int64_t(r.left) + m.left),
                          ClampToInt32(int64_t(r.right) - m.right), r.right};
    const int32_t y[4] = {r.top, ClampToInt32(int64_t(r.top) + m.top),
                          ClampToInt32(int64_t(r.bottom) - m.bottom), r.bottom};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            out[row * 3 + col] = MakeSkinRect(x[col], y[row], x[col + 1], y[row + 1]);
}

bool PieceStretches(LayoutPiece::Position p, uint32_t mode)
{
    const bool edge = p == LayoutPiece::kTop || p == LayoutPiece::kLeft || p == LayoutPiece::kRight ||
                      p == LayoutPiece::kBottom;
    switch (mode) {
    case 1: return true;
    case 2: return p == LayoutPiece::kBottom;
    case 3: return p == LayoutPiece::kCentre;
    case 4: return p == LayoutPiece::kLeft;
    case 5:
    case 8: return edge;
    case 6: return p == LayoutPiece::kRight;
    case 7: return p == LayoutPiece::kTop;
    default: return false;
    }
}

bool Inside(const SkinRect& r, int32_t x, int32_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Moves [lo, hi) into [areaLo, areaHi) as the popup placement wants it.
void KeepInside(int32_t& lo, int32_t& hi, int32_t size, int32_t areaLo, int32_t areaHi)
{
    if (int64_t(areaHi) - areaLo < size) {
        lo = areaLo;
        hi = areaHi;
    } else if (lo < areaLo) {
        hi = ClampToInt32(int64_t(hi) + (int64_t(areaLo) - lo));
        lo = areaLo;
    } else if (hi > areaHi) {
        lo = ClampToInt32(int64_t(lo) - (int64_t(hi) - areaHi));
        hi = areaHi;
    }
}

}  // namespace

std::vector<LayoutPiece> LayoutImagePieces(const SkinRect& dest, const SkinRect& destMargins,
                                           const SkinRect& source, const SkinRect& sourceMargins,
                                           uint32_t layoutMode, bool withCentre)
{
    SkinRect d[9], s[9];
    CutNine(dest, destMargins, d);
    CutNine(source, sourceMargins, s);
    std::vector<LayoutPiece> pieces;
    for (int i = 0; i < 9; ++i) {
        const auto position = LayoutPiece::Position(i);
        if (position == LayoutPiece::kCentre && !withCentre)
            continue;
        pieces.push_back(LayoutPiece{position, d[i], s[i], PieceStretches(position, layoutMode)});
    }
    return pieces;
}

std::vector<SkinRect> CentreStrips(const SkinRect& centre, int32_t stripWidth)
{
    std::vector<SkinRect> strips;
    if (centre.IsEmpty())
        return strips;
    if (stripWidth <= 0) {
        strips.push_back(centre);
        return strips;
    }
    int64_t x = centre.left;
    while (x + stripWidth < centre.right) {
        strips.push_back(MakeSkinRect(int32_t(x), centre.top, int32_t(x + stripWidth), centre.bottom));
        x += stripWidth;
    }
    strips.push_back(MakeSkinRect(int32_t(x), centre.top, centre.right, centre.bottom));
    return strips;
}

SkinRect PlacePopupMenu(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t flags,
                        const SkinRect& workArea)
{
    int32_t left, right, top, bottom;
    if (flags & 0x4) {  // TPM_CENTERALIGN
        left = ClampToInt32(int64_t(x) - cx / 2);
        right = ClampToInt32(int64_t(x) + cx / 2);
    } else if (flags & 0x8) {  // TPM_RIGHTALIGN
        left = ClampToInt32(int64_t(x) - cx);
        right = x;
    } else {
        left = x;
        right = ClampToInt32(int64_t(x) + cx);
    }
    if (flags & 0x20) {  // TPM_BOTTOMALIGN
        top = ClampToInt32(int64_t(y) - cy);
        bottom = y;
    } else if (flags & 0x10) {  // TPM_VCENTERALIGN
        top = ClampToInt32(int64_t(y) - cy / 2);
        bottom = ClampToInt32(int64_t(y) + cy / 2);
    } else {
        top = y;
        bottom = ClampToInt32(int64_t(y) + cy);
    }
    KeepInside(left, right, cx, workArea.left, workArea.right);
    KeepInside(top, bottom, cy, workArea.top, workArea.bottom);
    return MakeSkinRect(left, top, right, bottom);
}

int OsClassFromVersion(bool windows9x, uint32_t major, uint32_t minor, bool versionKnown)
{
    if (windows9x) {
        if (major < 4)
            return 0;
        if (!versionKnown)
            return 2;
        if (major == 4 && minor == 10)
            return 3;
        if (major == 4 && minor == 90)
            return 4;
        return 2;
    }
    if (!versionKnown)
        return 1;
    if (major == 4)
        return 5;
    if (major == 5 && minor == 0)
        return 6;
    if (major == 5 && minor == 1)
        return 7;
    return 1;
}

int FrameHitTest(const SkinRect parts[9], int32_t x, int32_t y, bool sizable)
{
    const int kSquare = 5;
    if (Inside(parts[4], x, y))
        return kHitClient;
    if (!sizable) {
        for (int i : {0, 1, 2})
            if (Inside(parts[i], x, y))
                return kHitCaption;
        for (int i : {3, 5, 6, 7, 8})
            if (Inside(parts[i], x, y))
                return kHitNowhere;
        return kHitError;
    }
    if (Inside(parts[0], x, y))
        return (x < parts[0].left + kSquare && y < parts[0].top + kSquare) ? kHitTopLeft : kHitCaption;
    if (Inside(parts[1], x, y))
        return y < parts[1].top + kSquare ? kHitTop : kHitCaption;
    if (Inside(parts[2], x, y))
        return (x >= parts[2].right - kSquare && y < parts[2].top + kSquare) ? kHitTopRight : kHitCaption;
    if (Inside(parts[5], x, y))
        return kHitRight;
    if (Inside(parts[3], x, y))
        return kHitLeft;
    if (Inside(parts[8], x, y))
        return (x >= parts[8].right - kSquare && y >= parts[8].bottom - kSquare) ? kHitBottomRight
                                                                              : kHitBottom;
    if (Inside(parts[6], x, y))
        return (x < parts[6].left + kSquare && y >= parts[6].bottom - kSquare) ? kHitBottomLeft
                                                                              : kHitBottom;
    if (Inside(parts[7], x, y))
        return kHitBottom;
    return kHitError;
}
