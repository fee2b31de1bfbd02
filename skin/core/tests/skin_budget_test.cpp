// Skins from outside within a budget: the pixels a skin holds (its images
// and the parts cut out of them) and the GDI objects it makes are bounded;
// equal parts and fonts are made once; past a budget the load fails with
// its error code and nothing stays behind.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_resource_pool.h"
#include "skin/core/tests/skin_test_util.h"

namespace {

// Counts the GDI objects the skin data classes hold, forwarding to the
// display's own backend (whose handles may be null: the native build makes
// none, so each object gets a token of its own then).
class CountingGdi : public SkinGdiBackend {
public:
    CountingGdi() : inner_(SkinGdi()) { SetSkinGdi(this); }
    ~CountingGdi() override { SetSkinGdi(nullptr); }

    SkinColor SysColor(int index) override { return inner_.SysColor(index); }
    SkinGdiHandle MakeFont(const SkinLogFont& font) override { return Track(inner_.MakeFont(font)); }
    SkinGdiHandle MakeKeyRegion(const CSkinImage& image, SkinColor key) override
    {
        return Track(inner_.MakeKeyRegion(image, key));
    }
    void DeleteHandle(SkinGdiHandle handle) override
    {
        if (!handle)
            return;
        if (tokens_.erase(handle))
            return;
        if (live_.erase(handle))
            inner_.DeleteHandle(handle);
    }
    size_t Live() const { return live_.size() + tokens_.size(); }
    size_t Made() const { return made_; }

private:
    SkinGdiHandle Track(SkinGdiHandle handle)
    {
        ++made_;
        if (handle) {
            live_.insert(handle);
            return handle;
        }
        SkinGdiHandle token = &tokenSpace_[made_ % tokenSpace_.size()];
        tokens_.insert(token);
        return token;
    }

