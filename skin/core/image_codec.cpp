// CSkinImage: encoding and decoding through the BMP and TGA codecs.
#include "skin/core/image_codec.h"

#include <cstdlib>

bool CSkinImage::Encode(ImageStream* stream, uint32_t format)
{
    if (!stream) {
        SetLastError("null file handler");
        return false;
    }
    if (!dib_) {
        SetLastError("null image!!!");
        return false;
    }
    // The encoder works on a ghost so that nothing it does frees our buffers.
    CSkinImage ghost;
    ghost.Ghost(this);
    bool ok;
    switch (format) {
    case kFormatBmp: ok = SkinBmpEncode(ghost, *stream); break;
    case kFormatTga: ok = SkinTgaEncode(ghost, *stream); break;
    default:
        SetLastError("Encode: Unknown format");
        return false;
    }
    if (!ok)
        SetLastError(ghost.GetLastError());
    return ok;
}

bool CSkinImage::Encode(uint8_t*& buffer, int32_t& size, uint32_t format)
{
    if (buffer)
        return false;
    ImageMemoryStream stream;
    if (!stream.Open()) {
        SetLastError("can't allocate memory");
        return false;
    }
    if (!Encode(&stream, format))
        return false;
    if (stream.Size() > INT32_MAX) {
        SetLastError("can't allocate memory");
        return false;
    }
    buffer = stream.GetBuffer();
    size = int32_t(stream.Size());
    // The buffer is the caller's now; closing must not free it.
    stream.SetOwnsBuffer(false);
    stream.Close();
    return true;
}

void CSkinImage::FreeMemory(void* buffer)
{
    std::free(buffer);
}

bool CSkinImage::Decode(ImageStream* stream, uint32_t format)
{
    if (!stream) {
        SetLastError("null file handler");
        return false;
    }
    const int64_t start = stream->Tell();
    // Each attempt decodes into a fresh image, so a failure leaves this one
    // as it was.
    auto attempt = [&](bool (*decode)(CSkinImage&, ImageStream&)) {
        CSkinImage fresh(format);
        fresh.SetEscape(info_.escape);
        if (decode(fresh, *stream)) {
            Transfer(fresh);
            return true;
        }
        SetLastError(fresh.GetLastError());
        return false;
    };
    switch (format) {
    case kFormatBmp:
        return attempt(SkinBmpDecode);
    case kFormatTga:
        return attempt(SkinTgaDecode);
    case kFormatUnknown:
        if (attempt(SkinBmpDecode))
            return true;
        stream->Seek(start, 0);
        if (attempt(SkinTgaDecode))
            return true;
        stream->Seek(start, 0);
        break;
    default:
        break;
    }
    SetLastError("Decode: Unknown or wrong format");
    return false;
}

bool CSkinImage::Decode(const uint8_t* buffer, uint32_t size, uint32_t format)
{
    // The codecs only read; the stream never writes into the caller's bytes.
    ImageMemoryStream stream(const_cast<uint8_t*>(buffer), buffer ? size : 0, false);
    return Decode(&stream, format);
}
