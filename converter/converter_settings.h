// The converter's settings record: its own section "Skarven" of "param.ini"
// beside the program (output path, disc type) and the suite's shared TV
// type in "main". Loaded at start, saved when the main window goes and
// whenever the conversion dialog starts or closes.
#pragma once

#include "suite/settings_values.h"
#include "mfc/core.h"

namespace skarven {

// The output path field: up to 1024 characters read, room for a backslash.
enum { kOutputPathSize = 1028, kOutputPathMax = 1024 };

class ConvertSettings {
public:
  ConvertSettings();  // the defaults
  virtual ~ConvertSettings();

  // From and to the program's "param.ini", or the file SetIniPath names.
  void Load();
  BOOL Save() const;
  // Tests keep their settings out of the program folder.
  void SetIniPath(const char* path) { m_iniPath = path != nullptr ? path : ""; }
  CString IniPath() const;

  void SetOutputPath(const char* path);

  char outputPath[kOutputPathSize];  // "OutputPath", ends with a backslash
  int discType;                      // "DiscType": kDiscType*
  int tvType;                        // "TVType" in "main": kTvType*

private:
  CString m_iniPath;  // "" = the program folder's "param.ini"
};

// The one record of the process.
extern ConvertSettings g_settings;

extern const char kSection[];            // "Skarven"
extern const char kDefaultOutputPath[];  // "C:\Quorbel\MpegOutput\"

}  // namespace skarven
