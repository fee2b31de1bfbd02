// The data class of every skin type a stream can carry. Each constructor
// fixes its defaults and lists its stored fields in stream order (with the
// versions they are read from) and its properties; Load and Save come from
// the field table (skin_data.h). Fields without a property of their own get
// a field name for skin descriptions.
#ifndef QUORBEL_SKIN_CORE_SKIN_DATA_CLASSES_H
#define QUORBEL_SKIN_CORE_SKIN_DATA_CLASSES_H

#include <memory>
#include <string>

#include "skin/core/skin_data.h"

class CSkinImage;

// An image with layout, a text effect and 16 uninterpreted bytes (120).
struct SkinStateBlock {
    SkinLayoutImage image;
    SkinTextEffect effect;
    uint32_t tail[4];
};
// Background and box images of a check box state (192).
struct SkinCheckBlock {
    SkinImageRef background;
    uint32_t gap[4];
    SkinImageRef box;
    SkinTextEffect effect;
    uint32_t tail[4];
};
// Arrows, track and thumb of one scroll-bar state (320).
struct SkinScrollBlock {
    SkinImageRef arrow1;
    SkinImageRef arrow2;
    SkinLayoutImage bar;
    SkinLayoutImage thumb;
};
// Up and down images of one spin state (144).
struct SkinSpinBlock {
    SkinImageRef up;
    SkinImageRef down;
};
static_assert(sizeof(SkinStateBlock) == 120, "state block is 120 bytes");
static_assert(sizeof(SkinCheckBlock) == 192, "check block is 192 bytes");
static_assert(sizeof(SkinScrollBlock) == 320, "scroll block is 320 bytes");
static_assert(sizeof(SkinSpinBlock) == 144, "spin block is 144 bytes");

// A new data object of a type id, with its defaults; null for ids that
// have no data class (0, 21, 22, 32, 34, 41, 43 and unknown ids).
std::unique_ptr<SkinDataObject> CreateSkinDataObject(uint32_t type);

// Type 20: the menu bar embedded in a frame.
class SkinMenuBarData : public SkinElementData {
public:
    SkinMenuBarData();
    SkinFont font;
    SkinRect rects[3];                 // uninterpreted
    SkinColor color1;                  // 0x727272
    SkinLayoutImage image1;
    SkinRect rect4;                    // uninterpreted
    SkinColor color2;                  // 0xE07272
    SkinLayoutImage image2;
    SkinImageRef itemImages[12];       // from 1.2
    SkinLayoutImage image3;            // from 1.3
};

// Type 1.
class SkinFrameData : public SkinPartsData {
public:
    SkinFrameData();
    SkinMenuBarData menuBar;           // written with its own type id
    uint32_t skinClient;               // "SKINCLIENT"
    SkinImageRef mdiClient;            // "MDICLIENT"

protected:
    void LoadCustom(SkinMemoryStream& stream, const SkinField& field) override;
    void SaveCustom(SkinMemoryStream& stream, const SkinField& field) const override;
};

// Type 2.
class SkinShapeData : public SkinDataObject {
public:
    SkinShapeData();
    SkinImageRef backgroundImage;
    SkinRect rect1;
    SkinRect rect2;
    uint8_t alpha;                     // 255
    SkinColor layeredKey;              // 0xFFFFFF
    uint32_t taskBar;                  // 1
};

// Type 3.
class SkinCaptionButtonData : public SkinElementData {
public:
    SkinCaptionButtonData();
    SkinImageRef hotImage;             // the element image is the normal one
    SkinImageRef pressedImage;
    SkinImageRef disabledImage;
    uint32_t action;                   // 0 command, 1 close, 2 icon, 3 max, 4 min, 5 system menu
    uint32_t toggle;                   // 0 push button, 1 toggle button
};

// Type 4.
class SkinButtonData : public SkinControlData {
public:
    SkinButtonData();
    void Load(SkinMemoryStream& stream) override;
    SkinStateBlock states[6];          // NORMAL, PRESSED, DEFAULT, FOCUSED, HIGHLIGHTED, DISABLED
    char label[50];
    uint32_t value1;
    uint32_t value2;
    uint32_t memoryValue;              // 1000, never stored

protected:
    void AfterLoad(uint8_t minor) override;
};

// Types 5 and 11.
class SkinCheckData : public SkinControlData {
public:
    explicit SkinCheckData(uint32_t type);
    SkinCheckBlock states[7];  // NORMAL, SELECTED, DISABLED, GRAYEDNORMAL, GRAYEDSELECTED,
                               // HIGHLIGHTEDNORMAL, HIGHLIGHTEDSELECTED
    char label[50];
    uint32_t transparent;      // "TRANSPARENT"

protected:
    void AfterLoad(uint8_t minor) override;
};

