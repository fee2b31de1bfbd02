#include "creator/convert_settings.h"

#include <cstring>

#include "suite/app_utils.h"
#include "suite/ini_file.h"

namespace {

const char kSection[] = "Vantrel";
const char kDefaultOutputFolder[] = "C:\\Quorbel\\";

void CopyFolder(char* field, const char* folder) {
  if (folder == NULL) folder = "";
  strncpy(field, folder, kSettingsFolderSize - 1);
  field[kSettingsFolderSize - 1] = 0;
}

}  // namespace

ConvertSettings g_convertSettings;

ConvertSettings::ConvertSettings()
    : aspect(kAspect4x3), letterBox(1), tvType(kTvTypeNtsc), discType(kDiscTypeDvd) {
  CopyFolder(outputFolder, kDefaultOutputFolder);
  tempFolder[0] = 0;
}

ConvertSettings::~ConvertSettings() {}

CString ConvertSettings::IniPath() { return GetAppFolder() + QUORBEL_SETTINGS_FILE; }

void ConvertSettings::SetOutputFolder(const char* folder) { CopyFolder(outputFolder, folder); }

void ConvertSettings::SetTempFolder(const char* folder) { CopyFolder(tempFolder, folder); }

void ConvertSettings::Load() { Load(IniPath()); }

void ConvertSettings::Load(const char* iniPath) {
  CIniFile ini(iniPath);
  aspect = ini.ReadInt(kSection, "AspectRadio", kAspect4x3, kAspect4x3, kAspect16x9);
  letterBox = ini.ReadInt(kSection, "LetterBox", 1, 0, 1);
  SetOutputFolder(ini.ReadFolder(kSection, "OutputFolder", kDefaultOutputFolder,
                                 kSettingsFolderSize - 1));
  discType = ini.ReadInt(kSection, "DiscType", kDiscTypeDvd, kDiscTypeVcd, kDiscTypeDvd);
  tvType = ini.ReadInt(QUORBEL_SHARED_SECTION, QUORBEL_TV_TYPE_KEY, kTvTypeNtsc, kTvTypeNtsc,
                       kTvTypePal);
}

BOOL ConvertSettings::Save() const { return Save(IniPath()); }

BOOL ConvertSettings::Save(const char* iniPath) const {
  CIniFile ini(iniPath);
  // Every key is written even after a failure.
  int failures = 0;
  failures += !ini.WriteString(kSection, "OutputFolder", outputFolder);
  failures += !ini.WriteString(kSection, "TempFolder", tempFolder);
  failures += !ini.WriteInt(kSection, "AspectRadio", aspect);
  failures += !ini.WriteInt(kSection, "LetterBox", letterBox);
  failures += !ini.WriteInt(kSection, "DiscType", discType);
  failures += !ini.WriteInt(QUORBEL_SHARED_SECTION, QUORBEL_TV_TYPE_KEY, tvType);
  return failures == 0 ? TRUE : FALSE;
}
