#include "skin/core/skin_lib_parts.h"

#include "skin/core/skin_ops.h"

namespace {

// Parts register from static constructors: plain arrays, no construction
// order to depend on.
const int kMaxParts = 16;
const SkinLibPart* g_parts[kMaxParts];
int g_partCount = 0;

SkinTooltipService* g_tooltip = nullptr;
SkinPopupMenuService* g_popupMenus = nullptr;

}  // namespace

void SkinLibRegisterPart(const SkinLibPart* part)
{
    if (part && g_partCount < kMaxParts)
        g_parts[g_partCount++] = part;
}

void SkinLibUnregisterPart(const SkinLibPart* part)
{
    for (int i = 0; i < g_partCount; ++i)
        if (g_parts[i] == part) {
            for (int j = i + 1; j < g_partCount; ++j)
                g_parts[j - 1] = g_parts[j];
            --g_partCount;
            return;
        }
}

const SkinLibPart* const* SkinLibParts(int* count)
{
    *count = g_partCount;
    return g_parts;
}

void SkinLibSetTooltip(SkinTooltipService* tooltip) { g_tooltip = tooltip; }
SkinTooltipService* SkinLibGetTooltip() { return g_tooltip; }

void SkinLibSetPopupMenuService(SkinPopupMenuService* service) { g_popupMenus = service; }
SkinPopupMenuService* SkinLibGetPopupMenuService() { return g_popupMenus; }

BOOL SkinLibRegisterOwnClass(const WNDCLASSEXA& windowClass)
{
    if (RegisterClassExA(&windowClass))
        return TRUE;
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    return GetClassInfoExA(windowClass.hInstance, windowClass.lpszClassName, &existing) &&
           existing.lpfnWndProc == windowClass.lpfnWndProc;
}

void SkinLibUnregisterOwnClassAfterEnd(const char* className)
{
    if (!SkinLibIsStarted())
        UnregisterClassA(className, SkinLibGetInstance());
}
