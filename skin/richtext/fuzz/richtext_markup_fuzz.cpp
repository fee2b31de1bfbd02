// Markup cutting and tag reading: every tag of the input read with every
// attribute reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "skin/richtext/color_names.h"
#include "skin/richtext/markup_reader.h"
#include "skin/richtext/markup_tags.h"
#include "skin/richtext/tests/fake_canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ColorNameMap colors = [] {
        ColorNameMap map;
        InitColorNames(map, [](int index) { return RtColor(index); });
        return map;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    FakeCanvas canvas;
    ShadowSettings shadow;
    for (const bool breaks : {true, false}) {
        MarkupTokens tokens(text, breaks);
        for (size_t i = 0; i < tokens.size(); ++i) {
            const MarkupToken& t = tokens[i];
            if (t.start + size_t(t.length) > size)
                __builtin_trap();
            if (t.kind == MarkupTokenKind::Run) {
                const std::string run = tokens.RunText(t);
                for (int mode = 0; mode < 4; ++mode)
                    if (ApplyTextTransform(run, mode).size() != run.size())
                        __builtin_trap();
                continue;
            }
            if (t.kind != MarkupTokenKind::Tag)
                continue;
            if (tokens.IsOpen(i, TagId::Table) && tokens.TableEnd(i) <= i)
                __builtin_trap();
            const MarkupTag tag = ReadTag(tokens.TagText(t));
            TextStyle style;
            ApplyFontAttributes(style, tag, canvas, colors);
            ApplyBoxAttributes(style, tag, canvas, colors);
            ReadImageAttributes(tag, colors, shadow);
            ReadRuleAttributes(tag, style, canvas, colors);
            ReadStringId(tag);
            if (tag.count < 1 || tag.count > rtlimits::kMaxBreakCount)
                __builtin_trap();
        }
    }
    return 0;
}
