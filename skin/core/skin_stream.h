// SkinMemoryStream: the growable byte buffer through which a skin is read
// and written, and the stored form (4-byte unpacked length + LZO1X data).
//
// Every read is bounded by the bytes that remain. Besides the bytes, the
// stream carries what the body readers need while a skin is read: the
// stream's version (for the fields present only from some minor version), the
// nesting depth of child objects and the number of objects made so far. A
// stream marked broken (nesting too deep, too many objects) reads nothing
// more, so every loop over stored counts ends. Platform-neutral.
#ifndef QUORBEL_SKIN_CORE_SKIN_STREAM_H
#define QUORBEL_SKIN_CORE_SKIN_STREAM_H

#include <cstdint>
#include <memory>
#include <vector>

class SkinMemoryStream {
public:
    // Growth step of every stream of the skin loader.
    static constexpr uint32_t kDefaultGrowth = 10240;
    // Largest unpacked skin accepted from a stored resource. The suite's
    // skins unpack to well under a megabyte; the cap keeps a hostile length
    // word from asking for gigabytes.
    static constexpr uint32_t kMaxUnpackedLength = 32u << 20;
    // Largest buffer a writer may grow to.
    static constexpr uint32_t kMaxLength = 1u << 30;
    // Child objects nest at most this deep below a top-level object.
    static constexpr uint32_t kMaxNesting = 8;
    // Objects (of every level) one skin may hold.
    static constexpr uint32_t kMaxObjects = 4096;

    explicit SkinMemoryStream(uint32_t growth = kDefaultGrowth);
    // Allocates exactly count bytes; with bytes given they are copied in
    // (length = count, position 0).
    SkinMemoryStream(const void* bytes, uint32_t count, uint32_t growth = kDefaultGrowth);
    SkinMemoryStream(const SkinMemoryStream&) = delete;
    SkinMemoryStream& operator=(const SkinMemoryStream&) = delete;

    // Copies min(n, length - position) bytes and advances by as many; the
    // rest of dest is left as it was. 0 without a buffer or once broken.
    uint32_t Read(void* dest, uint32_t n);
    // Returns n, or 0 when memory runs out (or the length cap is reached).
    uint32_t Write(const void* src, uint32_t n);
    // origin 0 from the start, 1 from the position, 2 from the end; the
    // result is clamped to 0 .. length. Returns the new position.
    uint32_t Seek(int64_t offset, int origin);
    uint32_t Rewind() { return Seek(0, 0); }
    // Unpacks a stored resource read from source's position: u32 unpacked
    // length L, then LZO1X data that must unpack to exactly L bytes (at
    // most kMaxUnpackedLength). The L bytes are written here. 1 or 0.
    int FillFromCompressed(SkinMemoryStream& source);

    const uint8_t* Data() const { return data_.get(); }
    uint32_t Length() const { return length_; }
    uint32_t Position() const { return position_; }
    uint32_t Capacity() const { return capacity_; }
    uint32_t Growth() const { return growth_; }
    uint32_t Remaining() const { return broken_ ? 0 : length_ - position_; }
    // No byte left to read (or broken): loops over stored counts stop here.
    bool AtEnd() const { return Remaining() == 0; }

    // Little-endian helpers for the body readers and writers. A short read
    // leaves the unread bytes of the value as they were.
    uint32_t ReadU32(uint32_t& value) { return Read(&value, 4); }
    uint32_t WriteU32(uint32_t value) { return Write(&value, 4); }
    // Reads a fixed-width text field and terminates it at width - 1.
    uint32_t ReadText(char* dest, uint32_t width);

    // --- reading context ------------------------------------------------
    // Version of the stream being read or written (1.16 until set).
    void SetVersion(uint8_t major, uint8_t minor)
    {
        major_ = major;
        minor_ = minor;
    }
    uint8_t Major() const { return major_; }
    uint8_t Minor() const { return minor_; }
    // Enter before reading a list of children; false (and the stream is
    // broken) when that would nest deeper than kMaxNesting.
    bool EnterChildren();
    void LeaveChildren() { --depth_; }
    // Count one object made from the stream; false (and broken) past
    // kMaxObjects.
    bool CountObject();
    void MarkBroken() { broken_ = true; }
    bool IsBroken() const { return broken_; }

private:
    bool Reserve(uint64_t needed);

    std::unique_ptr<uint8_t[]> data_;  // the bytes; none until first allocation
    uint32_t length_ = 0;              // bytes of valid data
    uint32_t position_ = 0;            // next byte read or written
    uint32_t capacity_ = 0;            // allocated bytes
    uint32_t growth_;                  // growth step of Write
    uint8_t major_ = 1;                // version of the stream read or written
    uint8_t minor_ = 16;
    uint32_t depth_ = 0;               // child lists entered and not left
    uint32_t objects_ = 0;             // objects made while reading
    bool broken_ = false;              // reading stopped for good
};

// Process-wide version of the stream being read or installed, for the
// skinners (readers take theirs from the stream). 1.16 at start.
void SetSkinStreamVersion(uint8_t major, uint8_t minor);
uint8_t GetSkinStreamMajor();
uint8_t GetSkinStreamMinor();

// Packs an unpacked skin stream into the stored form: u32 length, then the
// LZO1X-999 data. False when the compressor fails.
bool PackSkinStream(const uint8_t* data, uint32_t length, std::vector<uint8_t>& stored);

#endif
