// The disc creator's settings record on real "param.ini" files, read and
// written through the system's private-profile functions: defaults, the
// round trip, damaged values, the shared "main" section and what a save
// leaves of other programs' keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "suite/app_utils.h"
#include "creator/convert_settings.h"
#include "suite/ini_file.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
  void SetUp() override {
    char folder[MAX_PATH] = {0};
    GetCurrentDirectoryA(sizeof folder, folder);
    // The profile functions take a name without a folder as one in the
    // Windows folder: the path must be full.
    m_path = std::string(folder) + "\\param-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
    DeleteFileA(m_path.c_str());
  }
  void TearDown() override { DeleteFileA(m_path.c_str()); }

  void WriteRaw(const std::string& text) {
    FILE* file = fopen(m_path.c_str(), "wb");
    ASSERT_TRUE(file != NULL);
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
  }
  std::string ReadRaw() {
    std::string text;
    FILE* file = fopen(m_path.c_str(), "rb");
    if (file == NULL) return text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    fclose(file);
    return text;
  }
  std::string Key(const char* section, const char* key) {
    char value[2048] = {0};
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, m_path.c_str());
    return value;
  }

  void ExpectDefaults(const ConvertSettings& s) {
    EXPECT_STREQ(s.outputFolder, "C:\\Quorbel\\");
    EXPECT_STREQ(s.tempFolder, "");
    EXPECT_EQ(s.aspect, 0);
    EXPECT_EQ(s.letterBox, 1);
    EXPECT_EQ(s.tvType, 0);
    EXPECT_EQ(s.discType, 2);
  }

  std::string m_path;
};

TEST_F(SettingsFile, NewRecordAndMissingFileGiveTheDefaults) {
  ConvertSettings fresh;
  ExpectDefaults(fresh);
  ExpectDefaults(g_convertSettings);

  ConvertSettings loaded;
  loaded.aspect = 1;
  loaded.discType = 0;
  loaded.Load(m_path.c_str());
  ExpectDefaults(loaded);
}

TEST_F(SettingsFile, SaveThenLoadGivesTheSameValues) {
  ConvertSettings saved;
  saved.SetOutputFolder("D:\\Videos & more\\caf\xe9\\");
  saved.SetTempFolder("E:\\tmpQuorbel\\");
  saved.aspect = 1;
  saved.letterBox = 0;
  saved.tvType = 1;
  saved.discType = 0;
  ASSERT_TRUE(saved.Save(m_path.c_str()));

  ConvertSettings loaded;
  loaded.Load(m_path.c_str());
  EXPECT_STREQ(loaded.outputFolder, saved.outputFolder);
  EXPECT_EQ(loaded.aspect, 1);
  EXPECT_EQ(loaded.letterBox, 0);
  EXPECT_EQ(loaded.tvType, 1);
  EXPECT_EQ(loaded.discType, 0);
  // The temporary folder is written, never read back.
  EXPECT_STREQ(loaded.tempFolder, "");
  EXPECT_EQ(Key("Vantrel", "TempFolder"), "E:\\tmpQuorbel\\");
}

TEST_F(SettingsFile, KeysSectionsAndOrderAsWritten) {
  ConvertSettings saved;
  saved.tvType = 1;
  saved.discType = 1;
  ASSERT_TRUE(saved.Save(m_path.c_str()));
  EXPECT_EQ(Key("Vantrel", "OutputFolder"), "C:\\Quorbel\\");
  EXPECT_EQ(Key("Vantrel", "TempFolder"), "");
  EXPECT_EQ(Key("Vantrel", "AspectRadio"), "0");
  EXPECT_EQ(Key("Vantrel", "LetterBox"), "1");
  EXPECT_EQ(Key("Vantrel", "DiscType"), "1");
  EXPECT_EQ(Key("main", "TVType"), "1");
  EXPECT_EQ(Key("Vantrel", "TVType"), "<missing>");

  // The keys stand in the file in the order they are saved.
  std::string text = ReadRaw();
  const char* order[] = {"[Vantrel]",     "OutputFolder=", "TempFolder=", "AspectRadio=0",
                         "LetterBox=1",   "DiscType=1",    "[main]",      "TVType=1"};
  size_t at = 0;
  for (const char* item : order) {
    size_t found = text.find(item, at);
    ASSERT_NE(found, std::string::npos) << item << " after " << at << " in\n" << text;
    at = found;
  }
}

TEST_F(SettingsFile, FileWithoutDiscTypeStartsWithDvd) {
  WriteRaw("[Vantrel]\r\nOutputFolder=F:\\out\\\r\nAspectRadio=1\r\n[main]\r\nTVType=1\r\n");
  ConvertSettings loaded;
  loaded.discType = 0;
  loaded.Load(m_path.c_str());
  EXPECT_EQ(loaded.discType, 2);
  EXPECT_STREQ(loaded.outputFolder, "F:\\out\\");
  EXPECT_EQ(loaded.aspect, 1);
  EXPECT_EQ(loaded.letterBox, 1);
  EXPECT_EQ(loaded.tvType, 1);
}

TEST_F(SettingsFile, SavedTempFolderChangesNothingAtTheNextStart) {
  WriteRaw("[Vantrel]\r\nTempFolder=Q:\\tmpQuorbel\\\r\n");
  ConvertSettings loaded;
  loaded.Load(m_path.c_str());
  ExpectDefaults(loaded);
}

