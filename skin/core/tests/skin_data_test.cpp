// Skin data objects: Load/Save of every type, body sizes worked out by hand
// from the stored layout, version gates, properties and children.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_package.h"
#include "skin/core/tests/skin_test_util.h"

namespace {

// Every type id the reader makes objects of.
const uint32_t kAllTypes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                              23, 24, 25, 26, 27, 28, 29, 30, 31, 33, 35, 36, 37, 38, 39, 40, 42,
                              44, 100};

std::vector<uint8_t> SaveBytes(const SkinDataObject& object)
{
    SkinMemoryStream out;
    object.Save(out);
    return std::vector<uint8_t>(out.Data(), out.Data() + out.Length());
}

// Loads a body (type id already stripped) at a version.
std::unique_ptr<SkinDataObject> LoadBody(uint32_t type, const std::vector<uint8_t>& body,
                                         uint8_t minor, uint32_t* consumed = nullptr)
{
    std::unique_ptr<SkinDataObject> object = CreateSkinDataObject(type);
    SkinMemoryStream in(body.empty() ? nullptr : body.data(), uint32_t(body.size()));
    in.SetVersion(1, minor);
    object->Load(in);
    if (consumed)
        *consumed = in.Position();
    return object;
}

std::vector<uint8_t> Body(const std::vector<uint8_t>& saved)
{
    return std::vector<uint8_t>(saved.begin() + 4, saved.end());
}

// Gives every plain field a value of its own (texts stay terminated).
void FillFields(SkinDataObject& object, uint8_t seed)
{
    uint8_t n = seed;
    for (const SkinField& f : object.Fields()) {
        if (f.embedded) {
            FillFields(*f.embedded, uint8_t(n + 50));
            continue;
        }
        if (!f.storage || f.width == 0 || !f.written)
            continue;
        uint8_t* p = static_cast<uint8_t*>(f.storage);
        for (uint32_t i = 0; i < f.width; ++i)
            p[i] = uint8_t(0x41 + (n + i) % 26);  // letters, so texts read well
        ++n;
        switch (f.kind) {
        case SkinFieldKind::String: p[f.width - 1] = 0; break;
        case SkinFieldKind::Font: static_cast<SkinFont*>(f.storage)->logFont.faceName[31] = 0; break;
        case SkinFieldKind::ImageRef: static_cast<SkinImageRef*>(f.storage)->name[51] = 0; break;
        case SkinFieldKind::LayoutImage: static_cast<SkinLayoutImage*>(f.storage)->name[51] = 0; break;
        default: break;
        }
    }
}

void ExpectSameFields(const SkinDataObject& a, const SkinDataObject& b)
{
    ASSERT_EQ(a.Fields().size(), b.Fields().size());
    for (size_t i = 0; i < a.Fields().size(); ++i) {
        const SkinField& fa = a.Fields()[i];
        const SkinField& fb = b.Fields()[i];
        if (fa.embedded) {
            ExpectSameFields(*fa.embedded, *fb.embedded);
            continue;
        }
        if (!fa.storage || !fa.width || !fa.written)
            continue;
        EXPECT_EQ(std::memcmp(fa.storage, fb.storage, fa.width), 0) << fa.name;
    }
}

TEST(SkinDataRoundTrip, EveryTypeReadsBackWhatItWrote)
{
    for (uint32_t type : kAllTypes) {
        SCOPED_TRACE(testing::Message() << "type " << type);
        std::unique_ptr<SkinDataObject> a = CreateSkinDataObject(type);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->GetType(), type);
        FillFields(*a, uint8_t(type));
        a->SetName("Obj");
        auto child = CreateSkinDataObject(kSkinStatic);
        child->SetName("Kid");
        static_cast<SkinStaticData*>(child.get())->transparent = 1;
        a->AddChild(std::move(child));
        if (auto* tip = dynamic_cast<SkinTooltipData*>(a.get()))
            tip->styleSheet = "p { color: red }";
        if (auto* generic = dynamic_cast<SkinGenericData*>(a.get())) {
            const uint32_t colour = 0x123456;
            generic->AddEntry(kSkinValueColor, "Foo", "dflt", &colour, 4, "hello");
        }
        if (auto* image = dynamic_cast<SkinImageObject*>(a.get()))
            image->SetImage(MakeSolidImage(3, 2, 0x0000FF));

        const std::vector<uint8_t> saved = SaveBytes(*a);
        uint32_t type0 = 0;
        std::memcpy(&type0, saved.data(), 4);
        EXPECT_EQ(type0, type);
        uint32_t consumed = 0;
        const std::vector<uint8_t> body = Body(saved);
        std::unique_ptr<SkinDataObject> b = LoadBody(type, body, 16, &consumed);
        EXPECT_EQ(consumed, body.size());
        ExpectSameFields(*a, *b);
        EXPECT_EQ(SaveBytes(*b), saved);
        EXPECT_STREQ(b->GetName(), "Obj");
        ASSERT_EQ(b->Children().size(), 1u);
        auto* kid = dynamic_cast<SkinStaticData*>(b->FindChildByName("Kid"));
        ASSERT_NE(kid, nullptr);
        EXPECT_EQ(kid->transparent, 1u);
    }
}

