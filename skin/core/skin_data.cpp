#include "skin/core/skin_data.h"

#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_package.h"

// ---------------------------------------------------------------------------
// Records and names

namespace {

struct TypeInfo {
    const char* name;
    bool topLevel;
    bool child;
};

// Ids 0 to 44 (id 0 has a name but GetSkinTypeName never returns it).
const TypeInfo kTypes[45] = {
    {"NONE", false, false},         {"FrameWnd", true, false},
    {"ShapeWnd", true, false},      {"CaptionButton", false, true},
    {"Button", true, true},         {"CheckBox", true, true},
    {"ComboBox", true, true},       {"Edit", true, true},
    {"GroupBox", true, true},       {"ListBox", true, true},
    {"ProgressBar", true, true},    {"Radio", true, true},
    {"ScrollBar", true, true},      {"Slider", true, true},
    {"Static", true, true},         {"StatusBar", true, true},
    {"Tab", true, true},            {"PopupMenu", true, true},
    {"Image", false, false},        {"Voice", false, false},
    {"MenuBar", false, false},      {"MenuItem", false, false},
    {"Area", false, false},         {"ToolBar", true, true},
    {"ControlBar", true, true},     {"Application", true, true},
    {"ScrollControl", true, true},  {"Spin", true, true},
    {"ListView", true, true},       {"TreeView", true, true},
    {"RichEdit", true, true},       {"DateTime", true, true},
    {"IPAddress", false, false},    {"ComboBoxEx", true, true},
    {"HotKey", false, false},       {"MonthCalendar", true, true},
    {"Rebar", true, true},          {"Header", true, true},
    {"CaptionStatic", true, true},  {"ImageList", true, false},
    {"Animate", true, true},        {"LinkWnd", false, false},
    {"Tooltip", true, true},        {"TooltipAnchor", false, false},
    {"SysColorTable", true, true},
};

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool SameTextNoCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return i == a.size() && b[i] == '\0';
}

uint32_t WidthOfKind(SkinFieldKind kind, uint32_t width)
{
    switch (kind) {
    case SkinFieldKind::Font: return kSkinFontWidth;
    case SkinFieldKind::Color:
    case SkinFieldKind::Bool:
    case SkinFieldKind::Int:
    case SkinFieldKind::UInt: return 4;
    case SkinFieldKind::ImageRef: return kSkinImageRefWidth;
    case SkinFieldKind::LayoutImage: return kSkinLayoutImageWidth;
    case SkinFieldKind::TextEffect: return kSkinTextEffectWidth;
    case SkinFieldKind::Rect: return sizeof(SkinRect);
    case SkinFieldKind::Byte: return 1;
    case SkinFieldKind::String:
    case SkinFieldKind::Words: return width;
    case SkinFieldKind::Children:
    case SkinFieldKind::Custom: return 0;
    }
    return 0;
}

uint32_t ValueTypeOfKind(SkinFieldKind kind)
{
    switch (kind) {
    case SkinFieldKind::Font: return kSkinValueFont;
    case SkinFieldKind::String: return kSkinValueString;
    case SkinFieldKind::Color: return kSkinValueColor;
    case SkinFieldKind::ImageRef: return kSkinValueImageRef;
    case SkinFieldKind::LayoutImage: return kSkinValueLayoutImage;
    case SkinFieldKind::Bool: return kSkinValueBool;
    case SkinFieldKind::TextEffect: return kSkinValueTextEffect;
    default: return kSkinValueInt;
    }
}

// Fixed-width texts inside records are terminated after every read.
void TerminateTexts(const SkinField& f)
{
    switch (f.kind) {
    case SkinFieldKind::String:
        static_cast<char*>(f.storage)[f.width - 1] = '\0';
        break;
    case SkinFieldKind::Font: {
        SkinFont* font = static_cast<SkinFont*>(f.storage);
        font->logFont.faceName[sizeof font->logFont.faceName - 1] = '\0';
        break;
    }
    case SkinFieldKind::ImageRef: {
        SkinImageRef* ref = static_cast<SkinImageRef*>(f.storage);
        ref->name[sizeof ref->name - 1] = '\0';
        break;
    }
    case SkinFieldKind::LayoutImage: {
        SkinLayoutImage* img = static_cast<SkinLayoutImage*>(f.storage);
        img->name[sizeof img->name - 1] = '\0';
        break;
    }
    default:
        break;
    }
}

}  // namespace

