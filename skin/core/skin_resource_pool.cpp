#include "skin/core/skin_resource_pool.h"

#include <algorithm>
#include <cstring>

#include "skin/core/skin_image.h"

namespace {

// The source rectangle as Crop takes it: clamped to the image, corners in
// order. Empty when nothing of it lies inside.
SkinRect ClampToImage(const SkinRect& source, const CSkinImage& image)
{
    const int32_t w = image.GetWidth(), h = image.GetHeight();
    auto clamp = [](int32_t v, int32_t hi) { return std::min(std::max(v, 0), hi); };
    SkinRect r;
    r.left = std::min(clamp(source.left, w), clamp(source.right, w));
    r.right = std::max(clamp(source.left, w), clamp(source.right, w));
    r.top = std::min(clamp(source.top, h), clamp(source.bottom, h));
    r.bottom = std::max(clamp(source.top, h), clamp(source.bottom, h));
    return r;
}

// What a cut of that size costs: header, palette and padded rows.
uint64_t CutBytes(const SkinRect& r, uint32_t bpp)
{
    const uint64_t rowBytes = (uint64_t(r.Width()) * bpp + 31) / 32 * 4;
    const uint64_t palette = bpp < 24 ? (uint64_t(4) << bpp) : 0;
    return 40 + palette + rowBytes * uint64_t(r.Height());
}

// A font's identity: its record with the face name's bytes after the
// terminator cleared.
std::string FontKey(const SkinLogFont& font)
{
    SkinLogFont copy = font;
    const size_t n = strnlen(copy.faceName, sizeof copy.faceName);
    std::memset(copy.faceName + n, 0, sizeof copy.faceName - n);
    return std::string(reinterpret_cast<const char*>(&copy), sizeof copy);
}

}  // namespace

SkinGdiObject::~SkinGdiObject() { SkinGdi().DeleteHandle(handle_); }

SkinCutPart::~SkinCutPart() = default;

SkinResourcePool::SkinResourcePool() = default;
SkinResourcePool::~SkinResourcePool() = default;

bool SkinResourcePool::ChargePixels(uint64_t bytes)
{
    if (state_ != kWithinBudget)
        return false;
    if (bytes > kMaxPixelBytes - pixelBytes_) {
        state_ = kPixelsExceeded;
        return false;
    }
    pixelBytes_ += bytes;
    return true;
}

bool SkinResourcePool::ChargeGdiObject()
{
    if (state_ != kWithinBudget)
        return false;
    if (gdiObjects_ == kMaxGdiObjects) {
        state_ = kGdiObjectsExceeded;
        return false;
    }
    ++gdiObjects_;
    return true;
}

bool SkinResourcePool::ChargeImage(uint64_t bytes)
{
    std::lock_guard<std::mutex> guard(lock_);
    return ChargePixels(bytes);
}

std::shared_ptr<const SkinCutPart> SkinResourcePool::CutPart(const std::string& imageName, CSkinImage& image,
                                                             const SkinRect& source, bool keyed, SkinColor key)
{
    if (!image.IsValid())
        return nullptr;
    const SkinRect r = ClampToImage(source, image);
    if (r.IsEmpty())
        return nullptr;
    std::lock_guard<std::mutex> guard(lock_);
    const PartKey id(imageName, r.left, r.top, r.right, r.bottom, keyed, keyed ? key : 0);
    auto found = parts_.find(id);
    if (found != parts_.end())
        return found->second;
    // Charged before the copy is made, so a skin past the budget fails
    // before it takes the memory.
    if (!ChargePixels(CutBytes(r, image.GetBpp())) || (keyed && !ChargeGdiObject()))
        return nullptr;
    std::shared_ptr<SkinCutPart> part(new SkinCutPart());
    part->bitmap.reset(new CSkinImage());
    if (!image.Crop(r.left, r.top, r.right, r.bottom, part->bitmap.get()))
        return nullptr;
    if (keyed)
        part->region.reset(new SkinGdiObject(SkinGdi().MakeKeyRegion(*part->bitmap, key)));
    parts_.emplace(id, part);
    return part;
}

std::shared_ptr<const SkinGdiObject> SkinResourcePool::Font(const SkinLogFont& font)
{
    std::lock_guard<std::mutex> guard(lock_);
    const std::string id = FontKey(font);
    auto found = fonts_.find(id);
    if (found != fonts_.end())
        return found->second;
    if (!ChargeGdiObject())
        return nullptr;
    std::shared_ptr<const SkinGdiObject> made(new SkinGdiObject(SkinGdi().MakeFont(font)));
    fonts_.emplace(id, made);
    return made;
}

SkinResourcePool::State SkinResourcePool::GetState() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_;
}

uint64_t SkinResourcePool::PixelBytes() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return pixelBytes_;
}

uint32_t SkinResourcePool::GdiObjects() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return gdiObjects_;
}

void SkinResourcePool::Clear()
{
    std::lock_guard<std::mutex> guard(lock_);
    parts_.clear();
    fonts_.clear();
    pixelBytes_ = 0;
    gdiObjects_ = 0;
    state_ = kWithinBudget;
}