// Body sizes (Save output less the 4-byte type id, no children) worked out
// from the stored layout by hand, so that a misreading shared by reader and
// writer shows up.
TEST(SkinDataRoundTrip, BodySizesMatchTheStoredLayout)
{
    // base    = NAME 51 + 3 colours 12 + text 51 + value 4 + rect 16
    //           + AUTOPLACE 4 + child count 4                      = 142
    // parts   = base 142 + 18 refs 1296 + 9 rects 144 + font 64
    //           + 5 u32 20 + effect 16 + 2 iconic 176              = 1858
    // element = base 142 + image 72 + 3 u32 12 + text 51           = 277
    // control = base 142 + font 64 + image 88 + 3 u32 12           = 306
    // menubar = element 277 + font 64 + 3x16 48 + 4 + 88 + 16 + 4
    //           + 88 + 12 refs 864 + 88                            = 1541
    struct Case {
        uint32_t type;
        uint32_t body;
    } cases[] = {
        {1, 3479},   // parts 1858 + (type id 4 + menubar 1541) + 4 + 72
        {2, 255},    // base 142 + 72 + 16 + 16 + 1 + 4 + 4
        {3, 501},    // element 277 + 3 refs 216 + 8
        {4, 1084},   // control 306 + 6 state blocks 720 + 50 + 8
        {5, 1704},   // control 306 + 7 check blocks 1344 + 50 + 4
        {6, 674},    // control 306 + 4 x 88 + 4 x 4
        {7, 378},    // control 306 + ref 72
        {8, 418},    // control 306 + 88 + 4 + 16 + 4
        {10, 406},   // control 306 + 88 + 12
        {11, 1704},  // as 5
        {12, 2958},  // control 306 + 4 scroll blocks 1280 + 72 + 20 + 1280
        {13, 594},   // control 306 + 88 + 4 + 16 + 88 + 4 + 88
        {14, 393},   // control 306 + 4 + 16 + 51 + 16
        {15, 466},   // control 306 + 88 + 72
        {16, 878},   // control 306 + 4 state blocks 480 + 88 + 4
        {17, 2234},  // parts 1858 + 48 + 8 + 176 + 144
        {18, 150},   // base 142 + length 4 + format 4 (no image)
        {19, 142},   // base
        {20, 1541},  // menubar
        {23, 746},   // control 306 + 5 x 88
        {24, 306},   // control
        {25, 401},   // base 142 + 3 x 51 + 4 + 2 x 51
        {27, 1458},  // control 306 + 8 spin blocks 1152
        {29, 886},   // edit 378 + 176 + 8 + 32 + 288 + 4
        {31, 750},   // control 306 + 264 + 72 + 16 + 72 + 16 + 4
        {33, 674},   // as 6
        {35, 850},   // control 306 + 6 x 88 + 16
        {36, 410},   // control 306 + 88 + 16
        {37, 410},   // control 306 + 16 + 88
        {38, 444},   // element 277 + 4 + 20 + 4 + 64 + 16 + 51 + 4 + 4
        {39, 230},   // base 142 + 16 + 72
        {40, 378},   // control 306 + 72
        {42, 1874},  // parts 1858 + 3 x 4 + sheet length 4 (empty sheet)
        {44, 542},   // base 142 + 400
        {100, 361},  // control 306 + 51 + entry count 4
    };
    for (const Case& c : cases) {
        std::unique_ptr<SkinDataObject> object = CreateSkinDataObject(c.type);
        EXPECT_EQ(SaveBytes(*object).size() - 4, c.body) << "type " << c.type;
    }
}