const char* GetSkinTypeName(uint32_t id)
{
    return (id >= 1 && id <= 44) ? kTypes[id].name : nullptr;
}

uint32_t FindSkinTypeByName(const char* name)
{
    if (!name)
        return 0;
    for (uint32_t id = 1; id <= 44; ++id)
        if (std::strcmp(kTypes[id].name, name) == 0)
            return id;
    return 0;
}

bool IsSkinTopLevelType(uint32_t id)
{
    return id == kSkinGeneric || (id <= 44 && kTypes[id].topLevel);
}

bool IsSkinChildType(uint32_t id)
{
    return id == kSkinGeneric || (id <= 44 && kTypes[id].child);
}

SkinImageRef MakeEmptyImageRef()
{
    SkinImageRef ref{};
    return ref;
}

SkinLayoutImage MakeEmptyLayoutImage()
{
    SkinLayoutImage img{};
    return img;
}

SkinFont MakeSkinFont(const char* face, int32_t height, int32_t weight)
{
    SkinFont font{};
    font.logFont.height = height;
    font.logFont.weight = weight;
    font.logFont.outPrecision = 3;   // OUT_STROKE_PRECIS
    font.logFont.clipPrecision = 2;  // CLIP_STROKE_PRECIS
    font.logFont.quality = 1;        // DRAFT_QUALITY
    CopySkinText(font.logFont.faceName, sizeof font.logFont.faceName, face);
    return font;
}

SkinTextEffect MakeDefaultTextEffect()
{
    SkinTextEffect effect{};
    PackSkinColor24(effect.textColor, SkinSysColor(kSkinColorBtnText));
    effect.alpha = 255;
    PackSkinColor24(effect.shadowColor, SkinSysColor(kSkinColorBtnShadow));
    effect.flags = 0x8004;
    return effect;
}

void PackSkinColor24(uint8_t dest[3], SkinColor c)
{
    dest[0] = uint8_t(c);
    dest[1] = uint8_t(c >> 8);
    dest[2] = uint8_t(c >> 16);
}

SkinColor UnpackSkinColor24(const uint8_t src[3]) { return SkinRgb(src[0], src[1], src[2]); }

bool IsImageRefEmpty(const SkinImageRef& ref) { return ref.source.IsEmpty() || ref.name[0] == '\0'; }

bool IsLayoutImageEmpty(const SkinLayoutImage& img)
{
    return img.source.IsEmpty() || img.name[0] == '\0';
}

void CopySkinText(char* dest, size_t width, const char* src)
{
    if (!width)
        return;
    size_t n = 0;
    if (src)
        for (; n + 1 < width && src[n]; ++n)
            dest[n] = src[n];
    std::memset(dest + n, 0, width - n);
}

const char* const kSkinPartPropertyNames[kPartCount] = {
    "TOPLEFT", "MIDDLETOP", "TOPRIGHT", "MIDDLELEFT", "ClIENT",
    "MIDDLERIGHT", "BOTTOMLEFt", "BOTTOMMIDDLE", "BOTtoMRIGHT",
};

// Upper-case spellings for field names.
static const char* const kPartFieldNames[kPartCount] = {
    "TOPLEFT", "MIDDLETOP", "TOPRIGHT", "MIDDLELEFT", "CLIENT",
    "MIDDLERIGHT", "BOTTOMLEFT", "BOTTOMMIDDLE", "BOTTOMRIGHT",
};

// ---------------------------------------------------------------------------
// SkinResolvedPart

