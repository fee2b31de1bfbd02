// Skin type ids and the stored value records every skin object shares.
//
// A skin stream is little-endian and every record below is laid out exactly
// as it is stored, so a record is read or written with one copy of its
// width. Widths are fixed by the stream format; the static_asserts keep them.
// Platform-neutral.
#ifndef QUORBEL_SKIN_CORE_SKIN_DATA_TYPES_H
#define QUORBEL_SKIN_CORE_SKIN_DATA_TYPES_H

#include <cstddef>
#include <climits>
#include <cstdint>

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "skin records are copied as stored: a little-endian host is needed"
#endif

// One numbering for stream objects, data classes, window kinds and skinners.
enum SkinTypeId : uint32_t {
    kSkinTypeNone = 0,
    kSkinFrameWnd = 1,
    kSkinShapeWnd = 2,
    kSkinCaptionButton = 3,
    kSkinButton = 4,
    kSkinCheckBox = 5,
    kSkinComboBox = 6,
    kSkinEdit = 7,
    kSkinGroupBox = 8,
    kSkinListBox = 9,
    kSkinProgressBar = 10,
    kSkinRadio = 11,
    kSkinScrollBar = 12,
    kSkinSlider = 13,
    kSkinStatic = 14,
    kSkinStatusBar = 15,
    kSkinTab = 16,
    kSkinPopupMenu = 17,
    kSkinImage = 18,
    kSkinVoice = 19,
    kSkinMenuBar = 20,
    kSkinMenuItem = 21,
    kSkinArea = 22,
    kSkinToolBar = 23,
    kSkinControlBar = 24,
    kSkinApplication = 25,
    kSkinScrollControl = 26,
    kSkinSpin = 27,
    kSkinListView = 28,
    kSkinTreeView = 29,
    kSkinRichEdit = 30,
    kSkinDateTime = 31,
    kSkinIPAddress = 32,
    kSkinComboBoxEx = 33,
    kSkinHotKey = 34,
    kSkinMonthCalendar = 35,
    kSkinRebar = 36,
    kSkinHeader = 37,
    kSkinCaptionStatic = 38,
    kSkinImageList = 39,
    kSkinAnimate = 40,
    kSkinLinkWnd = 41,
    kSkinTooltip = 42,
    kSkinTooltipAnchor = 43,
    kSkinSysColorTable = 44,
    kSkinGeneric = 100,
};

// "FrameWnd" ... "SysColorTable" for ids 1 to 44; null for every other id.
const char* GetSkinTypeName(uint32_t id);
// The id whose name is exactly `name` (1 to 44), else 0.
uint32_t FindSkinTypeByName(const char* name);
// Ids the reader creates as top-level objects, and as children.
bool IsSkinTopLevelType(uint32_t id);
bool IsSkinChildType(uint32_t id);

// COLORREF layout: 0x00BBGGRR.
typedef uint32_t SkinColor;

inline SkinColor SkinRgb(uint8_t r, uint8_t g, uint8_t b)
{
    return r | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

// Stored values can be anything: geometry on them saturates instead of
// overflowing.
inline int32_t ClampToInt32(int64_t v)
{
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v);
}

struct SkinRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return ClampToInt32(int64_t(right) - left); }
    int32_t Height() const { return ClampToInt32(int64_t(bottom) - top); }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const SkinRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

inline SkinRect MakeSkinRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    SkinRect rc;
    rc.left = l;
    rc.top = t;
    rc.right = r;
    rc.bottom = b;
    return rc;
}

// LOGFONTA's layout (60 bytes), kept apart from windows.h.
struct SkinLogFont {
    int32_t height;
    int32_t width;
    int32_t escapement;
    int32_t orientation;
    int32_t weight;
    uint8_t italic;
    uint8_t underline;
    uint8_t strikeOut;
    uint8_t charSet;
    uint8_t outPrecision;
    uint8_t clipPrecision;
    uint8_t quality;
    uint8_t pitchAndFamily;
    char faceName[32];
};