TEST(SkinDataRoundTrip, ShortBodyKeepsDefaults)
{
    SkinButtonData full;
    full.SetName("B");
    full.controlId = 77;
    std::vector<uint8_t> body = Body(SaveBytes(full));
    body.resize(60);  // NAME and part of the colours only
    auto b = LoadBody(kSkinButton, body, 16);
    EXPECT_STREQ(b->GetName(), "B");
    EXPECT_EQ(static_cast<SkinButtonData*>(b.get())->controlId, 0);
    EXPECT_EQ(b->rect, MakeSkinRect(0, 0, 60, 30));
}

// --- version gates, with bodies laid out by hand ---------------------------

// Base body as an old stream stored it: no rectangle or AUTOPLACE before 1.8.
Bytes OldBase(const std::string& name, bool withRect, SkinRect rc = {}, uint32_t autoPlace = 0)
{
    Bytes b;
    b.Text(name, 51).U32(0x111111).U32(0x222222).U32(0x333333).Text("t", 51).U32(9);
    if (withRect)
        b.U32(uint32_t(rc.left)).U32(uint32_t(rc.top)).U32(uint32_t(rc.right)).U32(uint32_t(rc.bottom)).U32(autoPlace);
    return b.U32(0);  // no children
}

TEST(SkinDataVersion, BaseRectangleFromMinorEight)
{
    const SkinRect rc = MakeSkinRect(5, 6, 70, 80);
    auto v7 = LoadBody(kSkinVoice, OldBase("V", false).data, 7);
    EXPECT_EQ(v7->rect, MakeSkinRect(0, 0, 60, 30));
    EXPECT_EQ(v7->autoPlace, 0u);
    EXPECT_EQ(v7->backColor, 0x111111u);
    EXPECT_EQ(v7->value, 9u);
    uint32_t consumed = 0;
    auto v8 = LoadBody(kSkinVoice, OldBase("V", true, rc, 1).data, 8, &consumed);
    EXPECT_EQ(v8->rect, rc);
    EXPECT_EQ(v8->autoPlace, 1u);
    EXPECT_EQ(consumed, 142u);
}

TEST(SkinDataVersion, CaptionEffectResetFromOneThreeToOneEight)
{
    SkinTextEffect stored;
    std::memset(&stored, 0, sizeof stored);
    stored.flags = 1;
    stored.textColor[0] = 0x42;
    for (uint8_t minor : {5, 9}) {
        Bytes b = OldBase("F", minor >= 8);
        b.Zeros(1296 + 144 + 64 + 20).Raw(&stored, sizeof stored);
        auto frame = LoadBody(kSkinFrameWnd, b.data, minor);
        const SkinTextEffect& got = static_cast<SkinFrameData*>(frame.get())->captionEffect;
        const SkinTextEffect expected = minor == 5 ? MakeDefaultTextEffect() : stored;
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << "minor " << int(minor);
    }
}

TEST(SkinDataVersion, ElementBeforeOneEightTakesItsRectangleAfterTheImage)
{
    Bytes b = OldBase("Close", false);
    b.Zeros(72).U32(3).U32(4).U32(25).U32(26).U32(7).U32(61000);
    auto button = LoadBody(kSkinCaptionButton, b.data, 7);
    auto* e = static_cast<SkinCaptionButtonData*>(button.get());
    EXPECT_EQ(e->rect, MakeSkinRect(3, 4, 25, 26));
    EXPECT_EQ(e->elementValue, 7u);
    EXPECT_EQ(e->commandId, 61000u);
    EXPECT_EQ(e->visibility, 0u);  // not read before 1.11
}

TEST(SkinDataVersion, ControlOldRectangleAndControlId)
{
    struct Case {
        uint8_t minor;
        bool oldRect;       // 16 bytes after the background, 1.4 to 1.7
        bool hasId;         // above 5
        int32_t expectedId; // forced to 0 at 1.6
    } cases[] = {{5, true, false, 0}, {6, true, true, 0}, {7, true, true, 42}, {10, false, true, 42}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.minor));
        Bytes b = OldBase("E", c.minor >= 8, MakeSkinRect(0, 0, 60, 30));
        SkinFont font = MakeSkinFont("Tahoma", -11, 700);
        b.Raw(&font, sizeof font).Zeros(88);
        if (c.oldRect)
            b.U32(1).U32(2).U32(3).U32(4);
        if (c.hasId)
            b.U32(42);
        auto edit = LoadBody(kSkinEdit, b.data, c.minor);
        auto* d = static_cast<SkinEditData*>(edit.get());
        EXPECT_EQ(d->controlId, c.expectedId);
        EXPECT_STREQ(d->font.logFont.faceName, "Tahoma");
        EXPECT_EQ(d->rect, MakeSkinRect(0, 0, 60, 30));
        // 1.10 and before: the colours are the system's window colours.
        EXPECT_EQ(d->backColor, SkinSysColor(kSkinColorWindow));
        EXPECT_EQ(d->keyColor, SkinSysColor(kSkinColorBtnFace));
    }
}