SkinResolvedPart::SkinResolvedPart() = default;
SkinResolvedPart::~SkinResolvedPart() = default;

// ---------------------------------------------------------------------------
// SkinDataObject

SkinDataObject::SkinDataObject(uint32_t type)
    : backColor(SkinSysColor(kSkinColorBtnFace)),
      textColor(SkinSysColor(kSkinColorWindowText)),
      keyColor(0x0000FF),
      rect(MakeSkinRect(0, 0, 60, 30)),
      autoPlace(0),
      value(0),
      type_(type)
{
    std::memset(text, 0, sizeof text);
    std::memset(name, 0, sizeof name);
    AddPropertyField("NAME", SkinFieldKind::String, name, sizeof name);
    AddField("BACKCOLOR", SkinFieldKind::Color, &backColor);
    AddField("TEXTCOLOR", SkinFieldKind::Color, &textColor);
    AddField("KEYCOLOR", SkinFieldKind::Color, &keyColor);
    AddField("TEXT", SkinFieldKind::String, text, sizeof text);
    AddField("VALUE", SkinFieldKind::UInt, &value);
    AddField("RECT", SkinFieldKind::Rect, &rect, 0, 8);
    AddPropertyField("AUTOPLACE", SkinFieldKind::Bool, &autoPlace, 0, 8);
    AddField("CHILDREN", SkinFieldKind::Children, nullptr);
    baseFieldCount_ = fields_.size();
}

SkinDataObject::~SkinDataObject() = default;

void SkinDataObject::AddProperty(uint32_t valueType, const char* propName, const char* defaultText,
                                 void* storage, uint32_t width)
{
    SkinProperty prop;
    prop.valueType = valueType;
    prop.width = width;
    prop.storage = storage;
    CopySkinText(prop.name, sizeof prop.name, propName);
    CopySkinText(prop.defaultText, sizeof prop.defaultText, defaultText);
    prop.ownsStorage = false;
    properties_[propName ? propName : ""] = std::move(prop);
}

SkinProperty* SkinDataObject::FindProperty(const char* propName)
{
    if (!propName)
        return nullptr;
    char upper[100];
    size_t n = 0;
    for (; n < 99 && propName[n]; ++n)
        upper[n] = AsciiUpper(propName[n]);
    upper[n] = '\0';
    auto it = properties_.find(upper);
    return it == properties_.end() ? nullptr : &it->second;
}

SkinField& SkinDataObject::AddField(const std::string& fieldName, SkinFieldKind kind, void* storage,
                                    uint32_t width, uint8_t minMinor, uint8_t maxMinor)
{
    SkinField f;
    f.name = fieldName;
    f.kind = kind;
    f.storage = storage;
    f.width = WidthOfKind(kind, width);
    f.minMinor = minMinor;
    f.maxMinor = maxMinor;
    fields_.push_back(f);
    return fields_.back();
}

SkinField& SkinDataObject::AddPropertyField(const std::string& fieldName, SkinFieldKind kind,
                                            void* storage, uint32_t width, uint8_t minMinor,
                                            uint8_t maxMinor)
{
    SkinField& f = AddField(fieldName, kind, storage, width, minMinor, maxMinor);
    AddProperty(ValueTypeOfKind(kind), fieldName.c_str(), "", storage, f.width);
    return f;
}

const SkinField* SkinDataObject::FindField(const char* fieldName) const
{
    if (!fieldName)
        return nullptr;
    for (const SkinField& f : fields_)
        if (SameTextNoCase(f.name, fieldName))
            return &f;
    return nullptr;
}

void SkinDataObject::LoadFields(SkinMemoryStream& stream, size_t first, size_t last)
{
    const uint8_t minor = stream.Minor();
    for (size_t i = first; i < last && i < fields_.size(); ++i) {
        const SkinField& f = fields_[i];
        if (!f.ReadsAt(minor))
            continue;
        switch (f.kind) {
        case SkinFieldKind::Children:
            LoadChildren(stream);
            break;
        case SkinFieldKind::Custom:
            LoadCustom(stream, f);
            break;
        default:
            stream.Read(f.storage, f.width);
            TerminateTexts(f);
            break;
        }
    }
}

