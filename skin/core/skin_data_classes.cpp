#include "skin/core/skin_data_classes.h"

#include <algorithm>
#include <cstring>

#include "skin/core/skin_image.h"
#include "skin/core/skin_package.h"

namespace {

// Texts and values of variable length (style sheets, generic entries) are
// at most this long; a stored length beyond it, or beyond what remains, is
// skipped instead of allocated.
constexpr uint32_t kMaxVariableBytes = 1u << 20;

typedef SkinFieldKind K;

// A text effect reset for an old stream, with a given text colour.
SkinTextEffect DefaultEffectWithText(SkinColor textColor)
{
    SkinTextEffect effect = MakeDefaultTextEffect();
    PackSkinColor24(effect.textColor, textColor);
    return effect;
}

std::string Join(const char* a, const char* b) { return std::string(a) + "." + b; }

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool SameNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (AsciiUpper(*a) != AsciiUpper(*b))
            return false;
    return *a == *b;
}

}  // namespace

std::unique_ptr<SkinDataObject> CreateSkinDataObject(uint32_t type)
{
    switch (type) {
    case kSkinFrameWnd: return std::make_unique<SkinFrameData>();
    case kSkinShapeWnd: return std::make_unique<SkinShapeData>();
    case kSkinCaptionButton: return std::make_unique<SkinCaptionButtonData>();
    case kSkinButton: return std::make_unique<SkinButtonData>();
    case kSkinCheckBox:
    case kSkinRadio: return std::make_unique<SkinCheckData>(type);
    case kSkinComboBox:
    case kSkinComboBoxEx: return std::make_unique<SkinComboData>(type);
    case kSkinEdit:
    case kSkinListBox:
    case kSkinScrollControl:
    case kSkinListView:
    case kSkinRichEdit: return std::make_unique<SkinEditData>(type);
    case kSkinGroupBox: return std::make_unique<SkinGroupBoxData>();
    case kSkinProgressBar: return std::make_unique<SkinProgressData>();
    case kSkinScrollBar: return std::make_unique<SkinScrollBarData>();
    case kSkinSlider: return std::make_unique<SkinSliderData>();
    case kSkinStatic: return std::make_unique<SkinStaticData>();
    case kSkinStatusBar: return std::make_unique<SkinStatusBarData>();
    case kSkinTab: return std::make_unique<SkinTabData>();
    case kSkinPopupMenu: return std::make_unique<SkinMenuData>();
    case kSkinImage: return std::make_unique<SkinImageObject>();
    case kSkinVoice: return std::make_unique<SkinVoiceData>();
    case kSkinMenuBar: return std::make_unique<SkinMenuBarData>();
    case kSkinToolBar: return std::make_unique<SkinToolBarData>();
    case kSkinControlBar: return std::make_unique<SkinControlBarData>();
    case kSkinApplication: return std::make_unique<SkinFileInfo>();
    case kSkinSpin: return std::make_unique<SkinSpinData>();
    case kSkinTreeView: return std::make_unique<SkinTreeViewData>();
    case kSkinDateTime: return std::make_unique<SkinDateTimeData>();
    case kSkinMonthCalendar: return std::make_unique<SkinMonthCalData>();
    case kSkinRebar: return std::make_unique<SkinRebarData>();
    case kSkinHeader: return std::make_unique<SkinHeaderData>();
    case kSkinCaptionStatic: return std::make_unique<SkinCaptionStaticData>();
    case kSkinImageList: return std::make_unique<SkinImageListData>();
    case kSkinAnimate: return std::make_unique<SkinAnimateData>();
    case kSkinTooltip: return std::make_unique<SkinTooltipData>();
    case kSkinSysColorTable: return std::make_unique<SkinSysColorTable>();
    case kSkinGeneric: return std::make_unique<SkinGenericData>();
    default: return nullptr;
    }
}

// --- MenuBar (20) -------------------------------------------------------------

SkinMenuBarData::SkinMenuBarData()
    : SkinElementData(kSkinMenuBar),
      font(MakeSkinFont("Arial", -12, 400)),
      rects(),
      color1(0x727272),
      image1(MakeEmptyLayoutImage()),
      rect4(),
      color2(0xE07272),
      image2(MakeEmptyLayoutImage()),
      image3(MakeEmptyLayoutImage())
{
    for (SkinImageRef& ref : itemImages)
        ref = MakeEmptyImageRef();
    AddField("FONT", K::Font, &font);
    for (int i = 0; i < 3; ++i)
        AddField("RECT" + std::to_string(i + 1), K::Rect, &rects[i]);
    AddField("COLOR1", K::Color, &color1);
    AddField("IMAGE1", K::LayoutImage, &image1);
    AddField("RECT4", K::Rect, &rect4);
    AddField("COLOR2", K::Color, &color2);
    AddField("IMAGE2", K::LayoutImage, &image2);
    for (int i = 0; i < 12; ++i)
        AddField("ITEMIMAGE" + std::to_string(i + 1), K::ImageRef, &itemImages[i], 0, 2);
    AddField("IMAGE3", K::LayoutImage, &image3, 0, 3);
}

// --- FrameWnd (1) -------------------------------------------------------------

