#include "skin/skinners/scrollbars/skin_scrollbar_geometry.h"

#include <algorithm>

int32_t ScrollMulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return -1;
    int64_t n = int64_t(a) * b;
    const bool negative = (n < 0) != (c < 0);
    const int64_t an = n < 0 ? -n : n, ac = c < 0 ? -int64_t(c) : int64_t(c);
    int64_t q = (an + ac / 2) / ac;
    if (negative)
        q = -q;
    if (q > INT32_MAX || q < INT32_MIN)
        return -1;
    return int32_t(q);
}

bool RangeCanScroll(const ScrollRange& range)
{
    return range.max > range.min && int64_t(range.page) <= int64_t(range.max) - range.min;
}

ScrollRange ClampScrollRange(const ScrollRange& old, const ScrollRange& in, bool setRange, bool setPage,
                             bool setPos)
{
    ScrollRange r = old;
    if (setRange) {
        r.min = in.min;
        r.max = in.max;
    }
    if (setPage)
        r.page = in.page;
    if (setPos)
        r.pos = in.pos;
    // An inverted range counts as empty.
    const int64_t span = std::max<int64_t>(int64_t(r.max) - r.min + 1, 0);
    if (r.page < 0)
        r.page = 0;
    if (int64_t(r.page) > span)
        r.page = int32_t(std::min<int64_t>(span, INT32_MAX));
    const int64_t top = std::max<int64_t>(int64_t(r.max) - std::max(r.page, 1) + 1, r.min);
    r.pos = int32_t(std::clamp<int64_t>(r.pos, r.min, top));
    return r;
}

bool ScrollBarWanted(const ScrollRange& range, bool keepShown)
{
    if (keepShown)
        return true;
    return range.max >= range.page && !(range.page == 0 && range.max == 0) && range.min < range.max;
}

ScrollBarLayout LayoutScrollBar(int32_t length, int32_t arrowLength, const ScrollRange& range,
                                int32_t minThumb)
{
    ScrollBarLayout l;
    l.length = std::max(length, 0);
    l.arrow = (int64_t(arrowLength) * 2 < l.length) ? std::max(arrowLength, 0) : l.length / 2;
    l.freeLength = l.length - 2 * l.arrow;
    const int64_t span = int64_t(range.max) - range.min;
    if (span > 0x7FFFFFFE || span < 0) {
        l.thumbLength = 0;
        l.thumbOffset = 0;
        return l;
    }
    if (range.page == 0) {
        l.thumbLength = l.arrow;
    } else {
        l.thumbLength = ScrollMulDiv(range.page, l.freeLength, int32_t(span + 1));
        l.thumbLength = std::max(l.thumbLength, minThumb);
    }
    const int64_t denominator = span - std::max(range.page, 1) + 1;
    int32_t offset = 0;
    if (denominator > 0 && denominator <= INT32_MAX && int64_t(range.pos) - range.min <= INT32_MAX)
        offset = ScrollMulDiv(int32_t(int64_t(range.pos) - range.min), l.freeLength - l.thumbLength,
                              int32_t(denominator));
    l.thumbOffset = ClampThumbOffset(l, offset);
    return l;
}

int32_t ClampThumbOffset(const ScrollBarLayout& layout, int32_t offset)
{
    const int32_t most = std::max(layout.freeLength - layout.thumbLength, 0);
    return std::clamp(offset, 0, most);
}

int ScrollPortionAt(const ScrollBarLayout& l, int32_t along)
{
    if (along < 0 || along >= l.length)
        return kPortionNone;
    if (along < l.arrow)
        return kPortionFirstArrow;
    if (along >= l.length - l.arrow)
        return kPortionLastArrow;
    if (l.thumbLength < l.freeLength) {
        if (along >= l.ThumbStart() && along < l.ThumbEnd())
            return kPortionThumb;
        return along < l.ThumbStart() ? kPortionTrackBefore : kPortionTrackAfter;
    }
    return kPortionNone;
}

int32_t ScrollPosFromThumb(const ScrollBarLayout& l, const ScrollRange& range, int32_t offset)
{
    if (range.max <= range.min)
        return offset;
    const int64_t steps = int64_t(range.max) - range.min - range.page + 1;
    const int32_t room = l.freeLength - l.thumbLength;
    if (room <= 0 || steps > INT32_MAX || steps < INT32_MIN)
        return 0;
    // From the minimum on, so that the position lies in the range.
    return int32_t(std::clamp<int64_t>(int64_t(range.min) + ScrollMulDiv(offset, int32_t(steps), room), range.min,
                                       range.max));
}

ScrollBarPieces ScrollBarDrawPieces(const ScrollBarLayout& l, bool thumbShown)
{
    ScrollBarPieces p = {};
    if (2 * l.arrow < l.length) {
        p.arrow1Start = 0;
        p.arrow1End = l.arrow;
        p.arrow2Start = l.length - l.arrow;
        p.arrow2End = l.length;
    } else {
        // The two arrows share the bar; an odd middle pixel is track.
        p.arrow1Start = 0;
        p.arrow1End = l.length / 2;
        p.arrow2Start = l.length - l.length / 2;
        p.arrow2End = l.length;
    }
    const bool thumb = thumbShown && l.thumbLength > 0 && l.thumbLength <= l.freeLength;
    if (thumb) {
        p.thumbStart = l.ThumbStart();
        p.thumbEnd = l.ThumbEnd();
    } else {
        p.thumbStart = p.thumbEnd = p.arrow1End;
    }
    p.trackBeforeStart = p.arrow1End;
    p.trackBeforeEnd = thumb ? p.thumbStart : p.arrow2Start;
    p.trackAfterStart = thumb ? p.thumbEnd : p.arrow2Start;
    p.trackAfterEnd = p.arrow2Start;
    return p;
}

bool ThumbDragInside(int32_t along, int32_t across, int32_t length, int32_t width)
{
    return along >= -48 && along < length + 48 && across >= -24 && across < width + 24;
}
