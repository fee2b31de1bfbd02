#include "discimage/base/vcd_paths.h"

#include <cctype>
#include <vector>

#include <climits>
#include <cstdlib>

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && isalpha(static_cast<unsigned char>(path[0]));
}

// A path taken apart: its root ("" when relative, "/", "C:\\" and the like)
// and its components with "." and empty ones dropped and ".." folded into
// the component before it where there is one.
struct PathParts {
  std::string root;
  std::vector<std::string> names;
};

PathParts Split(const std::string& path) {
  PathParts parts;
  size_t at = 0;
  if (HasDrive(path)) {
    at = 2;
    parts.root = path.substr(0, 2);
  }
  while (at < path.size() && IsSeparator(path[at])) parts.root += path[at++];
  while (at < path.size()) {
    size_t end = at;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::string name = path.substr(at, end - at);
    at = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == ".." && !parts.names.empty() && parts.names.back() != "..") {
      parts.names.pop_back();
      continue;
    }
    if (name == ".." && !parts.root.empty()) continue;  // above a root is the root
    parts.names.push_back(name);
  }
  return parts;
}

bool SameRoot(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsSeparator(a[i]) && IsSeparator(b[i])) continue;
    if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

char SeparatorOf(const std::string& first, const std::string& second) {
  for (const std::string* path : {&first, &second})
    for (char c : *path)
      if (IsSeparator(c)) return c;
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

// The way from folder to file, both taken apart from the same root.
std::string RelativePath(const PathParts& folder, const PathParts& file, char separator) {
  size_t common = 0;
  while (common < folder.names.size() && common < file.names.size() &&
         folder.names[common] == file.names[common] && folder.names[common] != "..")
    ++common;
  std::string relative;
  for (size_t i = common; i < folder.names.size(); ++i) relative += std::string("..") + separator;
  for (size_t i = common; i < file.names.size(); ++i) {
    relative += file.names[i];
    if (i + 1 < file.names.size()) relative += separator;
  }
  return relative;
}

std::string JoinedPath(const PathParts& parts, char separator) {
  std::string path = parts.root;
  for (size_t i = 0; i < parts.names.size(); ++i) path += (i > 0 ? std::string(1, separator) : "") + parts.names[i];
  return path;
}

// The folder that holds path ("." for a bare name), as given.
std::string FolderOf(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  if (end == 0) return ".";
  if (HasDrive(path) && end == 2) return path.substr(0, 2) + ".";
  return path.substr(0, end);
}

// The folder's absolute path with every link on the way resolved, or "".
std::string RealFolder(const std::string& folder) {
#ifdef _WIN32
  HANDLE handle = CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
  if (handle == INVALID_HANDLE_VALUE) return std::string();
  char buffer[MAX_PATH * 4];
  DWORD length = GetFinalPathNameByHandleA(handle, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
  CloseHandle(handle);
  if (length == 0 || length >= sizeof buffer) return std::string();
  std::string real(buffer, length);
  // The system's long forms: "\\?\C:\..." and "\\?\UNC\server\share\...".
  if (real.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + real.substr(8);
  if (real.compare(0, 4, "\\\\?\\") == 0) return real.substr(4);
  return real;
#else
  char* real = realpath(folder.c_str(), NULL);
  if (real == NULL) return std::string();
  std::string result(real);
  free(real);
  return result;
#endif
}

}  // namespace

bool VcdIsAbsolutePath(const std::string& path) {
  return HasDrive(path) || (!path.empty() && IsSeparator(path[0]));
}

std::string VcdPathFromSheet(const std::string& sheetPath, const std::string& target,
                             const std::string& currentFolder) {
  if (target.empty() || VcdIsAbsolutePath(target)) return target;
  const char separator = SeparatorOf(target, sheetPath);
  PathParts folder = Split(sheetPath);
  if (!folder.names.empty()) folder.names.pop_back();  // the sheet's own name
  PathParts file = Split(target);
  // A sheet below the working folder needs no names from above it.
  if (!folder.root.empty() || (!folder.names.empty() && folder.names[0] == "..")) {
    if (currentFolder.empty()) return target;
    PathParts here = Split(currentFolder);
    if (here.root.empty()) return target;
    std::string sep(1, separator);
    folder = Split(VcdIsAbsolutePath(sheetPath) ? sheetPath : currentFolder + sep + sheetPath);
    if (!folder.names.empty()) folder.names.pop_back();
    file = Split(currentFolder + sep + target);
    if (!SameRoot(folder.root, file.root)) return JoinedPath(file, separator);
  }
  return RelativePath(folder, file, separator);
}

std::string VcdImagePathForSheet(const std::string& sheetPath, const std::string& target) {
  if (target.empty() || VcdIsAbsolutePath(target)) return target;
  PathParts file = Split(target);
  const std::string sheetFolder = RealFolder(FolderOf(sheetPath));
  const std::string targetFolder = RealFolder(FolderOf(target));
  if (sheetFolder.empty() || targetFolder.empty() || file.names.empty())
    return VcdPathFromSheet(sheetPath, target, VcdCurrentFolder());
  const char separator = SeparatorOf(target, sheetPath);
  PathParts from = Split(sheetFolder);
  PathParts to = Split(targetFolder);
  to.names.push_back(file.names.back());
  if (!SameRoot(from.root, to.root)) return JoinedPath(to, separator);
  return RelativePath(from, to, separator);
}

std::string VcdCurrentFolder() {
  char buffer[4096];
#ifdef _WIN32
  if (_getcwd(buffer, sizeof buffer) == NULL) return std::string();
#else
  if (getcwd(buffer, sizeof buffer) == NULL) return std::string();
#endif
  return buffer;
}
