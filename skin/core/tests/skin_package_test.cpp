// SkinPackage: reading stored skins, failures, lookups and writing.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_package.h"
#include "skin/core/tests/skin_test_util.h"

namespace {

template <typename T>
std::unique_ptr<T> Named(const char* name)
{
    auto object = std::make_unique<T>();
    object->SetName(name);
    return object;
}

std::vector<uint8_t> Saved(const SkinDataObject& object)
{
    SkinMemoryStream out;
    object.Save(out);
    return std::vector<uint8_t>(out.Data(), out.Data() + out.Length());
}

int ReadStored(SkinPackage& package, const std::vector<uint8_t>& stored)
{
    SkinMemoryStream source(stored.empty() ? nullptr : stored.data(), uint32_t(stored.size()));
    return package.Read(source);
}

int ReadPlain(SkinPackage& package, const std::vector<uint8_t>& plain)
{
    std::vector<uint8_t> stored;
    EXPECT_TRUE(PackSkinStream(plain.data(), uint32_t(plain.size()), stored));
    return ReadStored(package, stored);
}

// A small skin like the suite's: frame with caption buttons, controls,
// an application object, a colour table and one image.
class SkinPackageTest : public testing::Test {
protected:
    void SetUp() override
    {
        auto dialog = Named<SkinFrameData>("Dialog");
        auto close = Named<SkinCaptionButtonData>("DlgClose");
        close->action = 1;
        dialog->AddChild(std::move(close));
        std::strcpy(dialog->partImages[kPartTopLeft].name, "dialog.bmp");
        dialog->partImages[kPartTopLeft].source = MakeSkinRect(0, 0, 8, 8);
        source.AddObject(std::move(dialog));
        source.AddObject(Named<SkinButtonData>("Button"));
        source.AddObject(Named<SkinToolBarData>("ToolBar"));
        source.AddObject(Named<SkinFileInfo>("Application"));
        auto colours = Named<SkinSysColorTable>("Colours");
        colours->colors[15] = 0x010203;
        source.AddObject(std::move(colours));
        auto image = Named<SkinImageObject>("dialog.bmp");
        image->SetImage(MakeSolidImage(16, 16, 0x336699));
        source.AddImage(std::move(image));
        source.AddSound(Named<SkinVoiceData>("click.wav"));
    }

    SkinPackage source;
};

TEST_F(SkinPackageTest, ReadsWhatWasWritten)
{
    SkinPackage loaded;
    ASSERT_EQ(ReadStored(loaded, PackPackage(source)), 1);
    EXPECT_EQ(loaded.GetLastError(), 0);
    EXPECT_EQ(loaded.GetMajor(), 1);
    EXPECT_EQ(loaded.GetMinor(), 16);
    EXPECT_EQ(std::memcmp(loaded.GetHeader(), "VENEERKIT_SKIN_FILE", 19), 0);
    EXPECT_EQ(loaded.Objects().size(), 5u);
    EXPECT_EQ(loaded.Images().size(), 1u);
    EXPECT_EQ(loaded.Sounds().size(), 1u);

    SkinDataObject* close = loaded.FindObject("DlgClose");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(static_cast<SkinCaptionButtonData*>(close)->action, 1u);
    CSkinImage* bitmap = loaded.FindImage("dialog.bmp");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 16);
    EXPECT_EQ(bitmap->GetPixelColor(3, 3).ToColorRef(), 0x336699u);
    ASSERT_NE(loaded.GetColorTable(), nullptr);
    EXPECT_EQ(loaded.GetColorTable()->GetColor(15), 0x010203u);
    // Resolved while reading.
    auto* dialog = static_cast<SkinFrameData*>(loaded.FindObject("Dialog"));
    EXPECT_EQ(dialog->GetResolvedPart(kPartTopLeft).width, 8);

    // Writing the loaded skin again gives the same stream.
    SkinMemoryStream a, b;
    source.Write(a);
    loaded.Write(b);
    ASSERT_EQ(a.Length(), b.Length());
    EXPECT_EQ(std::memcmp(a.Data(), b.Data(), a.Length()), 0);
}

