#include "skin/core/skin_stream.h"

#include <lzo/lzo1x.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace {

std::atomic<uint8_t> g_streamMajor{1};
std::atomic<uint8_t> g_streamMinor{16};

}  // namespace

void SetSkinStreamVersion(uint8_t major, uint8_t minor)
{
    g_streamMajor = major;
    g_streamMinor = minor;
}

uint8_t GetSkinStreamMajor() { return g_streamMajor; }
uint8_t GetSkinStreamMinor() { return g_streamMinor; }

SkinMemoryStream::SkinMemoryStream(uint32_t growth) : growth_(growth ? growth : kDefaultGrowth) {}

SkinMemoryStream::SkinMemoryStream(const void* bytes, uint32_t count, uint32_t growth)
    : growth_(growth ? growth : kDefaultGrowth)
{
    if (count == 0)
        return;
    data_.reset(new (std::nothrow) uint8_t[count]);
    if (!data_)
        return;
    capacity_ = count;
    if (bytes) {
        std::memcpy(data_.get(), bytes, count);
        length_ = count;
    }
}

uint32_t SkinMemoryStream::Read(void* dest, uint32_t n)
{
    if (!data_ || broken_ || position_ >= length_)
        return 0;
    const uint32_t count = std::min(n, length_ - position_);
    std::memcpy(dest, data_.get() + position_, count);
    position_ += count;
    return count;
}

uint32_t SkinMemoryStream::ReadText(char* dest, uint32_t width)
{
    const uint32_t got = Read(dest, width);
    if (width)
        dest[width - 1] = '\0';
    return got;
}

bool SkinMemoryStream::Reserve(uint64_t needed)
{
    if (needed > kMaxLength)
        return false;
    if (needed <= capacity_)
        return true;
    uint64_t newCapacity;
    if (!data_)
        newCapacity = needed;
    else
        newCapacity = uint64_t(capacity_) +
                      uint64_t(growth_) * ((needed - capacity_) / growth_ + 1);
    newCapacity = std::min<uint64_t>(newCapacity, kMaxLength);
    std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[size_t(newCapacity)]);
    if (!grown)
        return false;
    if (data_)
        std::memcpy(grown.get(), data_.get(), length_);
    data_ = std::move(grown);
    capacity_ = uint32_t(newCapacity);
    return true;
}

uint32_t SkinMemoryStream::Write(const void* src, uint32_t n)
{
    if (n == 0)
        return 0;
    if (!Reserve(uint64_t(position_) + n))
        return 0;
    std::memcpy(data_.get() + position_, src, n);
    position_ += n;
    length_ = std::max(length_, position_);
    return n;
}

uint32_t SkinMemoryStream::Seek(int64_t offset, int origin)
{
    int64_t base = 0;
    if (origin == 1)
        base = position_;
    else if (origin == 2)
        base = length_;
    int64_t target = base + offset;
    target = std::max<int64_t>(0, std::min<int64_t>(target, length_));
    position_ = uint32_t(target);
    return position_;
}

int SkinMemoryStream::FillFromCompressed(SkinMemoryStream& source)
{
    if (lzo_init() != LZO_E_OK)
        return 0;
    uint32_t unpackedLength = 0;
    if (source.ReadU32(unpackedLength) != 4)
        return 0;
    if (unpackedLength > kMaxUnpackedLength)
        return 0;
    const uint32_t packedLength = source.Remaining();
    const uint8_t* packed = source.Data() ? source.Data() + source.Position() : nullptr;
    if (!packed || packedLength == 0)
        return 0;

    std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[unpackedLength ? unpackedLength : 1]);
    if (!out)
        return 0;
    // The safe decompressor never writes past the stated length; a block
    // that would overrun it is an error like any other.
    lzo_uint outLength = unpackedLength;
    const int result = lzo1x_decompress_safe(packed, packedLength, out.get(), &outLength, nullptr);
    source.Seek(packedLength, 1);
    if (result != LZO_E_OK || outLength != unpackedLength)
        return 0;
    if (unpackedLength == 0)
        return 1;
    if (!data_ && position_ == 0) {
        // An empty stream takes the buffer over instead of copying it.
        data_ = std::move(out);
        capacity_ = length_ = position_ = unpackedLength;
        return 1;
    }
    return Write(out.get(), unpackedLength) == unpackedLength ? 1 : 0;
}

bool SkinMemoryStream::EnterChildren()
{
    if (depth_ >= kMaxNesting) {
        broken_ = true;
        return false;
    }
    ++depth_;
    return true;
}

bool SkinMemoryStream::CountObject()
{
    if (++objects_ > kMaxObjects) {
        broken_ = true;
        return false;
    }
    return true;
}

bool PackSkinStream(const uint8_t* data, uint32_t length, std::vector<uint8_t>& stored)
{
    if (lzo_init() != LZO_E_OK)
        return false;
    std::vector<unsigned char> work(LZO1X_999_MEM_COMPRESS);
    // Worst case of LZO1X: input + input / 16 + 64 + 3.
    stored.assign(4 + size_t(length) + length / 16 + 64 + 3, 0);
    std::memcpy(stored.data(), &length, 4);
    lzo_uint packedLength = 0;
    static const uint8_t kNothing = 0;
    const int result = lzo1x_999_compress(length ? data : &kNothing, length, stored.data() + 4,
                                          &packedLength, work.data());
    if (result != LZO_E_OK)
        return false;
    stored.resize(4 + size_t(packedLength));
    return true;
}
