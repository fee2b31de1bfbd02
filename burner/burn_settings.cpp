#include "burner/burn_settings.h"

#include <cstring>

#include "suite/app_utils.h"
#include "suite/ini_file.h"

namespace {

const char kSection[] = "Pelzor";
const char kDefaultOutputFolder[] = "C:\\Quorbel\\";
const int kFolderReadLimit = 1024;

}  // namespace

BurnSettings g_burnSettings;

BurnSettings::BurnSettings()
    : aspectRatio(kAspect4x3), letterBox(1), tvType(kTvTypeNtsc), discType(kDiscTypeDvd),
      m_loaded(false) {
  SetOutputFolder(kDefaultOutputFolder);
}

BurnSettings::~BurnSettings() {}

void BurnSettings::Reset() {
  aspectRatio = kAspect4x3;
  letterBox = 1;
  tvType = kTvTypeNtsc;
  discType = kDiscTypeDvd;
  SetOutputFolder(kDefaultOutputFolder);
  m_loaded = false;
}

CString BurnSettings::IniPath() { return GetAppFolder() + QUORBEL_SETTINGS_FILE; }

void BurnSettings::SetOutputFolder(const char* folder) {
  if (folder == NULL) folder = "";
  strncpy(outputFolder, folder, kFolderReadLimit);
  outputFolder[kFolderReadLimit] = 0;
}

void BurnSettings::Load() { Load(IniPath()); }

void BurnSettings::Load(const char* iniPath) {
  CIniFile ini(iniPath);
  SetOutputFolder(ini.ReadFolder(kSection, "OutputFolder", kDefaultOutputFolder, kFolderReadLimit));
  aspectRatio = ini.ReadInt(kSection, "AspectRatio", kAspect4x3, kAspect4x3, kAspect16x9);
  letterBox = ini.ReadInt(kSection, "LetterBox", 1, 0, 1);
  tvType = ini.ReadInt(QUORBEL_SHARED_SECTION, QUORBEL_TV_TYPE_KEY, kTvTypeNtsc, kTvTypeNtsc,
                       kTvTypePal);
  discType = ini.ReadInt(kSection, "DiscType", kDiscTypeDvd, kDiscTypeVcd, kDiscTypeDvd);
  m_loaded = true;
}

BOOL BurnSettings::Save() const { return Save(IniPath()); }

BOOL BurnSettings::Save(const char* iniPath) const {
  CIniFile ini(iniPath);
  // Every key is written even after a failure.
  int failures = 0;
  failures += !ini.WriteString(kSection, "OutputFolder", outputFolder);
  failures += !ini.WriteInt(kSection, "AspectRatio", aspectRatio);
  failures += !ini.WriteInt(kSection, "LetterBox", letterBox);
  failures += !ini.WriteInt(QUORBEL_SHARED_SECTION, QUORBEL_TV_TYPE_KEY, tvType);
  failures += !ini.WriteInt(kSection, "DiscType", discType);
  return failures == 0 ? TRUE : FALSE;
}
