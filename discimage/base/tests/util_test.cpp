// The builder's small routines: string arrays, the checked identifier copy
// and the sector-number conversions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "discimage/tests/capture_window.h"
#include "discimage/base/vcd_paths.h"
#include "discimage/base/vcd_util.h"

namespace {

std::vector<std::string> ToVector(char** array) {
  std::vector<std::string> out;
  for (int i = 0; i < StringArrayCount(array); ++i) out.push_back(array[i]);
  return out;
}

TEST(SplitString, NonEmptyTokensOnly) {
  struct Case {
    const char* text;
    std::vector<std::string> tokens;
  } cases[] = {
      {"a/b/c", {"a", "b", "c"}},
      {"/a//b/", {"a", "b"}},
      {"///", {}},
      {"", {}},
      {"single", {"single"}},
      {"EXT/PSD_X.VCD", {"EXT", "PSD_X.VCD"}},
  };
  for (const Case& c : cases) {
    char** array = SplitString(c.text, '/');
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(ToVector(array), c.tokens) << c.text;
    FreeStringArray(array);
  }
  char** none = SplitString(NULL, '/');
  EXPECT_EQ(StringArrayCount(none), 0);
  FreeStringArray(none);
  EXPECT_EQ(StringArrayCount(NULL), 0);
  FreeStringArray(NULL);
}

TEST(JoinStrings, FirstCountEntriesWithSeparator) {
  char** array = SplitString("a/bb/ccc", '/');
  struct Case {
    int count;
    const char* joined;
  } cases[] = {{3, "a::bb::ccc"}, {2, "a::bb"}, {1, "a"}, {0, ""}, {9, "a::bb::ccc"}};
  for (const Case& c : cases) {
    char* joined = JoinStrings(array, c.count, "::");
    EXPECT_STREQ(joined, c.joined) << c.count;
    free(joined);
  }
  FreeStringArray(array);
}

TEST(Allocations, ZeroedCopiesAndUpperCase) {
  unsigned char* zeroed = static_cast<unsigned char*>(AllocZeroed(64));
  ASSERT_NE(zeroed, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(zeroed[i], 0);
  free(zeroed);
  void* copy = DuplicateBytes("ab\0c", 4);
  EXPECT_EQ(memcmp(copy, "ab\0c", 4), 0);
  free(copy);
  EXPECT_EQ(DuplicateBytes(NULL, 4), nullptr);
  char* upper = UpperCaseCopy("mpeg2/avseq01.mpg");
  EXPECT_STREQ(upper, "MPEG2/AVSEQ01.MPG");
  free(upper);
  EXPECT_EQ(UpperCaseCopy(NULL), nullptr);
}

TEST(CharacterClasses, Table) {
  for (int c = 0; c < 256; ++c) {
    bool digit = c >= '0' && c <= '9', upper = c >= 'A' && c <= 'Z', lower = c >= 'a' && c <= 'z';
    EXPECT_EQ(IsIsoDChar(c), digit || upper || c == '_') << c;
    EXPECT_EQ(IsIsoDCharOrLower(c), digit || upper || lower || c == '_') << c;
    bool a = c == ' ' || c == '!' || c == '"' || (c >= '%' && c <= '?') || upper || c == '_';
    EXPECT_EQ(IsIsoAChar(c), a) << c;
  }
  EXPECT_FALSE(IsIsoAChar('#'));
  EXPECT_FALSE(IsIsoAChar('$'));
  EXPECT_TRUE(IsIsoAChar('%'));
  EXPECT_TRUE(IsIsoAChar('?'));
  EXPECT_FALSE(IsIsoAChar('@'));
}

struct CopyCase {
  const char* text;
  int width;
  int check;
  std::string written;
  std::vector<std::string> warnings;
};

TEST(CopyIdentifier, PadsCutsAndWarns) {
  const std::string forty(40, 'V');
  CopyCase cases[] = {
      {"CDI", 32, kVcdCheckAChars, "CDI" + std::string(29, ' '), {}},
      {forty.c_str(), 32, kVcdCheckDChars, std::string(32, 'V'),
       {"string '" + forty + "' is getting truncated to 32 characters\n"}},
      {"VIDEO CD", 8, kVcdCheckDChars, "VIDEO CD",
       {"string 'VIDEO CD' fails d-character constraint (pos = 5)\n"}},
      {"a#b#", 4, kVcdCheckAChars, "a#b#",
       {"string 'a#b#' fails a-character constraint (pos = 0)\n"}},
      {"caf\xe9", 5, kVcdCheck7Bit, "caf\xe9 ",
       {"string 'caf\xe9' fails 7bit constraint (pos = 3)\n"}},
      {"lower_ok9", 9, kVcdCheckDChars, "lower_ok9", {}},
      {"", 3, kVcdCheckDChars, "   ", {}},
      {NULL, 2, kVcdCheckNone, "  ", {}},
  };
  for (const CopyCase& c : cases) {
    CVcdMessageSink sink;
    CaptureWindow window;
    window.Attach(sink);
    std::string destination(64, '#');
    EXPECT_EQ(CopyIdentifier(&sink, &destination[0], c.text, c.width, c.check), &destination[0]);
    EXPECT_EQ(destination.substr(0, c.width), c.written) << (c.text ? c.text : "(null)");
    EXPECT_EQ(destination[c.width], '#') << "no byte beyond the width";
    EXPECT_EQ(window.Texts(), c.warnings);
    for (const CapturedMessage& m : window.messages)
      EXPECT_EQ(m.wParam, static_cast<uintptr_t>(kVcdMsgWarning));
  }
}

TEST(SectorNumbers, BcdTable) {
  struct Case {
    int value;
    uint8_t bcd;
  } cases[] = {{0, 0x00}, {9, 0x09}, {10, 0x10}, {74, 0x74}, {99, 0x99}, {100, 0xA0}, {256 + 12, 0x12}};
  for (const Case& c : cases) EXPECT_EQ(ToBcd(c.value), c.bcd) << c.value;
}

TEST(SectorNumbers, LbaToMsfTable) {
  struct Case {
    int sector;
    uint8_t m, s, f;
  } cases[] = {{0, 0x00, 0x00, 0x00},
               {74, 0x00, 0x00, 0x74},
               {75, 0x00, 0x01, 0x00},
               {150, 0x00, 0x02, 0x00},
               {4500, 0x01, 0x00, 0x00},
               {4499, 0x00, 0x59, 0x74},
               {333000, 0x74, 0x00, 0x00}};
  for (const Case& c : cases) {
    uint8_t msf[3] = {0xFF, 0xFF, 0xFF};
    LbaToMsf(c.sector, msf);
    EXPECT_EQ(msf[0], c.m) << c.sector;
    EXPECT_EQ(msf[1], c.s) << c.sector;
    EXPECT_EQ(msf[2], c.f) << c.sector;
  }
}

TEST(SectorNumbers, MsfTextReadsAsDecimal) {
  struct Case {
    int sector;
    const char* text;
  } cases[] = {{150, "00:02.00"}, {0, "00:00.00"}, {4500 * 74 + 75 * 59 + 74, "74:59.74"}};
  for (const Case& c : cases) {
    char* text = MsfText(c.sector);
    EXPECT_STREQ(text, c.text);
    free(text);
  }
}

// How a sheet names its image: from the sheet's own folder.
TEST(Paths, ImageFromTheSheetsFolder) {
  struct Case {
    const char* sheet;
    const char* target;
    const char* here;  // the working folder
    const char* expected;
  } cases[] = {
      {"out/v.cue", "out/v.bin", "/home/u", "v.bin"},
      {"out/w.cue", "w.bin", "/home/u", "../w.bin"},
      {"out/v.cue", "../v.bin", "/home/u", "../../v.bin"},
      {"v.cue", "out/v.bin", "/home/u", "out/v.bin"},
      {"v.cue", "../v.bin", "/home/u", "../v.bin"},
      {"a/b/v.cue", "a/c/v.bin", "/home/u", "../c/v.bin"},
      {"./out/./v.cue", "out/sub/../v.bin", "/home/u", "v.bin"},
      {"out\\v.cue", "out\\v.bin", "C:\\work", "v.bin"},
      {"out\\x\\v.cue", "v.bin", "C:\\work", "..\\..\\v.bin"},
      // A sheet outside the working folder needs the working folder's names.
      {"/tmp/out/v.cue", "v.bin", "/home/u", "../../home/u/v.bin"},
      {"../x/v.cue", "v.bin", "/home/u", "../u/v.bin"},
      {"../x/v.cue", "v.bin", "", "v.bin"},  // not known: left as given
      {"c:\\Work\\v.cue", "v.bin", "C:\\Work", "v.bin"},
      {"C:\\out\\v.cue", "v.bin", "D:\\work", "D:\\work\\v.bin"},  // no way across drives
      // Absolute images stay as they are.
      {"out/v.cue", "/abs/v.bin", "/home/u", "/abs/v.bin"},
      {"D:\\IMG\\v.cue", "D:\\IMG\\v.bin", "C:\\", "D:\\IMG\\v.bin"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VcdPathFromSheet(c.sheet, c.target, c.here), c.expected) << c.sheet << " -> " << c.target;
  EXPECT_TRUE(VcdIsAbsolutePath("C:x"));
  EXPECT_TRUE(VcdIsAbsolutePath("\\\\server\\share"));
  EXPECT_FALSE(VcdIsAbsolutePath("./x"));
}

}  // namespace
