// SkinDataObject: one typed, named object of a skin, with its stored fields,
// its children and its table of named properties; and the three shared
// bodies that most types build on (nine-part frames, caption elements,
// controls).
//
// Every class lists its stored fields once, in stream order, as a field
// table (SkinField). Load and Save walk that table, so the reader and the
// writer (the skin compiler uses the same Save) cannot drift apart; the
// table also gives the compiler a name for every field. Fields present only
// from some minor version carry that range. Properties (SkinProperty) are
// the names the skinners look values up by; several may point at one field.
// Platform-neutral: GDI objects come through SkinGdi().
#ifndef QUORBEL_SKIN_CORE_SKIN_DATA_H
#define QUORBEL_SKIN_CORE_SKIN_DATA_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/skin_data_gdi.h"
#include "skin/core/skin_data_types.h"
#include "skin/core/skin_resource_pool.h"
#include "skin/core/skin_stream.h"

class CSkinImage;
class SkinPackage;
class SkinDataObject;

// One entry of the property table.
struct SkinProperty {
    uint32_t valueType = 0;     // SkinValueType
    uint32_t width = 0;         // bytes of the value
    void* storage = nullptr;    // the value, inside the owner or ownedValue
    std::unique_ptr<char[]> text;  // generic entries only: owned text, or none
    char name[31] = {};         // at most 30 characters, case as registered
    char defaultText[51] = {};  // at most 50 characters
    bool ownsStorage = false;   // storage is ownedValue (generic entries)
    std::vector<uint8_t> ownedValue;  // the value buffer of a generic entry
};

// How a field is stored (and how the compiler reads its value).
enum class SkinFieldKind : uint8_t {
    Font,         // SkinFont, 64
    String,       // zero-padded text of `width` bytes
    Color,        // COLORREF, 4
    ImageRef,     // SkinImageRef, 72
    LayoutImage,  // SkinLayoutImage, 88
    Bool,         // u32, 4
    Int,          // i32, 4
    UInt,         // u32, 4
    TextEffect,   // SkinTextEffect, 16
    Rect,         // SkinRect, 16
    Words,        // `width` / 4 uninterpreted u32
    Byte,         // one byte
    Children,     // child count and each child (the base body's end)
    Custom,       // read and written by the owning class
};

struct SkinField {
    std::string name;          // the field's name in skin descriptions
    SkinFieldKind kind;
    void* storage;             // where the value lives in the object
    uint32_t width;            // stored bytes (0 for Children and Custom)
    uint8_t minMinor = 0;      // read only from streams whose minor version
    uint8_t maxMinor = 255;    //   lies in minMinor .. maxMinor
    bool written = true;       // false: an old layout's field, read only
    SkinDataObject* embedded = nullptr;  // Custom: an object stored inside

    bool ReadsAt(uint8_t minor) const { return minor >= minMinor && minor <= maxMinor; }
};

// A part of a skin image cut out for drawing (memory only). The cut and its
// region belong to the skin's resource pool and are shared by every equal
// part; holding the bitmap keeps both alive.
struct SkinResolvedPart {
    int32_t width = 0;
    int32_t height = 0;
    int32_t reserved = 0;                 // always 0
    SkinGdiHandle region = nullptr;       // non-key pixels, when transparent
    std::shared_ptr<CSkinImage> bitmap;   // the cropped part

    SkinResolvedPart();
    ~SkinResolvedPart();
};

class SkinDataObject {
public:
    typedef std::map<std::string, std::unique_ptr<SkinDataObject>> ChildMap;
    typedef std::map<std::string, SkinProperty> PropertyMap;

    explicit SkinDataObject(uint32_t type);
    SkinDataObject(const SkinDataObject&) = delete;
    SkinDataObject& operator=(const SkinDataObject&) = delete;
    virtual ~SkinDataObject();

    virtual SkinColor GetKeyColor() const { return 0xFF00FF; }
    // Releases what Resolve made; the base forwards to the children.
    virtual void ReleaseGdi();
    // Builds GDI objects and image parts from the loaded skin; the base
    // forwards to the children.
    virtual void Resolve(SkinPackage& package);
    // Writes the type id and the body.
    virtual void Save(SkinMemoryStream& stream) const;
    // Reads the body (the caller has read the type id), under the version
    // gates of the stream's version. Short reads leave the defaults.
    virtual void Load(SkinMemoryStream& stream);
    virtual void SetRect(const SkinRect& rect) { this->rect = rect; }
    // Upper-cases at most 99 characters of name and looks it up exactly.
    virtual SkinProperty* FindProperty(const char* name);

    // Registers a property pointing at storage (not owned); a second entry
    // of the same name replaces the first.
    void AddProperty(uint32_t valueType, const char* name, const char* defaultText,
                     void* storage, uint32_t width);

    uint32_t GetType() const { return type_; }
    const char* GetName() const { return name; }
    void SetName(const char* text) { CopySkinText(name, sizeof name, text); }

    // The child with this type id and "CONTROLID", in name order.
    SkinDataObject* FindChild(uint32_t type, int32_t controlId) const;
    // The child of that name, else the same search in each child in name
    // order, depth first.
    SkinDataObject* FindChildByName(const char* childName) const;
    // Enters a child under its NAME unless one of that name is there
    // (then the new one is dropped and false returned).
    bool AddChild(std::unique_ptr<SkinDataObject> child);
    const ChildMap& Children() const { return children_; }

    const std::vector<SkinField>& Fields() const { return fields_; }
    // A field by its description name, ignoring case; null when absent.
    const SkinField* FindField(const char* fieldName) const;
    const PropertyMap& Properties() const { return properties_; }

