#include "discimage/base/vcd_paths.h"

#include <cctype>
#include <vector>

#ifdef _WIN32
#include <direct.h>
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
    if (!SameRoot(folder.root, file.root)) {
      std::string absolute = file.root;
      for (size_t i = 0; i < file.names.size(); ++i)
        absolute += (i > 0 ? sep : "") + file.names[i];
      return absolute;
    }
  }
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

std::string VcdCurrentFolder() {
  char buffer[4096];
#ifdef _WIN32
  if (_getcwd(buffer, sizeof buffer) == NULL) return std::string();
#else
  if (getcwd(buffer, sizeof buffer) == NULL) return std::string();
#endif
  return buffer;
}
