// ConvertSettings: the disc creator's settings record, read from
// "param.ini" beside the program at start and written back when a job
// starts or is cancelled and when the list window closes. Its disc type
// and TV type are the values the whole program reads.
//
// Section "Vantrel" holds the creator's own keys; "TVType" lives in the
// section "main", which the other disc programs share. Missing keys, a
// missing file and damaged values give the defaults; "TempFolder" is only
// written (the job rebuilds its temporary folder at every start).
#pragma once

#include "suite/settings_values.h"
#include "mfc/core.h"

// Folder fields: up to 1024 characters and the terminator.
enum { kSettingsFolderSize = 1025 };

class ConvertSettings {
public:
  ConvertSettings();  // the defaults
  virtual ~ConvertSettings();

  // Reads every key from the program's settings file, or from iniPath.
  void Load();
  void Load(const char* iniPath);
  // Writes every key; TRUE when every write succeeded (the programs do not
  // report a failed write).
  BOOL Save() const;
  BOOL Save(const char* iniPath) const;

  // The program folder followed by "param.ini".
  static CString IniPath();

  // Sets a folder field (cut to 1024 characters).
  void SetOutputFolder(const char* folder);
  void SetTempFolder(const char* folder);

  char outputFolder[kSettingsFolderSize];  // "OutputFolder", ends with a backslash
  char tempFolder[kSettingsFolderSize];    // "TempFolder", written only; empty at first
  int aspect;                              // "AspectRadio": kAspect4x3 or kAspect16x9
  int letterBox;                           // "LetterBox": 0 or 1
  int tvType;                              // "TVType" in "main": kTvTypeNtsc or kTvTypePal
  int discType;                            // "DiscType": kDiscType*
};

// The one record of the process.
extern ConvertSettings g_convertSettings;
