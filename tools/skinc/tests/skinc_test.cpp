// The skin compiler: what it refuses, and description -> skin file ->
// loaded skin giving back the described objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "tools/skinc/skin_description.h"

namespace {

// Writes a 40 x 20 BMP "art.bmp" (and a broken "junk.bmp") into the
// working folder, where the descriptions below live.
class SkincTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CSkinImage image(40, 20, 24, CSkinImage::kFormatBmp);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                image.SetPixelColor(x, y, SkinRgbQuad::Make(uint8_t(x * 6), uint8_t(y * 12), 0x80));
        uint8_t* bytes = nullptr;
        int32_t size = 0;
        ASSERT_TRUE(image.Encode(bytes, size, CSkinImage::kFormatBmp));
        std::ofstream("art.bmp", std::ios::binary).write(reinterpret_cast<char*>(bytes), size);
        CSkinImage::FreeMemory(bytes);
        std::ofstream("junk.bmp", std::ios::binary) << "this is no bitmap";
    }

    std::vector<std::string> Compile(const std::string& text, SkinDescriptionCompiler& compiler)
    {
        compiler.Compile("./desc.skin", text);
        return compiler.Errors();
    }
};

const char* const kImage = "[Image art.bmp]\nFILE = art.bmp\n";

TEST_F(SkincTest, RefusesWrongDescriptionsWithFileAndLine)
{
    struct Case {
        const char* text;
        const char* message;  // "line: error: ..." part expected in the first error
    } cases[] = {
        {"[Frobnicator X]\n", ":1: error: unknown type 'Frobnicator'"},
        {"[Button A]\n[Static A]\n", ":2: error: duplicate object name 'A'"},
        {"[FrameWnd D]\n[CaptionButton C in D]\n[CaptionButton C in D]\n",
         ":3: error: duplicate child name 'C' in 'D'"},
        {"[Button AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA]\n",
         ":1: error: name 'AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA' is longer than 50 characters"},
        {"[Button B]\n\nNORMAL.IMAGE = nothere.bmp 0 0 4 4\n",
         ":3: error: NORMAL.IMAGE names image 'nothere.bmp', which the skin lacks"},
        {"[Image art.bmp]\nFILE = art.bmp\n[Button B]\nNORMAL.IMAGE = art.bmp 0 0 41 4\n",
         ":4: error: NORMAL.IMAGE: rectangle 0 0 41 4 lies outside image 'art.bmp' (40x20)"},
        {"[Image art.bmp]\nFILE = art.bmp\n[Edit E]\nBACKGROUND = art.bmp -1 0 4 4\n",
         ":4: error: BACKGROUND: rectangle -1 0 4 4 lies outside"},
        {"[Image art.bmp]\nFILE = art.bmp\n[Edit E]\nBACKGROUND = art.bmp 10 0 4 4\n",
         ":4: error: BACKGROUND: rectangle 10 0 4 4 lies outside"},
        {"[CaptionButton Close]\n", ":1: error: CaptionButton is a child type"},
        {"[FrameWnd D]\n[FrameWnd F in D]\n", ":2: error: FrameWnd cannot be a child object"},
        {"[MenuBar M]\n", ":1: error: MenuBar objects cannot be stored in a skin"},
        {"[Image i.bmp in X]\n", ":1: error: Image objects cannot be children"},
        {"[CaptionButton C in Nowhere]\n", ":1: error: no parent object 'Nowhere'"},
        {"[Button B]\nSHINE = 1\n", ":2: error: unknown field 'SHINE' for Button"},
        {"[Button B]\nBACKCOLOR = red\n", ":2: error: bad value for BACKCOLOR: expected #RRGGBB"},
        {"[Button B]\nCONTROLID = 12x\n", ":2: error: bad value for CONTROLID"},
        {"[Application Application]\nAUTHOR = \"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\"\n",
         ":2: error: bad value for AUTHOR: expected text of at most 50 characters"},
        {"[Image a.bmp]\nFILE = missing.bmp\n", ":2: error: image file 'missing.bmp' not found"},
        {"[Image a.bmp]\nFILE = junk.bmp\n", ":2: error: image file 'junk.bmp' is not a BMP image"},
        {"[Image a.bmp]\n", ":1: error: image 'a.bmp' has no FILE"},
        {"AUTHOR = x\n", ":1: error: field 'AUTHOR' outside a valid section"},
        {"[Button B]\nNAME = Other\n", ":2: error: NAME comes from the section line"},
        {"[Button B\n", ":1: error: a section line ends with ']'"},
        {"[Button]\n", ":1: error: a section is '[Type Name]'"},
        {"[Button B]\njust words\n", ":2: error: expected 'FIELD = value'"},
        {"[Button B]\nLABEL = \"open\n", ":2: error: unterminated quoted text"},
        {"[Button B]\nFONT = Arial\n", ":2: error: bad value for FONT"},
        {"[Button B]\nNORMAL.TEXTEFFECT = glow\n", ":2: error: bad value for NORMAL.TEXTEFFECT"},
        {"[Generic G]\nENTRY = Foo colour #FFFFFF\n", ":2: error: unknown ENTRY kind 'colour'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SkinDescriptionCompiler compiler;
        const std::vector<std::string> errors = Compile(c.text, compiler);
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors[0].rfind("./desc.skin:", 0), 0u) << errors[0];
        EXPECT_NE(errors[0].find(c.message), std::string::npos) << errors[0];
    }
}