// Types 6 and 33.
class SkinComboData : public SkinControlData {
public:
    explicit SkinComboData(uint32_t type);
    SkinLayoutImage thumbs[4];         // NORMAL, PRESSED, HOVERED, DISABLED
    SkinColor focusColor;
    SkinColor disabledBackColor;
    SkinColor disabledTextColor;
    SkinColor focusTextColor;

protected:
    void AfterLoad(uint8_t minor) override;
};

// Types 7, 9, 26, 28, 30 (and the start of 29).
class SkinEditData : public SkinControlData {
public:
    explicit SkinEditData(uint32_t type);
    SkinImageRef backgroundImage;      // "BACKGROUND"

protected:
    void AfterLoad(uint8_t minor) override;
};

// Type 8.
class SkinGroupBoxData : public SkinControlData {
public:
    SkinGroupBoxData();
    SkinLayoutImage captionImage;
    SkinColor captionColor;
    SkinTextEffect effect;
    uint32_t transparent;

protected:
    void AfterLoad(uint8_t minor) override;
};

// Type 10.
class SkinProgressData : public SkinControlData {
public:
    SkinProgressData();
    SkinLayoutImage progressImage;
    uint32_t value1;
    uint32_t style;                    // "STYLE"
    uint32_t value2;
};

// Type 12.
class SkinScrollBarData : public SkinControlData {
public:
    SkinScrollBarData();
    SkinScrollBlock horizontal[4];     // NORMAL, PRESSED, HIGHLIGHTED, DISABLED
    SkinImageRef gripper;
    uint32_t values[5];                // 0, 100, 10, 1, 10
    SkinScrollBlock vertical[4];       // VNORMAL ... VDISABLED, from 1.12
};

// Type 13.
class SkinSliderData : public SkinControlData {
public:
    SkinSliderData();
    SkinLayoutImage thumbHorizontal;
    uint32_t value;
    uint32_t values[4];
    SkinLayoutImage channel;
    uint32_t transparent;              // from 1.9
    SkinLayoutImage thumbVertical;     // from 1.9
};

// Type 14.
class SkinStaticData : public SkinControlData {
public:
    SkinStaticData();
    uint32_t transparent;
    SkinTextEffect effect;
    char label[51];
    uint32_t tail[4];                  // from 1.16

protected:
    void AfterLoad(uint8_t minor) override;
};

// Type 15.
class SkinStatusBarData : public SkinControlData {
public:
    SkinStatusBarData();
    SkinLayoutImage itemImage;         // "ITEM.ITEMIMAGE"
    SkinImageRef itemRef;
};

// Type 16.
class SkinTabData : public SkinControlData {
public:
    SkinTabData();
    SkinStateBlock states[4];          // NORMAL, PRESSED, DISABLED, HOVERED
    SkinLayoutImage frame;             // "FRAME"
    uint32_t transparent;              // "TRANSpARENT", from 1.9
};

// Type 17.
class SkinMenuData : public SkinPartsData {
public:
    SkinMenuData();
    SkinRect rects[3];
    SkinColor itemActiveColor;
    SkinColor itemSeparatorColor;
    SkinLayoutImage separatorImage;
    SkinLayoutImage activeImage;
    SkinImageRef subMenuImage;
    SkinImageRef checkImage;           // from 1.3
};

// Type 18: a bitmap of the skin.
class SkinImageObject : public SkinDataObject {
public:
    SkinImageObject();
    ~SkinImageObject() override;
    // The decoded bitmap, or null when there is none.
    CSkinImage* GetImage() const;
    // Takes the bitmap over (the compiler's way in).
    void SetImage(std::unique_ptr<CSkinImage> image);
    uint32_t GetFormat() const { return format_; }

protected:
    void LoadCustom(SkinMemoryStream& stream, const SkinField& field) override;
    void SaveCustom(SkinMemoryStream& stream, const SkinField& field) const override;

private:
    std::unique_ptr<CSkinImage> image_;  // decoded bitmap, or null
    uint32_t format_ = 1;                // image format code of the stream
};

// Type 19: a sound name.
class SkinVoiceData : public SkinDataObject {
public:
    SkinVoiceData() : SkinDataObject(kSkinVoice) {}
};

// Type 23.
class SkinToolBarData : public SkinControlData {
public:
    SkinToolBarData();
    SkinLayoutImage images[5];
};

// Type 24.
class SkinControlBarData : public SkinControlData {
public:
    SkinControlBarData() : SkinControlData(kSkinControlBar, nullptr) {}
};

// Type 25: the skin's own information and its key colour.
class SkinFileInfo : public SkinDataObject {
public:
    SkinFileInfo();
    char author[51];
    char description[51];
    char application[51];
    uint32_t useTransparentColor;      // "USETRANSPARENTCOLOR" (1)
    char email[51];                    // from 1.4
    char homepage[51];                 // from 1.4
};

