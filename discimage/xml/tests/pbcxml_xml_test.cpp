// The VideoCD XML project reader: a project of each VCD type with every
// section, the project writer's own form, refused documents (each with the
// error it must give), external entities that must never be loaded, the
// DTD server's set-up and tear-down, and handing the playback lists to a
// project.
#include <gtest/gtest.h>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "discimage/tests/capture_window.h"
#include "discimage/tests/test_support.h"
#include "discimage/run/vcd_frontend.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"
#include "discimage/xml/vcd_xml_data.h"
#include "discimage/xml/vcd_xml_dtd.h"
#include "discimage/xml/vcd_xml_names.h"
#include "discimage/xml/vcd_xml_reader.h"

namespace {

const char kDoctype[] = "<!DOCTYPE videocd PUBLIC \"" VCD_XML_PUBLIC_ID "\" \"" VCD_XML_SYSTEM_ID "\">\n";

// A document with the format's prolog and root around body.
std::string Document(const std::string& body, const std::string& cls = "vcd",
                     const std::string& version = "2.0") {
  return std::string("<?xml version=\"1.0\"?>\n") + kDoctype + "<videocd xmlns=\"" VCD_XML_NAMESPACE
         "\" class=\"" + cls + "\" version=\"" + version + "\">\n" + body + "</videocd>\n";
}

const char kMinimalBody[] =
    "<info/><pvd/><sequence-items><sequence-item src=\"a.mpg\"/></sequence-items>\n";

// Every section, every element the reader knows.
const char kFullBody[] = R"(
  <option name="update scan offsets" value="true"/>
  <option name="leadout pause"/>
  <info>
    <album-id>ALBUM</album-id>
    <volume-count>2</volume-count>
    <volume-number> 1 </volume-number>
    <next-volume-use-sequence2/>
    <next-volume-use-lid2/>
    <restriction>3</restriction>
    <start-time-offset>150</start-time-offset>
  </info>
  <pvd>
    <volume-id>FIRST</volume-id>
    <system-id>CD-RTOS CD-BRIDGE</system-id>
    <application-id>APP</application-id>
    <preparer-id/>
    <publisher-id>PUB</publisher-id>
  </pvd>
  <filesystem>
    <folder>
      <name>DATA</name>
      <folder>
        <name>SUB</name>
        <file src="/media/readme.txt"><name>README.TXT</name></file>
      </folder>
      <file src="C:\videos\a.mpg"/>
    </folder>
    <file src="raw.bin" format="mixed"><name>RAW.DAT</name></file>
  </filesystem>
  <segment-items>
    <segment-item id="still" src="still.mpg"><auto-pause>0.5</auto-pause></segment-item>
  </segment-items>
  <sequence-items>
    <sequence-item id="seq1" src="movie&#233;.mpg">
      <default-entry id="seq1start"/>
      <entry id="ch2">10.5</entry>
      <entry>20</entry>
      <auto-pause>5</auto-pause>
      <auto-pause>7.25</auto-pause>
    </sequence-item>
    <sequence-item src="caf&eacute;.mpg"/>
  </sequence-items>
  <pbc>
    <playlist id="play1">
      <next ref="menu"/>
      <return ref="end"/>
      <playtime>12.5</playtime>
      <wait>90</wait>
      <autowait>-1</autowait>
      <play-item ref="seq1"/>
      <play-item ref="still"/>
    </playlist>
    <selection id="menu" rejected="true">
      <bsn>2</bsn>
      <prev ref="play1" x1="10" y1="20" x2="30" y2="40"/>
      <default ref="end" x1="1" y1="2" x2="3" y2="4"/>
      <timeout ref="end"/>
      <wait>-1</wait>
      <loop jump-timing="delayed">3</loop>
      <play-item ref="ch2"/>
      <select ref="play1" x1="5" y1="6" x2="7" y2="8"/>
      <select ref="end"/>
    </selection>
    <selection id="multi">
      <multi-default numeric="disabled"/>
      <play-item ref="seq1"/>
    </selection>
    <endlist id="end">
      <next-volume>2</next-volume>
      <play-item ref="still"/>
    </endlist>
  </pbc>
)";

// What libxml2's I/O layer is asked to open while a test runs: the reader
// reads the project itself and serves the DTD from memory, so nothing ever.
std::vector<std::string> g_opened;

int SpyMatch(const char* uri) {
  g_opened.push_back(uri != NULL ? uri : "(null)");
  return 0;  // let the real handlers go on, so that a test would see the damage
}
void* SpyOpen(const char*) { return NULL; }
int SpyRead(void*, char*, int) { return -1; }
int SpyClose(void*) { return 0; }

std::string AsText(const std::string& utf8) {
#ifdef _WIN32
  // Windows builds hand out ISO 8859-1 where they can.
  std::string latin1;
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c == 0xC3 && i + 1 < utf8.size()) {
      latin1 += static_cast<char>(0xC0 | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
    } else {
      latin1 += utf8[i];
    }
  }
  return latin1;
#else
  return utf8;
#endif
}

