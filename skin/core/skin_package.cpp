#include "skin/core/skin_package.h"

#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"

namespace {

constexpr uint32_t kMagicLength = 19;
constexpr uint32_t kMajorOffset = 20;
constexpr uint32_t kMinorOffset = 21;
constexpr uint32_t kCountOffset = 176;

int BudgetError(SkinResourcePool::State state)
{
    switch (state) {
    case SkinResourcePool::kPixelsExceeded: return kSkinPackageTooManyPixels;
    case SkinResourcePool::kGdiObjectsExceeded: return kSkinPackageTooManyGdiObjects;
    default: return kSkinPackageOk;
    }
}

}  // namespace

const char* SkinPackageErrorText(int error)
{
    switch (error) {
    case kSkinPackageOk: return "";
    case kSkinPackageBadPacking: return "it does not unpack";
    case kSkinPackageShort: return "it is shorter than its header";
    case kSkinPackageBadHeader: return "its header is not that of a skin of a version read here";
    case kSkinPackageMalformed: return "its objects nest too deep or are too many";
    case kSkinPackageTooManyPixels: return "its images and parts hold more pixels than a skin may";
    case kSkinPackageTooManyGdiObjects: return "it needs more GDI objects (fonts, regions) than a skin may";
    default: return "unknown error";
    }
}

SkinPackage::SkinPackage() = default;

SkinPackage::~SkinPackage()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    ClearUnlocked();
}

int SkinPackage::Fail(int error)
{
    ClearUnlocked();
    lastError_ = error;
    return 0;
}

int SkinPackage::Read(SkinMemoryStream& source)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    ClearUnlocked();
    lastError_ = kSkinPackageOk;
    SkinMemoryStream stream(SkinMemoryStream::kDefaultGrowth);
    if (!stream.FillFromCompressed(source))
        return Fail(kSkinPackageBadPacking);
    return ReadUnlocked(stream);
}

int SkinPackage::ReadStream(SkinMemoryStream& stream)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    ClearUnlocked();
    lastError_ = kSkinPackageOk;
    return ReadUnlocked(stream);
}

int SkinPackage::ReadUnlocked(SkinMemoryStream& stream)
{
    stream.Rewind();
    if (stream.Read(header_, kHeaderSize) < kHeaderSize)
        return Fail(kSkinPackageShort);
    const uint8_t major = header_[kMajorOffset];
    const uint8_t minor = header_[kMinorOffset];
    if (std::memcmp(header_, kMagic, kMagicLength) != 0 || major != kMajorVersion ||
        minor > kMinorVersion)
        return Fail(kSkinPackageBadHeader);
    SetSkinStreamVersion(major, minor);
    stream.SetVersion(major, minor);
    major_ = major;
    minor_ = minor;

    uint32_t objectCount = 0;
    std::memcpy(&objectCount, header_ + kCountOffset, 4);
    for (uint32_t i = 0; i < objectCount && !stream.AtEnd(); ++i) {
        uint32_t type = 0;
        stream.ReadU32(type);
        if (!IsSkinTopLevelType(type))
            continue;  // counts as one object; the next u32 is the next type id
        if (!stream.CountObject())
            break;
        std::unique_ptr<SkinDataObject> object = CreateSkinDataObject(type);
        object->Load(stream);
        StoreObject(std::move(object));
    }

    ObjectMap* sections[2] = {&images_, &sounds_};
    const uint32_t sectionTypes[2] = {kSkinImage, kSkinVoice};
    uint64_t imageBytes = 0;  // decoded so far: a skin past its budget stops here
    for (int s = 0; s < 2; ++s) {
        uint32_t stored = 0;
        stream.ReadU32(stored);
        const int32_t count = int32_t(stored);
        for (int32_t i = 0; i < count && !stream.AtEnd(); ++i) {
            uint32_t skipped = 0;
            stream.ReadU32(skipped);
            if (!stream.CountObject())
                break;
            std::unique_ptr<SkinDataObject> object = CreateSkinDataObject(sectionTypes[s]);
            object->Load(stream);
            if (s == 0)
                if (const CSkinImage* image = static_cast<SkinImageObject*>(object.get())->GetImage()) {
                    imageBytes += image->GetSize();
                    if (imageBytes > SkinResourcePool::kMaxPixelBytes)
                        return Fail(kSkinPackageTooManyPixels);
                }
            std::string key(object->GetName());
            (*sections[s])[key] = std::move(object);
        }
    }

    if (stream.IsBroken())
        return Fail(kSkinPackageMalformed);
    if (const int error = ResolveAll())
        return Fail(error);
    return 1;
}