SkinFrameData::SkinFrameData()
    : SkinPartsData(kSkinFrameWnd), skinClient(0), mdiClient(MakeEmptyImageRef())
{
    AddField("MENUBAR", K::Custom, &menuBar).embedded = &menuBar;
    AddPropertyField("SKINCLIENT", K::Bool, &skinClient, 0, 6);
    AddPropertyField("MDICLIENT", K::ImageRef, &mdiClient, 0, 6);
    for (int i = 0; i < kPartCount; ++i) {
        AddProperty(kSkinValueImageRef, Join("ACTIVEFRAME", kSkinPartPropertyNames[i]).c_str(), "",
                    &partImages[i], kSkinImageRefWidth);
        AddProperty(kSkinValueImageRef, Join("DEACTIVEFRAME", kSkinPartPropertyNames[i]).c_str(),
                    "", &partImages[9 + i], kSkinImageRefWidth);
    }
    AddProperty(kSkinValueColor, "ACTIVEFRAME.COLOR", "", &activeColor, 4);
    AddProperty(kSkinValueColor, "DEACTIVEFRAME.COLOR", "", &inactiveColor, 4);
    AddProperty(kSkinValueFont, "CAPTIONFONT", "", &captionFont, kSkinFontWidth);
}

void SkinFrameData::LoadCustom(SkinMemoryStream& stream, const SkinField& field)
{
    uint32_t skippedType = 0;
    stream.ReadU32(skippedType);
    menuBar.Load(stream);
}

void SkinFrameData::SaveCustom(SkinMemoryStream& stream, const SkinField& field) const
{
    menuBar.Save(stream);
}

// --- ShapeWnd (2) -------------------------------------------------------------

SkinShapeData::SkinShapeData()
    : SkinDataObject(kSkinShapeWnd),
      backgroundImage(MakeEmptyImageRef()),
      rect1(),
      rect2(),
      alpha(255),
      layeredKey(0xFFFFFF),
      taskBar(1)
{
    AddField("BACKGROUND", K::ImageRef, &backgroundImage);
    AddField("RECT1", K::Rect, &rect1);
    AddField("RECT2", K::Rect, &rect2);
    AddField("ALPHA", K::Byte, &alpha);
    AddField("LAYEREDKEY", K::Color, &layeredKey);
    AddField("TASKBAR", K::UInt, &taskBar);
}

// --- CaptionButton (3) --------------------------------------------------------

SkinCaptionButtonData::SkinCaptionButtonData()
    : SkinElementData(kSkinCaptionButton),
      hotImage(MakeEmptyImageRef()),
      pressedImage(MakeEmptyImageRef()),
      disabledImage(MakeEmptyImageRef()),
      action(0),
      toggle(0)
{
    AddField("HOTIMAGE", K::ImageRef, &hotImage);
    AddField("PRESSEDIMAGE", K::ImageRef, &pressedImage);
    AddField("DISABLEDIMAGE", K::ImageRef, &disabledImage);
    AddField("ACTION", K::UInt, &action);
    AddField("TOGGLE", K::UInt, &toggle);
}

// --- Button (4) ---------------------------------------------------------------

static const char* const kButtonStates[6] = {"NORMAL", "PRESSED", "DEFAULT", "FOCUSED", "HIGHLIGHTED", "DISABLED"};

SkinButtonData::SkinButtonData()
    : SkinControlData(kSkinButton, nullptr), value1(0), value2(0), memoryValue(1000)
{
    for (auto& block : states)
        block = {};
    std::memset(label, 0, sizeof label);
    for (int i = 0; i < 6; ++i) {
        states[i].effect = MakeDefaultTextEffect();
        AddPropertyField(Join(kButtonStates[i], "IMAGE"), K::LayoutImage, &states[i].image);
        AddPropertyField(Join(kButtonStates[i], "TEXTEFFECT"), K::TextEffect, &states[i].effect);
        AddField(Join(kButtonStates[i], "TAIL"), K::Words, states[i].tail, 16);
    }
    AddField("LABEL", K::String, label, sizeof label);
    AddField("VALUE1", K::UInt, &value1);
    AddField("VALUE2", K::UInt, &value2);
}

void SkinButtonData::Load(SkinMemoryStream& stream)
{
    if (stream.Minor() > 6) {
        SkinControlData::Load(stream);
        return;
    }
    // Up to 1.6 a button had the base body alone, and its font came after
    // the first value.
    const size_t value2Field = Fields().size() - 1;
    LoadFields(stream, 0, baseFieldCount_);
    LoadFields(stream, controlFieldEnd_, value2Field);
    stream.Read(&font, sizeof font);
    font.logFont.faceName[sizeof font.logFont.faceName - 1] = '\0';
    stream.ReadU32(value2);
    stream.ReadU32(memoryValue);
    AfterLoad(stream.Minor());
}

void SkinButtonData::AfterLoad(uint8_t minor)
{
    SkinControlData::AfterLoad(minor);
    if (minor < 9)
        for (SkinStateBlock& state : states)
            state.effect = DefaultEffectWithText(font.color);
}

// --- CheckBox and Radio (5, 11) -------------------------------------------------

static const char* const kCheckStates[7] = {
    "NORMAL", "SELECTED", "DISABLED", "GRAYEDNORMAL", "GRAYEDSELECTED", "HIGHLIGHTEDNORMAL", "HIGHLIGHTEDSELECTED"};

