// Pure rules of the animation skinner: the frame time of a clip, how the
// playback cursor moves through first, last and repeat count, and where a
// frame goes in the control. No windows.h, so it is tested natively.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_ANIMATE_GEOMETRY_H
#define QUORBEL_SKIN_SKINNERS_SKIN_ANIMATE_GEOMETRY_H

#include <cstdint>

#include "skin/core/skin_data_types.h"

// Milliseconds per frame of a clip of rate / scale frames per second:
// 1000 / (rate / scale) in whole numbers; a clip slower than one frame a
// second shows each frame for scale / rate seconds (at most 10 s); a clip
// without a rate 100 ms.
uint32_t AnimateFrameTime(uint32_t rate, uint32_t scale);

struct AnimateCursor {
    int32_t first = 0;
    int32_t last = -1;     // -1: the clip's last frame
    int32_t repeat = -1;   // -1: endless
    int32_t current = 0;
    int32_t passes = 0;    // completed passes of a finite repeat
};
// The first frame of ACM_PLAY's LOWORD (0x8000 set, i.e. -1, gives 0) and
// the last of its HIWORD cut to length - 1 (0xFFFF stays -1).
void AnimateSetRange(AnimateCursor* cursor, uint32_t playLParam, int32_t repeat, int32_t length);
// After a frame was shown: moves to the next one; false when playback
// ends (the current frame stays on the last one).
bool AnimateAdvance(AnimateCursor* cursor, int32_t length);

struct AnimatePlacement {
    SkinRect dest;    // in the client area
    int32_t sourceX;  // top-left of the part of the frame shown
    int32_t sourceY;
};
// Centred (ACS_CENTER), a frame larger than the client cut to the client
// around its centre; else at (0, 0) in its own size.
AnimatePlacement PlaceAnimateFrame(int32_t frameWidth, int32_t frameHeight, int32_t clientWidth,
                                   int32_t clientHeight, bool centre);

#endif