TEST(SkinDataVersion, OldButtonKeepsItsFontAfterTheFirstValue)
{
    Bytes b = OldBase("B", false);
    b.Zeros(6 * 120).Text("Push", 50).U32(5);
    SkinFont font = MakeSkinFont("Courier", -10, 400);
    font.color = 0x0000C0;
    b.Raw(&font, sizeof font).U32(6).U32(7);
    uint32_t consumed = 0;
    auto button = LoadBody(kSkinButton, b.data, 6, &consumed);
    auto* d = static_cast<SkinButtonData*>(button.get());
    EXPECT_EQ(consumed, b.data.size());
    EXPECT_STREQ(d->label, "Push");
    EXPECT_EQ(d->value1, 5u);
    EXPECT_STREQ(d->font.logFont.faceName, "Courier");
    EXPECT_EQ(d->value2, 6u);
    // Below 1.9 every state's text takes the font's colour.
    for (const SkinStateBlock& s : d->states) {
        EXPECT_EQ(UnpackSkinColor24(s.effect.textColor), 0x0000C0u);
        EXPECT_EQ(s.effect.flags, 0x8004u);
    }
}

// Loads a 1.16 body as an older minor version: fields gated off at the end
// are then not read.
template <typename T>
std::unique_ptr<T> ReloadAt(const T& object, uint8_t minor)
{
    auto loaded = LoadBody(object.GetType(), Body(SaveBytes(object)), minor);
    return std::unique_ptr<T>(static_cast<T*>(loaded.release()));
}

TEST(SkinDataVersion, TrailingFieldsReadFromTheirVersion)
{
    SkinScrollBarData bar;
    std::strcpy(bar.vertical[0].arrow1.name, "v.bmp");
    bar.values[4] = 99;
    EXPECT_EQ(ReloadAt(bar, 11)->vertical[0].arrow1.name[0], 0);
    EXPECT_EQ(ReloadAt(bar, 11)->values[4], 99u);
    EXPECT_STREQ(ReloadAt(bar, 12)->vertical[0].arrow1.name, "v.bmp");

    SkinTreeViewData tree;
    tree.lineColor = 0x123;
    std::strcpy(tree.check.name, "c.bmp");
    tree.activeColor = 0x456;
    EXPECT_EQ(ReloadAt(tree, 14)->lineColor, 0u);
    EXPECT_EQ(ReloadAt(tree, 14)->check.name[0], 0);
    EXPECT_EQ(ReloadAt(tree, 14)->activeColor, 0x456u);
    EXPECT_EQ(ReloadAt(tree, 15)->lineColor, 0x123u);
    EXPECT_STREQ(ReloadAt(tree, 15)->check.name, "c.bmp");
    EXPECT_EQ(ReloadAt(tree, 11)->activeColor, 0u);

    SkinSpinData spin;
    std::strcpy(spin.horizontal[3].down.name, "h");
    EXPECT_EQ(ReloadAt(spin, 12)->horizontal[3].down.name[0], 0);
    EXPECT_STREQ(ReloadAt(spin, 13)->horizontal[3].down.name, "h");

    SkinStaticData label;
    label.tail[0] = 5;
    EXPECT_EQ(ReloadAt(label, 15)->tail[0], 0u);
    EXPECT_EQ(ReloadAt(label, 16)->tail[0], 5u);
}

TEST(SkinDataVersion, ComboBoxBeforeOneElevenTakesDisabledColoursFromStoredOnes)
{
    SkinComboData combo(kSkinComboBox);
    combo.backColor = 0xAAAAAA;
    combo.textColor = 0x0B0B0B;
    combo.focusColor = 0x00FF00;
    combo.disabledBackColor = 0x1;
    auto old = ReloadAt(combo, 10);
    EXPECT_EQ(old->focusColor, 0x00FF00u);
    EXPECT_EQ(old->disabledBackColor, 0xAAAAAAu);
    EXPECT_EQ(old->disabledTextColor, 0x0B0B0Bu);
    EXPECT_EQ(old->backColor, SkinSysColor(kSkinColorWindow));
    EXPECT_EQ(old->textColor, SkinSysColor(kSkinColorWindowText));
    auto now = ReloadAt(combo, 11);
    EXPECT_EQ(now->disabledBackColor, 0x1u);
    EXPECT_EQ(now->backColor, 0xAAAAAAu);
}