SkinCheckData::SkinCheckData(uint32_t type) : SkinControlData(type, nullptr), transparent(0)
{
    for (auto& block : states)
        block = {};
    std::memset(label, 0, sizeof label);
    for (int i = 0; i < 7; ++i) {
        states[i].effect = MakeDefaultTextEffect();
        AddPropertyField(Join(kCheckStates[i], "BACKGROUNDIMAGE"), K::ImageRef, &states[i].background);
        AddField(Join(kCheckStates[i], "GAP"), K::Words, states[i].gap, 16);
        AddPropertyField(Join(kCheckStates[i], "BOXIMAGE"), K::ImageRef, &states[i].box);
        AddField(Join(kCheckStates[i], "TEXTEFFECT"), K::TextEffect, &states[i].effect);
        AddField(Join(kCheckStates[i], "TAIL"), K::Words, states[i].tail, 16);
    }
    AddField("LABEL", K::String, label, sizeof label);
    AddPropertyField("TRANSPARENT", K::Bool, &transparent);
}

void SkinCheckData::AfterLoad(uint8_t minor)
{
    SkinControlData::AfterLoad(minor);
    if (minor < 9) {
        for (SkinCheckBlock& state : states)
            state.effect = MakeDefaultTextEffect();
        transparent = 0;
    }
}

// --- ComboBox (6, 33) -----------------------------------------------------------

static const char* const kThumbStates[4] = {"NORMAL", "PRESSED", "HOVERED", "DISABLED"};

SkinComboData::SkinComboData(uint32_t type)
    : SkinControlData(type, nullptr),
      focusColor(SkinSysColor(kSkinColorHighlight)),
      disabledBackColor(SkinSysColor(kSkinColorBtnFace)),
      disabledTextColor(SkinSysColor(kSkinColorGrayText)),
      focusTextColor(SkinSysColor(kSkinColorHighlightText))
{
    for (int i = 0; i < 4; ++i) {
        thumbs[i] = MakeEmptyLayoutImage();
        AddPropertyField(Join("THUMB", kThumbStates[i]), K::LayoutImage, &thumbs[i]);
    }
    AddPropertyField("COLOR.FOCUS", K::Color, &focusColor);
    AddPropertyField("COLOR.DISABLEDBACKGROUND", K::Color, &disabledBackColor, 0, 11);
    AddPropertyField("COLOR.DISABLEDTEXT", K::Color, &disabledTextColor, 0, 11);
    AddPropertyField("COLOR.FOCUSTEXTCOLOR", K::Color, &focusTextColor, 0, 11);
    AddProperty(kSkinValueColor, "COLOR.BACKCOLOR", "", &backColor, 4);
    AddProperty(kSkinValueColor, "COLOR.TEXTCOLOR", "", &textColor, 4);
}

void SkinComboData::AfterLoad(uint8_t minor)
{
    SkinControlData::AfterLoad(minor);
    if (minor < 9) {
        backColor = SkinSysColor(kSkinColorBtnFace);
        textColor = SkinSysColor(kSkinColorBtnText);
    }
    if (minor <= 10) {
        disabledBackColor = backColor;
        disabledTextColor = textColor;
        backColor = SkinSysColor(kSkinColorWindow);
        textColor = SkinSysColor(kSkinColorWindowText);
    }
}

// --- Edit family (7, 9, 26, 28, 30) -----------------------------------------------

SkinEditData::SkinEditData(uint32_t type)
    : SkinControlData(type, "BORDER"), backgroundImage(MakeEmptyImageRef())
{
    AddPropertyField("BACKGROUND", K::ImageRef, &backgroundImage);
    AddProperty(kSkinValueColor, "DISABLEDCOLOR", "", &backColor, 4);
    AddProperty(kSkinValueColor, "BACKCOLOR", "", &backColor, 4);
}

void SkinEditData::AfterLoad(uint8_t minor)
{
    SkinControlData::AfterLoad(minor);
    if (minor <= 10) {
        backColor = SkinSysColor(kSkinColorWindow);
        textColor = SkinSysColor(kSkinColorWindowText);
        keyColor = SkinSysColor(kSkinColorBtnFace);
    }
}

// --- GroupBox (8) -----------------------------------------------------------------

SkinGroupBoxData::SkinGroupBoxData()
    : SkinControlData(kSkinGroupBox, "FRAMEIMAGE"),
      captionImage(MakeEmptyLayoutImage()),
      captionColor(0),
      effect(MakeDefaultTextEffect()),
      transparent(0)
{
    AddPropertyField("CAPTIONIMAGE", K::LayoutImage, &captionImage);
    AddPropertyField("CAPTIONCOLOR", K::Color, &captionColor);
    AddPropertyField("TEXTEFFECT", K::TextEffect, &effect);
    AddPropertyField("TRANSPARENT", K::Bool, &transparent);
}

void SkinGroupBoxData::AfterLoad(uint8_t minor)
{
    SkinControlData::AfterLoad(minor);
    if (minor < 9)
        effect = MakeDefaultTextEffect();
}

// --- ProgressBar (10) ---------------------------------------------------------------

