// BurnSettings: the disc burner's settings record, read from "param.ini"
// beside the program at start and written back after every click on the
// burn dialog's action button and when the program ends.
//
// Section "Pelzor" holds the burner's own keys; its aspect key is
// "AspectRatio" (the creator's is "AspectRadio", so the two programs keep
// their own aspect). "TVType" lives in the shared section "main". Missing
// keys, a missing file and damaged values give the defaults.
#pragma once

#include "suite/settings_values.h"
#include "mfc/core.h"

// Output folder field: up to 1024 characters read, with room to spare.
enum { kBurnFolderSize = 1028 };

class BurnSettings {
public:
  BurnSettings();  // the defaults
  virtual ~BurnSettings();

  // Reads every key from the program's settings file, or from iniPath.
  void Load();
  void Load(const char* iniPath);
  // Writes every key in the order OutputFolder, AspectRatio, LetterBox,
  // TVType, DiscType; TRUE when every write succeeded.
  BOOL Save() const;
  BOOL Save(const char* iniPath) const;

  // True once Load ran: values that were never read are never written over
  // a file (the program can end before it reads its settings).
  bool IsLoaded() const { return m_loaded; }
  // Back to the defaults, not loaded.
  void Reset();

  // The program folder followed by "param.ini".
  static CString IniPath();

  // Sets the output folder (cut to 1024 characters).
  void SetOutputFolder(const char* folder);

  char outputFolder[kBurnFolderSize];  // "OutputFolder", ends with a backslash
  int aspectRatio;                     // "AspectRatio": kAspect4x3 or kAspect16x9
  int letterBox;                       // "LetterBox": 0 or 1
  int tvType;                          // "TVType" in "main": kTvTypeNtsc or kTvTypePal
  int discType;                        // "DiscType": kDiscType*; written by the chooser only

private:
  bool m_loaded;                       // Load has run
};

// The one record of the process.
extern BurnSettings g_burnSettings;