// Type 27.
class SkinSpinData : public SkinControlData {
public:
    SkinSpinData();
    SkinSpinBlock vertical[4];         // NORMAL, HOVER, PRESSED, DISABLED
    SkinSpinBlock horizontal[4];       // from 1.13
};

// Type 29.
class SkinTreeViewData : public SkinEditData {
public:
    SkinTreeViewData();
    SkinLayoutImage activeItem;        // from 1.12
    SkinLayoutImage inactiveItem;
    SkinColor activeColor;
    SkinColor inactiveColor;
    SkinTextEffect activeText;
    SkinTextEffect inactiveText;
    SkinImageRef openButton;           // from 1.15
    SkinImageRef closedButton;
    SkinImageRef check;
    SkinImageRef uncheck;
    SkinColor lineColor;
};

// Type 31.
class SkinDateTimeData : public SkinControlData {
public:
    SkinDateTimeData();
    SkinLayoutImage images[3];
    SkinImageRef ref1;
    SkinRect rect1;
    SkinImageRef ref2;
    SkinRect rect2;
    SkinColor color;                   // COLOR_BTNFACE
};

// Type 35.
class SkinMonthCalData : public SkinControlData {
public:
    SkinMonthCalData();
    SkinLayoutImage images[6];
    SkinColor colors[4];  // COLOR_WINDOW, COLOR_ACTIVECAPTION, COLOR_CAPTIONTEXT, COLOR_GRAYTEXT
};

// Type 36.
class SkinRebarData : public SkinControlData {
public:
    SkinRebarData();
    SkinLayoutImage bandImage;         // "BANDIMAGE"
    uint32_t tail[4];
};

// Type 37.
class SkinHeaderData : public SkinControlData {
public:
    SkinHeaderData();
    SkinTextEffect effect;             // "TEXTEFFECT"
    SkinLayoutImage item;              // "ITEM"
};

// Type 38: a caption text element.
class SkinCaptionStaticData : public SkinElementData {
public:
    SkinCaptionStaticData();
    ~SkinCaptionStaticData() override;
    void ReleaseGdi() override;
    void Resolve(SkinPackage& package) override;
    const SkinResolvedPart& GetResolvedImage() const { return resolved_; }

    uint32_t textSource;               // 0; 1 the window's own text, 11 owner-drawn
    uint32_t layout[5];                // placement words, read by the skinners
    uint32_t value1;                   // 2
    SkinFont font;                     // "MS Sans Serif"
    SkinTextEffect effect;
    char label[51];
    uint32_t value2;                   // 0
    uint32_t value3;                   // 1

private:
    SkinResolvedPart resolved_;        // the element image, cut out
};

// Type 39.
class SkinImageListData : public SkinDataObject {
public:
    SkinImageListData();
    uint32_t values[4];                // 16, 16, 5, 10
    SkinImageRef image;
};

// Type 40.
class SkinAnimateData : public SkinControlData {
public:
    SkinAnimateData();
    SkinImageRef backgroundImage;      // "BACKGROUND"
};

// Type 42.
class SkinTooltipData : public SkinPartsData {
public:
    SkinTooltipData();
    uint32_t showDelay;                // ms, 1000
    uint32_t hideDelay;                // ms, 8000
    uint32_t placement;                // 0
    std::string styleSheet;            // rich-text rules for tooltip text

protected:
    void LoadCustom(SkinMemoryStream& stream, const SkinField& field) override;
    void SaveCustom(SkinMemoryStream& stream, const SkinField& field) const override;
};

// Type 44.
class SkinSysColorTable : public SkinDataObject {
public:
    SkinSysColorTable();
    ~SkinSysColorTable() override;
    void ReleaseGdi() override;
    void Resolve(SkinPackage& package) override;
    SkinColor GetColor(int index) const;
    // The brush Resolve made for one of the 31 colours, or null.
    SkinGdiHandle GetBrush(int index) const;

    uint32_t colors[100];              // the first 31 are system colours 0 to 30

private:
    std::shared_ptr<const SkinGdiObject> brushes_[kSkinSysColorCount];  // from the skin's pool
};

// Type 100: properties stored as entries.
class SkinGenericData : public SkinControlData {
public:
    SkinGenericData();
    // Registered properties first, then the entries (case ignored).
    SkinProperty* FindProperty(const char* name) override;
    // The first entry whose name matches, case ignored; null otherwise.
    SkinProperty* FindEntry(const char* name);
    // Appends an entry owning a copy of the value and text.
    void AddEntry(uint32_t valueType, const char* name, const char* defaultText,
                  const void* value, uint32_t width, const char* text);
    const std::vector<std::unique_ptr<SkinProperty>>& Entries() const { return entries_; }

    char label[51];

protected:
    void LoadCustom(SkinMemoryStream& stream, const SkinField& field) override;
    void SaveCustom(SkinMemoryStream& stream, const SkinField& field) const override;

private:
    std::vector<std::unique_ptr<SkinProperty>> entries_;
};

#endif