SkinProgressData::SkinProgressData()
    : SkinControlData(kSkinProgressBar, "BACKGROUND"),
      progressImage(MakeEmptyLayoutImage()),
      value1(0),
      style(0),
      value2(0)
{
    AddPropertyField("PROGRESSIMAGE", K::LayoutImage, &progressImage);
    AddField("VALUE1", K::UInt, &value1);
    AddPropertyField("STYLE", K::Bool, &style);
    AddField("VALUE2", K::UInt, &value2);
    AddProperty(kSkinValueColor, "BACKCOLOR", "", &backColor, 4);
    AddProperty(kSkinValueColor, "PROGRESSCOLOR", "", &textColor, 4);
}

// --- ScrollBar (12) -----------------------------------------------------------------

static const char* const kScrollStates[8] = {"NORMAL", "PRESSED", "HIGHLIGHTED", "DISABLED",
                                             "VNORMAL", "VPRESSED", "VHIGHLIGHTED", "VDISABLED"};

SkinScrollBarData::SkinScrollBarData()
    : SkinControlData(kSkinScrollBar, nullptr), gripper(MakeEmptyImageRef()), values{0, 100, 10, 1, 10}
{
    for (auto& block : horizontal)
        block = {};
    for (auto& block : vertical)
        block = {};
    auto addBlock = [this](const char* state, SkinScrollBlock& block, uint8_t minMinor) {
        AddPropertyField(Join(state, "ARROW1"), K::ImageRef, &block.arrow1, 0, minMinor);
        AddPropertyField(Join(state, "ARROW2"), K::ImageRef, &block.arrow2, 0, minMinor);
        AddPropertyField(Join(state, "SCROLLBAR"), K::LayoutImage, &block.bar, 0, minMinor);
        AddPropertyField(Join(state, "THUMB"), K::LayoutImage, &block.thumb, 0, minMinor);
    };
    for (int i = 0; i < 4; ++i)
        addBlock(kScrollStates[i], horizontal[i], 0);
    AddPropertyField("GRIPPER", K::ImageRef, &gripper);
    for (int i = 0; i < 5; ++i)
        AddField("VALUE" + std::to_string(i + 1), K::UInt, &values[i]);
    for (int i = 0; i < 4; ++i)
        addBlock(kScrollStates[4 + i], vertical[i], 12);
}

// --- Slider (13) --------------------------------------------------------------------

SkinSliderData::SkinSliderData()
    : SkinControlData(kSkinSlider, "BACKGROUND"),
      thumbHorizontal(MakeEmptyLayoutImage()),
      value(0),
      values{},
      channel(MakeEmptyLayoutImage()),
      transparent(0),
      thumbVertical(MakeEmptyLayoutImage())
{
    AddPropertyField("THUMB.HORIZONTAL", K::LayoutImage, &thumbHorizontal);
    AddField("VALUE", K::UInt, &value);
    for (int i = 0; i < 4; ++i)
        AddField("VALUE" + std::to_string(i + 1), K::UInt, &values[i]);
    AddPropertyField("CHANNEL", K::LayoutImage, &channel);
    AddPropertyField("TRANSPARENT", K::Bool, &transparent, 0, 9);
    AddPropertyField("THUMB.VERTICAL", K::LayoutImage, &thumbVertical, 0, 9);
}

// --- Static (14) --------------------------------------------------------------------

SkinStaticData::SkinStaticData()
    : SkinControlData(kSkinStatic, "BACKIMAGE"), transparent(0), effect(MakeDefaultTextEffect()), tail{}
{
    std::memset(label, 0, sizeof label);
    AddPropertyField("TRANSPARENT", K::Bool, &transparent);
    AddPropertyField("TEXTEFFECT", K::TextEffect, &effect);
    AddField("LABEL", K::String, label, sizeof label);
    AddField("TAIL", K::Words, tail, 16, 16);
    AddProperty(kSkinValueColor, "BACKCOLOR", "", &backColor, 4);
}

void SkinStaticData::AfterLoad(uint8_t minor)
{
    SkinControlData::AfterLoad(minor);
    if (minor < 9)
        effect = DefaultEffectWithText(font.color);
}

// --- StatusBar (15) -----------------------------------------------------------------

SkinStatusBarData::SkinStatusBarData()
    : SkinControlData(kSkinStatusBar, "BACKIMAGE"),
      itemImage(MakeEmptyLayoutImage()),
      itemRef(MakeEmptyImageRef())
{
    AddPropertyField("ITEM.ITEMIMAGE", K::LayoutImage, &itemImage);
    AddField("ITEMREF", K::ImageRef, &itemRef);
    AddProperty(kSkinValueFont, "ITEM.FONT", "", &font, kSkinFontWidth);
}

// --- Tab (16) -----------------------------------------------------------------------

static const char* const kTabStates[4] = {"NORMAL", "PRESSED", "DISABLED", "HOVERED"};