TEST(SkinDataVersion, ApplicationBeforeOneFourKeepsDefaultContacts)
{
    Bytes b = OldBase("Application", false);
    b.Text("me", 51).Text("desc", 51).Text("app", 51).U32(0).Text("mail", 51).Text("web", 51);
    auto app = LoadBody(kSkinApplication, b.data, 3);
    auto* info = static_cast<SkinFileInfo*>(app.get());
    SkinFileInfo defaults;
    EXPECT_STREQ(info->author, "me");
    EXPECT_EQ(info->useTransparentColor, 0u);
    EXPECT_STREQ(info->email, defaults.email);
    EXPECT_STREQ(info->homepage, defaults.homepage);
    auto newer = LoadBody(kSkinApplication, b.data, 4);
    EXPECT_STREQ(static_cast<SkinFileInfo*>(newer.get())->email, "mail");
}

TEST(SkinDataVersion, CheckBoxBeforeOneNineResetsEffectsAndTransparency)
{
    SkinCheckData check(kSkinRadio);
    check.transparent = 1;
    check.states[2].effect.flags = 3;
    EXPECT_EQ(ReloadAt(check, 8)->transparent, 0u);
    EXPECT_EQ(ReloadAt(check, 8)->states[2].effect.flags, 0x8004u);
    // (1.9 itself lacks AUTOSKINFONT, so 1.10 is the first whole 1.16 body.)
    EXPECT_EQ(ReloadAt(check, 10)->transparent, 1u);
    EXPECT_EQ(ReloadAt(check, 10)->states[2].effect.flags, 3u);
}

// --- defaults, properties, children ------------------------------------------

TEST(SkinDataDefaults, SharedBodiesAndTypes)
{
    SkinButtonData button;
    EXPECT_EQ(button.keyColor, 0x0000FFu);
    EXPECT_EQ(button.GetKeyColor(), 0xFF00FFu);
    EXPECT_EQ(button.rect, MakeSkinRect(0, 0, 60, 30));
    EXPECT_EQ(button.backColor, SkinSysColor(kSkinColorBtnFace));
    EXPECT_STREQ(button.font.logFont.faceName, "MS Sans Serif");
    EXPECT_EQ(button.font.logFont.height, -12);
    EXPECT_EQ(button.memoryValue, 1000u);
    EXPECT_EQ(button.states[0].effect.alpha, 255);
    EXPECT_EQ(button.states[0].effect.flags, 0x8004u);
    EXPECT_EQ(UnpackSkinColor24(button.states[0].effect.textColor), SkinSysColor(kSkinColorBtnText));

    SkinFrameData frame;
    EXPECT_EQ(frame.GetSizeRect(), MakeSkinRect(0, 0, 276, 160));
    EXPECT_EQ(frame.GetPartRect(kPartClient), MakeSkinRect(10, 30, 266, 148));
    EXPECT_STREQ(frame.captionFont.logFont.faceName, "Arial");
    EXPECT_EQ(frame.activeColor, 0xFF0000u);
    EXPECT_EQ(frame.menuBar.rect, MakeSkinRect(1, 1, 21, 21));
    EXPECT_EQ(frame.menuBar.commandId, 1000u);
    EXPECT_EQ(frame.menuBar.color2, 0xE07272u);

    SkinMenuData menu;
    EXPECT_EQ(menu.GetSizeRect(), MakeSkinRect(0, 0, 278, 152));
    EXPECT_EQ(menu.activeColor, 0xE2B61Du);
    SkinTooltipData tip;
    EXPECT_EQ(tip.GetPartRect(kPartMiddleRight), MakeSkinRect(277, 1, 278, 151));
    EXPECT_EQ(tip.thirdColor, SkinSysColor(kSkinColorInfoBk));
    EXPECT_EQ(tip.hideDelay, 8000u);

    SkinFileInfo app;
    EXPECT_EQ(app.keyColor, 0xFF00FFu);
    EXPECT_STREQ(app.author, "VeneerKit Builder");
    EXPECT_STREQ(app.description, "VeneerKit Skin File");
    EXPECT_EQ(app.useTransparentColor, 1u);

    SkinScrollBarData bar;
    EXPECT_EQ(bar.values[1], 100u);
    SkinShapeData shape;
    EXPECT_EQ(shape.alpha, 255);
    EXPECT_EQ(shape.taskBar, 1u);
    SkinImageListData list;
    EXPECT_EQ(list.values[3], 10u);
}