TEST_F(SkincTest, ReportsEveryErrorNotJustTheFirst)
{
    SkinDescriptionCompiler compiler;
    const auto errors = Compile("[Nope A]\n[Button B]\nSHINE = 1\nGLOW = 2\n", compiler);
    EXPECT_EQ(errors.size(), 3u);
}

const char* const kDescription = R"(# a small skin
[Image art.bmp]
FILE = art.bmp

[Application Application]
AUTHOR = "Quorbel test"
USETRANSPARENTCOLOR = yes
KEYCOLOR = #FF00FF

[FrameWnd Dialog]
ACTIVEFRAME.TOPLEFT = art.bmp 0 0 10 10 stretch
deactiveframe.client = art.bmp 10 0 20 10 tile     # property names ignore case
RECT.CLIENT = 10 30 100 80
CAPTIONFONT = "Tahoma" -11 weight 700 italic color #102030
CAPTION.TEXTEFFECT = text #FFFFFF shadow #000000 offset 1 -1 flags 0x8005
MENUBAR.COLOR1 = #123456
MENUBAR.ITEMIMAGE3 = art.bmp 0 0 5 5
SKINCLIENT = 1

[CaptionButton DlgClose in Dialog]
IMAGE = art.bmp 30 0 40 10
HOTIMAGE = art.bmp 30 10 40 20
ACTION = 1
COMMANDID = 0xF060
RECT = 200 4 214 18

[Button Button]
NORMAL.IMAGE = art.bmp 0 0 40 20 margins 3 3 3 3 layout 5
PRESSED.TEXTEFFECT = text #FF0000
FONT = "Verdana" -13
CONTROLID = -1
LABEL = "Push me"

[Static Label in Button]
TRANSPARENT = 1

[ScrollBar ScrollBar]
NORMAL.ARROW1 = art.bmp 0 0 16 16
VNORMAL.THUMB = art.bmp 16 0 32 16 margins 2 2 2 2 layout 1
VALUE2 = 250

[Tooltip Tooltip]
SHOWDELAY = 500
STYLESHEET = "p { color: #000080 }\nb { font-weight: bold }"

[SysColorTable Colours]
COLOR15 = #D4D0C8

[ShapeWnd Quorbel]
ALPHA = 200
BACKGROUND = art.bmp 0 0 40 20

[CaptionStatic Title in Dialog]
LAYOUT = 1 0 1 0 2
FONT = "Arial" -12 weight 700

[Generic Extra]
ENTRY = Speed int 42
ENTRY = Tint color #00FF00 text "a tint"

[Voice click.wav]
)";

