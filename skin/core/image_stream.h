// Byte streams the image codecs read from and write to.
//
// ImageStream is the small stdio-like interface the BMP and TGA codecs use;
// ImageMemoryStream serves it from a caller's buffer (not owned) or from a
// growing buffer of its own (owned). Platform-neutral.
#ifndef QUORBEL_SKIN_CORE_IMAGE_STREAM_H
#define QUORBEL_SKIN_CORE_IMAGE_STREAM_H

#include <cstddef>
#include <cstdint>

class ImageStream {
public:
    virtual ~ImageStream() = default;

    // Whole items read; never more than the bytes that remain.
    virtual size_t Read(void* dest, size_t itemSize, size_t count) = 0;
    // Items written (count), or 0 when the stream cannot take them.
    virtual size_t Write(const void* src, size_t itemSize, size_t count) = 0;
    // origin: 0 from the start, 1 from the position, 2 from the end.
    // A negative result is refused; a position past the end is allowed.
    virtual bool Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() const = 0;   // -1 without a buffer
    virtual int64_t Size() const = 0;   // -1 without a buffer
    virtual bool Eof() const = 0;
    virtual bool Error() const = 0;

    bool PutC(uint8_t c) { return Write(&c, 1, 1) == 1; }
    int GetC()
    {
        uint8_t c = 0;
        return Read(&c, 1, 1) == 1 ? c : -1;
    }

    // Bytes between the position and the end (0 when past it or unknown).
    int64_t Remaining() const
    {
        const int64_t size = Size(), pos = Tell();
        return (size < 0 || pos < 0 || pos >= size) ? 0 : size - pos;
    }
};

class ImageMemoryStream : public ImageStream {
public:
    // Step in which an owned buffer grows.
    static constexpr size_t kGrowStep = 4096;

    ImageMemoryStream() = default;
    // Reads (and may write) over the caller's buffer; the buffer stays the
    // caller's unless ownsBuffer is set.
    ImageMemoryStream(uint8_t* buffer, size_t size, bool ownsBuffer = false);
    ImageMemoryStream(const ImageMemoryStream&) = delete;
    ImageMemoryStream& operator=(const ImageMemoryStream&) = delete;
    ~ImageMemoryStream() override;

    // Starts an empty owned buffer; refused when a buffer is attached.
    bool Open();
    // Frees the buffer when owned and detaches it.
    void Close();

    size_t Read(void* dest, size_t itemSize, size_t count) override;
    size_t Write(const void* src, size_t itemSize, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() const override;
    int64_t Size() const override;
    bool Eof() const override;
    bool Error() const override;

    uint8_t* GetBuffer() const { return buffer_; }
    size_t GetCapacity() const { return capacity_; }
    bool OwnsBuffer() const { return owned_; }
    // Clearing ownership lets the buffer survive Close (it is then the
    // caller's, to be released with free()).
    void SetOwnsBuffer(bool owned) { owned_ = owned; }

private:
    bool Grow(size_t needed);

    uint8_t* buffer_ = nullptr;  // attached bytes, or null
    size_t size_ = 0;            // bytes of valid data
    bool owned_ = false;         // Close frees buffer_
    size_t position_ = 0;        // next byte to read or write
    size_t capacity_ = 0;        // bytes allocated (owned growth only)
};

#endif
