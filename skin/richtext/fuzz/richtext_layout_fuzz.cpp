// The whole layout on a canvas of fixed metrics: a style sheet (the input
// up to its first zero byte) and markup (the rest), measured and drawn.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "skin/richtext/rich_layout.h"
#include "skin/richtext/tests/fake_canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const void* zero = std::memchr(bytes, 0, size);
    const size_t sheetLength = zero ? size_t(static_cast<const char*>(zero) - bytes) : 0;
    const std::string sheet(bytes, sheetLength);
    const std::string markup = zero ? std::string(bytes + sheetLength + 1, size - sheetLength - 1)
                                    : std::string(bytes, size);

    FakeCanvas canvas;
    canvas.bitmaps[1] = {40, 20};
    canvas.bitmaps[2] = {64, 16};
    canvas.bitmapFiles["a.bmp"] = {7, 9};
    canvas.bitmapHandles[5] = {3, 3};
    canvas.icons[3] = true;
    canvas.strings[7] = "Name\nDescription";
    canvas.listCount = 4;

    RichTextLayout layout;
    if (zero)
        layout.SetStyleSheet(sheet.c_str());
    const RtSize measured = layout.Measure(canvas, markup);
    const RtSize drawn = layout.Draw(canvas, markup, {3, 5, 300, 200});
    if (measured.cx < 0 || measured.cy < 0 || drawn.cy != measured.cy)
        __builtin_trap();
    size_t cells = 0;
    for (const TableRecord& t : layout.Tables())
        cells += size_t(t.grid.Rows()) * size_t(t.grid.Columns());
    if (cells > size_t(rtlimits::kMaxGridCells) || layout.Links().size() > size_t(rtlimits::kMaxLinkAreas))
        __builtin_trap();
    // A second drawing replays the same records.
    layout.SetHoveredLink(0);
    layout.Draw(canvas, markup, {0, 0, 50, 50});
    return 0;
}