TEST(SkinDataProperties, LookupUpperCasesTheName)
{
    SkinMenuData menu;
    EXPECT_NE(menu.FindProperty("name"), nullptr);
    EXPECT_NE(menu.FindProperty("frame.topleft"), nullptr);
    // Registered with a lower-case letter: never found.
    EXPECT_EQ(menu.FindProperty("FRAME.CLIENT"), nullptr);
    EXPECT_EQ(menu.FindProperty("FRAME.ClIENT"), nullptr);
    EXPECT_EQ(menu.FindProperty(nullptr), nullptr);
    SkinProperty* color = menu.FindProperty("Frame.Color");
    ASSERT_NE(color, nullptr);
    EXPECT_EQ(color->storage, &menu.activeColor);
    EXPECT_EQ(color->valueType, uint32_t(kSkinValueColor));
    EXPECT_EQ(menu.FindProperty("ITEM.FONT")->storage, &menu.captionFont);

    SkinEditData edit(kSkinListBox);
    EXPECT_EQ(edit.FindProperty("DISABLEDCOLOR")->storage, &edit.backColor);
    EXPECT_EQ(edit.FindProperty("backcolor")->storage, &edit.backColor);
    EXPECT_EQ(edit.FindProperty("BORDER")->width, 88u);
    EXPECT_EQ(edit.GetType(), uint32_t(kSkinListBox));

    SkinTabData tab;
    EXPECT_EQ(tab.FindProperty("TRANSPARENT"), nullptr);
    EXPECT_EQ(tab.FindProperty("HOVERED.TEXTEFFECT")->width, 16u);

    SkinFrameData frame;
    EXPECT_EQ(frame.FindProperty("DEACTIVEFRAME.TOPLEFT")->storage, &frame.partImages[9]);
    EXPECT_EQ(frame.FindProperty("ACTIVEFRAME.BOTTOMRIGHT"), nullptr);

    // A long name is cut to 99 characters before the lookup.
    EXPECT_EQ(frame.FindProperty(std::string(200, 'A').c_str()), nullptr);
}

// A property and a field of the same name must be the same storage.
TEST(SkinDataProperties, PropertiesAndFieldsAgree)
{
    for (uint32_t type : kAllTypes) {
        auto object = CreateSkinDataObject(type);
        for (const auto& entry : object->Properties()) {
            const SkinField* f = object->FindField(entry.first.c_str());
            if (f) {
                EXPECT_EQ(f->storage, entry.second.storage) << type << " " << entry.first;
                EXPECT_EQ(f->width, entry.second.width) << type << " " << entry.first;
            }
            EXPECT_TRUE(entry.second.storage != nullptr) << type << " " << entry.first;
        }
    }
}

TEST(SkinDataProperties, GenericEntriesActAsProperties)
{
    SkinGenericData generic;
    const int32_t five = 5;
    generic.AddEntry(kSkinValueInt, "Foo", "", &five, 4, nullptr);
    generic.AddEntry(kSkinValueInt, "FOO", "", &five, 4, "second");
    ASSERT_NE(generic.FindEntry("FOO"), nullptr);
    EXPECT_EQ(generic.FindEntry("FOO"), generic.Entries()[0].get());
    EXPECT_EQ(generic.FindProperty("foo"), generic.Entries()[0].get());
    EXPECT_NE(generic.FindProperty("CONTROLID"), nullptr);
    EXPECT_EQ(generic.FindEntry("Bar"), nullptr);

    // A stored entry whose lengths exceed what remains is skipped.
    Bytes b;
    b.Append(Bytes().Text("G", 51).Zeros(12).Text("", 51).U32(0).Zeros(16).U32(0).U32(0));
    b.Zeros(64 + 88).U32(0).U32(0).U32(0).Text("", 51).U32(2);
    b.U32(7).Text("Big", 31).Text("", 51).U32(0xFFFFFFF0u).U32(0);
    auto loaded = LoadBody(kSkinGeneric, b.data, 16);
    EXPECT_TRUE(static_cast<SkinGenericData*>(loaded.get())->Entries().empty());
}

