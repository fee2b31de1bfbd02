// SkinPackage: a loaded skin. Reads the stored resource (or an unpacked
// stream), keeps the top-level objects, images and sounds by name, and
// answers the lookups the skinners make. Also writes a skin stream from its
// objects (the skin compiler's output). Platform-neutral.
#ifndef QUORBEL_SKIN_CORE_SKIN_PACKAGE_H
#define QUORBEL_SKIN_CORE_SKIN_PACKAGE_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "skin/core/skin_data.h"
#include "skin/core/skin_resource_pool.h"
#include "skin/core/skin_stream.h"

class CSkinImage;
class SkinImageObject;
class SkinSysColorTable;

// Last error of a package.
enum SkinPackageError : int {
    kSkinPackageOk = 0,
    kSkinPackageBadPacking = 5,   // the stored resource does not unpack
    kSkinPackageShort = 6,        // the stream is shorter than its header
    kSkinPackageBadHeader = 7,    // wrong magic, or a version not read
    kSkinPackageMalformed = 8,    // objects nested too deep or too many
    kSkinPackageTooManyPixels = 9,       // images and parts past the pixel budget
    kSkinPackageTooManyGdiObjects = 10,  // fonts and regions past their budget
};

// What a last error means, for messages ("" for 0).
const char* SkinPackageErrorText(int error);

class SkinPackage {
public:
    typedef std::map<std::string, std::unique_ptr<SkinDataObject>> ObjectMap;

    static constexpr uint32_t kHeaderSize = 188;
    static constexpr uint8_t kMajorVersion = 1;
    static constexpr uint8_t kMinorVersion = 16;   // newest version read (and written)
    static constexpr const char* kMagic = "VENEERKIT_SKIN_FILE";  // 19 bytes

    SkinPackage();
    ~SkinPackage();
    SkinPackage(const SkinPackage&) = delete;
    SkinPackage& operator=(const SkinPackage&) = delete;

    // Reads a stored resource (u32 length + LZO1X data) from source.
    // 1 on success; 0 with the last error set, the package left empty.
    int Read(SkinMemoryStream& source);
    // Reads an unpacked skin stream from its start; as Read otherwise.
    int ReadStream(SkinMemoryStream& stream);

    // The bitmap of the image of that name, or null.
    CSkinImage* FindImage(const char* name);
    // Top-level object, else a child of one (depth first in name order),
    // else an image, else a sound, of that name; null for a null name.
    SkinDataObject* FindObject(const char* name);
    // FindObject (the type's name) first, else the first top-level object
    // of the type in name order. 24 is looked up as 23.
    SkinDataObject* FindObjectByType(uint32_t type);
    // Empties the package; the version goes back to 1.16 (also the
    // process-wide one).
    void Clear();
    static const char* GetSkinTypeName(uint32_t id) { return ::GetSkinTypeName(id); }

    SkinSysColorTable* GetColorTable() const { return colorTable_; }
    int GetLastError() const { return lastError_; }
    uint8_t GetMajor() const { return major_; }
    uint8_t GetMinor() const { return minor_; }
    const uint8_t* GetHeader() const { return header_; }

    // --- building a skin (the compiler) -------------------------------
    // Each refuses (false, object dropped) a null object, a type that has
    // no place there, or a name already taken.
    bool AddObject(std::unique_ptr<SkinDataObject> object);
    bool AddImage(std::unique_ptr<SkinImageObject> image);
    bool AddSound(std::unique_ptr<SkinDataObject> sound);
    // Resolves every top-level object in name order (GDI objects and
    // image parts) anew, within the resource pool's budgets. 0, or the
    // error of the budget that the skin would pass (the objects are then
    // left unresolved).
    int ResolveAll();
    // The fonts and image parts made for this skin.
    SkinResourcePool& Resources() { return resources_; }
    // Writes the stream: header, objects, images, sounds, each section in
    // name order. An older version (1.11 and later: their bodies differ
    // only by the fields they carry) leaves out what its readers skip.
    void Write(SkinMemoryStream& out, uint8_t minor = kMinorVersion) const;

    const ObjectMap& Objects() const { return objects_; }
    const ObjectMap& Images() const { return images_; }
    const ObjectMap& Sounds() const { return sounds_; }

private:
    int ReadUnlocked(SkinMemoryStream& stream);
    int Fail(int error);
    void ClearUnlocked();
    void StoreObject(std::unique_ptr<SkinDataObject> object);
    SkinDataObject* FindObjectUnlocked(const char* name);

    ObjectMap objects_;                       // top-level objects by NAME
    ObjectMap images_;                        // Image objects by NAME
    ObjectMap sounds_;                        // Voice objects by NAME
    SkinSysColorTable* colorTable_ = nullptr; // last type-44 object kept
    uint8_t header_[kHeaderSize] = {};        // copy of the stream header
    uint8_t major_ = kMajorVersion;           // version of the loaded stream
    uint8_t minor_ = kMinorVersion;
    int lastError_ = kSkinPackageOk;          // 0 or a SkinPackageError
    SkinResourcePool resources_;              // what Resolve made (locks itself)
    mutable std::recursive_mutex lock_;       // guards all of the above
};

#endif
