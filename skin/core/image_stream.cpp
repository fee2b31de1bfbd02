#include "skin/core/image_stream.h"

#include <cstdlib>
#include <cstring>
#include <limits>

ImageMemoryStream::ImageMemoryStream(uint8_t* buffer, size_t size, bool ownsBuffer)
    : buffer_(buffer), size_(buffer ? size : 0), owned_(buffer && ownsBuffer),
      capacity_(buffer && ownsBuffer ? size : 0)
{
    // A borrowed buffer has no capacity of ours: the first write copies it
    // into an owned one instead of writing into the caller's bytes.
}

ImageMemoryStream::~ImageMemoryStream()
{
    Close();
}

bool ImageMemoryStream::Open()
{
    if (buffer_)
        return false;
    buffer_ = static_cast<uint8_t*>(std::malloc(1));
    if (!buffer_)
        return false;
    owned_ = true;
    size_ = 0;
    position_ = 0;
    capacity_ = 0;
    return true;
}

void ImageMemoryStream::Close()
{
    if (buffer_ && owned_)
        std::free(buffer_);
    buffer_ = nullptr;
    size_ = 0;
    position_ = 0;
    capacity_ = 0;
    owned_ = false;
}

size_t ImageMemoryStream::Read(void* dest, size_t itemSize, size_t count)
{
    if (!buffer_ || !dest || itemSize == 0 || count == 0 || position_ >= size_)
        return 0;
    if (count > std::numeric_limits<size_t>::max() / itemSize)
        count = std::numeric_limits<size_t>::max() / itemSize;
    size_t bytes = itemSize * count;
    const size_t left = size_ - position_;
    if (bytes > left)
        bytes = left;
    std::memcpy(dest, buffer_ + position_, bytes);
    position_ += bytes;
    return bytes / itemSize;
}

bool ImageMemoryStream::Grow(size_t needed)
{
    if (needed <= capacity_)
        return true;
    if (needed > std::numeric_limits<size_t>::max() - kGrowStep)
        return false;
    const size_t capacity = (needed + kGrowStep - 1) / kGrowStep * kGrowStep;
    uint8_t* grown;
    if (buffer_ && owned_) {
        grown = static_cast<uint8_t*>(std::realloc(buffer_, capacity));
    } else {
        // A borrowed buffer is copied into an owned one before it grows.
        grown = static_cast<uint8_t*>(std::malloc(capacity));
        if (grown && buffer_ && size_)
            std::memcpy(grown, buffer_, size_);
    }
    if (!grown)
        return false;
    buffer_ = grown;
    owned_ = true;
    capacity_ = capacity;
    return true;
}

size_t ImageMemoryStream::Write(const void* src, size_t itemSize, size_t count)
{
    if (!src || itemSize == 0 || count == 0)
        return 0;
    if (count > std::numeric_limits<size_t>::max() / itemSize)
        return 0;
    const size_t bytes = itemSize * count;
    if (bytes > std::numeric_limits<size_t>::max() - position_)
        return 0;
    const size_t end = position_ + bytes;
    if (!Grow(end))
        return 0;
    // Bytes skipped by a seek past the end read back as zeros.
    if (position_ > size_)
        std::memset(buffer_ + size_, 0, position_ - size_);
    std::memcpy(buffer_ + position_, src, bytes);
    position_ = end;
    if (position_ > size_)
        size_ = position_;
    return count;
}

bool ImageMemoryStream::Seek(int64_t offset, int origin)
{
    if (!buffer_)
        return false;
    int64_t base;
    switch (origin) {
    case 0: base = 0; break;
    case 1: base = int64_t(position_); break;
    case 2: base = int64_t(size_); break;
    default: return false;
    }
    if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset))
        return false;
    const int64_t target = base + offset;
    if (target < 0)
        return false;
    if (uint64_t(target) > std::numeric_limits<size_t>::max())
        return false;
    position_ = size_t(target);
    return true;
}

int64_t ImageMemoryStream::Tell() const
{
    return buffer_ ? int64_t(position_) : -1;
}

int64_t ImageMemoryStream::Size() const
{
    return buffer_ ? int64_t(size_) : -1;
}

bool ImageMemoryStream::Eof() const
{
    return !buffer_ || position_ >= size_;
}

bool ImageMemoryStream::Error() const
{
    return buffer_ && position_ > size_;
}