class XmlReaderTest : public ::testing::Test {
protected:
  void SetUp() override {
    window.Attach(frontEnd);
    frontEnd.SetLevel(kVcdLevelDebug);
    g_opened.clear();
    xmlRegisterInputCallbacks(SpyMatch, SpyOpen, SpyRead, SpyClose);
  }
  void TearDown() override {
    xmlPopInputCallbacks();
    EXPECT_TRUE(g_opened.empty()) << "libxml2 was asked to open " << g_opened.front();
  }

  int ReadFile(const std::string& text, const char* name = "project.xml") {
    test_support::WriteText(name, text);
    int result = VcdXmlRead(name, &frontEnd, &data);
    remove(name);
    return result;
  }
  int ReadMemory(const std::string& text) {
    return VcdXmlReadMemory(text.data(), text.size(), "memory.xml", &frontEnd, &data);
  }

  bool Has(int level, const std::string& part) const { return window.Has(level, part); }
  int Count(int level) const { return window.Count(level); }
  std::string All() const { return window.All(); }

  CVcdFrontEndBase frontEnd;
  CaptureWindow window;
  CVcdXmlData data;
};

CVcdNewStyle* Holder(CVcdList& list, int index) {
  return DYNAMIC_DOWNCAST(CVcdNewStyle, list.ElementAt(index));
}

std::string Area(const VcdPbcArea& area) {
  return std::to_string(area.x1) + "," + std::to_string(area.y1) + "," + std::to_string(area.x2) +
         "," + std::to_string(area.y2);
}

// ---------------------------------------------------------------------------
// Valid projects

struct TypeCase {
  const char* cls;
  const char* version;
  int type;
};

class EveryType : public XmlReaderTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(EveryType, ReadsEverySection) {
  ASSERT_EQ(ReadFile(Document(kFullBody, GetParam().cls, GetParam().version)), 0) << All();
  EXPECT_EQ(Count(kVcdMsgError), 0) << All();
  EXPECT_EQ(Count(kVcdMsgWarning), 0) << All();
  EXPECT_EQ(data.vcdType, GetParam().type);

  ASSERT_EQ(data.options.GetCount(), 2);
  EXPECT_EQ(Holder(data.options, 0)->Option()->name, "update scan offsets");
  EXPECT_EQ(Holder(data.options, 0)->Option()->value, "true");
  EXPECT_EQ(Holder(data.options, 1)->Option()->name, "leadout pause");
  EXPECT_EQ(CVcdXmlData::TextOrNull(Holder(data.options, 1)->Option()->value), nullptr);

  EXPECT_EQ(data.albumId, "ALBUM");
  EXPECT_EQ(data.volumeCount, 2);
  EXPECT_EQ(data.volumeNumber, 1);
  EXPECT_EQ(data.restriction, 3);
  EXPECT_EQ(data.nextVolumeUseSequence2, 1);
  EXPECT_EQ(data.nextVolumeUseLid2, 1);
  EXPECT_EQ(data.volumeId, "FIRST");
  EXPECT_EQ(data.systemId, "CD-RTOS CD-BRIDGE");
  EXPECT_EQ(data.applicationId, "APP");
  EXPECT_EQ(CVcdXmlData::TextOrNull(data.preparerId), nullptr);
  EXPECT_EQ(data.publisherId, "PUB");