SkinTabData::SkinTabData()
    : SkinControlData(kSkinTab, "BACKGROUND"), frame(MakeEmptyLayoutImage()), transparent(0)
{
    for (auto& block : states)
        block = {};
    for (int i = 0; i < 4; ++i) {
        states[i].effect = MakeDefaultTextEffect();
        AddPropertyField(Join(kTabStates[i], "TABIMAGE"), K::LayoutImage, &states[i].image);
        AddPropertyField(Join(kTabStates[i], "TEXTEFFECT"), K::TextEffect, &states[i].effect);
        AddField(Join(kTabStates[i], "TAIL"), K::Words, states[i].tail, 16);
    }
    AddPropertyField("FRAME", K::LayoutImage, &frame);
    AddPropertyField("TRANSpARENT", K::Bool, &transparent, 0, 9);
}

// --- PopupMenu (17) -----------------------------------------------------------------

SkinMenuData::SkinMenuData()
    : SkinPartsData(kSkinPopupMenu),
      rects(),
      itemActiveColor(0xFAE6E6),
      itemSeparatorColor(0),
      separatorImage(MakeEmptyLayoutImage()),
      activeImage(MakeEmptyLayoutImage()),
      subMenuImage(MakeEmptyImageRef()),
      checkImage(MakeEmptyImageRef())
{
    static const SkinRect kFrame[kPartCount] = {
        {0, 0, 4, 4},     {4, 0, 274, 4},     {274, 0, 278, 4},
        {0, 4, 4, 148},   {4, 4, 274, 148},   {274, 4, 278, 148},
        {0, 148, 4, 152}, {4, 148, 274, 152}, {274, 148, 278, 152},
    };
    for (int i = 0; i < kPartCount; ++i)
        partRects[i] = kFrame[i];
    activeColor = 0xE2B61D;
    inactiveColor = 0x727200;
    thirdColor = 0xFFFFFF;
    for (int i = 0; i < 3; ++i)
        AddField("RECT" + std::to_string(i + 1), K::Rect, &rects[i]);
    AddPropertyField("ITEM.ACTIVECOLOR", K::Color, &itemActiveColor);
    AddPropertyField("ITEM.SEPARATORCOLOR", K::Color, &itemSeparatorColor);
    AddPropertyField("ITEM.SEPARATORIMAGE", K::LayoutImage, &separatorImage);
    AddPropertyField("ITEM.ACTIVEIMAGE", K::LayoutImage, &activeImage);
    AddPropertyField("ITEM.SUBMENU", K::ImageRef, &subMenuImage);
    AddPropertyField("ITEM.CHECKIMAGE", K::ImageRef, &checkImage, 0, 3);
    for (int i = 0; i < kPartCount; ++i)
        AddProperty(kSkinValueImageRef, Join("FRAME", kSkinPartPropertyNames[i]).c_str(), "",
                    &partImages[i], kSkinImageRefWidth);
    AddProperty(kSkinValueColor, "FRAME.COLOR", "", &activeColor, 4);
    AddProperty(kSkinValueFont, "ITEM.FONT", "", &captionFont, kSkinFontWidth);
}

// --- Image (18) ---------------------------------------------------------------------

SkinImageObject::SkinImageObject() : SkinDataObject(kSkinImage)
{
    AddField("IMAGEDATA", K::Custom, nullptr);
}

SkinImageObject::~SkinImageObject() = default;

CSkinImage* SkinImageObject::GetImage() const { return image_.get(); }

void SkinImageObject::SetImage(std::unique_ptr<CSkinImage> image)
{
    image_ = std::move(image);
    if (image_ && image_->GetType() != CSkinImage::kFormatUnknown)
        format_ = image_->GetType();
}

void SkinImageObject::LoadCustom(SkinMemoryStream& stream, const SkinField& field)
{
    uint32_t length = 0;
    stream.ReadU32(length);
    stream.ReadU32(format_);
    if (length == 0)
        return;
    if (length > stream.Remaining()) {
        // Truncated: the bitmap cannot be whole; nothing after it is left.
        stream.Seek(0, 2);
        return;
    }
    std::unique_ptr<CSkinImage> image(new CSkinImage());
    const uint8_t* bytes = stream.Data() + stream.Position();
    stream.Seek(length, 1);
    if (image->Decode(bytes, length, format_))
        image_ = std::move(image);
}

void SkinImageObject::SaveCustom(SkinMemoryStream& stream, const SkinField& field) const
{
    uint8_t* encoded = nullptr;
    int32_t size = 0;
    const uint32_t format = (image_ && image_->GetType() != CSkinImage::kFormatUnknown)
                                ? image_->GetType() : format_;
    if (!image_ || !image_->IsValid() || !image_->Encode(encoded, size, format) || size <= 0) {
        CSkinImage::FreeMemory(encoded);
        stream.WriteU32(0);
        stream.WriteU32(format);
        return;
    }
    stream.WriteU32(uint32_t(size));
    stream.WriteU32(format);
    stream.Write(encoded, uint32_t(size));
    CSkinImage::FreeMemory(encoded);
}

// --- ToolBar (23) -------------------------------------------------------------------

SkinToolBarData::SkinToolBarData() : SkinControlData(kSkinToolBar, nullptr)
{
    for (int i = 0; i < 5; ++i) {
        images[i] = MakeEmptyLayoutImage();
        AddField("IMAGE" + std::to_string(i + 1), K::LayoutImage, &images[i]);
    }
}

// --- Application (25) ---------------------------------------------------------------