TEST_F(SkinPackageTest, Lookups)
{
    SkinPackage loaded;
    ASSERT_EQ(ReadStored(loaded, PackPackage(source)), 1);
    EXPECT_EQ(loaded.FindObject(nullptr), nullptr);
    EXPECT_EQ(loaded.FindObject("Nothing"), nullptr);
    // An image name finds the Image object when nothing else has it.
    ASSERT_NE(loaded.FindObject("dialog.bmp"), nullptr);
    EXPECT_EQ(loaded.FindObject("dialog.bmp")->GetType(), uint32_t(kSkinImage));
    EXPECT_EQ(loaded.FindObject("click.wav")->GetType(), uint32_t(kSkinVoice));
    // 24 is looked up as 23.
    ASSERT_NE(loaded.FindObjectByType(kSkinControlBar), nullptr);
    EXPECT_STREQ(loaded.FindObjectByType(kSkinControlBar)->GetName(), "ToolBar");
    // Not by its type's name: the first of that type in name order.
    ASSERT_NE(loaded.FindObjectByType(kSkinSysColorTable), nullptr);
    EXPECT_STREQ(loaded.FindObjectByType(kSkinSysColorTable)->GetName(), "Colours");
    EXPECT_STREQ(loaded.FindObjectByType(kSkinFrameWnd)->GetName(), "Dialog");
    EXPECT_EQ(loaded.FindObjectByType(kSkinSlider), nullptr);
    EXPECT_EQ(loaded.FindImage("nothing.bmp"), nullptr);
    EXPECT_EQ(loaded.FindImage(nullptr), nullptr);
}

TEST(SkinPackage, ByTypeTakesTheTypeNameFirstWhateverItsType)
{
    SkinPackage package;
    package.AddObject(Named<SkinButtonData>("FrameWnd"));
    package.AddObject(Named<SkinFrameData>("Dialog"));
    ASSERT_NE(package.FindObjectByType(kSkinFrameWnd), nullptr);
    EXPECT_EQ(package.FindObjectByType(kSkinFrameWnd)->GetType(), uint32_t(kSkinButton));
}

TEST(SkinPackage, LaterObjectOfTheSameNameWinsAndTheColourTableDoesNotDangle)
{
    auto table = Named<SkinSysColorTable>("Same");
    auto button = Named<SkinButtonData>("Same");
    button->controlId = 5;
    Bytes b;
    b.Header(1, 16, 2);
    const auto t = Saved(*table), bt = Saved(*button);
    b.Raw(t.data(), t.size()).Raw(bt.data(), bt.size()).U32(0).U32(0);
    SkinPackage package;
    ASSERT_EQ(ReadPlain(package, b.data), 1);
    ASSERT_EQ(package.Objects().size(), 1u);
    EXPECT_EQ(package.FindObject("Same")->GetType(), uint32_t(kSkinButton));
    EXPECT_EQ(package.GetColorTable(), nullptr);

    // The other way round the table is the object and the colour table.
    Bytes c;
    c.Header(1, 16, 2).Raw(bt.data(), bt.size()).Raw(t.data(), t.size()).U32(0).U32(0);
    ASSERT_EQ(ReadPlain(package, c.data), 1);
    EXPECT_EQ(package.GetColorTable(), package.FindObject("Same"));
}

TEST(SkinPackage, HeaderFailures)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> plain;
        int error;
    } cases[] = {
        {"minor 17", Bytes().Header(1, 17, 0).U32(0).U32(0).data, 7},
        {"major 0", Bytes().Header(0, 16, 0).U32(0).U32(0).data, 7},
        {"major 2", Bytes().Header(2, 1, 0).U32(0).U32(0).data, 7},
        {"wrong magic", Bytes().Header(1, 16, 0, "VENEERKIT_SKIN_FILX").U32(0).U32(0).data, 7},
        {"header cut short", [] {
             std::vector<uint8_t> h = Bytes().Header(1, 16, 0).data;
             h.resize(187);
             return h;
         }(), 6},
        {"empty stream", std::vector<uint8_t>(), 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SkinPackage package;
        package.AddObject(Named<SkinButtonData>("Old"));
        EXPECT_EQ(ReadPlain(package, c.plain), 0);
        EXPECT_EQ(package.GetLastError(), c.error);
        EXPECT_TRUE(package.Objects().empty());
        EXPECT_EQ(package.GetMinor(), 16);
    }
    SkinPackage ok;
    EXPECT_EQ(ReadPlain(ok, Bytes().Header(1, 0, 0).U32(0).U32(0).data), 1);
    EXPECT_EQ(ok.GetMinor(), 0);
}

