#include "tools/skinc/skin_description.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool SameNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    return true;
}

std::string Trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return "";
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Cuts a comment: '#' as the first non-blank character, or a '#' with blanks
// on both sides outside quotes ("#RRGGBB" colours are no comments).
std::string StripComment(const std::string& line)
{
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && quoted) {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            quoted = !quoted;
            continue;
        }
        if (line[i] != '#' || quoted)
            continue;
        const bool blankBefore = line.find_first_not_of(" \t") == i || line[i - 1] == ' ' || line[i - 1] == '\t';
        const bool blankAfter = i + 1 == line.size() || line[i + 1] == ' ' || line[i + 1] == '\t';
        if (line.find_first_not_of(" \t") == i || (blankBefore && blankAfter))
            return line.substr(0, i);
    }
    return line;
}

// Splits on blanks; "quoted" tokens keep blanks and take \" \\ \n.
bool Tokenize(const std::string& text, std::vector<std::string>& tokens, std::string& error)
{
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
            ++i;
            continue;
        }
        std::string token;
        if (text[i] == '"') {
            ++i;
            bool closed = false;
            while (i < text.size()) {
                char c = text[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < text.size()) {
                    const char e = text[i++];
                    c = e == 'n' ? '\n' : e == 't' ? '\t' : e;
                }
                token += c;
            }
            if (!closed) {
                error = "unterminated quoted text";
                return false;
            }
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r')
                token += text[i++];
        }
        tokens.push_back(token);
    }
    return true;
}

