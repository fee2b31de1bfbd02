// Style sheets: parsed, then every rule applied to a style; the input also
// read as one value of every kind.
#include <cstddef>
#include <cstdint>
#include <string>

#include "skin/richtext/color_names.h"
#include "skin/richtext/style_sheet.h"
#include "skin/richtext/tests/fake_canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ColorNameMap colors = [] {
        ColorNameMap map;
        InitColorNames(map, [](int index) { return RtColor(index); });
        return map;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    RichStyleSheet sheet;
    sheet.SetStyleSheet(text.c_str());
    FakeCanvas canvas;
    TextStyle style;
    for (const auto& [selector, declarations] : sheet.Rules()) {
        if (declarations.size() > size_t(rtlimits::kMaxRuleText) || sheet.FindRule(selector) == nullptr)
            __builtin_trap();
        ApplyDeclarations(style, declarations, canvas, colors);
        canvas.SelectStyle(style);
    }
    if (style.fontSize < 0 || style.fontSize > rtlimits::kMaxLength ||
        style.fontFace.size() > size_t(rtlimits::kMaxFaceLength))
        __builtin_trap();
    ParseColorValue(text, 0, colors);
    for (const bool fontSize : {false, true}) {
        const int v = ParseLengthValue(text, 12, canvas, fontSize);
        if (v < 0 || v > rtlimits::kMaxLength)
            __builtin_trap();
    }
    ParseBorderWidth(text, 3, canvas);
    ParseBackgroundEffect(text, -1, canvas);
    ParseFontWeight(text, 400);
    return 0;
}