TEST(SkinDataChildren, DuplicateNamesKeepTheFirstAndUnknownIdsCount)
{
    SkinStaticData first;
    first.SetName("Same");
    first.transparent = 1;
    SkinStaticData second;
    second.SetName("Same");
    Bytes b = OldBase("Parent", true);
    b.data.resize(b.data.size() - 4);
    b.U32(4);  // four children
    b.Append(Bytes().Raw(SaveBytes(first).data(), SaveBytes(first).size()));
    b.U32(21);  // no object for this id: one child, nothing more read
    b.Append(Bytes().Raw(SaveBytes(second).data(), SaveBytes(second).size()));
    b.U32(43);
    uint32_t consumed = 0;
    auto parent = LoadBody(kSkinVoice, b.data, 16, &consumed);
    EXPECT_EQ(consumed, b.data.size());
    ASSERT_EQ(parent->Children().size(), 1u);
    EXPECT_EQ(static_cast<SkinStaticData*>(parent->FindChildByName("Same"))->transparent, 1u);
}

TEST(SkinDataChildren, FindChildByTypeAndControlIdAndByNameDepthFirst)
{
    SkinFrameData frame;
    auto a = std::make_unique<SkinButtonData>();
    a->SetName("A");
    a->controlId = 1;
    auto inner = std::make_unique<SkinStaticData>();
    inner->SetName("Deep");
    a->AddChild(std::move(inner));
    auto b = std::make_unique<SkinButtonData>();
    b->SetName("B");
    b->controlId = 2;
    SkinDataObject* bp = b.get();
    frame.AddChild(std::move(a));
    frame.AddChild(std::move(b));
    EXPECT_EQ(frame.FindChild(kSkinButton, 2), bp);
    EXPECT_EQ(frame.FindChild(kSkinButton, 3), nullptr);
    EXPECT_EQ(frame.FindChild(kSkinStatic, 0), nullptr);  // grandchildren are not children
    ASSERT_NE(frame.FindChildByName("Deep"), nullptr);
    EXPECT_EQ(frame.FindChildByName("Deep")->GetType(), uint32_t(kSkinStatic));
    EXPECT_EQ(frame.FindChildByName(nullptr), nullptr);
}

TEST(SkinDataChildren, NestingBeyondTheCapBreaksTheStream)
{
    // Each level: a Static whose only child is the next level.
    Bytes nested;
    const int levels = int(SkinMemoryStream::kMaxNesting) + 4;
    for (int i = 0; i < levels; ++i) {
        Bytes level = OldBase("L" + std::to_string(i), true);
        level.data.resize(level.data.size() - 4);
        level.U32(1).U32(kSkinStatic);
        nested.Append(level);
    }
    std::unique_ptr<SkinDataObject> top = CreateSkinDataObject(kSkinStatic);
    SkinMemoryStream in(nested.data.data(), uint32_t(nested.data.size()));
    top->Load(in);
    EXPECT_TRUE(in.IsBroken());
}

TEST(SkinDataParts, SetRectFitsThePartsToTheClientSize)
{
    SkinFrameData frame;
    frame.SetRect(MakeSkinRect(0, 0, 300, 200));  // client 256x118 -> 300x200
    EXPECT_EQ(frame.GetPartRect(kPartClient), MakeSkinRect(10, 30, 310, 230));
    EXPECT_EQ(frame.GetPartRect(kPartTopRight), MakeSkinRect(217, 0, 320, 30));
    EXPECT_EQ(frame.GetPartRect(kPartMiddleTop), MakeSkinRect(86, 0, 217, 30));
    EXPECT_EQ(frame.GetPartRect(kPartMiddleLeft), MakeSkinRect(0, 30, 10, 230));
    EXPECT_EQ(frame.GetPartRect(kPartBottomRight), MakeSkinRect(310, 230, 320, 242));
    EXPECT_EQ(frame.GetPartRect(kPartBottomLeft), MakeSkinRect(0, 230, 10, 242));
    EXPECT_EQ(frame.GetSizeRect(), MakeSkinRect(0, 0, 320, 242));
    EXPECT_EQ(frame.rect, MakeSkinRect(0, 0, 60, 30));
}

TEST(SkinDataParts, SetRectSaturatesOnStoredExtremes)
{
    SkinFrameData frame;
    frame.partRects[kPartClient] = MakeSkinRect(INT32_MIN, 0, INT32_MAX, 10);
    frame.partRects[kPartTopRight] = MakeSkinRect(INT32_MAX - 5, 0, INT32_MAX, 30);
    frame.SetRect(MakeSkinRect(INT32_MIN, 0, INT32_MAX, 20));
    EXPECT_EQ(frame.GetPartRect(kPartTopRight).right, INT32_MAX);
    frame.SetRect(MakeSkinRect(0, 0, 10, 10));  // a large shrink
    EXPECT_EQ(frame.GetPartRect(kPartClient).Width(), 10);
}

