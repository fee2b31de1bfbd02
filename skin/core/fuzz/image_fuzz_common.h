// What both image codec fuzz targets do: decode in one format, then the
// operations a skin applies to a decoded image (crop, quarter turns,
// re-encoding, which must decode again).
#ifndef QUORBEL_SKIN_CORE_FUZZ_IMAGE_FUZZ_COMMON_H
#define QUORBEL_SKIN_CORE_FUZZ_IMAGE_FUZZ_COMMON_H

#include <cstddef>
#include <cstdint>

#include "skin/core/skin_image.h"

inline int ExerciseImageCodec(const uint8_t* data, size_t size, CSkinImage::Format format)
{
    CSkinImage img;
    if (!img.Decode(data, uint32_t(size), format))
        return 0;
    CSkinImage part;
    img.Crop(1, 1, img.GetWidth() / 2 + 1, img.GetHeight() / 2 + 1, &part);
    CSkinImage turned;
    if (img.GetWidth() * img.GetHeight() <= 4096)
        img.Rotate(90, &turned);
    uint8_t* out = nullptr;
    int32_t outSize = 0;
    if (img.Encode(out, outSize, format)) {
        CSkinImage again;
        again.Decode(out, uint32_t(outSize), CSkinImage::kFormatUnknown);
        CSkinImage::FreeMemory(out);
    }
    return 0;
}

#endif