SkinFileInfo::SkinFileInfo() : SkinDataObject(kSkinApplication), useTransparentColor(1)
{
    keyColor = 0xFF00FF;
    CopySkinText(author, sizeof author, "VeneerKit Builder");
    CopySkinText(description, sizeof description, "VeneerKit Skin File");
    CopySkinText(application, sizeof application, "");
    CopySkinText(email, sizeof email, "skins@quorbel.invalid");
    CopySkinText(homepage, sizeof homepage, "http://www.quorbel.invalid/");
    AddPropertyField("AUTHOR", K::String, author, sizeof author);
    AddPropertyField("DESCRIPTION", K::String, description, sizeof description);
    AddPropertyField("APPLICATION", K::String, application, sizeof application);
    AddPropertyField("USETRANSPARENTCOLOR", K::Bool, &useTransparentColor);
    AddPropertyField("EMAIL", K::String, email, sizeof email, 4);
    AddPropertyField("HOMEPAGE", K::String, homepage, sizeof homepage, 4);
}

// --- Spin (27) ----------------------------------------------------------------------

static const char* const kSpinStates[4] = {"NORMAL", "HOVER", "PRESSED", "DISABLED"};

SkinSpinData::SkinSpinData() : SkinControlData(kSkinSpin, nullptr)
{
    for (auto& block : vertical)
        block = {};
    for (auto& block : horizontal)
        block = {};
    for (int i = 0; i < 4; ++i) {
        const std::string state = Join("VERTICAL", kSpinStates[i]);
        AddPropertyField(state + ".UP", K::ImageRef, &vertical[i].up);
        AddPropertyField(state + ".DOWN", K::ImageRef, &vertical[i].down);
    }
    for (int i = 0; i < 4; ++i) {
        const std::string state = Join("HORIZONTAL", kSpinStates[i]);
        AddPropertyField(state + ".UP", K::ImageRef, &horizontal[i].up, 0, 13);
        AddPropertyField(state + ".DOWN", K::ImageRef, &horizontal[i].down, 0, 13);
    }
}

// --- TreeView (29) ------------------------------------------------------------------

SkinTreeViewData::SkinTreeViewData()
    : SkinEditData(kSkinTreeView),
      activeItem(MakeEmptyLayoutImage()),
      inactiveItem(MakeEmptyLayoutImage()),
      activeColor(0),
      inactiveColor(0),
      activeText(MakeDefaultTextEffect()),
      inactiveText(MakeDefaultTextEffect()),
      openButton(MakeEmptyImageRef()),
      closedButton(MakeEmptyImageRef()),
      check(MakeEmptyImageRef()),
      uncheck(MakeEmptyImageRef()),
      lineColor(0)
{
    AddPropertyField("ACTIVEITEM", K::LayoutImage, &activeItem, 0, 12);
    AddPropertyField("INACTIVEITEM", K::LayoutImage, &inactiveItem, 0, 12);
    AddPropertyField("ACTIVECOLOR", K::Color, &activeColor, 0, 12);
    AddPropertyField("INACTIVECOLOR", K::Color, &inactiveColor, 0, 12);
    AddPropertyField("ACTIVETEXT", K::TextEffect, &activeText, 0, 12);
    AddPropertyField("INACTIVETEXT", K::TextEffect, &inactiveText, 0, 12);
    AddPropertyField("OPENBUTTON", K::ImageRef, &openButton, 0, 15);
    AddPropertyField("CLOSEDBUTTON", K::ImageRef, &closedButton, 0, 15);
    AddPropertyField("CHECK", K::ImageRef, &check, 0, 15);
    AddPropertyField("UNCHECK", K::ImageRef, &uncheck, 0, 15);
    AddPropertyField("LINE", K::Color, &lineColor, 0, 15);
}

// --- DateTime (31) ------------------------------------------------------------------

SkinDateTimeData::SkinDateTimeData()
    : SkinControlData(kSkinDateTime, nullptr),
      ref1(MakeEmptyImageRef()),
      rect1(),
      ref2(MakeEmptyImageRef()),
      rect2(),
      color(SkinSysColor(kSkinColorBtnFace))
{
    backColor = SkinSysColor(kSkinColorWindow);
    for (int i = 0; i < 3; ++i) {
        images[i] = MakeEmptyLayoutImage();
        AddField("IMAGE" + std::to_string(i + 1), K::LayoutImage, &images[i]);
    }
    AddField("REF1", K::ImageRef, &ref1);
    AddField("RECT1", K::Rect, &rect1);
    AddField("REF2", K::ImageRef, &ref2);
    AddField("RECT2", K::Rect, &rect2);
    AddField("COLOR", K::Color, &color);
}

// --- MonthCalendar (35) -------------------------------------------------------------

SkinMonthCalData::SkinMonthCalData() : SkinControlData(kSkinMonthCalendar, nullptr)
{
    backColor = SkinSysColor(kSkinColorWindow);
    textColor = SkinSysColor(kSkinColorWindowText);
    static const int kColorIndexes[4] = {kSkinColorWindow, kSkinColorActiveCaption,
                                         kSkinColorCaptionText, kSkinColorGrayText};
    for (int i = 0; i < 6; ++i) {
        images[i] = MakeEmptyLayoutImage();
        AddField("IMAGE" + std::to_string(i + 1), K::LayoutImage, &images[i]);
    }
    for (int i = 0; i < 4; ++i) {
        colors[i] = SkinSysColor(kColorIndexes[i]);
        AddField("COLOR" + std::to_string(i + 1), K::Color, &colors[i]);
    }
}