void SkinDataObject::SaveFields(SkinMemoryStream& stream, size_t first, size_t last) const
{
    const uint8_t minor = stream.Minor();
    for (size_t i = first; i < last && i < fields_.size(); ++i) {
        const SkinField& f = fields_[i];
        if (!f.written || !f.ReadsAt(minor))
            continue;
        switch (f.kind) {
        case SkinFieldKind::Children:
            SaveChildren(stream);
            break;
        case SkinFieldKind::Custom:
            SaveCustom(stream, f);
            break;
        default:
            stream.Write(f.storage, f.width);
            break;
        }
    }
}

void SkinDataObject::Load(SkinMemoryStream& stream)
{
    LoadFields(stream, 0, fields_.size());
    AfterLoad(stream.Minor());
}

void SkinDataObject::Save(SkinMemoryStream& stream) const
{
    stream.WriteU32(type_);
    SaveFields(stream, 0, fields_.size());
}

void SkinDataObject::LoadChildren(SkinMemoryStream& stream)
{
    uint32_t stored = 0;
    stream.ReadU32(stored);
    const int32_t count = int32_t(stored);
    if (count <= 0)
        return;
    if (!stream.EnterChildren())
        return;
    for (int32_t i = 0; i < count && !stream.AtEnd(); ++i) {
        uint32_t type = 0;
        stream.ReadU32(type);
        if (!IsSkinChildType(type))
            continue;  // counts as one child and reads nothing more
        if (!stream.CountObject())
            break;
        std::unique_ptr<SkinDataObject> child = CreateSkinDataObject(type);
        child->Load(stream);
        AddChild(std::move(child));
    }
    stream.LeaveChildren();
}

void SkinDataObject::SaveChildren(SkinMemoryStream& stream) const
{
    stream.WriteU32(uint32_t(children_.size()));
    for (const auto& entry : children_)
        entry.second->Save(stream);
}

bool SkinDataObject::AddChild(std::unique_ptr<SkinDataObject> child)
{
    if (!child)
        return false;
    std::string key(child->name);
    if (children_.count(key))
        return false;
    children_.emplace(key, std::move(child));
    return true;
}

SkinDataObject* SkinDataObject::FindChild(uint32_t type, int32_t controlId) const
{
    for (const auto& entry : children_) {
        SkinDataObject* child = entry.second.get();
        if (child->GetType() != type)
            continue;
        SkinProperty* id = child->FindProperty("CONTROLID");
        int32_t childId = 0;
        if (id && id->storage)
            std::memcpy(&childId, id->storage, 4);
        if (childId == controlId)
            return child;
    }
    return nullptr;
}

SkinDataObject* SkinDataObject::FindChildByName(const char* childName) const
{
    if (!childName)
        return nullptr;
    auto it = children_.find(childName);
    if (it != children_.end())
        return it->second.get();
    for (const auto& entry : children_)
        if (SkinDataObject* found = entry.second->FindChildByName(childName))
            return found;
    return nullptr;
}

void SkinDataObject::ReleaseGdi()
{
    for (auto& entry : children_)
        entry.second->ReleaseGdi();
}

void SkinDataObject::Resolve(SkinPackage& package)
{
    for (auto& entry : children_)
        entry.second->Resolve(package);
}

void SkinDataObject::ResolvePart(SkinPackage& package, const SkinImageRef& ref, SkinResolvedPart& part)
{
    ReleasePart(part);
    SkinColor key = 0xFF00FF;
    bool transparent = false;
    if (auto* app = dynamic_cast<SkinFileInfo*>(package.FindObjectByType(kSkinApplication))) {
        key = app->keyColor;
        transparent = app->useTransparentColor != 0;
    }
    CSkinImage* image = package.FindImage(ref.name);
    if (!image)
        return;
    std::shared_ptr<const SkinCutPart> cut =
        package.Resources().CutPart(ref.name, *image, ref.source, transparent, key);
    if (!cut)
        return;
    part.region = cut->region ? cut->region->Get() : nullptr;
    part.width = cut->bitmap->GetWidth();
    part.height = cut->bitmap->GetHeight();
    // The painters draw the cut; they do not change it.
    part.bitmap = std::shared_ptr<CSkinImage>(cut, cut->bitmap.get());
}

