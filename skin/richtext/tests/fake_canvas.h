// A canvas with fixed, simple metrics that records what the layout paints:
// a font of size s is s pixels high with an ascent of s * 4 / 5, and every
// character is s / 2 pixels wide. Used by the native tests and the fuzz
// targets.
#ifndef QUORBEL_SKIN_RICHTEXT_TESTS_FAKE_CANVAS_H
#define QUORBEL_SKIN_RICHTEXT_TESTS_FAKE_CANVAS_H

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "skin/richtext/rich_canvas.h"

class FakeCanvas : public RichTextCanvas {
public:
    struct TextCall {
        int x, y;
        std::string text;
        TextStyle style;
    };
    struct LineCall {
        int x1, y1, x2, y2;
        RtColor color;
        int width;
    };
    struct ImageCall {
        char kind;  // 'b' bitmap, 'i' icon, 'l' list icon
        RtRect source;
        int x, y, width, height, style;
        bool shadowed;
    };
    struct BoxCall {
        RtRect rect;
        TextStyle style;
        int penWidth;  // borders; -1 for backgrounds, -2 for tiles
    };

    // Resources: bitmaps by id, file or handle; icons by id; strings.
    std::map<int, RtSize> bitmaps;
    std::map<std::string, RtSize> bitmapFiles;
    std::map<uint32_t, RtSize> bitmapHandles;
    std::map<int, bool> icons;
    std::map<int, std::string> strings;
    int listCount = 0;
    RtSize listSize{16, 16};

    std::vector<TextCall> texts;
    std::vector<LineCall> lines;
    std::vector<ImageCall> images;
    std::vector<BoxCall> backgrounds;
    std::vector<BoxCall> borders;
    int selects = 0;

    TextStyle current;

    void Clear()
    {
        texts.clear();
        lines.clear();
        images.clear();
        backgrounds.clear();
        borders.clear();
    }

    int Size() const { return std::max(1, current.fontSize); }
    int CharWidth() const { return std::max(1, current.fontSize / 2); }

    // LengthMetrics
    int FontHeight() override { return Size(); }
    int XHeight() override { return Size() / 2; }
    int PixelsPerInchY() override { return 96; }

    // RichTextCanvas
    void SelectStyle(const TextStyle& style) override
    {
        current = style;
        ++selects;
    }
    int FontAscent() override { return Size() * 4 / 5; }
    RtSize TextExtent(const std::string& text) override
    {
        const long long w = (long long)text.size() * CharWidth();
        return {int(std::min<long long>(w, 1 << 30)), Size()};
    }
    std::string ReadString(int id) override
    {
        const auto it = strings.find(id);
        return it == strings.end() ? std::string() : it->second;
    }
    std::unique_ptr<RichTextImage> OpenBitmap(const ImageAttributes& a) override
    {
        RtSize size;
        bool found = false;
        if (a.resourceId) {
            const auto it = bitmaps.find(a.resourceId);
            found = it != bitmaps.end();
            if (found)
                size = it->second;
        } else if (!a.file.empty()) {
            const auto it = bitmapFiles.find(a.file);
            found = it != bitmapFiles.end();
            if (found)
                size = it->second;
        } else if (a.handle) {
            const auto it = bitmapHandles.find(a.handle);
            found = it != bitmapHandles.end();
            if (found)
                size = it->second;
        }
        if (!found)
            return nullptr;
        auto image = std::make_unique<RichTextImage>();
        image->width = size.cx;
        image->height = size.cy;
        return image;
    }
    std::unique_ptr<RichTextImage> OpenIcon(const ImageAttributes& a, int width, int height) override
    {
        if (!icons.count(a.resourceId))
            return nullptr;
        auto image = std::make_unique<RichTextImage>();
        image->width = width;
        image->height = height;
        return image;
    }
    RtSize SystemIconSize() override { return {32, 32}; }
    bool ListIconSize(int index, RtSize* size) override
    {
        if (index < 0 || index >= listCount)
            return false;
        *size = listSize;
        return true;
    }
    void PaintText(int x, int y, const std::string& text) override { texts.push_back({x, y, text, current}); }
    void PaintLine(int x1, int y1, int x2, int y2, RtColor color, int width) override
    {
        lines.push_back({x1, y1, x2, y2, color, width});
    }
    void PaintBitmap(RichTextImage&, const RtRect& source, int x, int y, int width, int height,
                     const ImageAttributes&, int style, bool shadowed) override
    {
        images.push_back({'b', source, x, y, width, height, style, shadowed});
    }
    void PaintIcon(RichTextImage&, int x, int y, int width, int height, int style, bool shadowed) override
    {
        images.push_back({'i', RtRect(), x, y, width, height, style, shadowed});
    }
    void PaintListIcon(int index, int x, int y, int width, int height, int style, bool shadowed) override
    {
        images.push_back({'l', RtRect{index, 0, 0, 0}, x, y, width, height, style, shadowed});
    }
    void PaintBackground(const RtRect& rect, const TextStyle& style) override
    {
        backgrounds.push_back({rect, style, -1});
    }
    void PaintBorder(const RtRect& rect, const TextStyle& style, int penWidth) override
    {
        borders.push_back({rect, style, penWidth});
    }
    void TileImage(RichTextImage&, const RtRect& rect) override { backgrounds.push_back({rect, current, -2}); }
};

#endif
