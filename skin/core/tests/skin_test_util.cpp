#include "skin/core/tests/skin_test_util.h"

#include <cstring>

#include "skin/core/skin_image.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_stream.h"

Bytes& Bytes::U32(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        data.push_back(uint8_t(v >> (8 * i)));
    return *this;
}

Bytes& Bytes::U8(uint8_t v)
{
    data.push_back(v);
    return *this;
}

Bytes& Bytes::Text(const std::string& s, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        data.push_back(i < s.size() ? uint8_t(s[i]) : 0);
    return *this;
}

Bytes& Bytes::Zeros(size_t n)
{
    data.insert(data.end(), n, 0);
    return *this;
}

Bytes& Bytes::Raw(const void* p, size_t n)
{
    const uint8_t* b = static_cast<const uint8_t*>(p);
    data.insert(data.end(), b, b + n);
    return *this;
}

Bytes& Bytes::Header(uint8_t major, uint8_t minor, uint32_t objectCount, const char* magic)
{
    Text(magic, 19).U8(0).U8(major).U8(minor).Zeros(154).U32(objectCount).Zeros(8);
    return *this;
}

std::unique_ptr<CSkinImage> MakeSolidImage(int32_t width, int32_t height, SkinColor color)
{
    std::unique_ptr<CSkinImage> image(new CSkinImage(width, height, 24, CSkinImage::kFormatBmp));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            image->SetPixelColor(x, y, SkinRgbQuad::FromColorRef(color));
    return image;
}

std::vector<uint8_t> PackPackage(const SkinPackage& package)
{
    SkinMemoryStream out;
    package.Write(out);
    std::vector<uint8_t> stored;
    PackSkinStream(out.Data(), out.Length(), stored);
    return stored;
}
