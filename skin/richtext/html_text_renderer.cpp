#include "skin/richtext/html_text_renderer.h"

#include <cstring>

#include "skin/richtext/color_names.h"

// The colour names use GetSysColor's numbering.
static_assert(kRtColorScrollBar == COLOR_SCROLLBAR && kRtColorInfoBk == COLOR_INFOBK &&
                  kRtColor3DDkShadow == COLOR_3DDKSHADOW && kRtColorBtnHighlight == COLOR_BTNHIGHLIGHT &&
                  kRtColorInactiveCaptionText == COLOR_INACTIVECAPTIONTEXT && kRtColorWindowText == COLOR_WINDOWTEXT,
              "system colour indexes");

namespace {

// The system's hand cursor; on systems without one, a copy of the hand of
// the help program. owned tells whether the copy is ours to destroy.
HCURSOR LoadHandCursor(bool* owned)
{
    *owned = false;
    HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
    if (hand)
        return hand;
    char path[MAX_PATH + 32];
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::strcat(path, "\\winhlp32.exe");
    HMODULE help = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!help)
        return nullptr;
    if (HCURSOR cursor = LoadCursorA(help, MAKEINTRESOURCEA(106))) {
        hand = CopyCursor(cursor);
        *owned = hand != nullptr;
    }
    FreeLibrary(help);
    return hand;
}

}  // namespace

HtmlTextRenderer::HtmlTextRenderer()
{
    InitColorNames(layout_.ColorNames(), [](int index) { return RtColor(GetSysColor(index)); });
    LOGFONTA& lf = resources_.baseFont;
    std::memset(&lf, 0, sizeof(lf));
    lf.lfHeight = 12;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "Verdana");
    layout_.SetBaseFont(lf.lfHeight, lf.lfFaceName);
    handCursor_ = LoadHandCursor(&ownsHandCursor_);
    layout_.SetBreakCharacters(true);
    SetShadow(4, 4, 50, TRUE, 7, 7);
    InitDefaultStyles();
}

HtmlTextRenderer::~HtmlTextRenderer()
{
    if (handCursor_ && ownsHandCursor_)
        DestroyCursor(handCursor_);
    if (resources_.imageList)
        ImageList_Destroy(resources_.imageList);
}

void HtmlTextRenderer::SetStyleSheet(const char* text) { layout_.SetStyleSheet(text); }

SIZE HtmlTextRenderer::Measure(HDC dc, const char* text)
{
    GdiCanvas canvas(dc, resources_, gdi_);
    const RtSize size = layout_.Measure(canvas, text ? text : "");
    return SIZE{size.cx + 2, size.cy + 2};
}

SIZE HtmlTextRenderer::Draw(HDC dc, const char* text, const RECT& rect)
{
    GdiCanvas canvas(dc, resources_, gdi_);
    // Borders run on their rectangle's edges inclusive, so the right and
    // bottom ones are drawn one pixel inside.
    const RtRect area{rect.left, rect.top, rect.right - 1, rect.bottom - 1};
    const RtSize size = layout_.Draw(canvas, text ? text : "", area);
    return SIZE{size.cx + 1, size.cy + 1};
}

std::string HtmlTextRenderer::LoadStringPart(UINT id, int part) const
{
    const std::string text = GdiCanvas::LoadFullString(resources_.module, id);
    if (part < 0)
        return std::string();
    size_t start = 0;
    for (int k = 0; k < part; ++k) {
        const size_t lf = text.find('\n', start);
        if (lf == std::string::npos)
            return std::string();
        start = lf + 1;
    }
    const size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

int HtmlTextRenderer::SetShadow(int offsetX, int offsetY, int darkness, BOOL soft, int blurWidth, int blurHeight)
{
    ShadowSettings s;
    s.offsetX = offsetX;
    s.offsetY = offsetY;
    s.darkness = darkness > 100 ? 100 : darkness < 0 ? 0 : darkness;
    s.soft = soft ? 1 : 0;
    s.blurWidth = blurWidth;
    s.blurHeight = blurHeight;
    const int grey = MulDiv(255, 100 - s.darkness, 100);
    s.color = RGB(grey, grey, grey);
    resources_.shadow = s;
    layout_.SetShadow(s);
    return grey;
}

void HtmlTextRenderer::SetResourceInstance(HINSTANCE module)
{
    resources_.module = module;
    layout_.ForgetMeasure();  // images may measure differently now
}

void HtmlTextRenderer::SetImageList(HIMAGELIST list, int iconWidth, int iconHeight)
{
    if (resources_.imageList && resources_.imageList != list)
        ImageList_Destroy(resources_.imageList);
    resources_.imageList = list;
    resources_.listIconWidth = iconWidth;
    resources_.listIconHeight = iconHeight;
    layout_.ForgetMeasure();
}