void SkinDataObject::ReleasePart(SkinResolvedPart& part)
{
    part.region = nullptr;
    part.bitmap.reset();
    part.width = part.height = part.reserved = 0;
}

// ---------------------------------------------------------------------------
// SkinPartsData

SkinPartsData::SkinPartsData(uint32_t type)
    : SkinDataObject(type),
      captionFont(MakeSkinFont("Arial", -12, 400)),
      captionValue(0),
      captionValue2(0),
      activeColor(0xFF0000),
      inactiveColor(0x727200),
      thirdColor(0xFFFFFF),
      captionEffect(MakeDefaultTextEffect()),
      activeIconic(MakeEmptyLayoutImage()),
      inactiveIconic(MakeEmptyLayoutImage())
{
    static const SkinRect kFrame[kPartCount] = {
        {0, 0, 86, 30},    {86, 0, 173, 30},    {173, 0, 276, 30},
        {0, 30, 10, 148},  {10, 30, 266, 148},  {266, 30, 276, 148},
        {0, 148, 10, 160}, {10, 148, 266, 160}, {266, 148, 276, 160},
    };
    for (int i = 0; i < 18; ++i)
        partImages[i] = MakeEmptyImageRef();
    for (int i = 0; i < kPartCount; ++i)
        partRects[i] = kFrame[i];
    for (int i = 0; i < 18; ++i)
        AddField(std::string(i < 9 ? "ACTIVE." : "INACTIVE.") + kPartFieldNames[i % 9],
                 SkinFieldKind::ImageRef, &partImages[i]);
    for (int i = 0; i < kPartCount; ++i)
        AddField(std::string("RECT.") + kPartFieldNames[i], SkinFieldKind::Rect, &partRects[i]);
    AddField("CAPTION.FONT", SkinFieldKind::Font, &captionFont);
    AddField("CAPTION.VALUE", SkinFieldKind::UInt, &captionValue);
    AddField("CAPTION.VALUE2", SkinFieldKind::UInt, &captionValue2);
    AddField("ACTIVECOLOR", SkinFieldKind::Color, &activeColor);
    AddField("INACTIVECOLOR", SkinFieldKind::Color, &inactiveColor);
    AddField("THIRDCOLOR", SkinFieldKind::Color, &thirdColor);
    AddField("CAPTION.TEXTEFFECT", SkinFieldKind::TextEffect, &captionEffect, 0, 3);
    AddField("ICONIC.ACTIVE", SkinFieldKind::LayoutImage, &activeIconic, 0, 13);
    AddField("ICONIC.INACTIVE", SkinFieldKind::LayoutImage, &inactiveIconic, 0, 13);
}

SkinPartsData::~SkinPartsData() = default;

void SkinPartsData::AfterLoad(uint8_t minor)
{
    if (minor >= 3 && minor <= 8)
        captionEffect = MakeDefaultTextEffect();
}

void SkinPartsData::SetRect(const SkinRect& newRect)
{
    SkinRect& client = partRects[kPartClient];
    const int64_t dx = int64_t(newRect.Width()) - client.Width();
    const int64_t dy = int64_t(newRect.Height()) - client.Height();
    auto shift = [](int32_t& edge, int64_t by) { edge = ClampToInt32(edge + by); };
    client.right = ClampToInt32(int64_t(client.left) + newRect.Width());
    client.bottom = ClampToInt32(int64_t(client.top) + newRect.Height());
    for (int i : {kPartMiddleTop, kPartTopRight, kPartMiddleRight, kPartBottomMiddle, kPartBottomRight})
        shift(partRects[i].right, dx);
    for (int i : {kPartTopRight, kPartMiddleRight, kPartBottomRight})
        shift(partRects[i].left, dx);
    for (int i : {kPartMiddleLeft, kPartMiddleRight})
        shift(partRects[i].bottom, dy);
    for (int i : {kPartBottomLeft, kPartBottomMiddle, kPartBottomRight}) {
        shift(partRects[i].top, dy);
        shift(partRects[i].bottom, dy);
    }
}

