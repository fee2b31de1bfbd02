// Virtual writer drives for the disc-writing stand-ins. Their media state is
// kept in a settings file, read at every call and written back when a burn,
// an erase or an eject changes it:
//
//   [drives]
//   letters=EF                 drives, in the order the libraries list them
//   [E]
//   vendor=QUORBEL             identification texts
//   product=Virtual DVD-RW
//   writes=cd,dvd              what the drive writes
//   medium=DVD-RW              CD-R CD-RW CD-ROM DVD-R DVD-RW DVD+R DVD+RW DVD-ROM, or none
//   blank=1                    0 once written
//   capacity=2295104           sectors (2352 bytes on a CD, 2048 on a DVD); 0 the medium's own
//   used=0                     sectors written
//   label=                     volume label of what was written
//   speed=0                    simulated write speed in kB/s; 0 as fast as the files copy
//   changeOnEject=0            1: an eject takes a written disc out (its folder is kept
//                              as <letter>-ejected-<n>) and puts a blank one of the same kind in
//   ejects=0                   ejects so far
//
// The file is C:\quorbel-drives.ini, or the path in QUORBEL_DRIVES_INI. What a
// drive's disc holds is a folder: <discs>\<letter>\, with <discs> from
// QUORBEL_DISCS_DIR, else the key "discs" of section [drives], else
// C:\quorbel-discs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VirtualDrive {
  char letter = 0;
  std::string vendor;
  std::string product;
  bool writesCd = false;
  bool writesDvd = false;
  std::string medium;       // "" when there is none
  bool blank = false;
  int64_t capacity = 0;     // sectors
  int64_t used = 0;         // sectors
  std::string label;
  int speedKBps = 0;
  bool changeOnEject = false;
  int ejects = 0;
};

std::string DrivesSettingsPath();
std::string DiscsRoot();

// All drives in their listed order; false when the settings file is missing.
bool LoadVirtualDrives(std::vector<VirtualDrive>* drives);
// One drive (letter compared without regard to case).
bool LoadVirtualDrive(char letter, VirtualDrive* drive);
// Writes the media state (medium, blank, capacity, used, label, ejects).
bool SaveMediumState(const VirtualDrive& drive);

// The folder standing for the drive's disc, ending in a backslash.
std::string DiscFolder(char letter);

// Medium kinds.
bool IsCdMedium(const std::string& medium);
bool IsDvdMedium(const std::string& medium);
bool IsRewritableMedium(const std::string& medium);
bool IsWritableMedium(const std::string& medium);
int64_t DefaultCapacity(const std::string& medium);
int64_t Capacity(const VirtualDrive& drive);

// The drive's eject: counts it; with changeOnEject a written disc leaves
// (its folder renamed) and a blank one of its kind comes in. Saves the state.
bool EjectVirtualDisc(VirtualDrive* drive);
