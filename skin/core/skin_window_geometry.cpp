#include "skin/core/skin_window_geometry.h"

#include <cstring>

void FitFrameParts(const SkinRect skinParts[9], int32_t width, int32_t height, SkinRect out[9])
{
    const int64_t dx = int64_t(width) - skinParts[8].right;
    const int64_t dy = int64_t(height) - skinParts[8].bottom;
    for (int i = 0; i < 9; ++i) {
        SkinRect r = skinParts[i];
        const int column = i % 3, row = i / 3;
        if (column == 2) {  // right column moves with the right edge
            r.left = ClampToInt32(r.left + dx);
            r.right = ClampToInt32(r.right + dx);
        } else if (column == 1) {  // middle column stretches
            r.right = ClampToInt32(r.right + dx);
        }
        if (row == 2) {
            r.top = ClampToInt32(r.top + dy);
            r.bottom = ClampToInt32(r.bottom + dy);
        } else if (row == 1) {
            r.bottom = ClampToInt32(r.bottom + dy);
        }
        out[i] = r;
    }
}

void MinimumFrameSize(const SkinRect skinParts[9], int32_t* width, int32_t* height)
{
    *width = ClampToInt32(int64_t(skinParts[0].Width()) + skinParts[2].Width() + 10);
    *height = ClampToInt32(int64_t(skinParts[0].Height()) + 5);
}

SkinRect FrameCaptionRect(const SkinRect parts[9], int32_t insetHeight)
{
    return MakeSkinRect(parts[0].left, parts[0].top, parts[2].right,
                        ClampToInt32(int64_t(parts[0].bottom) + insetHeight));
}

namespace {

const SkinClassEntry kClasses[] = {
    {"msctls_statusbar32", kSkinStatusBar},
    {"ToolbarWindow32", kSkinToolBar},
    {"AfxControlBar42sd", kSkinControlBar},
    {"AfxControlBar42s", kSkinControlBar},
    {"AfxControlBar42su", kSkinControlBar},
    {"AfxControlBar42sud", kSkinControlBar},
    {"AfxControlBar42", kSkinControlBar},
    {"AfxControlBar42d", kSkinControlBar},
    {"AfxControlBar42u", kSkinControlBar},
    {"AfxControlBar42ud", kSkinControlBar},
    {"Static", kSkinStatic},
    {"Button", kSkinButton},
    {"GroupBox", kSkinGroupBox},
    {"Radio", kSkinRadio},
    {"CheckBox", kSkinCheckBox},
    {"ScrollBar", kSkinScrollBar},
    {"msctls_progress32", kSkinProgressBar},
    {"msctls_updown32", kSkinSpin},
    {"msctls_trackbar32", kSkinSlider},
    {"ComboBox", kSkinComboBox},
    {"SysTabControl32", kSkinTab},
    {"Edit", kSkinEdit},
    {"SysListView32", kSkinListView},
    {"ListBox", kSkinListBox},
    {"SysTreeView32", kSkinTreeView},
    {"RICHEDIT", kSkinRichEdit},
    {"SysIPAddress32", kSkinScrollControl},
    {"SysHeader32", kSkinHeader},
    {"ReBarWindow32", kSkinRebar},
    {"SysAnimate32", kSkinAnimate},
    {"AfxControlBar70", kSkinControlBar},
    {"AfxControlBar70d", kSkinControlBar},
    {"AfxControlBar70u", kSkinControlBar},
    {"AfxControlBar70ud", kSkinControlBar},
    {"AfxControlBar70s", kSkinControlBar},
    {"AfxControlBar70sd", kSkinControlBar},
    {"AfxControlBar70su", kSkinControlBar},
    {"AfxControlBar70sud", kSkinControlBar},
    {"Link Window", kSkinLinkWnd},
    {"SysMonthCal32", kSkinMonthCalendar},
    {"SysDateTimePick32", kSkinDateTime},
};

}  // namespace

const SkinClassEntry* SkinClassTable(size_t* count)
{
    *count = sizeof kClasses / sizeof kClasses[0];
    return kClasses;
}

uint32_t LookupSkinClassType(const char* className)
{
    if (!className)
        return 0;
    for (const SkinClassEntry& e : kClasses)
        if (std::strcmp(e.className, className) == 0)
            return e.type;
    return 0;
}

const char* SkinLookupName(const char* className, uint32_t style, uint32_t parentStyle)
{
    if (!className)
        return nullptr;
    if (std::strcmp(className, "Button") == 0) {
        // The button styles are numbers in the low bits; these masks sort
        // them into the four looks (owner-drawn, 11, lands among the check
        // boxes; its skinner refuses it).
        if ((style & 7) == 7)
            return "GroupBox";
        if ((style & 2) || (style & 3) == 3 || (style & 5) == 5)
            return "CheckBox";
        if ((style & 4) || (style & 9) == 9)
            return "Radio";
        return "Button";
    }
    if (std::strcmp(className, "ComboLBox") == 0) {
        // Only a simple combo box (CBS_SIMPLE) shows its list as a list box.
        if ((parentStyle & 1) && (parentStyle & 3) != 3)
            return "ListBox";
        return nullptr;
    }
    return className;
}

uint32_t SkinKindOfWindow(const char* className, uint32_t style, uint32_t parentStyle)
{
    return LookupSkinClassType(SkinLookupName(className, style, parentStyle));
}