SkinRect SkinPartsData::GetSizeRect() const
{
    return MakeSkinRect(0, 0, partRects[kPartBottomRight].right, partRects[kPartBottomRight].bottom);
}

void SkinPartsData::ReleaseGdi()
{
    for (SkinResolvedPart& part : resolved_)
        ReleasePart(part);
    SkinDataObject::ReleaseGdi();
}

void SkinPartsData::Resolve(SkinPackage& package)
{
    for (SkinResolvedPart& part : resolved_)
        ReleasePart(part);
    for (int i = 0; i < 18; ++i)
        ResolvePart(package, partImages[i], resolved_[i]);
    SkinDataObject::Resolve(package);
}

// ---------------------------------------------------------------------------
// SkinElementData

SkinElementData::SkinElementData(uint32_t type)
    : SkinDataObject(type),
      image(MakeEmptyImageRef()),
      elementValue(0),
      commandId(1000),
      visibility(0)
{
    rect = MakeSkinRect(1, 1, 21, 21);
    std::memset(elementText, 0, sizeof elementText);
    AddField("IMAGE", SkinFieldKind::ImageRef, &image);
    // Streams before 1.8 kept the element's rectangle here.
    AddField("OLDRECT", SkinFieldKind::Rect, &rect, 0, 0, 7).written = false;
    AddField("ELEMENTVALUE", SkinFieldKind::UInt, &elementValue);
    AddField("COMMANDID", SkinFieldKind::UInt, &commandId);
    AddField("VISIBILITY", SkinFieldKind::UInt, &visibility, 0, 11);
    AddField("ELEMENTTEXT", SkinFieldKind::String, elementText, sizeof elementText, 11);
}

// ---------------------------------------------------------------------------
// SkinControlData

SkinControlData::SkinControlData(uint32_t type, const char* controlImage)
    : SkinDataObject(type),
      font(MakeSkinFont("MS Sans Serif", -12, 400)),
      background(MakeEmptyLayoutImage()),
      controlId(0),
      controlValue(0),
      autoSkinFont(0)
{
    AddPropertyField("FONT", SkinFieldKind::Font, &font);
    if (controlImage)
        AddPropertyField(controlImage, SkinFieldKind::LayoutImage, &background);
    else
        AddField("CONTROLIMAGE", SkinFieldKind::LayoutImage, &background);
    // Streams 1.4 to 1.7 kept a rectangle here that is no longer used.
    AddField("OLDRECT", SkinFieldKind::Rect, &oldRect_, 0, 4, 7).written = false;
    AddPropertyField("CONTROLID", SkinFieldKind::Int, &controlId, 0, 6);
    AddField("CONTROLVALUE", SkinFieldKind::UInt, &controlValue, 0, 8);
    AddPropertyField("AUTOSKINFONT", SkinFieldKind::Bool, &autoSkinFont, 0, 10);
    controlFieldEnd_ = Fields().size();
}

SkinControlData::~SkinControlData() = default;

void SkinControlData::AfterLoad(uint8_t minor)
{
    if (minor >= 4 && minor <= 7)
        rect = MakeSkinRect(0, 0, 60, 30);
    if (minor == 6)
        controlId = 0;
}

void SkinControlData::ReleaseGdi()
{
    SkinDataObject::ReleaseGdi();
    font_.reset();
}

void SkinControlData::Resolve(SkinPackage& package)
{
    SkinDataObject::Resolve(package);
    font_ = package.Resources().Font(font.logFont);
}
