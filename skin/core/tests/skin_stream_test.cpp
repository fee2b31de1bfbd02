// SkinMemoryStream: bounded reads, growth, seeking, and unpacking the
// stored form.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/core/skin_stream.h"

namespace {

TEST(SkinMemoryStream, ShortReadCopiesWhatRemainsAndLeavesTheRest)
{
    const uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    SkinMemoryStream s(bytes, 6);
    EXPECT_EQ(s.Length(), 6u);
    EXPECT_EQ(s.Capacity(), 6u);
    uint8_t dest[4] = {9, 9, 9, 9};
    EXPECT_EQ(s.Read(dest, 4), 4u);
    uint8_t rest[4] = {9, 9, 9, 9};
    EXPECT_EQ(s.Read(rest, 4), 2u);
    EXPECT_EQ(rest[0], 5);
    EXPECT_EQ(rest[1], 6);
    EXPECT_EQ(rest[2], 9);  // untouched
    EXPECT_EQ(rest[3], 9);
    EXPECT_TRUE(s.AtEnd());
    EXPECT_EQ(s.Read(rest, 1), 0u);

    SkinMemoryStream empty;
    uint32_t v = 7;
    EXPECT_EQ(empty.ReadU32(v), 0u);
    EXPECT_EQ(v, 7u);
}

TEST(SkinMemoryStream, ReadTextIsAlwaysTerminated)
{
    std::vector<uint8_t> bytes(51, 'A');
    SkinMemoryStream s(bytes.data(), 51);
    char text[51];
    EXPECT_EQ(s.ReadText(text, 51), 51u);
    EXPECT_EQ(std::strlen(text), 50u);
}

TEST(SkinMemoryStream, WriteGrowsInStepsOfTheGrowth)
{
    SkinMemoryStream s(10);
    const uint8_t bytes[40] = {};
    EXPECT_EQ(s.Write(bytes, 5), 5u);
    EXPECT_EQ(s.Capacity(), 5u);  // first use: exactly n
    EXPECT_EQ(s.Write(bytes, 20), 20u);
    // 5 + 10 * ((5 + 20 - 5) / 10 + 1) = 35
    EXPECT_EQ(s.Capacity(), 35u);
    EXPECT_EQ(s.Length(), 25u);
    EXPECT_EQ(s.Write(bytes, 10), 10u);  // 35 fits exactly
    EXPECT_EQ(s.Capacity(), 35u);
    // Writing in the middle does not change the length.
    s.Seek(2, 0);
    EXPECT_EQ(s.Write(bytes, 3), 3u);
    EXPECT_EQ(s.Length(), 35u);
    EXPECT_EQ(s.Position(), 5u);
}

TEST(SkinMemoryStream, SeekIsClampedToTheData)
{
    const uint8_t bytes[8] = {};
    SkinMemoryStream s(bytes, 8);
    struct Case {
        int64_t offset;
        int origin;
        uint32_t expected;
    } cases[] = {
        {3, 0, 3}, {2, 1, 5}, {-1, 2, 7}, {100, 0, 8}, {-100, 1, 0}, {5, 2, 8}, {-20, 2, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(s.Seek(c.offset, c.origin), c.expected) << c.offset << " from " << c.origin;
    }
    EXPECT_EQ(s.Rewind(), 0u);
}

TEST(SkinMemoryStream, NestingAndObjectCapsBreakTheStream)
{
    const uint8_t bytes[8] = {1};
    SkinMemoryStream s(bytes, 8);
    for (uint32_t i = 0; i < SkinMemoryStream::kMaxNesting; ++i)
        ASSERT_TRUE(s.EnterChildren());
    EXPECT_FALSE(s.EnterChildren());
    EXPECT_TRUE(s.IsBroken());
    EXPECT_TRUE(s.AtEnd());
    uint8_t b = 0;
    EXPECT_EQ(s.Read(&b, 1), 0u);

    SkinMemoryStream t(bytes, 8);
    for (uint32_t i = 0; i < SkinMemoryStream::kMaxObjects; ++i)
        ASSERT_TRUE(t.CountObject());
    EXPECT_FALSE(t.CountObject());
    EXPECT_TRUE(t.IsBroken());
}

std::vector<uint8_t> Pack(const std::vector<uint8_t>& plain)
{
    std::vector<uint8_t> stored;
    EXPECT_TRUE(PackSkinStream(plain.data(), uint32_t(plain.size()), stored));
    return stored;
}

std::vector<uint8_t> SomeSkinBytes()
{
    std::vector<uint8_t> plain(5000);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = uint8_t((i * 7) % 13 + (i / 100));
    return plain;
}

TEST(SkinMemoryStreamUnpack, GoodDataUnpacksToTheStatedLength)
{
    const std::vector<uint8_t> plain = SomeSkinBytes();
    const std::vector<uint8_t> stored = Pack(plain);
    EXPECT_LT(stored.size(), plain.size());
    SkinMemoryStream source(stored.data(), uint32_t(stored.size()));
    SkinMemoryStream out;
    ASSERT_EQ(out.FillFromCompressed(source), 1);
    ASSERT_EQ(out.Length(), plain.size());
    EXPECT_EQ(std::memcmp(out.Data(), plain.data(), plain.size()), 0);
}

TEST(SkinMemoryStreamUnpack, BadStoredFormsFail)
{
    const std::vector<uint8_t> plain = SomeSkinBytes();
    const std::vector<uint8_t> good = Pack(plain);
    auto withLength = [&](uint32_t length) {
        std::vector<uint8_t> v = good;
        std::memcpy(v.data(), &length, 4);
        return v;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> stored;
    } cases[] = {
        {"length one short of the data", withLength(uint32_t(plain.size() - 1))},
        {"length one more than the data", withLength(uint32_t(plain.size() + 1))},
        {"length above the cap", withLength(SkinMemoryStream::kMaxUnpackedLength + 1)},
        {"length 0xFFFFFFFF", withLength(0xFFFFFFFFu)},
        {"packed data cut in half", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)},
        {"packed data cut by one byte", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"trailing garbage", [&] { auto v = good; v.push_back(0x11); return v; }()},
        {"length word only", std::vector<uint8_t>(good.begin(), good.begin() + 4)},
        {"three bytes", std::vector<uint8_t>(good.begin(), good.begin() + 3)},
        {"nothing", std::vector<uint8_t>()},
        {"not LZO at all", std::vector<uint8_t>{0x10, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SkinMemoryStream source(c.stored.empty() ? nullptr : c.stored.data(), uint32_t(c.stored.size()));
        SkinMemoryStream out;
        EXPECT_EQ(out.FillFromCompressed(source), 0);
    }
}

TEST(SkinMemoryStreamUnpack, FillsAfterExistingBytes)
{
    const std::vector<uint8_t> plain = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<uint8_t> stored = Pack(plain);
    SkinMemoryStream source(stored.data(), uint32_t(stored.size()));
    SkinMemoryStream out;
    const uint8_t prefix[2] = {0xAA, 0xBB};
    out.Write(prefix, 2);
    ASSERT_EQ(out.FillFromCompressed(source), 1);
    ASSERT_EQ(out.Length(), 10u);
    EXPECT_EQ(out.Data()[0], 0xAA);
    EXPECT_EQ(out.Data()[9], 8);
}

TEST(SkinStreamVersion, ProcessWidePairRoundTrips)
{
    SetSkinStreamVersion(1, 11);
    EXPECT_EQ(GetSkinStreamMajor(), 1);
    EXPECT_EQ(GetSkinStreamMinor(), 11);
    SetSkinStreamVersion(1, 16);
}

}  // namespace