void SkinPackage::StoreObject(std::unique_ptr<SkinDataObject> object)
{
    std::string key(object->GetName());
    auto it = objects_.find(key);
    if (it != objects_.end()) {
        // The later object wins; the colour table must not point at the
        // one it replaces.
        if (colorTable_ == dynamic_cast<SkinSysColorTable*>(it->second.get()))
            colorTable_ = nullptr;
        it->second = std::move(object);
    } else {
        it = objects_.emplace(key, std::move(object)).first;
    }
    if (auto* table = dynamic_cast<SkinSysColorTable*>(it->second.get()))
        colorTable_ = table;
}

int SkinPackage::ResolveAll()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    for (auto& entry : objects_)
        entry.second->ReleaseGdi();
    resources_.Clear();
    for (auto& entry : images_)
        if (const CSkinImage* image = static_cast<SkinImageObject*>(entry.second.get())->GetImage())
            resources_.ChargeImage(image->GetSize());
    for (auto& entry : objects_) {
        if (resources_.Exceeded())
            break;
        entry.second->Resolve(*this);
    }
    const int error = BudgetError(resources_.GetState());
    if (error)
        for (auto& entry : objects_)
            entry.second->ReleaseGdi();
    return error;
}

CSkinImage* SkinPackage::FindImage(const char* name)
{
    if (!name)
        return nullptr;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    auto it = images_.find(name);
    if (it == images_.end())
        return nullptr;
    return static_cast<SkinImageObject*>(it->second.get())->GetImage();
}

SkinDataObject* SkinPackage::FindObjectUnlocked(const char* name)
{
    if (!name)
        return nullptr;
    auto it = objects_.find(name);
    if (it != objects_.end())
        return it->second.get();
    for (auto& entry : objects_)
        if (SkinDataObject* child = entry.second->FindChildByName(name))
            return child;
    it = images_.find(name);
    if (it != images_.end())
        return it->second.get();
    it = sounds_.find(name);
    if (it != sounds_.end())
        return it->second.get();
    return nullptr;
}

SkinDataObject* SkinPackage::FindObject(const char* name)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    return FindObjectUnlocked(name);
}

SkinDataObject* SkinPackage::FindObjectByType(uint32_t type)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (type == kSkinControlBar)
        type = kSkinToolBar;
    if (const char* typeName = ::GetSkinTypeName(type))
        if (SkinDataObject* found = FindObjectUnlocked(typeName))
            return found;
    for (auto& entry : objects_)
        if (entry.second->GetType() == type)
            return entry.second.get();
    return nullptr;
}

void SkinPackage::ClearUnlocked()
{
    objects_.clear();
    images_.clear();
    sounds_.clear();
    resources_.Clear();
    colorTable_ = nullptr;
    major_ = kMajorVersion;
    minor_ = kMinorVersion;
    SetSkinStreamVersion(kMajorVersion, kMinorVersion);
}

void SkinPackage::Clear()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    ClearUnlocked();
}

bool SkinPackage::AddObject(std::unique_ptr<SkinDataObject> object)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!object || !IsSkinTopLevelType(object->GetType()) || objects_.count(object->GetName()))
        return false;
    StoreObject(std::move(object));
    return true;
}

bool SkinPackage::AddImage(std::unique_ptr<SkinImageObject> image)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!image || images_.count(image->GetName()))
        return false;
    std::string key(image->GetName());
    images_.emplace(key, std::move(image));
    return true;
}

bool SkinPackage::AddSound(std::unique_ptr<SkinDataObject> sound)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!sound || sound->GetType() != kSkinVoice || sounds_.count(sound->GetName()))
        return false;
    std::string key(sound->GetName());
    sounds_.emplace(key, std::move(sound));
    return true;
}

void SkinPackage::Write(SkinMemoryStream& out, uint8_t minor) const
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    uint8_t header[kHeaderSize] = {};
    std::memcpy(header, kMagic, kMagicLength);
    header[kMajorOffset] = kMajorVersion;
    header[kMinorOffset] = minor;
    out.SetVersion(kMajorVersion, minor);  // the body writers follow its gates
    const uint32_t count = uint32_t(objects_.size());
    std::memcpy(header + kCountOffset, &count, 4);
    out.Write(header, kHeaderSize);
    for (const auto& entry : objects_)
        entry.second->Save(out);
    out.WriteU32(uint32_t(images_.size()));
    for (const auto& entry : images_)
        entry.second->Save(out);
    out.WriteU32(uint32_t(sounds_.size()));
    for (const auto& entry : sounds_)
        entry.second->Save(out);
}
