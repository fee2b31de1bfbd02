// SkinResourcePool: what one loaded skin makes for drawing — the parts cut
// out of its images (with their key-colour regions), its fonts and its
// brushes. Equal requests share one object, and two budgets bound the
// totals, so that a skin from outside can take neither the process's memory
// nor its GDI handles: a request past a budget gets nothing and leaves the
// pool exceeded, and the package then refuses the skin.
//
// The objects handed out are shared: whoever holds one keeps it alive, so a
// holder never sees a handle deleted under it. Counts are of objects asked
// for, whether the display made a handle or not, so that the skin compiler
// (no display) refuses exactly what the library would. Platform-neutral.
#ifndef QUORBEL_SKIN_CORE_SKIN_RESOURCE_POOL_H
#define QUORBEL_SKIN_CORE_SKIN_RESOURCE_POOL_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include "skin/core/skin_data_gdi.h"
#include "skin/core/skin_data_types.h"

class CSkinImage;

// One GDI object, deleted with its last holder.
class SkinGdiObject {
public:
    explicit SkinGdiObject(SkinGdiHandle handle) : handle_(handle) {}
    ~SkinGdiObject();
    SkinGdiObject(const SkinGdiObject&) = delete;
    SkinGdiObject& operator=(const SkinGdiObject&) = delete;
    SkinGdiHandle Get() const { return handle_; }

private:
    SkinGdiHandle handle_;
};

// A rectangle cut out of a skin image, with the region of its non-key
// pixels when the skin is drawn with a transparent colour.
struct SkinCutPart {
    std::unique_ptr<CSkinImage> bitmap;
    std::unique_ptr<SkinGdiObject> region;  // none when not keyed
    ~SkinCutPart();
};

class SkinResourcePool {
public:
    // Bytes of pixels a skin may hold: its decoded images and the parts cut
    // out of them together. The suite's skins use well under a megabyte.
    static constexpr uint64_t kMaxPixelBytes = 128ull << 20;
    // GDI objects a skin may hold: a tenth of a process's default limit,
    // far above what a real skin needs (tens).
    static constexpr uint32_t kMaxGdiObjects = 1000;

    enum State { kWithinBudget, kPixelsExceeded, kGdiObjectsExceeded };

    SkinResourcePool();
    ~SkinResourcePool();
    SkinResourcePool(const SkinResourcePool&) = delete;
    SkinResourcePool& operator=(const SkinResourcePool&) = delete;

    // Counts a decoded image's bytes; false (and exceeded) past the budget.
    bool ChargeImage(uint64_t bytes);
    // The part of the image inside source (clamped to it), shared with
    // every equal request; with keyed, also its region of pixels other
    // than key. Null when the part is empty or a budget would be passed.
    std::shared_ptr<const SkinCutPart> CutPart(const std::string& imageName, CSkinImage& image,
                                               const SkinRect& source, bool keyed, SkinColor key);
    // A font, shared with every equal request; null past the budget (or
    // when the display makes none).
    std::shared_ptr<const SkinGdiObject> Font(const SkinLogFont& font);

    State GetState() const;
    bool Exceeded() const { return GetState() != kWithinBudget; }
    uint64_t PixelBytes() const;
    uint32_t GdiObjects() const;
    // Forgets every object (holders keep theirs) and the counts.
    void Clear();

private:
    typedef std::tuple<std::string, int32_t, int32_t, int32_t, int32_t, bool, SkinColor> PartKey;

    bool ChargePixels(uint64_t bytes);
    bool ChargeGdiObject();

    mutable std::mutex lock_;  // guards everything below
    uint64_t pixelBytes_ = 0;  // images and cut parts
    uint32_t gdiObjects_ = 0;  // fonts and regions made
    State state_ = kWithinBudget;
    std::map<PartKey, std::shared_ptr<const SkinCutPart>> parts_;
    std::map<std::string, std::shared_ptr<const SkinGdiObject>> fonts_;  // by LOGFONT bytes
};

#endif