TEST(SkinPackage, StoredLengthMustMatchTheUnpackedData)
{
    std::vector<uint8_t> stored = PackPackage(SkinPackage());
    uint32_t length = 0;
    std::memcpy(&length, stored.data(), 4);
    ++length;
    std::memcpy(stored.data(), &length, 4);
    SkinPackage package;
    EXPECT_EQ(ReadStored(package, stored), 0);
    EXPECT_EQ(package.GetLastError(), 5);
    EXPECT_EQ(ReadStored(package, {}), 0);
    EXPECT_EQ(package.GetLastError(), 5);
}

TEST(SkinPackage, CountsAndUnknownIds)
{
    SkinStaticData label;
    label.SetName("Label");
    const auto saved = Saved(label);
    // Object count 3: an id with no top-level object (3) reads nothing more,
    // nor does 20; then the Static. Image and sound counts below zero.
    Bytes b;
    b.Header(1, 16, 3).U32(kSkinCaptionButton).U32(kSkinMenuBar).Raw(saved.data(), saved.size());
    b.U32(0xFFFFFFFFu).U32(0x80000000u);
    SkinPackage package;
    ASSERT_EQ(ReadPlain(package, b.data), 1);
    EXPECT_EQ(package.Objects().size(), 1u);
    EXPECT_NE(package.FindObject("Label"), nullptr);
    EXPECT_TRUE(package.Images().empty());
    EXPECT_TRUE(package.Sounds().empty());
}

TEST(SkinPackage, TruncatedStreamLoadsWithDefaults)
{
    SkinStaticData label;
    label.SetName("Label");
    label.controlId = 9;
    const auto saved = Saved(label);
    Bytes b;
    b.Header(1, 16, 1000000).Raw(saved.data(), 100);  // huge count, body cut
    SkinPackage package;
    ASSERT_EQ(ReadPlain(package, b.data), 1);
    ASSERT_NE(package.FindObject("Label"), nullptr);
    EXPECT_EQ(static_cast<SkinStaticData*>(package.FindObject("Label"))->controlId, 0);
}

TEST(SkinPackage, TooManyObjectsOrTooDeepIsAnError)
{
    SkinVoiceData voice;
    const auto saved = Saved(voice);  // unnamed: every copy replaces the last
    Bytes b;
    const uint32_t count = SkinMemoryStream::kMaxObjects + 1;
    b.Header(1, 16, 0).U32(0).U32(count);
    for (uint32_t i = 0; i < count; ++i)
        b.Raw(saved.data(), saved.size());
    SkinPackage package;
    EXPECT_EQ(ReadPlain(package, b.data), 0);
    EXPECT_EQ(package.GetLastError(), kSkinPackageMalformed);
    EXPECT_TRUE(package.Sounds().empty());
}

TEST(SkinPackage, ClearResetsTheVersions)
{
    SkinPackage package;
    ASSERT_EQ(ReadPlain(package, Bytes().Header(1, 11, 0).U32(0).U32(0).data), 1);
    EXPECT_EQ(package.GetMinor(), 11);
    EXPECT_EQ(GetSkinStreamMinor(), 11);
    package.Clear();
    EXPECT_EQ(package.GetMinor(), 16);
    EXPECT_EQ(GetSkinStreamMinor(), 16);
}

TEST(SkinPackage, AddRefusesDuplicatesAndMisplacedTypes)
{
    SkinPackage package;
    EXPECT_TRUE(package.AddObject(Named<SkinButtonData>("A")));
    EXPECT_FALSE(package.AddObject(Named<SkinButtonData>("A")));
    EXPECT_FALSE(package.AddObject(Named<SkinCaptionButtonData>("B")));
    EXPECT_FALSE(package.AddObject(nullptr));
    EXPECT_TRUE(package.AddImage(Named<SkinImageObject>("i")));
    EXPECT_FALSE(package.AddImage(Named<SkinImageObject>("i")));
    EXPECT_FALSE(package.AddSound(Named<SkinButtonData>("s")));
}

}  // namespace
