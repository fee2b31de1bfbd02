#include "standins/common/virtual_drives.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "standins/common/folders.h"

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  char buffer[MAX_PATH] = "";
  DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer) : fallback;
}

std::string ReadKey(const std::string& file, const std::string& section, const char* key,
                    const char* fallback) {
  char buffer[512] = "";
  GetPrivateProfileStringA(section.c_str(), key, fallback, buffer, sizeof buffer, file.c_str());
  return buffer;
}

int64_t ReadNumber(const std::string& file, const std::string& section, const char* key, int64_t fallback) {
  std::string text = ReadKey(file, section, key, "");
  if (text.empty()) return fallback;
  return _strtoi64(text.c_str(), NULL, 10);
}

bool WriteKey(const std::string& file, const std::string& section, const char* key, const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key, value.c_str(), file.c_str()) != 0;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string DrivesSettingsPath() { return EnvOr("QUORBEL_DRIVES_INI", "C:\\quorbel-drives.ini"); }

std::string DiscsRoot() {
  std::string fromFile = ReadKey(DrivesSettingsPath(), "drives", "discs", "C:\\quorbel-discs");
  return EnvOr("QUORBEL_DISCS_DIR", fromFile);
}

std::string DiscFolder(char letter) {
  return WithBackslash(DiscsRoot()) + static_cast<char>(toupper(static_cast<unsigned char>(letter))) + "\\";
}

bool IsCdMedium(const std::string& medium) { return Upper(medium).compare(0, 2, "CD") == 0; }
bool IsDvdMedium(const std::string& medium) { return Upper(medium).compare(0, 3, "DVD") == 0; }
bool IsRewritableMedium(const std::string& medium) {
  std::string m = Upper(medium);
  return m == "CD-RW" || m == "DVD-RW" || m == "DVD+RW" || m == "DVD-RAM";
}
bool IsWritableMedium(const std::string& medium) {
  std::string m = Upper(medium);
  return m == "CD-R" || m == "DVD-R" || m == "DVD+R" || IsRewritableMedium(m);
}

int64_t DefaultCapacity(const std::string& medium) {
  if (IsCdMedium(medium)) return 80 * 60 * 75;  // an 80-minute CD
  if (IsDvdMedium(medium)) return 2295104;      // a single-layer DVD
  return 0;
}

int64_t Capacity(const VirtualDrive& drive) {
  return drive.capacity > 0 ? drive.capacity : DefaultCapacity(drive.medium);
}

bool LoadVirtualDrive(char letter, VirtualDrive* drive) {
  const std::string file = DrivesSettingsPath();
  std::string letters = Upper(ReadKey(file, "drives", "letters", ""));
  char upper = static_cast<char>(toupper(static_cast<unsigned char>(letter)));
  if (letter == 0 || letters.find(upper) == std::string::npos) return false;
  const std::string section(1, upper);
  VirtualDrive d;
  d.letter = upper;
  d.vendor = ReadKey(file, section, "vendor", "QUORBEL");
  d.product = ReadKey(file, section, "product", "Virtual Writer");
  std::string writes = Upper(ReadKey(file, section, "writes", "cd"));
  d.writesCd = writes.find("CD") != std::string::npos;
  d.writesDvd = writes.find("DVD") != std::string::npos;
  d.medium = Upper(ReadKey(file, section, "medium", "none"));
  if (d.medium == "NONE") d.medium.clear();
  d.blank = ReadNumber(file, section, "blank", 1) != 0;
  d.capacity = ReadNumber(file, section, "capacity", 0);
  d.used = ReadNumber(file, section, "used", 0);
  d.label = ReadKey(file, section, "label", "");
  d.speedKBps = static_cast<int>(ReadNumber(file, section, "speed", 0));
  d.changeOnEject = ReadNumber(file, section, "changeOnEject", 0) != 0;
  d.ejects = static_cast<int>(ReadNumber(file, section, "ejects", 0));
  *drive = d;
  return true;
}

bool LoadVirtualDrives(std::vector<VirtualDrive>* drives) {
  drives->clear();
  const std::string file = DrivesSettingsPath();
  if (!FileExists(file)) return false;
  std::string letters = Upper(ReadKey(file, "drives", "letters", ""));
  for (char letter : letters) {
    VirtualDrive drive;
    if (isalpha(static_cast<unsigned char>(letter)) && LoadVirtualDrive(letter, &drive))
      drives->push_back(drive);
  }
  return true;
}

bool SaveMediumState(const VirtualDrive& drive) {
  const std::string file = DrivesSettingsPath();
  const std::string section(1, drive.letter);
  bool ok = WriteKey(file, section, "medium", drive.medium.empty() ? "none" : drive.medium);
  ok = WriteKey(file, section, "blank", drive.blank ? "1" : "0") && ok;
  ok = WriteKey(file, section, "used", std::to_string(drive.used)) && ok;
  ok = WriteKey(file, section, "label", drive.label) && ok;
  ok = WriteKey(file, section, "ejects", std::to_string(drive.ejects)) && ok;
  return ok;
}

bool EjectVirtualDisc(VirtualDrive* drive) {
  ++drive->ejects;
  if (drive->changeOnEject && !drive->medium.empty() && !drive->blank) {
    std::string folder = DiscFolder(drive->letter);
    folder.pop_back();
    std::string kept = folder + "-ejected-" + std::to_string(drive->ejects);
    RemoveFolder(kept);
    MoveFileA(folder.c_str(), kept.c_str());
    drive->blank = true;
    drive->used = 0;
    drive->label.clear();
  }
  return SaveMediumState(*drive);
}
