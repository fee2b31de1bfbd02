// Pure helpers of the skinned-window base and the skin manager: laying the
// nine frame parts out for a window size, the frame's minimum size and
// caption band, and the map from a window's class (refined by its style)
// to the skin type that draws it. No windows.h, so they are tested natively.
#ifndef QUORBEL_SKIN_CORE_SKIN_WINDOW_GEOMETRY_H
#define QUORBEL_SKIN_CORE_SKIN_WINDOW_GEOMETRY_H

#include <cstddef>
#include <cstdint>

#include "skin/core/skin_data_types.h"

// Fits the nine part rectangles of a skin object (drawn for a frame of
// skinParts[8].right x skinParts[8].bottom) to a window of width x height:
// corners keep their size, the right column ends at the width, the bottom
// row at the height, the middle column and row fill the space between.
void FitFrameParts(const SkinRect skinParts[9], int32_t width, int32_t height, SkinRect out[9]);

// Smallest frame the parts allow: TOPLEFT + TOPRIGHT widths + 10 by
// TOPLEFT height + 5.
void MinimumFrameSize(const SkinRect skinParts[9], int32_t* width, int32_t* height);

// The caption band: TOPLEFT's left and top to TOPRIGHT's right, down to
// TOPLEFT's bottom plus the height of the insets (the menu bar).
SkinRect FrameCaptionRect(const SkinRect parts[9], int32_t insetHeight);

// One entry of the manager's class table.
struct SkinClassEntry {
    const char* className;  // compared case-sensitively
    uint32_t type;          // skin type id
};
// The 41 window class names with a skin type ("GroupBox", "Radio" and
// "CheckBox" among them: refined "Button"s).
const SkinClassEntry* SkinClassTable(size_t* count);
// The table lookup; 0 when the name is absent.
uint32_t LookupSkinClassType(const char* className);

// The name under which a window is looked up: a "Button" becomes
// "GroupBox", "CheckBox" or "Radio" by its style; a "ComboLBox" (a combo
// box's list) is "ListBox" when its combo box is a simple one and has no
// name (null) otherwise; every other class keeps its own name.
const char* SkinLookupName(const char* className, uint32_t style, uint32_t parentStyle);
// The skin type of a window: LookupSkinClassType of SkinLookupName.
uint32_t SkinKindOfWindow(const char* className, uint32_t style, uint32_t parentStyle);

#endif