  // Folders before their contents; a file without a name takes the source's.
  const char* paths[][3] = {{"DATA", "", "0"},
                            {"DATA/SUB", "", "0"},
                            {"DATA/SUB/README.TXT", "/media/readme.txt", "0"},
                            {"DATA/a.mpg", "C:\\videos\\a.mpg", "0"},
                            {"RAW.DAT", "raw.bin", "1"}};
  ASSERT_EQ(data.fsEntries.GetCount(), 5);
  for (int i = 0; i < 5; ++i) {
    VcdXmlFsEntry* entry = Holder(data.fsEntries, i)->FsEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->isoPath, paths[i][0]);
    EXPECT_EQ(entry->src, paths[i][1]);
    EXPECT_EQ(entry->mixed, atoi(paths[i][2])) << entry->isoPath;
  }

  ASSERT_EQ(data.segmentItems.GetCount(), 1);
  VcdXmlSegmentItem* segment = Holder(data.segmentItems, 0)->SegmentItem();
  EXPECT_EQ(segment->id, "still");
  EXPECT_EQ(segment->src, "still.mpg");
  EXPECT_EQ(segment->autoPauses, std::vector<double>{0.5});

  ASSERT_EQ(data.sequenceItems.GetCount(), 2);
  VcdXmlSequenceItem* first = Holder(data.sequenceItems, 0)->SequenceItem();
  EXPECT_EQ(first->id, "seq1");
  EXPECT_EQ(first->src, AsText("movie\xC3\xA9.mpg"));
  EXPECT_EQ(first->defaultEntryId, "seq1start");
  ASSERT_EQ(first->entries.GetCount(), 2);
  EXPECT_EQ(Holder(first->entries, 0)->Entry()->id, "ch2");
  EXPECT_DOUBLE_EQ(Holder(first->entries, 0)->Entry()->time, 10.5);
  EXPECT_EQ(Holder(first->entries, 1)->Entry()->id, "");
  EXPECT_DOUBLE_EQ(Holder(first->entries, 1)->Entry()->time, 20.0);
  EXPECT_EQ(first->autoPauses, (std::vector<double>{5.0, 7.25}));
  VcdXmlSequenceItem* second = Holder(data.sequenceItems, 1)->SequenceItem();
  EXPECT_EQ(second->id, "");
  EXPECT_EQ(second->src, AsText("caf\xC3\xA9.mpg"));  // the DTD's entity

  ASSERT_EQ(data.pbcLists.GetCount(), 4);
  CPbcPlay* play = DYNAMIC_DOWNCAST(CPbcPlay, data.pbcLists.ElementAt(0));
  ASSERT_NE(play, nullptr);
  EXPECT_STREQ(play->GetId(), "play1");
  EXPECT_EQ(play->GetRejected(), 0);
  EXPECT_STREQ(play->prevId, "");
  EXPECT_STREQ(play->nextId, "menu");
  EXPECT_STREQ(play->returnId, "end");
  EXPECT_DOUBLE_EQ(play->playingTime, 12.5);
  EXPECT_EQ(play->wait, 90);
  EXPECT_EQ(play->autoWait, -1);
  ASSERT_EQ(play->itemIds.size(), 2u);
  EXPECT_STREQ(play->itemIds[0], "seq1");
  EXPECT_STREQ(play->itemIds[1], "still");

  CPbcSelect* menu = DYNAMIC_DOWNCAST(CPbcSelect, data.pbcLists.ElementAt(1));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetRejected(), 1);
  EXPECT_EQ(menu->bsn, 2);
  EXPECT_STREQ(menu->prevId, "play1");
  EXPECT_EQ(Area(menu->prevArea), "10,20,30,40");
  EXPECT_EQ(menu->defaultMode, kPbcDefaultTarget);
  EXPECT_STREQ(menu->defaultId, "end");
  EXPECT_EQ(Area(menu->defaultArea), "1,2,3,4");
  EXPECT_STREQ(menu->timeoutId, "end");
  EXPECT_EQ(menu->wait, -1);
  EXPECT_EQ(menu->loopCount, 3);
  EXPECT_EQ(menu->delayedJump, 1);
  EXPECT_STREQ(menu->itemId, "ch2");
  ASSERT_EQ(menu->TargetCount(), 2);
  EXPECT_STREQ(menu->targetIds[0], "play1");
  EXPECT_EQ(Area(menu->targetAreas[0]), "5,6,7,8");
  EXPECT_STREQ(menu->targetIds[1], "end");
  EXPECT_EQ(Area(menu->targetAreas[1]), "0,0,0,0");

  CPbcSelect* multi = DYNAMIC_DOWNCAST(CPbcSelect, data.pbcLists.ElementAt(2));
  ASSERT_NE(multi, nullptr);
  EXPECT_EQ(multi->defaultMode, kPbcMultiDefaultNoNumeric);
  EXPECT_EQ(multi->bsn, 1);        // defaults
  EXPECT_EQ(multi->loopCount, 1);
  EXPECT_EQ(multi->delayedJump, 0);

  CPbcEnd* end = DYNAMIC_DOWNCAST(CPbcEnd, data.pbcLists.ElementAt(3));
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end->nextVolume, 2);
  EXPECT_STREQ(end->itemId, "still");

  // Clearing frees and resets everything.
  data.Clear();
  EXPECT_EQ(data.vcdType, kVcdXmlTypeNone);
  EXPECT_TRUE(data.pbcLists.IsEmpty());
  EXPECT_TRUE(data.sequenceItems.IsEmpty());
  EXPECT_TRUE(data.albumId.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, EveryType,
                         ::testing::Values(TypeCase{"vcd", "1.0", kVcdXmlTypeVcd10},
                                           TypeCase{"vcd", "1.1", kVcdXmlTypeVcd11},
                                           TypeCase{"VCD", "2.0", kVcdXmlTypeVcd20},
                                           TypeCase{"svcd", "1.0", kVcdXmlTypeSvcd},
                                           TypeCase{"HQVCD", "1.0", kVcdXmlTypeHqvcd}));