TEST_F(SkincTest, DescriptionToSkinFileToLoadedSkin)
{
    SkinDescriptionCompiler compiler;
    ASSERT_TRUE(compiler.Compile("./desc.skin", kDescription)) << compiler.Errors()[0];
    std::vector<uint8_t> stored, plain;
    ASSERT_TRUE(BuildSkinFile(compiler.Package(), stored, &plain));
    EXPECT_EQ(plain[20], 1);
    EXPECT_EQ(plain[21], 16);

    SkinPackage loaded;
    SkinMemoryStream source(stored.data(), uint32_t(stored.size()));
    ASSERT_EQ(loaded.Read(source), 1) << loaded.GetLastError();
    EXPECT_EQ(loaded.Objects().size(), 8u);

    auto* app = dynamic_cast<SkinFileInfo*>(loaded.FindObjectByType(kSkinApplication));
    ASSERT_NE(app, nullptr);
    EXPECT_STREQ(app->author, "Quorbel test");
    EXPECT_EQ(app->keyColor, 0xFF00FFu);

    auto* dialog = dynamic_cast<SkinFrameData*>(loaded.FindObject("Dialog"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->partImages[kPartTopLeft].name, "art.bmp");
    EXPECT_EQ(dialog->partImages[kPartTopLeft].drawMode, 2u);
    EXPECT_EQ(dialog->partImages[9 + kPartClient].source, MakeSkinRect(10, 0, 20, 10));
    EXPECT_EQ(dialog->partImages[9 + kPartClient].drawMode, 1u);
    EXPECT_EQ(dialog->GetPartRect(kPartClient), MakeSkinRect(10, 30, 100, 80));
    EXPECT_STREQ(dialog->captionFont.logFont.faceName, "Tahoma");
    EXPECT_EQ(dialog->captionFont.logFont.weight, 700);
    EXPECT_EQ(dialog->captionFont.logFont.italic, 1);
    EXPECT_EQ(dialog->captionFont.color, SkinRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(dialog->captionEffect.flags, 0x8005u);
    EXPECT_EQ(dialog->captionEffect.shadowOffset & 0xFFFF, 0xFF01u);
    EXPECT_EQ(UnpackSkinColor24(dialog->captionEffect.textColor), 0xFFFFFFu);
    EXPECT_EQ(dialog->menuBar.color1, SkinRgb(0x12, 0x34, 0x56));
    EXPECT_STREQ(dialog->menuBar.itemImages[2].name, "art.bmp");
    EXPECT_EQ(dialog->skinClient, 1u);
    EXPECT_EQ(dialog->GetResolvedPart(kPartTopLeft).width, 10);

    auto* close = dynamic_cast<SkinCaptionButtonData*>(loaded.FindObject("DlgClose"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->action, 1u);
    EXPECT_EQ(close->commandId, 0xF060u);
    EXPECT_EQ(close->rect, MakeSkinRect(200, 4, 214, 18));
    EXPECT_EQ(close->hotImage.source, MakeSkinRect(30, 10, 40, 20));
    auto* title = dynamic_cast<SkinCaptionStaticData*>(loaded.FindObject("Title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->layout[4], 2u);
    EXPECT_EQ(title->font.logFont.weight, 700);

    auto* button = dynamic_cast<SkinButtonData*>(loaded.FindObject("Button"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->states[0].image.marginLeft, 3);
    EXPECT_EQ(button->states[0].image.layoutMode, 5u);
    EXPECT_EQ(UnpackSkinColor24(button->states[1].effect.textColor), 0xFFu);
    EXPECT_EQ(button->states[1].effect.flags, 0x8004u);  // the rest stays default
    EXPECT_STREQ(button->font.logFont.faceName, "Verdana");
    EXPECT_EQ(button->controlId, -1);
    EXPECT_STREQ(button->label, "Push me");
    ASSERT_NE(button->FindChildByName("Label"), nullptr);
    EXPECT_EQ(static_cast<SkinStaticData*>(button->FindChildByName("Label"))->transparent, 1u);
    // The property the skinners look up points at the described value.
    EXPECT_EQ(static_cast<SkinLayoutImage*>(button->FindProperty("normal.image")->storage)->layoutMode, 5u);

    auto* bar = dynamic_cast<SkinScrollBarData*>(loaded.FindObjectByType(kSkinScrollBar));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->horizontal[0].arrow1.source.Height(), 16);
    EXPECT_EQ(bar->vertical[0].thumb.marginTop, 2);
    EXPECT_EQ(bar->values[1], 250u);

    auto* tip = dynamic_cast<SkinTooltipData*>(loaded.FindObject("Tooltip"));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->showDelay, 500u);
    EXPECT_EQ(tip->styleSheet, "p { color: #000080 }\nb { font-weight: bold }");

    ASSERT_NE(loaded.GetColorTable(), nullptr);
    EXPECT_EQ(loaded.GetColorTable()->GetColor(15), SkinRgb(0xD4, 0xD0, 0xC8));
    auto* shape = dynamic_cast<SkinShapeData*>(loaded.FindObject("Quorbel"));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->alpha, 200);

    auto* extra = dynamic_cast<SkinGenericData*>(loaded.FindObject("Extra"));
    ASSERT_NE(extra, nullptr);
    ASSERT_NE(extra->FindEntry("SPEED"), nullptr);
    EXPECT_EQ(*static_cast<int32_t*>(extra->FindEntry("speed")->storage), 42);
    EXPECT_STREQ(extra->FindEntry("Tint")->text.get(), "a tint");

    CSkinImage* art = loaded.FindImage("art.bmp");
    ASSERT_NE(art, nullptr);
    EXPECT_EQ(art->GetWidth(), 40);
    EXPECT_EQ(art->GetPixelColor(5, 2).ToColorRef(), SkinRgb(30, 24, 0x80));
    EXPECT_NE(loaded.FindObject("click.wav"), nullptr);

    // Every object reads back byte for byte as the compiler wrote it.
    for (const auto& entry : compiler.Package().Objects()) {
        SkinMemoryStream a, b;
        entry.second->Save(a);
        loaded.FindObject(entry.first.c_str())->Save(b);
        ASSERT_EQ(a.Length(), b.Length()) << entry.first;
        EXPECT_EQ(std::memcmp(a.Data(), b.Data(), a.Length()), 0) << entry.first;
    }
}

// A skin of an older stream version: the header carries it, the fields a
// reader of that version does not read are left out of the stream, and a
// description that sets one of them is refused, naming the version.
TEST_F(SkincTest, OlderStreamVersionsLeaveOutTheirLaterFields)
{
    const std::string description = std::string(kImage) +
                                    "[ScrollBar ScrollBar]\n"
                                    "NORMAL.ARROW1 = art.bmp 0 0 16 16\n"
                                    "VALUE2 = 250\n"
                                    "[Static Static]\nTRANSPARENT = 1\n"
                                    "[TreeView TreeCtrl]\nBACKCOLOR = #FFFFFF\n";
    std::vector<uint8_t> newest, older;
    for (uint8_t minor : {uint8_t(16), uint8_t(11)}) {
        SkinDescriptionCompiler compiler({}, minor);
        ASSERT_TRUE(compiler.Compile("./desc.skin", description)) << compiler.Errors()[0];
        std::vector<uint8_t> stored, plain;
        ASSERT_TRUE(BuildSkinFile(compiler.Package(), stored, &plain, minor));
        EXPECT_EQ(plain[21], minor);
        SkinPackage loaded;
        SkinMemoryStream source(stored.data(), uint32_t(stored.size()));
        ASSERT_EQ(loaded.Read(source), 1) << loaded.GetLastError();
        EXPECT_EQ(loaded.GetMinor(), minor);
        auto* bar = dynamic_cast<SkinScrollBarData*>(loaded.FindObject("ScrollBar"));
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->horizontal[0].arrow1.source.Width(), 16);
        EXPECT_EQ(bar->values[1], 250u);
        auto* label = dynamic_cast<SkinStaticData*>(loaded.FindObject("Static"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->transparent, 1u);
        (minor == 16 ? newest : older) = plain;
    }
    // 1.11 has no vertical scroll blocks (4 x 320 bytes), no tree view items,
    // colours, texts, buttons and line colour (88 x 2 + 4 x 2 + 16 x 2 + 72 x 4
    // + 4) and no static tail (16).
    EXPECT_EQ(newest.size() - older.size(), 4u * 320 + 176 + 8 + 32 + 288 + 4 + 16);

    SkinDescriptionCompiler compiler({}, 11);
    compiler.Compile("./desc.skin", std::string(kImage) + "[ScrollBar S]\nVNORMAL.ARROW1 = art.bmp 0 0 16 16\n"
                                                          "[TreeView T]\nLINE = #808080\n");
    ASSERT_EQ(compiler.Errors().size(), 2u);
    EXPECT_NE(compiler.Errors()[0].find(":4: error: VNORMAL.ARROW1 is not stored in a version 1.11 skin"),
              std::string::npos)
        << compiler.Errors()[0];
    EXPECT_NE(compiler.Errors()[1].find(":6: error: LINE is not stored in a version 1.11 skin"), std::string::npos)
        << compiler.Errors()[1];
}

// Several descriptions make one skin: a later one adds objects, and children
// to the earlier one's objects.
TEST_F(SkincTest, DescriptionsAddUp)
{
    SkinDescriptionCompiler compiler;
    ASSERT_TRUE(compiler.Compile("./first.skin", std::string(kImage) + "[FrameWnd Dialog]\n")) << compiler.Errors()[0];
    ASSERT_TRUE(compiler.Compile("./second.skin", "[ShapeWnd Quorbel]\nBACKGROUND = art.bmp 0 0 40 20\n"
                                                  "[CaptionButton Close in Dialog]\nACTION = 1\n"))
        << compiler.Errors()[0];
    EXPECT_EQ(compiler.Package().Objects().size(), 2u);
    EXPECT_NE(compiler.Package().FindObject("Close"), nullptr);
    EXPECT_FALSE(compiler.Compile("./third.skin", "[FrameWnd Dialog]\n"));
    EXPECT_NE(compiler.Errors()[0].find("third.skin:1: error: duplicate object name 'Dialog'"), std::string::npos);
}

TEST_F(SkincTest, ArtworkFoldersAreSearched)
{
    SkinDescriptionCompiler compiler({"."});
    EXPECT_TRUE(compiler.Compile("/nonexistent/desc.skin", kImage)) << compiler.Errors()[0];
}

// The compiler writes no skin that the loader would refuse: it stops with
// a message and exit code 1, and leaves no output behind.
TEST_F(SkincTest, RefusesSkinsPastTheLoadersLimits)
{
    {
        // 3500 x 3500 x 3 bytes unpack past the loader's 32 MB.
        CSkinImage big(3500, 3500, 24, CSkinImage::kFormatBmp);
        uint8_t* bytes = nullptr;
        int32_t size = 0;
        ASSERT_TRUE(big.Encode(bytes, size, CSkinImage::kFormatBmp));
        std::ofstream("big.bmp", std::ios::binary).write(reinterpret_cast<char*>(bytes), size);
        CSkinImage::FreeMemory(bytes);
    }
    std::ostringstream fonts;  // more fonts than a skin may make
    for (int i = 0; i < 1500; ++i)
        fonts << "[Static Label" << i << "]\nFONT = \"Arial\" " << -8 - i << "\n";
    struct Case {
        const char* what;
        std::string description;
        const char* message;
    } cases[] = {
        {"a stream past the unpacked limit", "[Image big.bmp]\nFILE = big.bmp\n",
         "error: the skin unpacks to 36750"},
        {"too many fonts", fonts.str(), "error: the loader refuses the skin: it needs more GDI objects"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream("limits.skin", std::ios::binary) << c.description;
        std::remove("limits.vks");
        const std::string command = std::string(QUORBEL_SKINC) + " limits.skin limits.vks 2> limits.err";
        const int status = std::system(command.c_str());
        EXPECT_NE(status, 0);
        std::ifstream err("limits.err");
        std::stringstream message;
        message << err.rdbuf();
        EXPECT_NE(message.str().find(c.message), std::string::npos) << message.str();
        EXPECT_FALSE(std::ifstream("limits.vks").good());
    }
}

}  // namespace