TEST(SkinDataImage, LengthZeroHasNoBitmapAndReadsNothingMore)
{
    Bytes b = OldBase("pic.bmp", true);
    b.U32(0).U32(1).U32(0xDEADBEEF);
    uint32_t consumed = 0;
    auto image = LoadBody(kSkinImage, b.data, 16, &consumed);
    EXPECT_EQ(static_cast<SkinImageObject*>(image.get())->GetImage(), nullptr);
    EXPECT_EQ(consumed, b.data.size() - 4);

    // A length beyond what remains: no bitmap, and nothing after it is read.
    Bytes cut = OldBase("pic.bmp", true);
    cut.U32(1000).U32(1).Zeros(10);
    auto truncated = LoadBody(kSkinImage, cut.data, 16, &consumed);
    EXPECT_EQ(static_cast<SkinImageObject*>(truncated.get())->GetImage(), nullptr);
    EXPECT_EQ(consumed, cut.data.size());

    // Bytes that are no image leave it without a bitmap.
    Bytes junk = OldBase("pic.bmp", true);
    junk.U32(6).U32(1).Text("BMjunk", 6);
    auto bad = LoadBody(kSkinImage, junk.data, 16, &consumed);
    EXPECT_EQ(static_cast<SkinImageObject*>(bad.get())->GetImage(), nullptr);
    EXPECT_EQ(consumed, junk.data.size());
}

TEST(SkinDataResolve, PartsCutFromTheImagesOfTheSkin)
{
    SkinPackage package;
    auto image = std::make_unique<SkinImageObject>();
    image->SetName("frame.bmp");
    image->SetImage(MakeSolidImage(40, 20, 0x00FF00));
    ASSERT_TRUE(package.AddImage(std::move(image)));
    auto frame = std::make_unique<SkinFrameData>();
    frame->SetName("Dialog");
    std::strcpy(frame->partImages[kPartTopLeft].name, "frame.bmp");
    frame->partImages[kPartTopLeft].source = MakeSkinRect(2, 3, 12, 8);
    std::strcpy(frame->partImages[kPartClient].name, "missing.bmp");
    frame->partImages[kPartClient].source = MakeSkinRect(0, 0, 5, 5);
    SkinFrameData* fp = frame.get();
    ASSERT_TRUE(package.AddObject(std::move(frame)));
    package.ResolveAll();
    EXPECT_EQ(fp->GetResolvedPart(kPartTopLeft).width, 10);
    EXPECT_EQ(fp->GetResolvedPart(kPartTopLeft).height, 5);
    ASSERT_NE(fp->GetResolvedPart(kPartTopLeft).bitmap, nullptr);
    EXPECT_EQ(fp->GetResolvedPart(kPartClient).width, 0);
    EXPECT_EQ(fp->GetResolvedPart(kPartClient).bitmap, nullptr);
    fp->ReleaseGdi();
    EXPECT_EQ(fp->GetResolvedPart(kPartTopLeft).bitmap, nullptr);
}

TEST(SkinDataTypes, NamesAndPlaces)
{
    EXPECT_EQ(GetSkinTypeName(0), nullptr);
    EXPECT_STREQ(GetSkinTypeName(1), "FrameWnd");
    EXPECT_STREQ(GetSkinTypeName(44), "SysColorTable");
    EXPECT_EQ(GetSkinTypeName(45), nullptr);
    EXPECT_EQ(GetSkinTypeName(100), nullptr);
    EXPECT_EQ(FindSkinTypeByName("CaptionButton"), 3u);
    EXPECT_EQ(FindSkinTypeByName("captionbutton"), 0u);
    EXPECT_TRUE(IsSkinChildType(3));
    EXPECT_FALSE(IsSkinTopLevelType(3));
    EXPECT_TRUE(IsSkinTopLevelType(39));
    EXPECT_FALSE(IsSkinChildType(39));
    EXPECT_FALSE(IsSkinTopLevelType(18));
    EXPECT_TRUE(IsSkinTopLevelType(100));
    for (uint32_t id : {0u, 21u, 22u, 32u, 34u, 41u, 43u, 45u, 99u})
        EXPECT_EQ(CreateSkinDataObject(id), nullptr) << id;
}

}  // namespace