// The form the disc programs write: CRLF lines, empty album and preparer
// ids, paths with character references.
TEST_F(XmlReaderTest, ReadsTheProjectWritersForm) {
  std::string text =
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
      "    <volume-id>MY DISC</volume-id>\r\n"
      "    <system-id>CD-RTOS CD-BRIDGE</system-id>\r\n"
      "    <application-id>Quorbel</application-id>\r\n"
      "    <preparer-id/>\r\n"
      "    <publisher-id>Talvinor Software Inc.</publisher-id>\r\n"
      "  </pvd>\r\n"
      "  <sequence-items>\r\n"
      "    <sequence-item src=\"C:\\tmp\\a&#038;b.mpg\" id=\"seq_0_movie\"/>\r\n"
      "    <sequence-item src=\"C:\\tmp\\caf&#233;.mpg\" id=\"seq_1_movie\"/>\r\n"
      "  </sequence-items>\r\n"
      "</videocd>\r\n";
  ASSERT_EQ(ReadFile(text), 0) << All();
  EXPECT_EQ(data.vcdType, kVcdXmlTypeSvcd);
  EXPECT_EQ(CVcdXmlData::TextOrNull(data.albumId), nullptr);
  EXPECT_EQ(data.volumeCount, 2);
  EXPECT_EQ(data.volumeId, "MY DISC");
  EXPECT_EQ(data.publisherId, "Talvinor Software Inc.");
  ASSERT_EQ(data.sequenceItems.GetCount(), 2);
  EXPECT_EQ(Holder(data.sequenceItems, 0)->SequenceItem()->src, "C:\\tmp\\a&b.mpg");
  EXPECT_EQ(Holder(data.sequenceItems, 0)->SequenceItem()->id, "seq_0_movie");
  EXPECT_EQ(Holder(data.sequenceItems, 1)->SequenceItem()->src, AsText("C:\\tmp\\caf\xC3\xA9.mpg"));
  EXPECT_EQ(Count(kVcdMsgError), 0) << All();
}

TEST_F(XmlReaderTest, EmptyNumberIsZeroWithAWarning) {
  ASSERT_EQ(ReadMemory(Document("<info><volume-count/><restriction></restriction></info><pvd/>"
                                "<sequence-items><sequence-item src=\"a.mpg\"/></sequence-items>")),
            0)
      << All();
  EXPECT_TRUE(Has(kVcdMsgWarning, "empty element [volume-count]??"));
  EXPECT_TRUE(Has(kVcdMsgWarning, "empty element [restriction]??"));
  EXPECT_EQ(data.volumeCount, 0);
}

TEST_F(XmlReaderTest, LaterPvdTextReplacesEarlierAndEmptyCountsAsNone) {
  ASSERT_EQ(ReadMemory(Document("<info/><pvd><volume-id>A</volume-id><publisher-id/></pvd>"
                                "<sequence-items><sequence-item src=\"a.mpg\"/></sequence-items>")),
            0);
  EXPECT_EQ(data.volumeId, "A");
  EXPECT_EQ(CVcdXmlData::TextOrNull(data.publisherId), nullptr);
}

// ---------------------------------------------------------------------------
// Refused documents

struct BadCase {
  const char* name;
  std::string text;
  const char* error;  // fragment of an error text
};

class RefusedDocument : public XmlReaderTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(RefusedDocument, FailsWithItsError) {
  EXPECT_EQ(ReadFile(GetParam().text), 1);
  EXPECT_TRUE(Has(kVcdMsgError, GetParam().error)) << All();
}

// The minimal project with one thing replaced.
std::string Minimal(const std::string& from, const std::string& to) {
  std::string text = Document(kMinimalBody);
  text.replace(text.find(from), from.size(), to);
  return text;
}

std::string WithPbc(const std::string& pbc) {
  return Document(std::string("<info/><pvd/><segment-items><segment-item id=\"s\" src=\"s.mpg\"/>"
                              "</segment-items><sequence-items><sequence-item id=\"q\" "
                              "src=\"a.mpg\"/></sequence-items><pbc>") +
                  pbc + "</pbc>");
}

// The minimal project with another root element name.
std::string Renamed(const std::string& root) {
  std::string text = Document(kMinimalBody);
  text.replace(text.find("<videocd "), 9, "<" + root + " ");
  text.replace(text.find("</videocd>"), 10, "</" + root + ">");
  return text;
}

// A document with a DTD of its own that would let it through (no external
// subset, so libxml2 is content with it).
std::string OwnDtd(const std::string& declarations, const std::string& root) {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE videocd [\n" + declarations + "]>\n" + root;
}

