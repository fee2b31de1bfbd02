#include "skin/skinners/controls/skin_control_base_geometry.h"

#include <algorithm>

#include "skin/skinners/scrollbars/skin_scrollbar_geometry.h"

SkinRect PlaceButtonText(const SkinRect& area, int32_t width, int32_t height, uint32_t style, bool checkLike)
{
    const int32_t areaWidth = area.Width(), areaHeight = area.Height();
    int32_t left = area.left;
    if (width <= areaWidth) {
        switch (style & kBsCenter) {
        case kBsCenter: left = area.left + (areaWidth - width) / 2; break;
        case kBsRight: left = area.right - width; break;
        case kBsLeft: break;
        default:
            if (!checkLike)
                left = area.left + (areaWidth - width) / 2;
            break;
        }
    }
    int32_t top = area.top;
    switch (style & kBsVCenter) {
    case kBsTop: break;
    case kBsBottom: top = area.bottom - height; break;
    default:
        if (height < areaHeight)
            top = area.top + (areaHeight - height) / 2;
        break;
    }
    return MakeSkinRect(left, top, ClampToInt32(int64_t(left) + width), ClampToInt32(int64_t(top) + height));
}

void PlaceCheckBox(const SkinRect& area, int32_t boxWidth, int32_t boxHeight, uint32_t style, SkinRect* box,
                   SkinRect* text)
{
    const bool right = (style & kBsLeftText) != 0;
    const int32_t left = right ? area.right - boxWidth : area.left;
    int32_t top;
    switch (style & kBsVCenter) {
    case kBsTop: top = area.top; break;
    case kBsBottom: top = area.bottom - boxHeight; break;
    default: top = area.top + (area.Height() - boxHeight) / 2; break;
    }
    *box = MakeSkinRect(left, top, left + boxWidth, top + boxHeight);
    *text = right ? MakeSkinRect(area.left, area.top, std::max(area.left, box->left - 2), area.bottom)
                  : MakeSkinRect(std::min(area.right, box->right + 2), area.top, area.right, area.bottom);
}

GroupBoxLayout LayoutGroupBox(const SkinRect& client, int32_t textWidth, int32_t textHeight,
                              const SkinRect& margins, uint32_t style)
{
    const int32_t width = textWidth + margins.left + margins.right;
    const int32_t height = textHeight + margins.top + margins.bottom;
    GroupBoxLayout out;
    int32_t left, right;
    switch (style & kBsCenter) {
    case kBsRight:
        right = client.right - 4;
        left = std::max(right - width - 4, client.left + 2);
        break;
    case kBsCenter:
        left = client.left + (client.Width() - width) / 2;
        right = left + width;
        break;
    default:
        left = client.left + 4;
        right = std::min(left + width, client.right - 2);
        break;
    }
    out.caption = MakeSkinRect(left, client.top, right, client.top + height);
    out.frame = client;
    out.frame.top = client.top + height / 2;
    out.text = MakeSkinRect(left + margins.left, client.top + margins.top, right - margins.right,
                            client.top + height - margins.bottom);
    return out;
}

ScrollCtlGeometry LayoutScrollCtl(int32_t length, int32_t arrow, int32_t min, int32_t max, uint32_t page,
                                  int32_t pos, int32_t minThumb)
{
    ScrollCtlGeometry g;
    g.length = std::max(length, 0);
    g.arrow = std::max(std::min(arrow, g.length / 2), 0);
    g.thumbStart = g.arrow;
    g.thumbLength = 0;
    const int32_t track = g.track();
    if (track <= 0)
        return g;
    const int64_t range = int64_t(max) - min;
    int32_t thumb;
    if (page > 0) {
        if (range > 0x7FFFFFFE || range < 0)
            return g;  // a range that wide has no room for a thumb
        thumb = std::max(ScrollMulDiv(int32_t(std::min<uint32_t>(page, INT32_MAX)), track, int32_t(range + 1)),
                         minThumb);
    } else {
        thumb = minThumb;
    }
    thumb = std::min(std::max(thumb, 0), track);
    const int64_t denominator = range - std::max<int64_t>(page, 1) + 1;
    int32_t offset = 0;
    if (denominator > 0 && denominator <= INT32_MAX)
        offset = ScrollMulDiv(ClampToInt32(int64_t(pos) - min), track - thumb, int32_t(denominator));
    offset = std::min(std::max(offset, 0), track - thumb);
    g.thumbStart = g.arrow + offset;
    g.thumbLength = thumb;
    return g;
}

int HitTestScrollCtl(const ScrollCtlGeometry& g, int32_t at)
{
    if (at < 0 || at >= g.length)
        return kScrollCtlNone;
    if (at < g.arrow)
        return kScrollCtlArrow1;
    if (at >= g.length - g.arrow)
        return kScrollCtlArrow2;
    if (g.thumbLength > 0 && at >= g.thumbStart && at < g.thumbStart + g.thumbLength)
        return kScrollCtlThumb;
    return at < g.thumbStart ? kScrollCtlPageBefore : kScrollCtlPageAfter;
}

int32_t ScrollCtlDragPosition(const ScrollCtlGeometry& g, int32_t at, int32_t grab, int32_t min, int32_t max,
                              uint32_t page)
{
    const int32_t free = g.track() - g.thumbLength;
    // The last position that still shows a whole page (max for page 0).
    const int64_t last = int64_t(max) - std::max<int64_t>(page, 1) + 1;
    const int64_t span = int64_t(max) - min - int64_t(page) + 1;
    if (free <= 0 || last <= min)
        return min;
    const double offset = double(int64_t(at) - g.arrow - grab);
    const int64_t pos = int64_t(min) + int64_t(offset * double(span) / double(free));
    return int32_t(std::min<int64_t>(std::max<int64_t>(pos, min), last));
}

int32_t ProgressFillLength(int32_t pos, int32_t min, int32_t max, int32_t width)
{
    if (max == min || width <= 0)
        return 0;
    const int64_t d = (int64_t(pos) - min) * width / (int64_t(max) - min);
    return int32_t(std::min<int64_t>(std::max<int64_t>(d, 0), width));
}

int SpinHitTest(const SkinRect& client, int32_t x, int32_t y, bool horizontal)
{
    if (x < client.left || x >= client.right || y < client.top || y >= client.bottom)
        return 0;
    if (horizontal)
        return x < client.left + client.Width() / 2 ? 1 : 2;
    return y < client.top + client.Height() / 2 ? 1 : 2;
}
