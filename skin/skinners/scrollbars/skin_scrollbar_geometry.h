// Pure geometry of the skinned scroll bars: arrow and thumb sizes along a
// bar, the portion under a point, the position a dragged thumb stands for,
// and how scroll information is clamped. No windows.h, tested natively.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_SCROLLBAR_GEOMETRY_H
#define QUORBEL_SKIN_SKINNERS_SKIN_SCROLLBAR_GEOMETRY_H

#include <cstdint>

// Portions of a bar (the scroll codes they send).
enum ScrollPortion : int {
    kPortionNone = -1,
    kPortionFirstArrow = 0,   // SB_LINEUP / SB_LINELEFT
    kPortionLastArrow = 1,    // SB_LINEDOWN / SB_LINERIGHT
    kPortionTrackBefore = 2,  // SB_PAGEUP
    kPortionTrackAfter = 3,   // SB_PAGEDOWN
    kPortionThumb = 5,        // SB_THUMBTRACK
};

// The scroll information of one bar.
struct ScrollRange {
    int32_t min = 0;
    int32_t max = 0;
    int32_t page = 0;
    int32_t pos = 0;
};

// The system's MulDiv: a * b / c rounded half away from zero; -1 when c
// is 0 or the result does not fit.
int32_t ScrollMulDiv(int32_t a, int32_t b, int32_t c);

// Whether the range can scroll at all (a page smaller than the range).
bool RangeCanScroll(const ScrollRange& range);

// Range, page and position as the bars keep them: the page at most
// max - min + 1, the position within min .. max - page + 1 (page 0 counts
// as 1 there). setRange/setPage/setPos choose which fields come from `in`.
ScrollRange ClampScrollRange(const ScrollRange& old, const ScrollRange& in, bool setRange, bool setPage,
                             bool setPos);

// Whether SetScrollInfo leaves a bar shown: kept when asked (disable
// instead of hide, or the keep-shown flag), else when it can scroll.
bool ScrollBarWanted(const ScrollRange& range, bool keepShown);

// Where things lie along a bar of `length` pixels (arrows at both ends).
struct ScrollBarLayout {
    int32_t length = 0;       // the bar along its axis
    int32_t arrow = 0;        // each arrow's length
    int32_t freeLength = 0;   // between the arrows
    int32_t thumbLength = 0;  // 0: no thumb
    int32_t thumbOffset = 0;  // from the end of the first arrow
    int32_t ThumbStart() const { return arrow + thumbOffset; }
    int32_t ThumbEnd() const { return arrow + thumbOffset + thumbLength; }
};

// arrowLength: the wanted arrow length (halved when two do not fit).
ScrollBarLayout LayoutScrollBar(int32_t length, int32_t arrowLength, const ScrollRange& range,
                                int32_t minThumb);
// The thumb offset kept between 0 and free length - thumb length.
int32_t ClampThumbOffset(const ScrollBarLayout& layout, int32_t offset);

// The portion at `along` pixels from the bar's start (-1 outside); the
// thumb and the track only when the thumb is shorter than the free space.
int ScrollPortionAt(const ScrollBarLayout& layout, int32_t along);

// The position a thumb at `offset` stands for, counted from the minimum
// (a range that cannot move gives the offset itself).
int32_t ScrollPosFromThumb(const ScrollBarLayout& layout, const ScrollRange& range, int32_t offset);

// The pieces of a bar as the default drawing lays them out: the two
// arrows, the track before and after the thumb, the thumb, and, when the
// two arrows take the whole bar, the odd middle pixel. [start, end) along.
struct ScrollBarPieces {
    int32_t arrow1Start, arrow1End;
    int32_t arrow2Start, arrow2End;
    int32_t trackBeforeStart, trackBeforeEnd;
    int32_t trackAfterStart, trackAfterEnd;
    int32_t thumbStart, thumbEnd;  // equal: no thumb
};
// thumbShown: the thumb is drawn (range scrolls, arrows not both off).
ScrollBarPieces ScrollBarDrawPieces(const ScrollBarLayout& layout, bool thumbShown);

// The snap rectangle of thumb dragging, relative to the bar: 48 pixels
// beyond each end along it, 24 on either side across it. Inside, the
// thumb follows the cursor; outside it goes back to where it started.
bool ThumbDragInside(int32_t along, int32_t across, int32_t length, int32_t width);

#endif