    // Crops the reference's part out of its image into `part`, with the
    // key-colour region when the skin uses its transparent colour; the
    // package's resource pool makes (or shares) it within its budgets.
    static void ResolvePart(SkinPackage& package, const SkinImageRef& ref, SkinResolvedPart& part);
    static void ReleasePart(SkinResolvedPart& part);

    // --- stored fields --------------------------------------------------
    SkinColor backColor;   // background colour of several types
    SkinColor textColor;   // text colour of several types
    SkinColor keyColor;    // transparent colour (0x0000FF)
    SkinRect rect;         // placement in the parent (0, 0, 60, 30)
    uint32_t autoPlace;    // "AUTOPLACE"
    char text[51];         // stored and carried
    uint32_t value;        // stored and carried
    char name[51];         // "NAME"

protected:
    SkinField& AddField(const std::string& fieldName, SkinFieldKind kind, void* storage,
                        uint32_t width = 0, uint8_t minMinor = 0, uint8_t maxMinor = 255);
    // A field that is also a property of the same name.
    SkinField& AddPropertyField(const std::string& fieldName, SkinFieldKind kind, void* storage,
                                uint32_t width = 0, uint8_t minMinor = 0, uint8_t maxMinor = 255);

    // Reads or writes fields [first, last) of the table.
    void LoadFields(SkinMemoryStream& stream, size_t first, size_t last);
    void SaveFields(SkinMemoryStream& stream, size_t first, size_t last) const;
    // Fix-ups after reading a stream of an older version.
    virtual void AfterLoad(uint8_t minor) {}
    virtual void LoadCustom(SkinMemoryStream& stream, const SkinField& field) {}
    virtual void SaveCustom(SkinMemoryStream& stream, const SkinField& field) const {}

    // Number of fields of the base body (through the children).
    size_t baseFieldCount_ = 0;

private:
    void LoadChildren(SkinMemoryStream& stream);
    void SaveChildren(SkinMemoryStream& stream) const;

    ChildMap children_;            // owned, keyed by NAME
    uint32_t type_;                // skin type id
    PropertyMap properties_;       // by name, case-sensitive
    std::vector<SkinField> fields_;  // stored fields in stream order
};

// The nine parts of a frame, in part order.
enum SkinPart : int {
    kPartTopLeft, kPartMiddleTop, kPartTopRight, kPartMiddleLeft, kPartClient,
    kPartMiddleRight, kPartBottomLeft, kPartBottomMiddle, kPartBottomRight,
    kPartCount
};
// The registered spellings ("ClIENT", "BOTTOMLEFt", "BOTtoMRIGHT" among them).
extern const char* const kSkinPartPropertyNames[kPartCount];

// Nine-part frames with a caption font: FrameWnd, PopupMenu, Tooltip.
class SkinPartsData : public SkinDataObject {
public:
    explicit SkinPartsData(uint32_t type);
    ~SkinPartsData() override;

    void ReleaseGdi() override;
    void Resolve(SkinPackage& package) override;
    // Fits the part rectangles to a new client size; the base rectangle
    // stays.
    void SetRect(const SkinRect& rect) override;

    // (0, 0, right, bottom) of the BOTTOMRIGHT part rectangle.
    SkinRect GetSizeRect() const;
    const SkinRect& GetPartRect(int i) const { return partRects[i]; }
    const SkinImageRef& GetPartImage(int i) const { return partImages[i]; }
    const SkinResolvedPart& GetResolvedPart(int i) const { return resolved_[i]; }

    SkinImageRef partImages[18];   // nine active parts, then nine inactive
    SkinRect partRects[9];         // in part order
    SkinFont captionFont;
    uint32_t captionValue;
    uint32_t captionValue2;
    SkinColor activeColor;
    SkinColor inactiveColor;
    SkinColor thirdColor;
    SkinTextEffect captionEffect;
    SkinLayoutImage activeIconic;    // drawn for a minimized active window
    SkinLayoutImage inactiveIconic;  // and for an inactive one

protected:
    void AfterLoad(uint8_t minor) override;

private:
    SkinResolvedPart resolved_[18];
};

// Caption elements and the menu bar: CaptionButton, CaptionStatic, MenuBar.
class SkinElementData : public SkinDataObject {
public:
    explicit SkinElementData(uint32_t type);

    SkinImageRef image;         // the element's image
    uint32_t elementValue;      // stored and carried
    uint32_t commandId;         // posted as WM_COMMAND when clicked (1000)
    uint32_t visibility;        // when the element is shown (0 always)
    char elementText[51];       // stored and carried
};

// Controls: the font, a background image and the control id.
class SkinControlData : public SkinDataObject {
public:
    // controlImage: the property name of the background, or null when the
    // type registers none.
    SkinControlData(uint32_t type, const char* controlImage);
    ~SkinControlData() override;

    void ReleaseGdi() override;
    void Resolve(SkinPackage& package) override;
    void SetControlId(int32_t id) { controlId = id; }
    SkinGdiHandle GetFontHandle() const { return font_ ? font_->Get() : nullptr; }

    SkinFont font;                // "FONT"
    SkinLayoutImage background;   // the type's control image
    int32_t controlId;            // "CONTROLID"
    uint32_t controlValue;        // stored and carried
    uint32_t autoSkinFont;        // "AUTOSKINFONT"

protected:
    void AfterLoad(uint8_t minor) override;

    // Index of the first field after the control body.
    size_t controlFieldEnd_ = 0;

private:
    SkinRect oldRect_;                  // read from 1.4 to 1.7 and dropped
    std::shared_ptr<const SkinGdiObject> font_;  // from the skin's pool, by Resolve
};

#endif