// --- Rebar (36) ---------------------------------------------------------------------

SkinRebarData::SkinRebarData()
    : SkinControlData(kSkinRebar, "BACKGROUND"), bandImage(MakeEmptyLayoutImage()), tail{}
{
    AddPropertyField("BANDIMAGE", K::LayoutImage, &bandImage);
    AddField("TAIL", K::Words, tail, 16);
}

// --- Header (37) --------------------------------------------------------------------

SkinHeaderData::SkinHeaderData()
    : SkinControlData(kSkinHeader, "BACKGROUND"), effect(MakeDefaultTextEffect()), item(MakeEmptyLayoutImage())
{
    AddPropertyField("TEXTEFFECT", K::TextEffect, &effect);
    AddPropertyField("ITEM", K::LayoutImage, &item);
}

// --- CaptionStatic (38) -------------------------------------------------------------

SkinCaptionStaticData::SkinCaptionStaticData()
    : SkinElementData(kSkinCaptionStatic),
      textSource(0),
      layout{},
      value1(2),
      font(MakeSkinFont("MS Sans Serif", -12, 400)),
      effect(MakeDefaultTextEffect()),
      value2(0),
      value3(1)
{
    std::memset(label, 0, sizeof label);
    AddField("TEXTSOURCE", K::UInt, &textSource);
    AddField("LAYOUT", K::Words, layout, sizeof layout);
    AddField("VALUE1", K::UInt, &value1);
    AddField("FONT", K::Font, &font);
    AddField("TEXTEFFECT", K::TextEffect, &effect);
    AddField("LABEL", K::String, label, sizeof label);
    AddField("VALUE2", K::UInt, &value2);
    AddField("VALUE3", K::UInt, &value3);
}

SkinCaptionStaticData::~SkinCaptionStaticData() = default;

void SkinCaptionStaticData::ReleaseGdi() { ReleasePart(resolved_); }

void SkinCaptionStaticData::Resolve(SkinPackage& package)
{
    ReleasePart(resolved_);
    ResolvePart(package, image, resolved_);
}

// --- ImageList (39) -----------------------------------------------------------------

SkinImageListData::SkinImageListData()
    : SkinDataObject(kSkinImageList), values{16, 16, 5, 10}, image(MakeEmptyImageRef())
{
    for (int i = 0; i < 4; ++i)
        AddField("VALUE" + std::to_string(i + 1), K::UInt, &values[i]);
    AddField("IMAGE", K::ImageRef, &image);
}

// --- Animate (40) -------------------------------------------------------------------

SkinAnimateData::SkinAnimateData()
    : SkinControlData(kSkinAnimate, "BORDER"), backgroundImage(MakeEmptyImageRef())
{
    AddPropertyField("BACKGROUND", K::ImageRef, &backgroundImage);
}

// --- Tooltip (42) -------------------------------------------------------------------

SkinTooltipData::SkinTooltipData()
    : SkinPartsData(kSkinTooltip), showDelay(1000), hideDelay(8000), placement(0)
{
    static const SkinRect kFrame[kPartCount] = {
        {0, 0, 1, 1},     {1, 0, 277, 1},     {277, 0, 278, 1},
        {0, 1, 1, 151},   {1, 1, 277, 151},   {277, 1, 278, 151},
        {0, 151, 1, 152}, {1, 151, 277, 152}, {277, 151, 278, 152},
    };
    for (int i = 0; i < kPartCount; ++i)
        partRects[i] = kFrame[i];
    activeColor = 0;
    inactiveColor = 0;
    thirdColor = SkinSysColor(kSkinColorInfoBk);
    AddField("SHOWDELAY", K::UInt, &showDelay);
    AddField("HIDEDELAY", K::UInt, &hideDelay);
    AddField("PLACEMENT", K::UInt, &placement);
    AddField("STYLESHEET", K::Custom, &styleSheet);
}

void SkinTooltipData::LoadCustom(SkinMemoryStream& stream, const SkinField& field)
{
    uint32_t length = 0;
    if (stream.ReadU32(length) != 4)
        return;
    const uint32_t available = std::min(length, stream.Remaining());
    if (available > kMaxVariableBytes) {
        stream.Seek(available, 1);
        return;
    }
    styleSheet.assign(reinterpret_cast<const char*>(stream.Data() + stream.Position()), available);
    stream.Seek(available, 1);
    // A zero inside the text ends it, as it would in a C string.
    styleSheet.resize(std::strlen(styleSheet.c_str()));
}

void SkinTooltipData::SaveCustom(SkinMemoryStream& stream, const SkinField& field) const
{
    const uint32_t length = uint32_t(std::min<size_t>(styleSheet.size(), kMaxVariableBytes));
    stream.WriteU32(length);
    if (length)
        stream.Write(styleSheet.data(), length);
}

// --- SysColorTable (44) -------------------------------------------------------------

