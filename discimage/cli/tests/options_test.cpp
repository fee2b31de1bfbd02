// zrdiscbuild's command line: every option of the help text in both
// prefixes, short and long, and the refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "discimage/cli/build_options.h"

namespace {

struct Parsed {
  int result;
  VcdBuildParams params;
  std::string error;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "zrdiscbuild");
  Parsed p;
  p.result = ParseBuildOptions(static_cast<int>(args.size()), args.data(), &p.params, &p.error);
  return p;
}

// Which block field an accepted command line sets, and to what.
struct GoodCase {
  std::vector<const char*> args;
  const char* xml;
  const char* cue;
  const char* bin;
  int imageType, sector2336, progress, verbosity, xmlProgress, version, help, usage;
};

TEST(BuildOptions, AcceptedCommandLines) {
  const GoodCase cases[] = {
      {{}, "", "", "", 0, 0, 0, 0, 0, 0, 0, 0},
      {{"-x", "vcd.xml"}, "vcd.xml", "", "", 0, 0, 0, 0, 0, 0, 0, 0},
      {{"/XML", "/abs/vcd.xml"}, "/abs/vcd.xml", "", "", 0, 0, 0, 0, 0, 0, 0, 0},
      {{"-xml", "a.xml", "/c", "D:\\IMG\\videocd.cue", "-bin-file", "D:\\IMG\\v.bin"}, "a.xml",
       "D:\\IMG\\videocd.cue", "D:\\IMG\\v.bin", 0, 0, 0, 0, 0, 0, 0, 0},
      {{"-cue-file", "c.toc", "/b", "img"}, "", "c.toc", "img", 0, 0, 0, 0, 0, 0, 0, 0},
      {{"-i", "cuebin"}, "", "", "", 0, 0, 0, 0, 0, 0, 0, 0},
      {{"-i", "bincue"}, "", "", "", 0, 0, 0, 0, 0, 0, 0, 0},
      {{"/image-type", "tocimg"}, "", "", "", 1, 0, 0, 0, 0, 0, 0, 0},
      {{"-i", "IMGTOC"}, "", "", "", 1, 0, 0, 0, 0, 0, 0, 0},
      {{"-i", "nrg"}, "", "", "", 2, 0, 0, 0, 0, 0, 0, 0},
      {{"-s", "/p", "-g"}, "", "", "", 0, 1, 1, 0, 1, 0, 0, 0},
      {{"/sector-2336", "-progress", "/gui"}, "", "", "", 0, 1, 1, 0, 1, 0, 0, 0},
      {{"-v", "1"}, "", "", "", 0, 0, 0, 0, 0, 0, 0, 0},
      {{"-v", "2"}, "", "", "", 0, 0, 0, 1, 0, 0, 0, 0},
      {{"/verbose", "3"}, "", "", "", 0, 0, 0, 2, 0, 0, 0, 0},
      {{"-v", "-p"}, "", "", "", 0, 0, 1, 0, 0, 0, 0, 0},  // level left out
      {{"-v"}, "", "", "", 0, 0, 0, 0, 0, 0, 0, 0},
      {{"-V"}, "", "", "", 0, 0, 0, 0, 0, 1, 0, 0},
      {{"/version"}, "", "", "", 0, 0, 0, 0, 0, 1, 0, 0},
      {{"/?"}, "", "", "", 0, 0, 0, 0, 0, 0, 1, 0},
      {{"-h"}, "", "", "", 0, 0, 0, 0, 0, 0, 1, 0},
      {{"/help"}, "", "", "", 0, 0, 0, 0, 0, 0, 1, 0},
      {{"-u"}, "", "", "", 0, 0, 0, 0, 0, 0, 0, 1},
      {{"/usage"}, "", "", "", 0, 0, 0, 0, 0, 0, 0, 1},
  };
  for (const GoodCase& c : cases) {
    std::string line;
    for (const char* a : c.args) line += std::string(a) + " ";
    Parsed p = Parse(c.args);
    ASSERT_EQ(p.result, 0) << line << ": " << p.error;
    EXPECT_STREQ(p.params.xmlPath, c.xml) << line;
    EXPECT_STREQ(p.params.cuePath, c.cue) << line;
    EXPECT_STREQ(p.params.binPath, c.bin) << line;
    EXPECT_EQ(p.params.imageType, c.imageType) << line;
    EXPECT_EQ(p.params.sector2336, c.sector2336) << line;
    EXPECT_EQ(p.params.progress, c.progress) << line;
    EXPECT_EQ(p.params.verbosity, c.verbosity) << line;
    EXPECT_EQ(p.params.xmlProgress, c.xmlProgress) << line;
    EXPECT_EQ(p.params.versionMode, c.version) << line;
    EXPECT_EQ(p.params.helpMode, c.help) << line;
    EXPECT_EQ(p.params.usageMode, c.usage) << line;
    EXPECT_EQ(p.params.reserved, 0) << line;
  }
}

TEST(BuildOptions, RefusedCommandLines) {
  const std::string tooLong(260, 'p');
  struct BadCase {
    std::vector<const char*> args;
    const char* error;
  } cases[] = {
      {{"-i", "foo"}, "bad image type 'foo' (use cuebin, bincue, tocimg, imgtoc or nrg)"},
      {{"-v", "150x"}, "bad verbosity level '150x' (use 1, 2 or 3)"},
      {{"-v", "4"}, "bad verbosity level '4' (use 1, 2 or 3)"},
      {{"-q"}, "unknown option '-q'"},
      {{"-X", "a.xml"}, "unknown option '-X'"},  // short names keep their case
      {{"--xml", "a.xml"}, "unknown option '--xml'"},
      {{"-x"}, "option '-x' needs a value"},
      {{"/b"}, "option '/b' needs a value"},
      {{"vcd.xml"}, "unexpected argument 'vcd.xml'"},
      {{"-"}, "unexpected argument '-'"},
      {{"-x", tooLong.c_str()}, "path of option '-x' is longer than 259 characters"},
  };
  for (const BadCase& c : cases) {
    Parsed p = Parse(c.args);
    EXPECT_EQ(p.result, -1) << c.error;
    EXPECT_EQ(p.error, c.error);
  }
}

}  // namespace
