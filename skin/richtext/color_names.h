// The colour names that colour values may use: the 140 web colour keywords
// and the system colour names, the latter read once when the map is filled.
#ifndef QUORBEL_SKIN_RICHTEXT_COLOR_NAMES_H
#define QUORBEL_SKIN_RICHTEXT_COLOR_NAMES_H

#include <functional>

#include "skin/richtext/rich_values.h"

// System colour indexes as GetSysColor numbers them.
enum RtSysColorIndex : int {
    kRtColorScrollBar = 0,
    kRtColorBackground = 1,
    kRtColorActiveCaption = 2,
    kRtColorInactiveCaption = 3,
    kRtColorMenu = 4,
    kRtColorWindow = 5,
    kRtColorWindowFrame = 6,
    kRtColorMenuText = 7,
    kRtColorWindowText = 8,
    kRtColorCaptionText = 9,
    kRtColorActiveBorder = 10,
    kRtColorInactiveBorder = 11,
    kRtColorAppWorkspace = 12,
    kRtColorHighlight = 13,
    kRtColorHighlightText = 14,
    kRtColorBtnFace = 15,
    kRtColorBtnShadow = 16,
    kRtColorGrayText = 17,
    kRtColorBtnText = 18,
    kRtColorInactiveCaptionText = 19,
    kRtColorBtnHighlight = 20,
    kRtColor3DDkShadow = 21,
    kRtColor3DLight = 22,
    kRtColorInfoText = 23,
    kRtColorInfoBk = 24,
};

// Fills the map: the web keywords, then the system colour names with the
// values sysColor gives (GetSysColor on Windows); without sysColor the
// system names are left out. A name entered twice keeps the later value.
void InitColorNames(ColorNameMap& map, const std::function<RtColor(int index)>& sysColor);

// The mapped value, or fallback when the name is not in the map.
RtColor LookupColor(const ColorNameMap& map, const std::string& name, RtColor fallback);

#endif