SkinSysColorTable::SkinSysColorTable() : SkinDataObject(kSkinSysColorTable), colors{}
{
    for (int i = 0; i < kSkinSysColorCount; ++i) {
        colors[i] = SkinSysColor(i);
        AddField("COLOR" + std::to_string(i), K::Color, &colors[i]);
    }
    AddField("SPARE", K::Words, &colors[kSkinSysColorCount], 4 * (100 - kSkinSysColorCount));
}

SkinSysColorTable::~SkinSysColorTable() = default;

SkinColor SkinSysColorTable::GetColor(int index) const
{
    return (index >= 0 && index < kSkinSysColorCount) ? colors[index] : 0;
}

SkinGdiHandle SkinSysColorTable::GetBrush(int index) const
{
    return (index >= 0 && index < kSkinSysColorCount && brushes_[index]) ? brushes_[index]->Get() : nullptr;
}

void SkinSysColorTable::ReleaseGdi()
{
    SkinDataObject::ReleaseGdi();
    for (auto& brush : brushes_)
        brush.reset();
}

void SkinSysColorTable::Resolve(SkinPackage& package)
{
    SkinDataObject::Resolve(package);
    for (int i = 0; i < kSkinSysColorCount; ++i)
        brushes_[i] = package.Resources().Brush(colors[i]);
}

// --- Generic object (100) -----------------------------------------------------------

SkinGenericData::SkinGenericData() : SkinControlData(kSkinGeneric, nullptr)
{
    std::memset(label, 0, sizeof label);
    AddField("LABEL", K::String, label, sizeof label);
    AddField("ENTRIES", K::Custom, &entries_);
}

SkinProperty* SkinGenericData::FindProperty(const char* propName)
{
    if (SkinProperty* prop = SkinControlData::FindProperty(propName))
        return prop;
    return FindEntry(propName);
}

SkinProperty* SkinGenericData::FindEntry(const char* entryName)
{
    if (!entryName)
        return nullptr;
    for (auto& entry : entries_)
        if (SameNoCase(entry->name, entryName))
            return entry.get();
    return nullptr;
}

void SkinGenericData::AddEntry(uint32_t valueType, const char* entryName, const char* defaultText,
                               const void* value, uint32_t width, const char* entryText)
{
    auto entry = std::make_unique<SkinProperty>();
    entry->valueType = valueType;
    CopySkinText(entry->name, sizeof entry->name, entryName);
    CopySkinText(entry->defaultText, sizeof entry->defaultText, defaultText);
    entry->ownsStorage = true;
    entry->ownedValue.assign(static_cast<const uint8_t*>(value),
                             static_cast<const uint8_t*>(value) + (value ? width : 0));
    entry->width = uint32_t(entry->ownedValue.size());
    entry->storage = entry->ownedValue.empty() ? nullptr : entry->ownedValue.data();
    if (entryText) {
        const size_t n = std::strlen(entryText);
        entry->text.reset(new char[n + 1]);
        std::memcpy(entry->text.get(), entryText, n + 1);
    }
    entries_.push_back(std::move(entry));
}

void SkinGenericData::LoadCustom(SkinMemoryStream& stream, const SkinField& field)
{
    entries_.clear();
    uint32_t count = 0;
    stream.ReadU32(count);
    for (uint32_t i = 0; i < count && !stream.AtEnd(); ++i) {
        uint32_t valueType = 0;
        char entryName[31] = {};
        char defaultText[51] = {};
        uint32_t width = 0;
        stream.ReadU32(valueType);
        stream.ReadText(entryName, sizeof entryName);
        stream.ReadText(defaultText, sizeof defaultText);
        stream.ReadU32(width);
        bool keep = width <= kMaxVariableBytes && width <= stream.Remaining();
        const uint8_t* value = keep ? stream.Data() + stream.Position() : nullptr;
        stream.Seek(std::min(width, stream.Remaining()), 1);
        uint32_t textLength = 0;
        stream.ReadU32(textLength);
        keep = keep && textLength <= kMaxVariableBytes && textLength <= stream.Remaining();
        std::string entryText;
        if (keep && textLength)
            entryText.assign(reinterpret_cast<const char*>(stream.Data() + stream.Position()), textLength);
        stream.Seek(std::min(textLength, stream.Remaining()), 1);
        if (!keep)
            continue;  // skipped like an entry whose buffers cannot be had
        AddEntry(valueType, entryName, defaultText, value, width,
                 textLength ? entryText.c_str() : nullptr);
    }
}

void SkinGenericData::SaveCustom(SkinMemoryStream& stream, const SkinField& field) const
{
    stream.WriteU32(uint32_t(entries_.size()));
    for (const auto& entry : entries_) {
        stream.WriteU32(entry->valueType);
        stream.Write(entry->name, sizeof entry->name);
        stream.Write(entry->defaultText, sizeof entry->defaultText);
        stream.WriteU32(uint32_t(entry->ownedValue.size()));
        if (!entry->ownedValue.empty())
            stream.Write(entry->ownedValue.data(), uint32_t(entry->ownedValue.size()));
        const uint32_t textLength = entry->text ? uint32_t(std::strlen(entry->text.get()) + 1) : 0;
        stream.WriteU32(textLength);
        if (textLength)
            stream.Write(entry->text.get(), textLength);
    }
}
