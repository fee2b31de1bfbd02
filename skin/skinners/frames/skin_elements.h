// SkinTextElement: a caption text (CaptionStatic, type 38) that a window
// object draws into its frame: the window's title, a fixed text or an
// owner-drawn field, over the element's image. It also stands for a piece
// of the frame: its sizing role gives the non-client hit code there, and
// its shape is combined into the window region.
//
// The CaptionStatic's placement words are read as: layout[0..3] the anchor
// flags (left, top, right, bottom), layout[4] the horizontal alignment
// (0 left, 1 centre, 2 right); value1 the region mode (0 AND, 1 DIFF, 2 OR,
// 3 XOR, 4 cut the rectangle then add the shape), value2 the vertical
// alignment (0 top, 1 centre, 2 bottom), value3 the sizing role (1 and 10
// caption, 2-9 the borders clockwise from the left).
// Windows only; registered for type 38 in the element table.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_ELEMENTS_H
#define QUORBEL_SKIN_SKINNERS_SKIN_ELEMENTS_H

#include <windows.h>

#include "skin/core/skin_item.h"

class SkinCaptionStaticData;

class SkinTextElement : public SkinElement {
public:
    SkinTextElement(const SkinRect& rect, SkinWindowObject* owner, SkinDataObject* object);
    ~SkinTextElement() override;

    void Paint(HDC hdc) override;
    // The point inside the element's shape.
    BOOL HitTest(int x, int y) override;
    // On a FrameWnd or PopupMenu owner, keeps the anchored edges at their
    // distance from the window's edges.
    void Layout(const RECT& window) override;
    int GetHitTestCode() const override;
    void CombineIntoRegion(HRGN region) override;

    // The element's shape in window coordinates (the caller deletes it):
    // the image's region placed like the image, else the rectangle.
    HRGN GetRegion() const;

private:
    // What the shape was built from: it stays while they do.
    struct ShapeSource {
        RECT rect;            // the element's place
        void* partRegion;     // the image's region, or none
        int32_t partWidth, partHeight;
        uint32_t drawMode;
        bool operator==(const ShapeSource& o) const;
    };

    SkinCaptionStaticData* Data() const;
    HWND OwnerWindow() const;
    // The element's shape, built when its place or image changed (hit
    // tests come with every mouse move); owned by the element.
    HRGN Shape() const;
    HRGN BuildShape() const;

    mutable HRGN shape_ = nullptr;  // the last shape built, or none
    mutable ShapeSource shapeSource_ = {};
};

#endif
