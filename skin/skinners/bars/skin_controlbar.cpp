#include "skin/skinners/bars/skin_controlbar.h"

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/bars/skin_tab.h"

namespace {

SkinWindowObject* MakeControlBar(uint32_t type, SkinWindowObject* parent)
{
    return new SkinControlBar(parent, type);
}
SkinnerRegistrar g_controlBar(kSkinControlBar, &MakeControlBar);

}  // namespace

SkinControlBar::SkinControlBar(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

void SkinControlBar::Draw(HDC hdc)
{
    auto* data = dynamic_cast<SkinControlData*>(GetSkinData());
    RECT client;
    GetClientRect(window_, &client);
    if (!data) {
        SkinGdiUtil::FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
        return;
    }
    // A skin without a ControlBar object gives the ToolBar one: its
    // background is the first of its images.
    auto* toolBar = dynamic_cast<SkinToolBarData*>(data);
    const SkinLayoutImage& background = toolBar ? toolBar->images[0] : data->background;
    // Docked at a side (CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT): the look runs top to bottom.
    if (GetWindowLongA(window_, GWL_STYLE) & (0x1000 | 0x4000))
        SkinDrawTurned(hdc, client, 270, GetKeyColor(), [&](HDC dc, const RECT& area) {
            SkinGdiUtil::DrawLayoutImage(dc, area, background, data->backColor, TRUE);
        });
    else
        SkinGdiUtil::DrawLayoutImage(hdc, client, background, data->backColor, TRUE);
}
