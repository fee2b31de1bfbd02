// The image codecs, internal to the skin image class. Each decoder fills a
// fresh image and leaves its failure text in it; each encoder writes a ghost
// of the image being saved.
#ifndef QUORBEL_SKIN_CORE_IMAGE_CODEC_H
#define QUORBEL_SKIN_CORE_IMAGE_CODEC_H

#include <cstdint>

#include "skin/core/skin_image.h"

bool SkinBmpDecode(CSkinImage& image, ImageStream& stream);
bool SkinBmpEncode(CSkinImage& image, ImageStream& stream);
bool SkinTgaDecode(CSkinImage& image, ImageStream& stream);
bool SkinTgaEncode(CSkinImage& image, ImageStream& stream);

namespace skin_image_detail {

inline uint16_t Le16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

inline uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void PutLe16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

inline void PutLe32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// Stores a palette index into a raw row of a 1, 4 or 8 bpp image.
inline void PutRowIndex(uint8_t* row, uint32_t bpp, int32_t x, uint8_t index)
{
    switch (bpp) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        uint8_t& b = row[x >> 1];
        b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | (index << 4));
        break;
    }
    case 1: {
        const uint8_t mask = uint8_t(1u << (7 - (x & 7)));
        row[x >> 3] = (index & 1) ? uint8_t(row[x >> 3] | mask) : uint8_t(row[x >> 3] & ~mask);
        break;
    }
    default:
        break;
    }
}

}  // namespace skin_image_detail

#endif
