// Pure geometry of the control skinners: where a button's text and a check
// box's box go, a group box's caption, the scroll bar control's arrows and
// thumb (and the position a dragged thumb stands for), how far a progress
// bar is filled, and which half of a spin control a point is on. No
// windows.h, so all of it is tested natively; style bits are the system's
// values.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_CONTROL_BASE_GEOMETRY_H
#define QUORBEL_SKIN_SKINNERS_SKIN_CONTROL_BASE_GEOMETRY_H

#include <cstdint>

#include "skin/core/skin_data_types.h"

// Button style bits the layout reads.
enum : uint32_t {
    kBsLeftText = 0x20,      // BS_LEFTTEXT / BS_RIGHTBUTTON: box at the right
    kBsLeft = 0x100,
    kBsRight = 0x200,
    kBsCenter = 0x300,
    kBsTop = 0x400,
    kBsBottom = 0x800,
    kBsVCenter = 0xC00,
    kBsMultiLine = 0x2000,
};

// The text of size (width, height) placed in area by the button style:
// horizontally BS_CENTER centred, BS_RIGHT right, BS_LEFT left, none
// centred (left for check boxes and radios: checkLike); text wider than
// the area stays at the left. Vertically BS_TOP top, BS_BOTTOM bottom,
// else centred when it is smaller than the area (else at the top).
SkinRect PlaceButtonText(const SkinRect& area, int32_t width, int32_t height, uint32_t style, bool checkLike);

// A check box's or radio's box (boxWidth x boxHeight) in area: at the left,
// or at the right with BS_LEFTTEXT; vertically BS_TOP, BS_BOTTOM, else
// centred. text: what is left for the text, 2 pixels apart from the box.
void PlaceCheckBox(const SkinRect& area, int32_t boxWidth, int32_t boxHeight, uint32_t style, SkinRect* box,
                   SkinRect* text);

// A group box's caption for a text of (textWidth, textHeight) with the
// caption image's margins (left, top, right, bottom as a rectangle's
// fields): BS_RIGHT alone 4 pixels in from the right edge, BS_CENTER
// centred, else 4 pixels in from the left; kept inside the client. frame:
// the client with its top at the caption's middle; text: the caption less
// the margins.
struct GroupBoxLayout {
    SkinRect caption;
    SkinRect frame;
    SkinRect text;
};
GroupBoxLayout LayoutGroupBox(const SkinRect& client, int32_t textWidth, int32_t textHeight,
                              const SkinRect& margins, uint32_t style);

// The scroll bar control along its length (x for a horizontal bar, y for a
// vertical one), in client coordinates.
struct ScrollCtlGeometry {
    int32_t length;         // client length along the bar
    int32_t arrow;          // arrow length A
    int32_t thumbStart;     // where the thumb begins
    int32_t thumbLength;    // 0: no thumb
    int32_t track() const { return length - 2 * arrow; }
};
// Parts of the bar: hit test results and the pressed part.
enum ScrollCtlPart : int {
    kScrollCtlNone = 0,
    kScrollCtlArrow1 = 1,
    kScrollCtlArrow2 = 2,
    kScrollCtlPageBefore = 3,
    kScrollCtlPageAfter = 4,
    kScrollCtlThumb = 5,
};
// Thumb of a bar of client length `length` with arrows of `arrow` pixels,
// the range min..max, page and position, and the minimum thumb length.
ScrollCtlGeometry LayoutScrollCtl(int32_t length, int32_t arrow, int32_t min, int32_t max, uint32_t page,
                                  int32_t pos, int32_t minThumb);
// The part under the coordinate `at` along the bar.
int HitTestScrollCtl(const ScrollCtlGeometry& g, int32_t at);
// The position a thumb dragged to `at` stands for (grab: where the thumb
// was held, from its start), kept within the range.
int32_t ScrollCtlDragPosition(const ScrollCtlGeometry& g, int32_t at, int32_t grab, int32_t min, int32_t max,
                              uint32_t page);

// Pixels of a progress bar of `width` filled at pos in min..max; 0 for an
// empty range, never outside 0..width.
int32_t ProgressFillLength(int32_t pos, int32_t min, int32_t max, int32_t width);

// Spin halves: 1 the first (top, or left with UDS_HORZ), 2 the second, 0
// outside the client.
int SpinHitTest(const SkinRect& client, int32_t x, int32_t y, bool horizontal);

#endif
