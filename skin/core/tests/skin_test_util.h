// Helpers for the skin data tests: a little-endian byte builder for
// streams laid out by hand, and small images and skins.
#ifndef QUORBEL_SKIN_CORE_TESTS_SKIN_TEST_UTIL_H
#define QUORBEL_SKIN_CORE_TESTS_SKIN_TEST_UTIL_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/skin_data_types.h"

class CSkinImage;
class SkinPackage;

// Appends little-endian values; used to write streams as an old version
// laid them out, independently of the library's Save.
class Bytes {
public:
    Bytes& U32(uint32_t v);
    Bytes& U8(uint8_t v);
    Bytes& Text(const std::string& s, size_t width);
    Bytes& Zeros(size_t n);
    Bytes& Raw(const void* p, size_t n);
    Bytes& Append(const Bytes& other) { return Raw(other.data.data(), other.data.size()); }
    // A 188-byte skin header.
    Bytes& Header(uint8_t major, uint8_t minor, uint32_t objectCount,
                  const char* magic = "VENEERKIT_SKIN_FILE");
    std::vector<uint8_t> data;
};

// A width x height 24-bit image filled with one colour.
std::unique_ptr<CSkinImage> MakeSolidImage(int32_t width, int32_t height, SkinColor color);

// Writes the package and packs it into the stored form.
std::vector<uint8_t> PackPackage(const SkinPackage& package);

#endif