const char kOwnDeclarations[] =
    "<!ELEMENT videocd (info, pvd, sequence-items)>\n"
    "<!ATTLIST videocd class CDATA #REQUIRED version CDATA #REQUIRED xmlns CDATA #IMPLIED>\n"
    "<!ELEMENT info EMPTY>\n<!ELEMENT pvd EMPTY>\n"
    "<!ELEMENT sequence-items (sequence-item+)>\n<!ELEMENT sequence-item EMPTY>\n"
    "<!ATTLIST sequence-item src CDATA #REQUIRED>\n";

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedDocument,
    ::testing::Values(
        BadCase{"Malformed", Minimal("</sequence-items>", "</sequence-item>"),
                "parsing file `project.xml' failed"},
        BadCase{"MalformedTagMismatch", Minimal("</sequence-items>", "</sequence-item>"),
                "Opening and ending tag mismatch"},
        BadCase{"Empty", "", "Document is empty"},
        BadCase{"NotXml", "\x89PNG\r\n\x1a\n", "parsing file `project.xml' failed"},
        BadCase{"NoDtd",
                "<?xml version=\"1.0\"?><videocd xmlns=\"" VCD_XML_NAMESPACE
                "\" class=\"vcd\" version=\"2.0\"><info/><pvd/><sequence-items><sequence-item "
                "src=\"a\"/></sequence-items></videocd>",
                "no DTD found"},
        BadCase{"MissingSection", Minimal("<pvd/>", ""), "does not follow the DTD"},
        BadCase{"SectionOutOfOrder", Minimal("<info/><pvd/>", "<pvd/><info/>"),
                "does not follow the DTD"},
        BadCase{"UnknownElement", Minimal("<info/>", "<info/><bogus/>"),
                "No declaration for element bogus"},
        BadCase{"OptionWithoutName", Minimal("<info/>", "<option value=\"1\"/><info/>"),
                "does not carry attribute name"},
        BadCase{"WrongRoot", Renamed("vcd"), "root and DTD name do not match"},
        BadCase{"WrongNamespace", Minimal(VCD_XML_NAMESPACE, "http://elsewhere.example/ns"),
                "xmlns"},
        BadCase{"NoNamespace",
                OwnDtd(kOwnDeclarations,
                       "<videocd class=\"vcd\" version=\"2.0\"><info/><pvd/><sequence-items>"
                       "<sequence-item src=\"a\"/></sequence-items></videocd>"),
                "Namespace not found in document"},
        // A DTD of its own cannot widen the format.
        BadCase{"OwnDtdWidensTheFormat",
                OwnDtd(std::string(kOwnDeclarations) + "<!ELEMENT extra EMPTY>\n",
                       "<videocd class=\"vcd\" version=\"2.0\" xmlns=\"" VCD_XML_NAMESPACE
                       "\"><info/><pvd/><sequence-items><sequence-item src=\"a\"/>"
                       "<extra/></sequence-items></videocd>"),
                "parsing file `project.xml' failed"},
        BadCase{"UnknownTypePair", Document(kMinimalBody, "svcd", "1.1"), "parsing tree failed"},
        BadCase{"UnknownClass", Document(kMinimalBody, "dvd", "1.0"),
                "unknown VideoCD class 'dvd' version '1.0'"},
        BadCase{"NumberWithTrailing", Minimal("<info/>", "<info><volume-count>2x</volume-count></info>"),
                "error while converting string to integer?"},
        BadCase{"NumberTooLarge",
                Minimal("<info/>", "<info><restriction>99999999999999999999</restriction></info>"),
                "element [restriction]: '99999999999999999999' is not a whole number"},
        BadCase{"NumberBadTreeFails", Minimal("<info/>", "<info><volume-number>one</volume-number></info>"),
                "parsing tree failed"},
        BadCase{"TimeNotANumber",
                Minimal("<sequence-item src=\"a.mpg\"/>",
                        "<sequence-item src=\"a.mpg\"><entry>ten</entry></sequence-item>"),
                "error while converting string to floating point?"},
        BadCase{"TimeNegative",
                Minimal("<sequence-item src=\"a.mpg\"/>",
                        "<sequence-item src=\"a.mpg\"><auto-pause>-1</auto-pause></sequence-item>"),
                "element [auto-pause]: '-1' is not a time"},
        BadCase{"TimeNan",
                Minimal("<sequence-item src=\"a.mpg\"/>",
                        "<sequence-item src=\"a.mpg\"><entry>nan</entry></sequence-item>"),
                "element [entry]: 'nan' is not a time"},
        BadCase{"TimeInfinite", WithPbc("<playlist id=\"p\"><playtime>1e999</playtime>"
                                        "<play-item ref=\"q\"/></playlist>"),
                "element [playtime]: '1e999' is not a time"},
        BadCase{"DuplicateId",
                WithPbc("<playlist id=\"q\"><play-item ref=\"s\"/></playlist>"),
                "ID q already defined"},
        BadCase{"DanglingReference",
                WithPbc("<playlist id=\"p\"><next ref=\"nowhere\"/><play-item ref=\"s\"/></playlist>"),
                "nowhere"},
        BadCase{"RejectedNotBoolean",
                WithPbc("<endlist id=\"e\" rejected=\"maybe\"/>"), "rejected"},
        BadCase{"PlaylistWithoutItem", WithPbc("<playlist id=\"p\"/>"), "does not follow the DTD"},
        BadCase{"CoordinateTooLarge",
                WithPbc("<selection id=\"m\"><prev ref=\"m\" x1=\"300\"/></selection>"),
                "element [prev]: x1=300 not in range [0..255]"},
        BadCase{"CoordinateNotANumber",
                WithPbc("<selection id=\"m\"><select ref=\"m\" y2=\"1.5\"/></selection>"),
                "element [select]: y2='1.5' is not a whole number"},
        BadCase{"FolderWithoutName", Minimal("<sequence-items>", "<filesystem><folder/></filesystem>"
                                                                 "<sequence-items>"),
                "does not follow the DTD"},
        BadCase{"FolderWithEmptyName",
                Minimal("<sequence-items>",
                        "<filesystem><folder><name></name></folder></filesystem><sequence-items>"),
                "folder in '/' without a name"},
        BadCase{"FileWithoutName",
                Minimal("<sequence-items>",
                        "<filesystem><folder><name>D</name><file src=\"dir/\"/></folder>"
                        "</filesystem><sequence-items>"),
                "file in 'D/' without a name"},
        BadCase{"FileWithoutSource",
                Minimal("<sequence-items>",
                        "<filesystem><file src=\"\"><name>X</name></file></filesystem>"
                        "<sequence-items>"),
                "file in '/' without a source (src)"},
        BadCase{"EntityExpansion",
                "<?xml version=\"1.0\"?>\n<!DOCTYPE videocd PUBLIC \"" VCD_XML_PUBLIC_ID "\" \"" VCD_XML_SYSTEM_ID
                "\" [\n<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n"
                "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
                "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n"
                "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">\n"
                "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">\n"
                "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">\n"
                "]>\n<videocd xmlns=\"" VCD_XML_NAMESPACE "\" class=\"vcd\" version=\"2.0\">"
                "<info><album-id>&g;</album-id></info><pvd/><sequence-items><sequence-item "
                "src=\"a\"/></sequence-items></videocd>",
                "parsing file `project.xml' failed"}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST_F(XmlReaderTest, MissingFileGivesTheSystemsReason) {
  EXPECT_EQ(VcdXmlRead("no-such-project.xml", &frontEnd, &data), 1);
  EXPECT_TRUE(Has(kVcdMsgError, "error while parsing file `no-such-project.xml': ")) << All();
  EXPECT_EQ(VcdXmlRead("", &frontEnd, &data), 1);
  EXPECT_EQ(VcdXmlRead("x.xml", &frontEnd, NULL), 1);
}

TEST_F(XmlReaderTest, AUrlAsProjectPathIsAFileName) {
  EXPECT_EQ(VcdXmlRead("http://127.0.0.1:9/vcd.xml", &frontEnd, &data), 1);
  EXPECT_TRUE(Has(kVcdMsgError, "error while parsing file `http://127.0.0.1:9/vcd.xml': ")) << All();
}

// ---------------------------------------------------------------------------
// External entities

class ExternalEntity : public XmlReaderTest {
protected:
  void SetUp() override {
    XmlReaderTest::SetUp();
    test_support::WriteText(kSecretFile, "TOPSECRET");
  }
  void TearDown() override {
    remove(kSecretFile);
    XmlReaderTest::TearDown();
  }
  // The secret file as a file: URI.
  static std::string SecretUri() {
    std::string dir = std::filesystem::current_path().string();
    for (char& c : dir)
      if (c == '\\') c = '/';
    return std::string(dir[0] == '/' ? "file://" : "file:///") + dir + "/" + kSecretFile;
  }
  std::string WithSubset(const std::string& subset, const std::string& album) {
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE videocd PUBLIC \"" VCD_XML_PUBLIC_ID "\" \"" VCD_XML_SYSTEM_ID
           "\" [\n" + subset + "\n]>\n<videocd xmlns=\"" VCD_XML_NAMESPACE
           "\" class=\"vcd\" version=\"2.0\"><info><album-id>" + album +
           "</album-id></info><pvd/><sequence-items><sequence-item src=\"a\"/>"
           "</sequence-items></videocd>";
  }
  void ExpectRefused(const std::string& systemId) {
    EXPECT_TRUE(Has(kVcdMsgError, "external entity refused: sysid=[" + systemId)) << All();
    EXPECT_EQ(data.albumId.find("TOPSECRET"), std::string::npos);
    EXPECT_EQ(All().find("TOPSECRET"), std::string::npos);
  }

  static constexpr const char* kSecretFile = "secret.txt";
};

TEST_F(ExternalEntity, LocalFileEntityIsRefusedUnread) {
  std::string uri = SecretUri();
  EXPECT_EQ(ReadFile(WithSubset("<!ENTITY s SYSTEM \"" + uri + "\">", "&s;")), 1);
  ExpectRefused(uri);
}

TEST_F(ExternalEntity, RelativeFileEntityIsRefusedUnread) {
  EXPECT_EQ(ReadFile(WithSubset(std::string("<!ENTITY s SYSTEM \"") + kSecretFile + "\">", "&s;")), 1);
  EXPECT_TRUE(Has(kVcdMsgError, "external entity refused: sysid=[")) << All();
  EXPECT_TRUE(Has(kVcdMsgError, kSecretFile)) << All();
  EXPECT_EQ(All().find("TOPSECRET"), std::string::npos);
}

TEST_F(ExternalEntity, HttpEntityIsRefused) {
  EXPECT_EQ(ReadFile(WithSubset("<!ENTITY s SYSTEM \"http://127.0.0.1:9/secret\">", "&s;")), 1);
  ExpectRefused("http://127.0.0.1:9/secret");
}

TEST_F(ExternalEntity, ParameterEntityIsRefused) {
  EXPECT_EQ(ReadFile(WithSubset("<!ENTITY % p SYSTEM \"http://127.0.0.1:9/evil.dtd\">\n%p;", "x")), 1);
  ExpectRefused("http://127.0.0.1:9/evil.dtd");
}

TEST_F(ExternalEntity, PublicIdOfAnotherDtdIsRefused) {
  EXPECT_EQ(ReadFile("<?xml version=\"1.0\"?>\n<!DOCTYPE videocd PUBLIC \"-//Other//DTD X//EN\" "
                     "\"http://127.0.0.1:9/x.dtd\">\n" +
                     Document(kMinimalBody).substr(Document(kMinimalBody).find("<videocd"))),
            1);
  ExpectRefused("http://127.0.0.1:9/x.dtd");
}

TEST_F(ExternalEntity, DtdIsServedForThePublicIdAlone) {
  // An empty system literal: libxml2 resolves it to the document itself.
  std::string text = Document(kMinimalBody);
  text.replace(text.find("<!DOCTYPE"), strlen(kDoctype),
               "<!DOCTYPE videocd PUBLIC \"" VCD_XML_PUBLIC_ID "\" \"\">\n");
  ASSERT_EQ(ReadFile(text), 0) << All();
  EXPECT_TRUE(Has(kVcdMsgDebug, "EEL sysid=[")) << All();
  EXPECT_TRUE(Has(kVcdMsgDebug, "pubid=[" VCD_XML_PUBLIC_ID "]")) << All();
}

TEST_F(ExternalEntity, DtdIsServedForTheSystemIdAlone) {
  std::string text = Document(kMinimalBody);
  text.replace(text.find("<!DOCTYPE"), strlen(kDoctype),
               "<!DOCTYPE videocd SYSTEM \"" VCD_XML_SYSTEM_ID "\">\n");
  ASSERT_EQ(ReadFile(text), 0) << All();
  EXPECT_TRUE(Has(kVcdMsgDebug, "EEL sysid=[" VCD_XML_SYSTEM_ID "] pubid=[NULL]")) << All();
}

// ---------------------------------------------------------------------------
// The DTD server

xmlParserInputPtr MarkerLoader(const char*, const char*, xmlParserCtxtPtr) { return NULL; }

TEST_F(XmlReaderTest, ServerPutsTheLoaderAndKeepBlanksBack) {
  xmlExternalEntityLoader before = xmlGetExternalEntityLoader();
  xmlSetExternalEntityLoader(MarkerLoader);
  int keepBlanks = xmlKeepBlanksDefault(1);
  {
    CVcdXmlDtd dtd(&frontEnd);
    EXPECT_EQ(xmlGetExternalEntityLoader(), &CVcdXmlDtd::LoadEntity);
    EXPECT_EQ(xmlKeepBlanksDefault(0), 0);  // off while serving
  }
  EXPECT_EQ(xmlGetExternalEntityLoader(), MarkerLoader);
  EXPECT_EQ(xmlKeepBlanksDefault(keepBlanks), 1);
  ASSERT_EQ(ReadMemory(Document(kMinimalBody)), 0) << All();
  EXPECT_EQ(xmlGetExternalEntityLoader(), MarkerLoader);
  xmlSetExternalEntityLoader(before);
}

TEST_F(XmlReaderTest, LoaderServesOnlyTheDtdAndOnlyWhileActive) {
  xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
  ASSERT_NE(ctxt, nullptr);
  EXPECT_EQ(CVcdXmlDtd::LoadEntity(VCD_XML_SYSTEM_ID, VCD_XML_PUBLIC_ID, ctxt), nullptr);
  {
    CVcdXmlDtd dtd(&frontEnd);
    EXPECT_EQ(CVcdXmlDtd::LoadEntity(VCD_XML_SYSTEM_ID, VCD_XML_PUBLIC_ID, NULL), nullptr);
    xmlParserInputPtr input = CVcdXmlDtd::LoadEntity(NULL, VCD_XML_PUBLIC_ID, ctxt);
    ASSERT_NE(input, nullptr);
    xmlFreeInputStream(input);
    input = CVcdXmlDtd::LoadEntity(VCD_XML_SYSTEM_ID, NULL, ctxt);
    ASSERT_NE(input, nullptr);
    xmlFreeInputStream(input);
    EXPECT_EQ(dtd.GetRefused(), 0);
    EXPECT_EQ(CVcdXmlDtd::LoadEntity("other.dtd", NULL, ctxt), nullptr);
    EXPECT_EQ(CVcdXmlDtd::LoadEntity("videocd-1.0.dtd", "-//Other//EN", ctxt), nullptr);
    EXPECT_EQ(dtd.GetRefused(), 2);
    EXPECT_TRUE(Has(kVcdMsgError, "external entity refused: sysid=[other.dtd] pubid=[NULL]")) << All();
  }
  EXPECT_EQ(CVcdXmlDtd::LoadEntity(VCD_XML_SYSTEM_ID, VCD_XML_PUBLIC_ID, ctxt), nullptr);
  xmlFreeParserCtxt(ctxt);
}

TEST(VcdXmlDtdText, IsAsciiWithTheEntitiesAndNames) {
  const std::string& text = CVcdXmlDtd::Text();
  for (char c : text) ASSERT_LT(static_cast<unsigned char>(c), 0x80u);
  EXPECT_EQ(text.compare(0, 4, "<!--"), 0);
  size_t entities = 0;
  for (size_t at = text.find("<!ENTITY "); at != std::string::npos; at = text.find("<!ENTITY ", at + 1))
    if (text[at + 9] != '%') ++entities;
  EXPECT_EQ(entities, 48u);
  EXPECT_NE(text.find("<!ENTITY eacute \"&#233;\">"), std::string::npos);
  EXPECT_NE(text.find("<!ENTITY yuml \"&#255;\">"), std::string::npos);
  EXPECT_NE(text.find("xmlns CDATA #FIXED '" VCD_XML_NAMESPACE "'"), std::string::npos);
  xmlDtdPtr dtd = CVcdXmlDtd::Parse();
  ASSERT_NE(dtd, nullptr);
  xmlFreeDtd(dtd);
}

// ---------------------------------------------------------------------------
// The tree reader on its own

TEST_F(XmlReaderTest, TreeReaderSkipsMetaAndWarnsAboutStrangers) {
  std::string text = std::string("<videocd xmlns=\"" VCD_XML_NAMESPACE "\" xmlns:o=\"urn:other\" "
                                 "class=\"vcd\" version=\"1.1\"><meta/><bogus/><o:info/>") +
                     kMinimalBody + "</videocd>";
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "t.xml", NULL,
                                XML_PARSE_NONET);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(VcdXmlReadTree(doc, xmlDocGetRootElement(doc), &frontEnd, &data), 0);
  xmlFreeDoc(doc);
  EXPECT_EQ(data.vcdType, kVcdXmlTypeVcd11);
  EXPECT_TRUE(Has(kVcdMsgWarning, "unexpected element: bogus")) << All();
  EXPECT_EQ(Count(kVcdMsgWarning), 1) << All();  // meta and the other namespace: silence
  EXPECT_EQ(data.sequenceItems.GetCount(), 1);
}