TEST_F(SettingsFile, DamagedValuesFallBackToTheirDefaults) {
  const struct {
    const char* key;
    const char* value;
    int expected;
  } cases[] = {
      {"DiscType", "abc", 2},  {"DiscType", "12abc", 2}, {"DiscType", "3", 2},
      {"DiscType", "-1", 2},   {"DiscType", "", 2},      {"DiscType", " 1 ", 1},
      {"DiscType", "0", 0},    {"AspectRadio", "2", 0},  {"AspectRadio", "1", 1},
      {"LetterBox", "-5", 1},  {"LetterBox", "yes", 1},  {"LetterBox", "0", 0},
      {"TVType", "2", 0},      {"TVType", "PAL", 0},     {"TVType", "1", 1},
      {"DiscType", "99999999999999999999", 2},
  };
  for (const auto& c : cases) {
    const char* section = strcmp(c.key, "TVType") == 0 ? "main" : "Vantrel";
    WriteRaw(std::string("[") + section + "]\r\n" + c.key + "=" + c.value + "\r\n");
    ConvertSettings loaded;
    loaded.Load(m_path.c_str());
    int value = strcmp(c.key, "DiscType") == 0      ? loaded.discType
                : strcmp(c.key, "AspectRadio") == 0 ? loaded.aspect
                : strcmp(c.key, "LetterBox") == 0   ? loaded.letterBox
                                                    : loaded.tvType;
    EXPECT_EQ(value, c.expected) << c.key << "=" << c.value;
  }
}

TEST_F(SettingsFile, OutputFolderIsUsableOrTheDefault) {
  const struct {
    std::string stored;
    std::string expected;
  } cases[] = {
      {"G:\\discs\\", "G:\\discs\\"},
      {"G:\\discs", "G:\\discs\\"},  // names are appended to it directly
      {"", "C:\\Quorbel\\"},
      {"G:\\" + std::string(1100, 'x') + "\\", "C:\\Quorbel\\"},  // would be cut
      {"G:\\" + std::string(1020, 'y') + "\\", "G:\\" + std::string(1020, 'y') + "\\"},
  };
  for (const auto& c : cases) {
    WriteRaw("[Vantrel]\r\nOutputFolder=" + c.stored + "\r\n");
    ConvertSettings loaded;
    loaded.Load(m_path.c_str());
    EXPECT_EQ(std::string(loaded.outputFolder), c.expected) << c.stored.substr(0, 40);
  }
}

TEST_F(SettingsFile, OtherProgramsKeysSurviveASave) {
  WriteRaw("[Pelzor]\r\nAspectRatio=1\r\nDiscType=0\r\n[main]\r\nTVType=0\r\nAppVer=1.2\r\n"
           "[Vantrel]\r\nTVType=1\r\nDiscType=1\r\n");
  ConvertSettings loaded;
  loaded.Load(m_path.c_str());
  // "TVType" counts in "main" only; the burner's keys are its own.
  EXPECT_EQ(loaded.tvType, 0);
  EXPECT_EQ(loaded.discType, 1);
  EXPECT_EQ(loaded.aspect, 0);

  loaded.tvType = 1;
  ASSERT_TRUE(loaded.Save(m_path.c_str()));
  EXPECT_EQ(Key("Pelzor", "AspectRatio"), "1");
  EXPECT_EQ(Key("Pelzor", "DiscType"), "0");
  EXPECT_EQ(Key("main", "AppVer"), "1.2");
  EXPECT_EQ(Key("main", "TVType"), "1");
}

TEST_F(SettingsFile, FolderFieldsAreCutToTheirSize) {
  ConvertSettings settings;
  std::string longFolder(2000, 'f');
  settings.SetOutputFolder(longFolder.c_str());
  EXPECT_EQ(strlen(settings.outputFolder), static_cast<size_t>(kSettingsFolderSize - 1));
  settings.SetTempFolder(NULL);
  EXPECT_STREQ(settings.tempFolder, "");
}

TEST_F(SettingsFile, UnwritableFileIsNotAnError) {
  ConvertSettings settings;
  std::string nowhere = m_path + ".missing-folder\\param.ini";
  EXPECT_FALSE(settings.Save(nowhere.c_str()));
  settings.Load(nowhere.c_str());
  ExpectDefaults(settings);
}

TEST_F(SettingsFile, TheFileBesideTheProgram) {
  EXPECT_EQ(ConvertSettings::IniPath(), GetAppFolder() + "param.ini");
}

TEST_F(SettingsFile, IniReadsTellMissingFromEmpty) {
  WriteRaw("[s]\r\nempty=\r\nnumber=42\r\n");
  CIniFile ini(m_path.c_str());
  EXPECT_STREQ(ini.ReadString("s", "empty", "def", 100), "");
  EXPECT_STREQ(ini.ReadString("s", "absent", "def", 100), "def");
  EXPECT_STREQ(ini.ReadString("s", "number", "def", 1), "42");  // cut to max + 1: too long
  EXPECT_EQ(ini.ReadInt("s", "number", 7, 0, 100), 42);
  EXPECT_EQ(ini.ReadInt("s", "number", 7, 0, 10), 7);
  EXPECT_EQ(ini.ReadInt("s", "absent", 7, 0, 10), 7);
  ASSERT_TRUE(ini.WriteInt("s", "negative", -3));
  EXPECT_EQ(Key("s", "negative"), "-3");
}

}  // namespace
