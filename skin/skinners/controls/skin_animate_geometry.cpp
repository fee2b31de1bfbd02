#include "skin/skinners/controls/skin_animate_geometry.h"

#include <algorithm>

uint32_t AnimateFrameTime(uint32_t rate, uint32_t scale)
{
    if (rate == 0 || scale == 0)
        return 100;
    const uint32_t fps = rate / scale;
    if (fps > 0)
        return 1000 / fps;
    return uint32_t(std::min<uint64_t>(uint64_t(scale) * 1000 / rate, 10000));
}

void AnimateSetRange(AnimateCursor* cursor, uint32_t playLParam, int32_t repeat, int32_t length)
{
    const uint32_t low = playLParam & 0xFFFF, high = playLParam >> 16;
    cursor->repeat = repeat;
    cursor->first = (low & 0x8000) ? 0 : int32_t(low);
    cursor->last = high == 0xFFFF ? -1 : int32_t(high);
    if (length > 0 && cursor->last > length - 1)
        cursor->last = length - 1;
    if (length > 0 && cursor->first > length - 1)
        cursor->first = length - 1;
    cursor->current = cursor->first;
    cursor->passes = 0;
}

bool AnimateAdvance(AnimateCursor* cursor, int32_t length)
{
    const int32_t end = cursor->last == -1 ? length - 1 : cursor->last;
    ++cursor->current;
    if (cursor->current <= end)
        return true;
    if (cursor->repeat != -1) {
        ++cursor->passes;
        if (cursor->passes >= cursor->repeat) {
            cursor->current = std::max(end, 0);
            return false;
        }
    }
    cursor->current = cursor->first;
    return true;
}

AnimatePlacement PlaceAnimateFrame(int32_t frameWidth, int32_t frameHeight, int32_t clientWidth,
                                   int32_t clientHeight, bool centre)
{
    AnimatePlacement out = {MakeSkinRect(0, 0, frameWidth, frameHeight), 0, 0};
    if (!centre)
        return out;
    const int32_t w = std::min(frameWidth, clientWidth), h = std::min(frameHeight, clientHeight);
    const int32_t x = (clientWidth - w) / 2, y = (clientHeight - h) / 2;
    out.dest = MakeSkinRect(x, y, x + w, y + h);
    out.sourceX = (frameWidth - w) / 2;
    out.sourceY = (frameHeight - h) / 2;
    return out;
}