// ---------------------------------------------------------------------------
// Description records and the playback lists' way into a project

TEST(VcdNewStyle, KindsAndRecords) {
  CVcdNewStyle unknown(9);
  EXPECT_EQ(unknown.GetKind(), kVcdXmlNone);
  EXPECT_EQ(unknown.GetPayload(), nullptr);
  CVcdNewStyle reserved(kVcdXmlReservedKind);
  EXPECT_EQ(reserved.GetKind(), kVcdXmlReservedKind);

  CVcdList list;
  CVcdNewStyle* option = new CVcdNewStyle(kVcdXmlOption);
  list.Append(option);
  EXPECT_NE(option->Option(), nullptr);
  EXPECT_EQ(option->SequenceItem(), nullptr);
  // Detaching without the flag keeps the record.
  option->Detach(0);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_NE(option->Option(), nullptr);
  option->Detach(1);
  EXPECT_EQ(option->Option(), nullptr);
  delete option;

  CVcdNewStyle* sequence = new CVcdNewStyle(kVcdXmlSequenceItem);
  list.Append(sequence);
  sequence->SequenceItem()->entries.Append(new CVcdNewStyle(kVcdXmlEntry));
  list.Clear(1);  // frees the sequence with its entries
  EXPECT_TRUE(list.IsEmpty());
}