bool ParseInt(const std::string& s, int64_t lo, int64_t hi, int64_t& out)
{
    if (s.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 0);
    if (errno || *end != '\0' || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

bool ParseColor(const std::string& s, SkinColor& out)
{
    if (s.size() != 7 || s[0] != '#')
        return false;
    for (size_t i = 1; i < 7; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(s[i])))
            return false;
    const unsigned long rgb = std::strtoul(s.c_str() + 1, nullptr, 16);
    out = SkinRgb(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
    return true;
}

bool ParseBool(const std::string& s, uint32_t& out)
{
    const std::string u = [&] {
        std::string r;
        for (char c : s)
            r += Upper(c);
        return r;
    }();
    if (u == "1" || u == "YES" || u == "TRUE") {
        out = 1;
        return true;
    }
    if (u == "0" || u == "NO" || u == "FALSE") {
        out = 0;
        return true;
    }
    return false;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::string DirOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Where a field's value lives and how it is written.
struct Target {
    SkinFieldKind kind = SkinFieldKind::Custom;
    void* storage = nullptr;
    uint32_t width = 0;
    std::string name;  // the field's own name
    const SkinField* field = nullptr;  // its stored field, when it has one
};

SkinFieldKind KindOfValueType(uint32_t valueType)
{
    switch (valueType) {
    case kSkinValueFont: return SkinFieldKind::Font;
    case kSkinValueString: return SkinFieldKind::String;
    case kSkinValueColor: return SkinFieldKind::Color;
    case kSkinValueImageRef: return SkinFieldKind::ImageRef;
    case kSkinValueLayoutImage: return SkinFieldKind::LayoutImage;
    case kSkinValueBool: return SkinFieldKind::Bool;
    case kSkinValueTextEffect: return SkinFieldKind::TextEffect;
    default: return SkinFieldKind::Int;
    }
}

// A field by its name, a property name, or an embedded object's prefix.
bool FindTarget(SkinDataObject& object, const std::string& name, Target& target)
{
    if (const SkinField* f = object.FindField(name.c_str())) {
        if (f->kind != SkinFieldKind::Custom && f->kind != SkinFieldKind::Children) {
            target.kind = f->kind;
            target.storage = f->storage;
            target.width = f->width;
            target.name = f->name;
            target.field = f;
            return true;
        }
    }
    for (const auto& entry : object.Properties()) {
        if (!SameNoCase(entry.first, name))
            continue;
        const SkinProperty& prop = entry.second;
        for (const SkinField& f : object.Fields())
            if (f.storage == prop.storage && f.width == prop.width) {
                target.kind = f.kind;
                target.storage = f.storage;
                target.width = f.width;
                target.name = f.name;
                target.field = &f;
                return true;
            }
        target.kind = KindOfValueType(prop.valueType);
        target.storage = prop.storage;
        target.width = prop.width;
        target.name = entry.first;
        return true;
    }
    for (const SkinField& f : object.Fields()) {
        if (!f.embedded || name.size() <= f.name.size() + 1)
            continue;
        if (SameNoCase(name.substr(0, f.name.size()), f.name) && name[f.name.size()] == '.')
            return FindTarget(*f.embedded, name.substr(f.name.size() + 1), target);
    }
    return false;
}

}  // namespace

struct SkinDescriptionCompiler::State {
    std::string path;
    int line = 0;
    std::vector<std::string>* errors = nullptr;
    SkinPackage* package = nullptr;
    std::vector<std::string> artworkDirs;
    uint8_t minor = SkinPackage::kMinorVersion;  // version of the stream written

    SkinDataObject* current = nullptr;           // object of the section, or null
    bool currentIsImage = false;
    std::map<SkinImageObject*, int> imagesWithoutFile;  // image -> its section's line

    struct ImageUse {
        int line;
        std::string field;
        std::string image;
        SkinRect rect;
    };
    std::vector<ImageUse> imageUses;

    void Error(const std::string& message) { Error(line, message); }
    void Error(int at, const std::string& message)
    {
        errors->push_back(path + ":" + std::to_string(at) + ": error: " + message);
    }

    void Section(const std::string& text);
    void Field(const std::string& name, const std::string& value);
    bool ParseValue(const Target& target, const std::vector<std::string>& tokens, const std::string& raw);
    bool ParseImageRef(const std::vector<std::string>& t, SkinImageRef& ref, const std::string& field);
    bool ParseLayoutImage(const std::vector<std::string>& t, SkinLayoutImage& img, const std::string& field);
    bool ParseFont(const std::vector<std::string>& t, SkinFont& font);
    bool ParseTextEffect(const std::vector<std::string>& t, SkinTextEffect& effect);
    void ParseEntry(SkinGenericData& generic, const std::vector<std::string>& t);
    void LoadImageFile(SkinImageObject& image, const std::string& file);
    SkinDataObject* FindParent(const std::string& parentPath);
    void CheckImages();
};

SkinDescriptionCompiler::SkinDescriptionCompiler(std::vector<std::string> artworkDirs, uint8_t minor)
    : package_(new SkinPackage()), artworkDirs_(std::move(artworkDirs)), minor_(minor)
{
}

SkinDescriptionCompiler::~SkinDescriptionCompiler() = default;

bool SkinDescriptionCompiler::Compile(const std::string& path, const std::string& text)
{
    State state;
    state.path = path;
    state.errors = &errors_;
    state.package = package_.get();
    state.minor = minor_;
    state.artworkDirs.push_back(DirOf(path));
    state.artworkDirs.insert(state.artworkDirs.end(), artworkDirs_.begin(), artworkDirs_.end());

    std::istringstream lines(text);
    std::string raw;
    while (std::getline(lines, raw)) {
        ++state.line;
        const std::string line = Trim(StripComment(raw));
        if (line.empty())
            continue;
        if (line[0] == '[') {
            if (line.back() != ']') {
                state.Error("a section line ends with ']'");
                state.current = nullptr;
                continue;
            }
            state.Section(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            state.Error("expected 'FIELD = value' or '[Type Name]'");
            continue;
        }
        state.Field(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
    for (const auto& entry : state.imagesWithoutFile)
        state.Error(entry.second, std::string("image '") + entry.first->GetName() + "' has no FILE");
    state.CheckImages();
    return errors_.empty();
}

SkinDataObject* SkinDescriptionCompiler::State::FindParent(const std::string& parentPath)
{
    SkinDataObject* parent = nullptr;
    size_t start = 0;
    while (start <= parentPath.size()) {
        size_t slash = parentPath.find('/', start);
        if (slash == std::string::npos)
            slash = parentPath.size();
        const std::string part = parentPath.substr(start, slash - start);
        if (!parent) {
            auto it = package->Objects().find(part);
            parent = it == package->Objects().end() ? nullptr : it->second.get();
        } else {
            auto it = parent->Children().find(part);
            parent = it == parent->Children().end() ? nullptr : it->second.get();
        }
        if (!parent)
            return nullptr;
        start = slash + 1;
    }
    return parent;
}

void SkinDescriptionCompiler::State::Section(const std::string& text)
{
    current = nullptr;
    currentIsImage = false;
    std::vector<std::string> t;
    std::string error;
    if (!Tokenize(text, t, error)) {
        Error(error);
        return;
    }
    if (!(t.size() == 2 || (t.size() == 4 && t[2] == "in"))) {
        Error("a section is '[Type Name]' or '[Type Name in Parent]'");
        return;
    }
    const std::string& typeName = t[0];
    const std::string& name = t[1];
    if (name.empty()) {
        Error("an object needs a name");
        return;
    }
    if (name.size() > kSkinStringWidth - 1) {
        Error("name '" + name + "' is longer than 50 characters");
        return;
    }
    uint32_t type = typeName == "Generic" ? uint32_t(kSkinGeneric) : FindSkinTypeByName(typeName.c_str());
    if (type == 0) {
        Error("unknown type '" + typeName + "'");
        return;
    }
    const bool child = t.size() == 4;
    if (type == kSkinImage || type == kSkinVoice) {
        if (child) {
            Error(typeName + " objects cannot be children");
            return;
        }
        if (type == kSkinImage) {
            auto image = std::make_unique<SkinImageObject>();
            image->SetName(name.c_str());
            SkinImageObject* raw = image.get();
            if (!package->AddImage(std::move(image))) {
                Error("duplicate image name '" + name + "'");
                return;
            }
            imagesWithoutFile[raw] = line;
            current = raw;
            currentIsImage = true;
        } else {
            auto voice = CreateSkinDataObject(kSkinVoice);
            voice->SetName(name.c_str());
            SkinDataObject* raw = voice.get();
            if (!package->AddSound(std::move(voice))) {
                Error("duplicate sound name '" + name + "'");
                return;
            }
            current = raw;
        }
        return;
    }
    if (!child && !IsSkinTopLevelType(type)) {
        if (IsSkinChildType(type))
            Error(typeName + " is a child type: place it in a parent ('[" + typeName + " " + name + " in Parent]')");
        else
            Error(typeName + " objects cannot be stored in a skin");
        return;
    }
    if (child && !IsSkinChildType(type)) {
        Error(typeName + " cannot be a child object");
        return;
    }
    std::unique_ptr<SkinDataObject> object = CreateSkinDataObject(type);
    object->SetName(name.c_str());
    SkinDataObject* raw = object.get();
    if (child) {
        SkinDataObject* parent = FindParent(t[3]);
        if (!parent) {
            Error("no parent object '" + t[3] + "' (define parents first)");
            return;
        }
        if (!parent->AddChild(std::move(object))) {
            Error("duplicate child name '" + name + "' in '" + t[3] + "'");
            return;
        }
    } else if (!package->AddObject(std::move(object))) {
        Error("duplicate object name '" + name + "'");
        return;
    }
    current = raw;
}

void SkinDescriptionCompiler::State::LoadImageFile(SkinImageObject& image, const std::string& file)
{
    std::vector<uint8_t> bytes;
    bool found = false;
    if (!file.empty() && file[0] == '/') {
        found = ReadFile(file, bytes);
    } else {
        for (const std::string& dir : artworkDirs)
            if ((found = ReadFile(dir + "/" + file, bytes)))
                break;
    }
    if (!found) {
        Error("image file '" + file + "' not found");
        return;
    }
    std::unique_ptr<CSkinImage> bitmap(new CSkinImage());
    if (bytes.empty() || !bitmap->Decode(bytes.data(), uint32_t(bytes.size()), CSkinImage::kFormatBmp)) {
        Error("image file '" + file + "' is not a BMP image (" + bitmap->GetLastError() + ")");
        return;
    }
    image.SetImage(std::move(bitmap));
    imagesWithoutFile.erase(&image);
}

void SkinDescriptionCompiler::State::Field(const std::string& name, const std::string& value)
{
    if (!current) {
        Error("field '" + name + "' outside a valid section");
        return;
    }
    std::vector<std::string> tokens;
    std::string error;
    if (!Tokenize(value, tokens, error)) {
        Error(error);
        return;
    }
    if (SameNoCase(name, "NAME")) {
        Error("NAME comes from the section line");
        return;
    }
    if (currentIsImage && SameNoCase(name, "FILE")) {
        if (tokens.size() != 1)
            Error("FILE takes one path");
        else
            LoadImageFile(*static_cast<SkinImageObject*>(current), tokens[0]);
        return;
    }
    if (auto* tip = dynamic_cast<SkinTooltipData*>(current)) {
        if (SameNoCase(name, "STYLESHEET")) {
            tip->styleSheet.clear();
            for (size_t i = 0; i < tokens.size(); ++i)
                tip->styleSheet += (i ? " " : "") + tokens[i];
            return;
        }
    }
    if (auto* generic = dynamic_cast<SkinGenericData*>(current)) {
        if (SameNoCase(name, "ENTRY")) {
            ParseEntry(*generic, tokens);
            return;
        }
    }
    Target target;
    if (!FindTarget(*current, name, target)) {
        Error(std::string("unknown field '") + name + "' for " +
              (GetSkinTypeName(current->GetType()) ? GetSkinTypeName(current->GetType()) : "Generic"));
        return;
    }
    if (target.field && !target.field->ReadsAt(minor)) {
        Error(target.name + " is not stored in a version 1." + std::to_string(minor) + " skin");
        return;
    }
    if (!ParseValue(target, tokens, value))
        return;
}

bool SkinDescriptionCompiler::State::ParseValue(const Target& target, const std::vector<std::string>& t,
                                                const std::string& raw)
{
    auto bad = [&](const std::string& what) {
        Error("bad value for " + target.name + ": expected " + what);
        return false;
    };
    int64_t n = 0;
    switch (target.kind) {
    case SkinFieldKind::Color: {
        SkinColor c = 0;
        if (t.size() != 1 || !ParseColor(t[0], c))
            return bad("#RRGGBB");
        std::memcpy(target.storage, &c, 4);
        return true;
    }
    case SkinFieldKind::Bool: {
        uint32_t b = 0;
        if (t.size() != 1 || !ParseBool(t[0], b))
            return bad("0 or 1");
        std::memcpy(target.storage, &b, 4);
        return true;
    }
    case SkinFieldKind::Int:
        if (t.size() != 1 || !ParseInt(t[0], INT32_MIN, INT32_MAX, n))
            return bad("a number");
        {
            const int32_t v = int32_t(n);
            std::memcpy(target.storage, &v, 4);
        }
        return true;
    case SkinFieldKind::UInt:
        if (t.size() != 1 || !ParseInt(t[0], 0, UINT32_MAX, n))
            return bad("a number from 0");
        {
            const uint32_t v = uint32_t(n);
            std::memcpy(target.storage, &v, 4);
        }
        return true;
    case SkinFieldKind::Byte:
        if (t.size() != 1 || !ParseInt(t[0], 0, 255, n))
            return bad("a number from 0 to 255");
        *static_cast<uint8_t*>(target.storage) = uint8_t(n);
        return true;
    case SkinFieldKind::String: {
        const std::string text = (t.size() == 1) ? t[0] : raw;
        if (text.size() > target.width - 1)
            return bad("text of at most " + std::to_string(target.width - 1) + " characters");
        CopySkinText(static_cast<char*>(target.storage), target.width, text.c_str());
        return true;
    }
    case SkinFieldKind::Rect: {
        int64_t v[4];
        if (t.size() != 4)
            return bad("left top right bottom");
        for (int i = 0; i < 4; ++i)
            if (!ParseInt(t[i], INT32_MIN, INT32_MAX, v[i]))
                return bad("left top right bottom");
        SkinRect rc = MakeSkinRect(int32_t(v[0]), int32_t(v[1]), int32_t(v[2]), int32_t(v[3]));
        std::memcpy(target.storage, &rc, sizeof rc);
        return true;
    }
    case SkinFieldKind::Words: {
        const size_t count = target.width / 4;
        if (t.size() != count)
            return bad(std::to_string(count) + " numbers");
        std::vector<uint32_t> words(count);
        for (size_t i = 0; i < count; ++i) {
            if (!ParseInt(t[i], INT32_MIN, UINT32_MAX, n))
                return bad(std::to_string(count) + " numbers");
            words[i] = uint32_t(n);
        }
        std::memcpy(target.storage, words.data(), target.width);
        return true;
    }
    case SkinFieldKind::ImageRef: {
        SkinImageRef ref = *static_cast<SkinImageRef*>(target.storage);
        if (!ParseImageRef(t, ref, target.name))
            return false;
        std::memcpy(target.storage, &ref, sizeof ref);
        return true;
    }
    case SkinFieldKind::LayoutImage: {
        SkinLayoutImage img = *static_cast<SkinLayoutImage*>(target.storage);
        if (!ParseLayoutImage(t, img, target.name))
            return false;
        std::memcpy(target.storage, &img, sizeof img);
        return true;
    }
    case SkinFieldKind::Font: {
        SkinFont font = *static_cast<SkinFont*>(target.storage);
        if (!ParseFont(t, font))
            return bad("\"Face\" height [weight N] [italic] ... [color #RRGGBB]");
        std::memcpy(target.storage, &font, sizeof font);
        return true;
    }
    case SkinFieldKind::TextEffect: {
        SkinTextEffect effect = *static_cast<SkinTextEffect*>(target.storage);
        if (!ParseTextEffect(t, effect))
            return bad("[text #RRGGBB] [shadow #RRGGBB] [offset X Y] [flags N] [alpha N]");
        std::memcpy(target.storage, &effect, sizeof effect);
        return true;
    }
    default:
        Error("field " + target.name + " cannot be set");
        return false;
    }
}

bool SkinDescriptionCompiler::State::ParseImageRef(const std::vector<std::string>& t, SkinImageRef& ref,
                                                   const std::string& field)
{
    if (t.size() == 1 && t[0] == "none") {
        ref = MakeEmptyImageRef();
        return true;
    }
    int64_t v[4], mode = 0;
    bool ok = t.size() == 5 || t.size() == 6;
    for (int i = 0; ok && i < 4; ++i)
        ok = ParseInt(t[1 + i], INT32_MIN, INT32_MAX, v[i]);
    if (ok && t.size() == 6) {
        if (t[5] == "natural")
            mode = 0;
        else if (t[5] == "tile")
            mode = 1;
        else if (t[5] == "stretch")
            mode = 2;
        else
            ok = ParseInt(t[5], 0, UINT32_MAX, mode);
    }
    if (!ok) {
        Error("bad value for " + field + ": expected IMAGE left top right bottom [natural|tile|stretch]");
        return false;
    }
    if (t[0].size() > sizeof ref.name - 1) {
        Error("image name '" + t[0] + "' is too long");
        return false;
    }
    CopySkinText(ref.name, sizeof ref.name, t[0].c_str());
    ref.source = MakeSkinRect(int32_t(v[0]), int32_t(v[1]), int32_t(v[2]), int32_t(v[3]));
    ref.drawMode = uint32_t(mode);
    imageUses.push_back({line, field, t[0], ref.source});
    return true;
}

bool SkinDescriptionCompiler::State::ParseLayoutImage(const std::vector<std::string>& t, SkinLayoutImage& img,
                                                      const std::string& field)
{
    if (t.size() == 1 && t[0] == "none") {
        img = MakeEmptyLayoutImage();
        return true;
    }
    int64_t v[4], m[4] = {0, 0, 0, 0}, layout = 0;
    bool ok = t.size() >= 5;
    for (int i = 0; ok && i < 4; ++i)
        ok = ParseInt(t[1 + i], INT32_MIN, INT32_MAX, v[i]);
    size_t i = 5;
    while (ok && i < t.size()) {
        if (t[i] == "margins" && i + 4 < t.size()) {
            for (int k = 0; ok && k < 4; ++k)
                ok = ParseInt(t[i + 1 + k], 0, INT32_MAX, m[k]);
            i += 5;
        } else if (t[i] == "layout" && i + 1 < t.size()) {
            ok = ParseInt(t[i + 1], 0, UINT32_MAX, layout);
            i += 2;
        } else {
            ok = false;
        }
    }
    if (!ok) {
        Error("bad value for " + field + ": expected IMAGE left top right bottom [margins L T R B] [layout N]");
        return false;
    }
    if (t[0].size() > sizeof img.name - 1) {
        Error("image name '" + t[0] + "' is too long");
        return false;
    }
    CopySkinText(img.name, sizeof img.name, t[0].c_str());
    img.source = MakeSkinRect(int32_t(v[0]), int32_t(v[1]), int32_t(v[2]), int32_t(v[3]));
    img.marginLeft = int32_t(m[0]);
    img.marginTop = int32_t(m[1]);
    img.marginRight = int32_t(m[2]);
    img.marginBottom = int32_t(m[3]);
    img.layoutMode = uint32_t(layout);
    imageUses.push_back({line, field, t[0], img.source});
    return true;
}

bool SkinDescriptionCompiler::State::ParseFont(const std::vector<std::string>& t, SkinFont& font)
{
    int64_t n = 0;
    if (t.size() < 2 || t[0].size() > sizeof font.logFont.faceName - 1 || !ParseInt(t[1], INT32_MIN, INT32_MAX, n))
        return false;
    CopySkinText(font.logFont.faceName, sizeof font.logFont.faceName, t[0].c_str());
    font.logFont.height = int32_t(n);
    for (size_t i = 2; i < t.size(); ++i) {
        const std::string& k = t[i];
        if (k == "italic")
            font.logFont.italic = 1;
        else if (k == "underline")
            font.logFont.underline = 1;
        else if (k == "strikeout")
            font.logFont.strikeOut = 1;
        else if (k == "color" && i + 1 < t.size()) {
            if (!ParseColor(t[++i], font.color))
                return false;
        } else if (i + 1 < t.size()) {
            int64_t v = 0;
            const bool isByte = k == "charset" || k == "quality" || k == "pitch";
            if (!ParseInt(t[++i], isByte ? 0 : INT32_MIN, isByte ? 255 : INT32_MAX, v))
                return false;
            if (k == "weight")
                font.logFont.weight = int32_t(v);
            else if (k == "width")
                font.logFont.width = int32_t(v);
            else if (k == "charset")
                font.logFont.charSet = uint8_t(v);
            else if (k == "quality")
                font.logFont.quality = uint8_t(v);
            else if (k == "pitch")
                font.logFont.pitchAndFamily = uint8_t(v);
            else
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool SkinDescriptionCompiler::State::ParseTextEffect(const std::vector<std::string>& t, SkinTextEffect& effect)
{
    for (size_t i = 0; i < t.size(); ++i) {
        const std::string& k = t[i];
        SkinColor c = 0;
        int64_t a = 0, b = 0;
        if (k == "text" && i + 1 < t.size() && ParseColor(t[i + 1], c)) {
            PackSkinColor24(effect.textColor, c);
            ++i;
        } else if (k == "shadow" && i + 1 < t.size() && ParseColor(t[i + 1], c)) {
            PackSkinColor24(effect.shadowColor, c);
            ++i;
        } else if (k == "offset" && i + 2 < t.size() && ParseInt(t[i + 1], -128, 127, a) &&
                   ParseInt(t[i + 2], -128, 127, b)) {
            effect.shadowOffset = (effect.shadowOffset & 0xFFFF0000u) | uint8_t(int8_t(a)) |
                                  (uint32_t(uint8_t(int8_t(b))) << 8);
            i += 2;
        } else if (k == "flags" && i + 1 < t.size() && ParseInt(t[i + 1], 0, UINT32_MAX, a)) {
            effect.flags = uint32_t(a);
            ++i;
        } else if (k == "alpha" && i + 1 < t.size() && ParseInt(t[i + 1], 0, 255, a)) {
            effect.alpha = uint8_t(a);
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

void SkinDescriptionCompiler::State::ParseEntry(SkinGenericData& generic, const std::vector<std::string>& t)
{
    std::vector<std::string> v = t;
    std::string entryText;
    bool hasText = false;
    if (v.size() >= 2 && v[v.size() - 2] == "text") {
        entryText = v.back();
        hasText = true;
        v.resize(v.size() - 2);
    }
    if (v.size() != 3 || v[0].size() > 30) {
        Error("ENTRY is: NAME (at most 30 characters) color|int|bool|string VALUE [text \"...\"]");
        return;
    }
    const std::string& kind = v[1];
    int64_t n = 0;
    if (kind == "color") {
        SkinColor c = 0;
        if (!ParseColor(v[2], c)) {
            Error("bad ENTRY colour: expected #RRGGBB");
            return;
        }
        generic.AddEntry(kSkinValueColor, v[0].c_str(), "", &c, 4, hasText ? entryText.c_str() : nullptr);
    } else if (kind == "int" || kind == "bool") {
        uint32_t b = 0;
        const bool ok = kind == "int" ? ParseInt(v[2], INT32_MIN, INT32_MAX, n) : ParseBool(v[2], b);
        if (!ok) {
            Error("bad ENTRY " + kind + " value");
            return;
        }
        const uint32_t value = kind == "int" ? uint32_t(int32_t(n)) : b;
        generic.AddEntry(kind == "int" ? kSkinValueInt : kSkinValueBool, v[0].c_str(), "", &value, 4,
                         hasText ? entryText.c_str() : nullptr);
    } else if (kind == "string") {
        if (v[2].size() > kSkinStringWidth - 1) {
            Error("ENTRY text longer than 50 characters");
            return;
        }
        char buf[kSkinStringWidth];
        CopySkinText(buf, sizeof buf, v[2].c_str());
        generic.AddEntry(kSkinValueString, v[0].c_str(), "", buf, sizeof buf, hasText ? entryText.c_str() : nullptr);
    } else {
        Error("unknown ENTRY kind '" + kind + "'");
    }
}

void SkinDescriptionCompiler::State::CheckImages()
{
    for (const ImageUse& use : imageUses) {
        auto it = package->Images().find(use.image);
        if (it == package->Images().end()) {
            Error(use.line, use.field + " names image '" + use.image + "', which the skin lacks");
            continue;
        }
        const CSkinImage* bitmap = static_cast<SkinImageObject*>(it->second.get())->GetImage();
        if (!bitmap)
            continue;  // its FILE is missing: reported already
        const SkinRect& r = use.rect;
        const int32_t w = bitmap->GetWidth(), h = bitmap->GetHeight();
        if (r.left < 0 || r.top < 0 || r.left > r.right || r.top > r.bottom || r.right > w || r.bottom > h)
            Error(use.line, use.field + ": rectangle " + std::to_string(r.left) + " " + std::to_string(r.top) +
                                " " + std::to_string(r.right) + " " + std::to_string(r.bottom) +
                                " lies outside image '" + use.image + "' (" + std::to_string(w) + "x" +
                                std::to_string(h) + ")");
    }
}

bool BuildSkinFile(const SkinPackage& package, std::vector<uint8_t>& stored, std::vector<uint8_t>* plain,
                   uint8_t minor, std::string* refusal)
{
    auto refuse = [&](const std::string& why) {
        if (refusal)
            *refusal = why;
        stored.clear();
        return false;
    };
    SkinMemoryStream out;
    package.Write(out, minor);
    if (plain)
        plain->assign(out.Data(), out.Data() + out.Length());
    if (out.Length() > SkinMemoryStream::kMaxUnpackedLength)
        return refuse("the skin unpacks to " + std::to_string(out.Length()) + " bytes, past the loader's limit of " +
                      std::to_string(SkinMemoryStream::kMaxUnpackedLength));
    if (!PackSkinStream(out.Data(), out.Length(), stored))
        return refuse("packing failed");
    // Read back as the library will, budgets and all.
    SkinPackage loaded;
    SkinMemoryStream source(stored.data(), uint32_t(stored.size()));
    if (!loaded.Read(source))
        return refuse(std::string("the loader refuses the skin: ") + SkinPackageErrorText(loaded.GetLastError()));
    return true;
}
