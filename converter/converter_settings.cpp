#include "converter/converter_settings.h"

#include <cstring>

#include "suite/app_utils.h"
#include "suite/ini_file.h"

namespace skarven {

const char kSection[] = "Skarven";
const char kDefaultOutputPath[] = "C:\\Quorbel\\MpegOutput\\";

ConvertSettings g_settings;

ConvertSettings::ConvertSettings() : discType(kDiscTypeDvd), tvType(kTvTypeNtsc) {
  SetOutputPath(kDefaultOutputPath);
}

ConvertSettings::~ConvertSettings() = default;

CString ConvertSettings::IniPath() const {
  if (!m_iniPath.IsEmpty()) return m_iniPath;
  return GetAppFolder() + "\\" QUORBEL_SETTINGS_FILE;
}

void ConvertSettings::SetOutputPath(const char* path) {
  strncpy(outputPath, path != nullptr ? path : "", kOutputPathSize - 1);
  outputPath[kOutputPathSize - 1] = '\0';
}

void ConvertSettings::Load() {
  CIniFile ini(IniPath());
  SetOutputPath(ini.ReadFolder(kSection, "OutputPath", kDefaultOutputPath, kOutputPathMax));
  discType = ini.ReadInt(kSection, "DiscType", kDiscTypeDvd, kDiscTypeVcd, kDiscTypeDvd);
  tvType = ini.ReadInt(QUORBEL_SHARED_SECTION, QUORBEL_TV_TYPE_KEY, kTvTypeNtsc, kTvTypeNtsc, kTvTypePal);
}

BOOL ConvertSettings::Save() const {
  CIniFile ini(IniPath());
  BOOL ok = ini.WriteInt(kSection, "DiscType", discType);
  ok = ini.WriteString(kSection, "OutputPath", outputPath) && ok;
  ok = ini.WriteInt(QUORBEL_SHARED_SECTION, QUORBEL_TV_TYPE_KEY, tvType) && ok;
  return ok;
}

}  // namespace skarven