class PbcIntoProject : public XmlReaderTest {
protected:
  struct Deleter {
    void operator()(CVcdObj* project) const { project->Destroy(); }
  };
};

TEST_F(PbcIntoProject, ListsMoveFromTheDescriptionToTheProject) {
  ASSERT_EQ(ReadMemory(WithPbc("<playlist id=\"p\"><play-item ref=\"q\"/></playlist>"
                               "<endlist id=\"e\"/>")),
            0)
      << All();
  std::unique_ptr<CVcdObj, Deleter> project(CreateVcdObj(&frontEnd, kVcdType20));
  ASSERT_NE(project, nullptr);
  EXPECT_EQ(VcdXmlAddPbcLists(&data, project.get(), &frontEnd), 0) << All();
  EXPECT_TRUE(data.pbcLists.IsEmpty());
  EXPECT_EQ(project->PbcLists().GetCount(), 2);
  EXPECT_TRUE(Has(kVcdMsgInfo, "adding pbc 'PlayList' (p)")) << All();
  EXPECT_TRUE(Has(kVcdMsgInfo, "adding pbc 'EndList' (e)")) << All();
  EXPECT_EQ(project->ItemKind("P"), kVcdItemPbc);
}

TEST_F(PbcIntoProject, AProjectWithoutPbcRefusesTheFirstList) {
  ASSERT_EQ(ReadMemory(WithPbc("<playlist id=\"p\"><play-item ref=\"q\"/></playlist>"
                               "<endlist id=\"e\"/>")),
            0);
  std::unique_ptr<CVcdObj, Deleter> project(CreateVcdObj(&frontEnd, kVcdType11));
  ASSERT_NE(project, nullptr);
  EXPECT_EQ(VcdXmlAddPbcLists(&data, project.get(), &frontEnd), -1);
  EXPECT_TRUE(Has(kVcdMsgError, "PBC not supported for current VCD type")) << All();
  EXPECT_EQ(data.pbcLists.GetCount(), 1);  // the rest stays with the description
  EXPECT_TRUE(project->PbcLists().IsEmpty());
}

}  // namespace
