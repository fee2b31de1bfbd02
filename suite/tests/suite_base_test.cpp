// The disc programs' shared base pieces that need no system call: duration
// and label rules, the DirectX version table, folder path rules, settings
// values, and the VideoCD XML project writer, whose documents are read back
// by the image builder's own reader (validated against its DTD).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "discimage/base/vcd_messages.h"
#include "discimage/xml/vcd_xml_data.h"
#include "discimage/xml/vcd_xml_names.h"
#include "discimage/xml/vcd_xml_reader.h"
#include "suite/app_text_utils.h"
#include "suite/settings_values.h"
#include "suite/vcd_xml_writer.h"

namespace {

// ---- Durations, labels, DirectX versions -----------------------------------

TEST(FormatDuration, FieldsAreCutNotRounded) {
  const struct {
    double seconds;
    const char* text;
  } cases[] = {
      {3725.46, "01:02:05.4"}, {0.0, "00:00:00.0"},     {59.99, "00:00:59.9"},
      {60.0, "00:01:00.0"},    {35999.9, "09:59:59.9"}, {360000.0, "100:00:00.0"},
      {-5.0, "00:00:00.0"},    {0.05, "00:00:00.0"},
  };
  for (const auto& c : cases) EXPECT_STREQ(FormatDuration(c.seconds), c.text) << c.seconds;
}

TEST(FormatDuration, NonFiniteAndHugeDoNotOverflow) {
  EXPECT_STREQ(FormatDuration(0.0 / 0.0), "00:00:00.0");
  EXPECT_STREQ(FormatDuration(-1.0 / 0.0), "00:00:00.0");
  CString huge = FormatDuration(1e300);
  EXPECT_EQ(huge.Find('-'), -1) << huge.GetString();
}

TEST(IsValidDiscLabel, RefusesWhatAFolderNameCannotHold) {
  const struct {
    const char* label;
    BOOL valid;
  } cases[] = {
      {"", TRUE},           {"My VCD", TRUE},    {"Tom & Jerry", TRUE}, {"caf\xe9", TRUE},
      {"a\"b", FALSE},      {"a*b", FALSE},      {"a/b", FALSE},        {"a:b", FALSE},
      {"a<b", FALSE},       {"a>b", FALSE},      {"a?b", FALSE},        {"a\\b", FALSE},
      {"a|b", FALSE},       {"trailing|", FALSE},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidDiscLabel(c.label), c.valid) << c.label;
}

TEST(DirectXVersionFromText, KnownBuildsThenTheMinorDigit) {
  const struct {
    const char* text;
    int number;
  } cases[] = {
      {"4.05.00.0155", 50}, {"4.05.01.1721", 50}, {"4.05.01.1998", 50}, {"4.06.02.0436", 60},
      {"4.07.00.0700", 70}, {"4.07.00.0716", 71}, {"4.08.00.0400", 80}, {"4.08.01.0881", 85},
      {"4.09.00.0900", 90}, {"4.09.00.0901", 91}, {"4.09.00.0902", 92}, {"4.09.00.0904", 90},
      {"4.08.01.0810", 80}, {"4.07.xx", 70},      {"4.06", 60},         {"4.05.01.1998 extra", 50},
      {"4.0A.00.0000", 93}, {"10.0", 93},         {"4.1", 93},          {"", 93},
  };
  for (const auto& c : cases) EXPECT_EQ(DirectXVersionFromText(c.text), c.number) << c.text;
  // No text at all is "anything else" too.
  EXPECT_EQ(DirectXVersionFromText(NULL), 93);
}

TEST(TempFolderOnDrive, NamesTheJobFolder) {
  EXPECT_STREQ(TempFolderOnDrive('D'), "D:\\tmpQuorbel\\");
}

// ---- Folder path rules -------------------------------------------------------

TEST(FolderPathPrefixes, OneFolderPerComponentAfterTheRoot) {
  typedef std::vector<std::string> Folders;
  const struct {
    const char* path;
    Folders folders;
  } cases[] = {
      {"C:\\a\\b", {"C:\\a\\", "C:\\a\\b\\"}},
      {"C:\\a\\b\\", {"C:\\a\\", "C:\\a\\b\\"}},
      {"C:\\a\\\\b", {"C:\\a\\", "C:\\a\\b\\"}},
      {"C:\\", {}},
      {"C:", {}},
      {"\\\\server\\share\\x\\y", {"\\\\server\\share\\x\\", "\\\\server\\share\\x\\y\\"}},
      {"\\\\server\\share", {}},
      {"rel\\sub", {"rel\\", "rel\\sub\\"}},
      {"\\rooted\\sub", {"\\rooted\\", "\\rooted\\sub\\"}},
      {"C:rel\\sub", {"C:rel\\", "C:rel\\sub\\"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderPathPrefixes(c.path), c.folders) << c.path;
  EXPECT_TRUE(FolderPathPrefixes(NULL).empty());
}

TEST(IsProtectedFolderPath, RootsAndRelativePathsAreRefused) {
  const struct {
    const char* path;
    bool isProtected;
  } cases[] = {
      {"", true},
      {"C:\\", true},
      {"C:", true},
      {"c:\\\\", true},
      {"C:tmp", true},
      {"tmp", true},
      {"\\tmp", true},
      {"\\\\server\\share", true},
      {"\\\\server\\share\\", true},
      {"\\\\server", true},
      {"\\\\.\\C:\\x", true},
      {"\\\\?\\C:\\x", true},
      {"C:\\tmpQuorbel", false},
      {"C:\\tmpQuorbel\\", false},
      {"D:\\a\\b", false},
      {"\\\\server\\share\\dir", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsProtectedFolderPath(c.path), c.isProtected) << c.path;
  EXPECT_TRUE(IsProtectedFolderPath(NULL));
}

// ---- Settings values ---------------------------------------------------------

TEST(ParseSettingInt, StrictDecimalWithinInt) {
  const struct {
    const char* text;
    bool ok;
    int value;
  } cases[] = {
      {"0", true, 0},           {"2", true, 2},         {" 1 ", true, 1},
      {"\t-7", true, -7},       {"+3", true, 3},        {"007", true, 7},
      {"2147483647", true, 2147483647},                 {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0}, {"99999999999999999999999", false, 0},
      {"", false, 0},           {" ", false, 0},        {"abc", false, 0},
      {"12abc", false, 0},      {"1 2", false, 0},      {"0x1", false, 0},
      {"-", false, 0},          {"1.5", false, 0},
  };
  for (const auto& c : cases) {
    int value = -12345;
    EXPECT_EQ(ParseSettingInt(c.text, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
  EXPECT_FALSE(ParseSettingInt(NULL, NULL));
}

TEST(SettingIntOrDefault, DamagedOrOutOfRangeGivesTheDefault) {
  EXPECT_EQ(SettingIntOrDefault("1", 2, 0, 2), 1);
  EXPECT_EQ(SettingIntOrDefault("0", 2, 0, 2), 0);
  EXPECT_EQ(SettingIntOrDefault("3", 2, 0, 2), 2);
  EXPECT_EQ(SettingIntOrDefault("-1", 2, 0, 2), 2);
  EXPECT_EQ(SettingIntOrDefault("DVD", 2, 0, 2), 2);
  EXPECT_EQ(SettingIntOrDefault("", 1, 0, 1), 1);
  EXPECT_EQ(SettingIntOrDefault(NULL, 1, 0, 1), 1);
}

TEST(SettingFolderOrDefault, EndsWithABackslashAndFits) {
  const char* def = "C:\\Quorbel\\";
  EXPECT_STREQ(SettingFolderOrDefault("D:\\out\\", def, 1024), "D:\\out\\");
  EXPECT_STREQ(SettingFolderOrDefault("D:\\out", def, 1024), "D:\\out\\");
  EXPECT_STREQ(SettingFolderOrDefault("", def, 1024), def);
  EXPECT_STREQ(SettingFolderOrDefault("   ", def, 1024), def);
  EXPECT_STREQ(SettingFolderOrDefault(NULL, def, 1024), def);
  EXPECT_STREQ(SettingFolderOrDefault("D:\\abcd", def, 8), "D:\\abcd\\");
  EXPECT_STREQ(SettingFolderOrDefault("D:\\abcde", def, 8), def);  // no room for the backslash
}

// ---- VideoCD XML project writer ----------------------------------------------

// The builder's message sink with its error stream kept for the test.
class CapturedMessages {
public:
  CapturedMessages() : m_out(tmpfile()), m_err(tmpfile()) { m_sink.SetOutputStreams(m_out, m_err); }
  ~CapturedMessages() {
    if (m_out) fclose(m_out);
    if (m_err) fclose(m_err);
  }
  CVcdMessageSink* Sink() { return &m_sink; }
  std::string Errors() {
    std::string text;
    if (m_err == NULL) return text;
    fflush(m_err);
    rewind(m_err);
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, m_err)) > 0) text.append(buffer, n);
    return text;
  }

private:
  CVcdMessageSink m_sink;
  FILE* m_out;
  FILE* m_err;
};

// What the reader gives back for an ANSI text: the same bytes in Windows
// builds, its UTF-8 spelling natively.
std::string ReadBack(const std::string& ansi) {
#ifdef _WIN32
  return ansi;
#else
  std::string utf8;
  for (unsigned char c : ansi) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
#endif
}

std::string Build(const VcdXmlWriter& writer) {
  std::string document;
  EXPECT_EQ(writer.BuildDocument(&document), 0);
  return document;
}

TEST(VcdXmlWriter, StartsAsAVcd20WithoutItems) {
  VcdXmlWriter writer;
  EXPECT_EQ(writer.GetDiscClass(), kVcdClassVcd20);
  EXPECT_EQ(writer.GetItemCount(), 0);
  EXPECT_STREQ(writer.GetVolumeId(), "no_volume");
}

TEST(VcdXmlWriter, SvcdDocumentLineByLine) {
  VcdXmlWriter writer;
  writer.SetDiscClass(kVcdClassSvcd);
  writer.SetVolumeId("MY SVCD");
  writer.AddSequenceItem("C:\\tmpQuorbel\\000.mpg");
  writer.AddSequenceItem("C:\\tmpQuorbel\\001.mpg");
  std::string expected =
      "<?xml version=\"1.0\"?>\r\n"
      "<!DOCTYPE videocd PUBLIC \"-//Ostrel//DTD VideoCD//EN\" \"" VCD_XML_SYSTEM_ID "\">\r\n"
      "<videocd xmlns=\"" VCD_XML_NAMESPACE "\" class=\"svcd\" version=\"1.0\">\r\n"
      "  <info>\r\n"
      "    <album-id/>\r\n"
      "    <volume-count>2</volume-count>\r\n"
      "    <volume-number>2</volume-number>\r\n"
      "    <restriction>0</restriction>\r\n"
      "  </info>\r\n"
      "  <pvd>\r\n"
      "    <volume-id>MY SVCD</volume-id>\r\n"
      "    <system-id>CD-RTOS CD-BRIDGE</system-id>\r\n"
      "    <application-id>Quorbel</application-id>\r\n"
      "    <preparer-id/>\r\n"
      "    <publisher-id>Talvinor Software Inc.</publisher-id>\r\n"
      "  </pvd>\r\n"
      "  <sequence-items>\r\n"
      "    <sequence-item src=\"C:\\tmpQuorbel\\000.mpg\" id=\"seq_0_movie\"/>\r\n"
      "    <sequence-item src=\"C:\\tmpQuorbel\\001.mpg\" id=\"seq_1_movie\"/>\r\n"
      "  </sequence-items>\r\n"
      "</videocd>\r\n";
  EXPECT_EQ(Build(writer), expected);
}

TEST(VcdXmlWriter, ClassesGiveClassAndVersion) {
  const struct {
    int discClass;
    const char* root;
  } cases[] = {
      {1, "class=\"vcd\" version=\"1.0\""},  {2, "class=\"vcd\" version=\"1.1\""},
      {3, "class=\"vcd\" version=\"2.0\""},  {4, "class=\"svcd\" version=\"1.0\""},
      {5, "class=\"hqvcd\" version=\"1.0\""},
  };
  for (const auto& c : cases) {
    VcdXmlWriter writer;
    writer.SetDiscClass(c.discClass);
    writer.AddSequenceItem("a.mpg");
    EXPECT_NE(Build(writer).find(c.root), std::string::npos) << c.discClass;
  }
}

TEST(VcdXmlWriter, NothingValidToWriteIsRefused) {
  std::string document = "old";
  VcdXmlWriter badClass;
  badClass.AddSequenceItem("a.mpg");
  for (int discClass : {0, 6, -1}) {
    badClass.SetDiscClass(discClass);
    EXPECT_EQ(badClass.BuildDocument(&document), -1) << discClass;
    EXPECT_TRUE(document.empty());
  }
  VcdXmlWriter noItems;  // the format needs one sequence item at least
  EXPECT_EQ(noItems.BuildDocument(&document), -1);
  VcdXmlWriter controlInPath;
  controlInPath.AddSequenceItem("a\x01.mpg");
  EXPECT_EQ(controlInPath.BuildDocument(&document), -1);
  VcdXmlWriter controlInLabel;
  controlInLabel.AddSequenceItem("a.mpg");
  controlInLabel.SetVolumeId("bad\x1b");
  EXPECT_EQ(controlInLabel.BuildDocument(&document), -1);
}

TEST(VcdXmlWriter, EscapesMarkupBreaksAndEveryByteAboveAscii) {
  const struct {
    const char* text;
    const char* escaped;
  } cases[] = {
      {"Tom & Jerry", "Tom &#038; Jerry"},
      {"a<b>c\"d'e", "a&#060;b&#062;c&#034;d'e"},
      {"x]]>y", "x]]&#062;y"},
      {"caf\xe9 \xc7\xfc\xff", "caf&#233; &#199;&#252;&#255;"},
      {"\x9f\x80\xa0", "&#159;&#128;&#160;"},
      {"tab\there\r\n", "tab&#009;here&#013;&#010;"},
      {"C:\\x\\y.mpg", "C:\\x\\y.mpg"},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string escaped;
    EXPECT_TRUE(VcdXmlWriter::EscapeText(c.text, &escaped)) << c.text;
    EXPECT_EQ(escaped, c.escaped);
  }
  std::string escaped;
  EXPECT_FALSE(VcdXmlWriter::EscapeText("\x7f ok, \x1f not", &escaped));
}

TEST(VcdXmlWriter, LongLabelIsCut) {
  VcdXmlWriter writer;
  std::string label(400, 'L');
  writer.SetVolumeId(label.c_str());
  EXPECT_EQ(std::string(writer.GetVolumeId()), label.substr(0, kVcdXmlVolumeIdSize - 1));
  writer.SetVolumeId(NULL);
  EXPECT_STREQ(writer.GetVolumeId(), "");
}

// Reads the document back with the builder's reader.
void ReadDocument(const std::string& document, CVcdXmlData* data) {
  CapturedMessages messages;
  ASSERT_EQ(VcdXmlReadMemory(document.data(), document.size(), "vcd.xml", messages.Sink(), data), 0)
      << messages.Errors() << "\n" << document;
}

struct RoundTripCase {
  int discClass;
  int readType;
  const char* volumeId;
  std::vector<std::string> paths;
};

TEST(VcdXmlWriter, ReaderGetsEveryValueBack) {
  const RoundTripCase cases[] = {
      {kVcdClassVcd20, kVcdXmlTypeVcd20, "My VCD",
       {"C:\\tmpQuorbel\\000.mpg", "C:\\tmpQuorbel\\001.mpg", "C:\\tmpQuorbel\\002.mpg"}},
      {kVcdClassSvcd, kVcdXmlTypeSvcd, "Tom & Jerry \xe9t\xe9",
       {"D:\\Vid\xe9os & \"more\"\\<clip>.mpg", "E:\\M\xfcller's \xc5ngstr\xf6m\\x\xff\x9f.mpg",
        "C:\\a\tb\\c.mpg"}},
      {kVcdClassVcd11, kVcdXmlTypeVcd11, "", {"x.mpg"}},
      {kVcdClassHqvcd, kVcdXmlTypeHqvcd, "HQ", {"\x80\x81\xa0\xbf\xc0\xfe.mpg", "plain.mpg"}},
  };
  for (const RoundTripCase& c : cases) {
    SCOPED_TRACE(c.volumeId);
    VcdXmlWriter writer;
    writer.SetDiscClass(c.discClass);
    writer.SetVolumeId(c.volumeId);
    for (const std::string& path : c.paths) writer.AddSequenceItem(path.c_str());
    CVcdXmlData data;
    ReadDocument(Build(writer), &data);
    EXPECT_EQ(data.vcdType, c.readType);
    EXPECT_EQ(data.volumeId, ReadBack(c.volumeId));
    EXPECT_EQ(data.systemId, "CD-RTOS CD-BRIDGE");
    EXPECT_EQ(data.applicationId, "Quorbel");
    EXPECT_EQ(data.publisherId, "Talvinor Software Inc.");
    EXPECT_TRUE(data.albumId.empty());
    EXPECT_TRUE(data.preparerId.empty());
    EXPECT_EQ(data.volumeCount, static_cast<int>(c.paths.size()));
    EXPECT_EQ(data.volumeNumber, static_cast<int>(c.paths.size()));
    EXPECT_EQ(data.restriction, 0);
    ASSERT_EQ(data.sequenceItems.GetCount(), static_cast<INT_PTR>(c.paths.size()));
    size_t i = 0;
    for (POSITION pos = data.sequenceItems.GetHeadPosition(); pos != NULL; ++i) {
      CVcdNewStyle* holder = static_cast<CVcdNewStyle*>(data.sequenceItems.GetNext(pos));
      VcdXmlSequenceItem* item = holder->SequenceItem();
      ASSERT_TRUE(item != NULL);
      EXPECT_EQ(item->src, ReadBack(c.paths[i]));
      EXPECT_EQ(item->id, "seq_" + std::to_string(i) + "_movie");
    }
  }
}

TEST(VcdXmlWriter, WritesTheFileTheReaderReads) {
  const char kPath[] = "written-vcd.xml";
  VcdXmlWriter writer;
  writer.SetDiscClass(kVcdClassVcd20);
  writer.AddSequenceItem("T:\\000.mpg");
  writer.AddSequenceItem("T:\\001.mpg");
  ASSERT_EQ(writer.Write(kPath), 0);
  CVcdXmlData data;
  CapturedMessages messages;
  ASSERT_EQ(VcdXmlRead(kPath, messages.Sink(), &data), 0) << messages.Errors();
  EXPECT_EQ(data.sequenceItems.GetCount(), 2);

  // The file holds exactly the document, CR LF line ends included.
  std::string document = Build(writer);
  FILE* file = fopen(kPath, "rb");
  ASSERT_TRUE(file != NULL);
  std::string bytes(document.size() + 16, 0);
  bytes.resize(fread(&bytes[0], 1, bytes.size(), file));
  fclose(file);
  EXPECT_EQ(bytes, document);

  // A second write truncates.
  VcdXmlWriter shorter;
  shorter.AddSequenceItem("x.mpg");
  ASSERT_EQ(shorter.Write(kPath), 0);
  CVcdXmlData again;
  ASSERT_EQ(VcdXmlRead(kPath, messages.Sink(), &again), 0) << messages.Errors();
  EXPECT_EQ(again.sequenceItems.GetCount(), 1);
  remove(kPath);
}

TEST(VcdXmlWriter, WriteFailuresAreReported) {
  VcdXmlWriter writer;
  writer.AddSequenceItem("a.mpg");
  EXPECT_EQ(writer.Write(""), -1);
  EXPECT_EQ(writer.Write(NULL), -1);
  EXPECT_EQ(writer.Write("no-such-folder/sub/vcd.xml"), -1);

  const char kPath[] = "refused-vcd.xml";
  remove(kPath);
  VcdXmlWriter classZero;
  classZero.SetDiscClass(0);
  classZero.AddSequenceItem("a.mpg");
  EXPECT_EQ(classZero.Write(kPath), -1);
  FILE* file = fopen(kPath, "rb");
  EXPECT_TRUE(file == NULL) << "a refused project must write no file";
  if (file) fclose(file);
}

#ifndef _WIN32
TEST(VcdXmlWriter, FullDiscIsAFailure) {
  // /dev/full takes the open and fails every write.
  FILE* probe = fopen("/dev/full", "wb");
  if (probe == NULL) GTEST_SKIP() << "no /dev/full";
  fclose(probe);
  VcdXmlWriter writer;
  writer.AddSequenceItem("a.mpg");
  EXPECT_EQ(writer.Write("/dev/full"), -1);
}
#endif

}  // namespace