// Font record: the LOGFONTA and its text colour.
struct SkinFont {
    SkinLogFont logFont;
    SkinColor color;
};

// Image reference: a part of a named skin image and how it is drawn.
struct SkinImageRef {
    char name[52];        // image name, at most 51 characters
    SkinRect source;      // part of the image, counted from its top row
    uint32_t drawMode;    // 0 natural size clipped, 1 tiled, else stretched
};

// Image with layout: a nine-piece image; the margins cut the source.
struct SkinLayoutImage {
    char name[52];        // image name, at most 51 characters
    SkinRect source;      // part of the image
    int32_t marginLeft;   // in the place of an image reference's draw mode
    int32_t marginTop;
    int32_t marginRight;
    int32_t marginBottom;
    uint32_t layoutMode;  // which pieces are stretched (drawing utilities)
};

// Text drawn with an optional shadow.
struct SkinTextEffect {
    uint32_t shadowOffset;   // low byte signed x, next byte signed y
    uint8_t textColor[3];    // R, G, B
    uint8_t alpha;           // 255 by default
    uint8_t shadowColor[3];  // R, G, B
    uint8_t unused;          // stored, never set
    uint32_t flags;          // bit 0 draws the shadow first
};

static_assert(sizeof(SkinRect) == 16, "rectangle is 16 bytes");
static_assert(sizeof(SkinLogFont) == 60, "LOGFONTA is 60 bytes");
static_assert(offsetof(SkinLogFont, faceName) == 28, "LOGFONTA face name at 28");
static_assert(sizeof(SkinFont) == 64, "font record is 64 bytes");
static_assert(sizeof(SkinImageRef) == 72, "image reference is 72 bytes");
static_assert(offsetof(SkinImageRef, drawMode) == 68, "draw mode at 68");
static_assert(sizeof(SkinLayoutImage) == 88, "image with layout is 88 bytes");
static_assert(offsetof(SkinLayoutImage, marginLeft) == 68, "left margin in the draw mode's place");
static_assert(sizeof(SkinTextEffect) == 16, "text effect is 16 bytes");
static_assert(offsetof(SkinTextEffect, flags) == 12, "effect flags at 12");

// Widths of the stored values (also the widths of their properties).
enum : uint32_t {
    kSkinStringWidth = 51,   // names and texts: at most 50 characters
    kSkinColorWidth = 4,
    kSkinIntWidth = 4,
    kSkinFontWidth = sizeof(SkinFont),
    kSkinImageRefWidth = sizeof(SkinImageRef),
    kSkinLayoutImageWidth = sizeof(SkinLayoutImage),
    kSkinTextEffectWidth = sizeof(SkinTextEffect),
};

// Value types of properties.
enum SkinValueType : uint32_t {
    kSkinValueFont = 0,
    kSkinValueString = 1,
    kSkinValueColor = 2,
    kSkinValueImageRef = 3,
    kSkinValueLayoutImage = 4,
    kSkinValueBool = 6,
    kSkinValueInt = 7,
    kSkinValueTextEffect = 9,
    kSkinValueGeneric = 100,
};

// Zeroed records, and the defaults the data classes start from.
SkinImageRef MakeEmptyImageRef();
SkinLayoutImage MakeEmptyLayoutImage();
SkinFont MakeSkinFont(const char* face, int32_t height, int32_t weight);
// Text colour COLOR_BTNTEXT, shadow COLOR_BTNSHADOW, alpha 255, flags 0x8004.
SkinTextEffect MakeDefaultTextEffect();
void PackSkinColor24(uint8_t dest[3], SkinColor c);
SkinColor UnpackSkinColor24(const uint8_t src[3]);
// A reference is empty when its source rectangle is empty or its name "".
bool IsImageRefEmpty(const SkinImageRef& ref);
bool IsLayoutImageEmpty(const SkinLayoutImage& img);

// Copies at most width - 1 characters and always terminates.
void CopySkinText(char* dest, size_t width, const char* src);

#endif
