// libFuzzer target: BMP decoding, then the operations a skin applies to a
// decoded image (crop, quarter turns, re-encoding).
#include <cstddef>
#include <cstdint>

#include "skin/core/skin_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CSkinImage img;
    if (!img.Decode(data, uint32_t(size), CSkinImage::kFormatBmp))
        return 0;
    CSkinImage part;
    img.Crop(1, 1, img.GetWidth() / 2 + 1, img.GetHeight() / 2 + 1, &part);
    CSkinImage turned;
    if (img.GetWidth() * img.GetHeight() <= 4096)
        img.Rotate(90, &turned);
    uint8_t* out = nullptr;
    int32_t outSize = 0;
    if (img.Encode(out, outSize, CSkinImage::kFormatBmp)) {
        CSkinImage again;
        again.Decode(out, uint32_t(outSize), CSkinImage::kFormatUnknown);
        CSkinImage::FreeMemory(out);
    }
    return 0;
}
