#include "skin/skinners/frames/skin_menubar_geometry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

char GetAccelChar(const char* text)
{
    for (const char* amp = text ? std::strchr(text, '&') : nullptr; amp; amp = std::strchr(amp + 1, '&')) {
        const char next = amp[1];
        if (next == 0)
            return 0;
        if (next != '&')
            return char(std::toupper(static_cast<unsigned char>(next)));
        // A pair: the search goes on from its second '&'.
    }
    return 0;
}

namespace {

int32_t Tallest(const std::vector<MenuBarItemSize>& items)
{
    int32_t h = 0;
    for (const MenuBarItemSize& s : items)
        h = std::max(h, s.height);
    return h;
}

}  // namespace

namespace {

// Where the first item starts in the band: past the MDI child's icon, or a
// little way in. The height counts lines from where the layout puts them.
int32_t FirstItemIndent(bool mdiMaximized) { return mdiMaximized ? 20 : 4; }

}  // namespace

int32_t MenuBarHeight(int32_t width, const std::vector<MenuBarItemSize>& items, bool mdiMaximized,
                      const SkinRect& margins)
{
    if (items.empty())
        return 0;
    const int64_t available = int64_t(width) - margins.left - margins.right;
    int64_t x = FirstItemIndent(mdiMaximized);
    int64_t lines = 1;
    for (const MenuBarItemSize& s : items) {
        x += s.width;
        if (available < x) {
            ++lines;
            x = s.width;
        }
    }
    if (mdiMaximized && available < x + 48)
        ++lines;
    return ClampToInt32((int64_t(Tallest(items)) + 2) * lines + margins.top + margins.bottom);
}

MenuBarLayoutResult LayoutMenuBar(const SkinRect& bar, const std::vector<MenuBarItemSize>& items,
                                  bool mdiMaximized, const SkinRect& margins)
{
    MenuBarLayoutResult out;
    const SkinRect band = MakeSkinRect(bar.left + margins.left, bar.top + margins.top, bar.right - margins.right,
                                       bar.bottom - margins.bottom);
    const int32_t h = Tallest(items);
    int32_t x = band.left + FirstItemIndent(mdiMaximized);
    int32_t line = 1;
    for (const MenuBarItemSize& s : items) {
        int32_t left = x;
        if (left + s.width > band.right && left != band.left) {
            ++line;
            left = band.left;
        }
        const int32_t top = band.top + (h + 2) * (line - 1);
        out.items.push_back(MakeSkinRect(left, top, left + s.width, band.top + (h + 2) * line));
        x = left + s.width;
    }
    const int32_t inset = (h - 14) / 2;
    out.buttons[0] = MakeSkinRect(band.left + 2, band.top + inset, band.left + 18, band.top + inset + 16);
    const SkinRect close = MakeSkinRect(band.right - 16, band.bottom - inset - 16, band.right, band.bottom - inset);
    out.buttons[3] = close;
    out.buttons[2] = MakeSkinRect(close.left - 18, close.top, close.left - 2, close.bottom);
    out.buttons[1] = MakeSkinRect(close.left - 36, close.top, close.left - 20, close.bottom);
    return out;
}

int MenuBarNeighbour(int open, int count, bool right)
{
    if (open < 0 || count <= 0 || open >= count)
        return -1;
    return right ? (open + 1) % count : (open + count - 1) % count;
}

SkinRect ClampRectInto(const SkinRect& bounds, const SkinRect& rect)
{
    const int32_t w = rect.Width(), h = rect.Height();
    const int32_t left = std::max(bounds.left, std::min(rect.left, ClampToInt32(int64_t(bounds.right) - w)));
    const int32_t top = std::max(bounds.top, std::min(rect.top, ClampToInt32(int64_t(bounds.bottom) - h)));
    return MakeSkinRect(left, top, ClampToInt32(int64_t(left) + w), ClampToInt32(int64_t(top) + h));
}

SkinRect PlaceMenuBarPopup(const SkinRect& itemIn, int32_t width, int32_t height, const SkinRect& work)
{
    const SkinRect item = ClampRectInto(work, itemIn);
    SkinRect r = MakeSkinRect(item.left, item.bottom, item.left + width, item.bottom + height);
    if (r.right > work.right) {
        r.right = item.right;
        r.left = r.right - width;
    }
    if (r.bottom > work.bottom) {
        r.bottom = item.top;
        r.top = r.bottom - height;
    }
    if (r.top < work.top) {
        r.top = work.top + 1;
        r.bottom = std::min(r.top + height, work.bottom - 1);
    }
    if (r.left < work.left) {
        // One pixel inside the work area, as at the top.
        r.left = work.left + 1;
        r.right = std::min(r.left + width, work.right - 1);
    }
    return r;
}