    SkinGdiBackend& inner_;
    std::set<SkinGdiHandle> live_;    // real handles not yet deleted
    std::set<SkinGdiHandle> tokens_;  // stand-ins for null handles
    std::vector<char> tokenSpace_ = std::vector<char>(1 << 20);
    size_t made_ = 0;
};

// Body of an Image object (type id first) holding an 8-bit RLE bitmap of
// side x side pixels, all of colour index 0: a few hundred kilobytes that
// decode to side x side bytes.
std::vector<uint8_t> RleImageObject(const std::string& name, int32_t side)
{
    SkinImageObject empty;
    empty.SetName(name.c_str());
    SkinMemoryStream out;
    empty.Save(out);
    std::vector<uint8_t> body(out.Data(), out.Data() + out.Length() - 8);  // without length and format

    Bytes rle;
    for (int32_t row = 0; row < side; ++row) {
        for (int32_t left = side; left > 0; left -= 255)
            rle.U8(uint8_t(left < 255 ? left : 255)).U8(0);
        rle.U8(0).U8(0);  // end of line
    }
    rle.U8(0).U8(1);  // end of bitmap
    Bytes bmp;
    const uint32_t offset = 14 + 40 + 2 * 4;
    bmp.U8('B').U8('M').U32(uint32_t(offset + rle.data.size())).U32(0).U32(offset);
    bmp.U32(40).U32(uint32_t(side)).U32(uint32_t(side)).U8(1).U8(0).U8(8).U8(0);
    bmp.U32(1 /* RLE8 */).U32(uint32_t(rle.data.size())).U32(0).U32(0).U32(2).U32(0);
    bmp.U32(0x00808080).U32(0x00FFFFFF);
    bmp.Append(rle);

    Bytes image;
    image.Raw(body.data(), body.size()).U32(uint32_t(bmp.data.size())).U32(1).Append(bmp);
    return image.data;
}

// A skin stream: the package's objects, then the given image objects.
std::vector<uint8_t> StreamWithImages(const SkinPackage& objects, const std::vector<std::vector<uint8_t>>& images)
{
    SkinMemoryStream out;
    objects.Write(out);
    std::vector<uint8_t> stream(out.Data(), out.Data() + out.Length() - 8);  // without the two counts
    Bytes b;
    b.Raw(stream.data(), stream.size()).U32(uint32_t(images.size()));
    for (const auto& image : images)
        b.Raw(image.data(), image.size());
    b.U32(0);
    return b.data;
}

int ReadPlain(SkinPackage& package, const std::vector<uint8_t>& plain)
{
    SkinMemoryStream stream(plain.data(), uint32_t(plain.size()));
    return package.ReadStream(stream);
}

void AddApplication(SkinPackage& skin, bool transparent)
{
    auto app = std::make_unique<SkinFileInfo>();
    app->SetName("Application");
    app->useTransparentColor = transparent ? 1 : 0;
    skin.AddObject(std::move(app));
}

// count frame objects whose 18 parts are cut from `image` by part(frame, i).
void AddFrames(SkinPackage& skin, int count, const char* image, std::function<SkinRect(int, int)> part)
{
    for (int f = 0; f < count; ++f) {
        auto frame = std::make_unique<SkinFrameData>();
        frame->SetName(("Frame" + std::to_string(f)).c_str());
        for (int i = 0; i < 18; ++i) {
            std::strcpy(frame->partImages[i].name, image);
            frame->partImages[i].source = part(f, i);
        }
        skin.AddObject(std::move(frame));
    }
}

void AddLabels(SkinPackage& skin, int count, std::function<int32_t(int)> fontHeight)
{
    for (int l = 0; l < count; ++l) {
        auto label = std::make_unique<SkinStaticData>();
        label->SetName(("Label" + std::to_string(l)).c_str());
        label->font = MakeSkinFont("Arial", fontHeight(l), 400);
        skin.AddObject(std::move(label));
    }
}

struct BudgetCase {
    const char* what;
    std::function<void(SkinPackage&)> objects;  // the skin's objects
    int bigImages;                               // 4096 x 4096 RLE images "big0.bmp" ...
    int error;                                   // 0: the skin loads
    size_t maxGdiObjects;                        // held while it is loaded
};

TEST(SkinBudget, HostileSkinsFailWithTheirCodeAndLeaveNothing)
{
    const auto wholeImage = [](int, int) { return MakeSkinRect(0, 0, 4096, 4096); };
    const BudgetCase cases[] = {
        {"ten frames cutting 18 different near-whole parts each out of one big image",
         [](SkinPackage& s) {
             AddApplication(s, false);
             AddFrames(s, 10, "big0.bmp", [](int f, int i) { return MakeSkinRect(f * 18 + i, 0, 4096, 4096); });
         },
         1, kSkinPackageTooManyPixels, 0},
        {"nine big images", [](SkinPackage& s) { AddApplication(s, false); }, 9, kSkinPackageTooManyPixels, 0},
        {"ten frames cutting the same whole image: one part, shared",
         [&](SkinPackage& s) {
             AddApplication(s, false);
             AddFrames(s, 10, "big0.bmp", wholeImage);
         },
         1, 0, 0},
        {"1500 keyed frames, each part cut elsewhere: a region each",
         [](SkinPackage& s) {
             AddApplication(s, true);
             AddFrames(s, 1500, "big0.bmp", [](int f, int i) { return MakeSkinRect(f, i, f + 2, i + 2); });
         },
         1, kSkinPackageTooManyGdiObjects, 0},
        {"1500 labels, each with a font of its own",
         [](SkinPackage& s) { AddLabels(s, 1500, [](int l) { return -8 - l; }); }, 0,
         kSkinPackageTooManyGdiObjects, 0},
        {"1500 keyed frames with the same parts and 1500 labels with the same font",
         [](SkinPackage& s) {
             AddApplication(s, true);
             AddFrames(s, 1500, "big0.bmp", [](int, int i) { return MakeSkinRect(i, 0, i + 2, 2); });
             AddLabels(s, 1500, [](int) { return -12; });
         },
         1, 0, 18 + 1},
    };
    for (const BudgetCase& c : cases) {
        SCOPED_TRACE(c.what);
        CountingGdi gdi;
        SkinPackage objects;
        c.objects(objects);
        std::vector<std::vector<uint8_t>> images;
        for (int i = 0; i < c.bigImages; ++i)
            images.push_back(RleImageObject("big" + std::to_string(i) + ".bmp", 4096));
        const std::vector<uint8_t> plain = StreamWithImages(objects, images);
        {
            SkinPackage package;
            const int read = ReadPlain(package, plain);
            EXPECT_EQ(package.GetLastError(), c.error);
            if (c.error) {
                EXPECT_EQ(read, 0);
                EXPECT_TRUE(package.Objects().empty());
                EXPECT_TRUE(package.Images().empty());
                EXPECT_EQ(gdi.Live(), 0u);
                // Refused before it made more than its budget allowed.
                EXPECT_LE(gdi.Made(), size_t(SkinResourcePool::kMaxGdiObjects));
            } else {
                EXPECT_EQ(read, 1);
                EXPECT_LE(gdi.Live(), c.maxGdiObjects);
            }
        }
        EXPECT_EQ(gdi.Live(), 0u);
    }
}

}  // namespace
