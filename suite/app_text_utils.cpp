#include "suite/app_text_utils.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

std::string FormatText(size_t bufferSize, const char* format, ...) {
  if (bufferSize == 0) return std::string();
  std::vector<char> buffer(bufferSize);
  va_list args;
  va_start(args, format);
  vsnprintf(buffer.data(), bufferSize, format, args);
  va_end(args);
  return buffer.data();
}

CString FormatDuration(double seconds) {
  // Tenths as a whole number first, so that every field comes from one
  // truncation; 64 bits so that no duration overflows.
  long long tenths = 0;
  if (std::isfinite(seconds) && seconds > 0) {
    double scaled = seconds * 10.0;
    tenths = scaled >= 9.2e18 ? 9200000000000000000LL : static_cast<long long>(scaled);
  }
  CString text;
  text.Format("%02lld:%02lld:%02lld.%01lld", tenths / 36000, (tenths % 36000) / 600,
              (tenths % 600) / 10, tenths % 10);
  return text;
}

BOOL IsValidDiscLabel(const char* label) {
  if (label == NULL) return TRUE;
  return strpbrk(label, "\"*/:<>?\\|") == NULL;
}

int DirectXVersionFromText(const char* version) {
  // No text, or none long enough to have a minor digit, is "anything else".
  if (version == NULL || strlen(version) < 4) return 93;
  // Releases known by their full build number.
  static const struct {
    const char* build;
    int number;
  } kKnown[] = {
      {"4.05.00.0155", 50}, {"4.05.01.1721", 50}, {"4.05.01.1998", 50}, {"4.06.02.0436", 60},
      {"4.07.00.0700", 70}, {"4.07.00.0716", 71}, {"4.08.00.0400", 80}, {"4.08.01.0881", 85},
      {"4.09.00.0900", 90}, {"4.09.00.0901", 91}, {"4.09.00.0902", 92},
  };
  for (const auto& known : kKnown)
    if (strncmp(version, known.build, 12) == 0) return known.number;
  // Otherwise the minor version's digit: "4.0N...".
  switch (version[3]) {
    case '5': return 50;
    case '6': return 60;
    case '7': return 70;
    case '8': return 80;
    case '9': return 90;
    default: return 93;
  }
}

CString TempFolderOnDrive(char drive) {
  CString folder;
  folder.Format("%c:\\tmpQuorbel\\", drive);
  return folder;
}

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of the root part of a path: "C:" (2), "\\server\share" (up to the
// share's end), or 0 when the path has neither.
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') return 2;
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path.size();
    size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path.size() : share;
  }
  return 0;
}

}  // namespace

std::vector<std::string> FolderPathPrefixes(const char* path) {
  std::vector<std::string> prefixes;
  if (path == NULL || *path == 0) return prefixes;
  std::string text(path);
  size_t pos = RootLength(text);
  if (pos == 2 && text.size() > 2 && text[2] != '\\') pos = 0;  // "C:a" is relative to C:
  std::string prefix = text.substr(0, pos);
  if (pos == 0) {
    // A path without a drive: its first component stands where the drive
    // would (a rooted "\a" keeps its leading backslash).
    size_t end = text.find('\\', text[0] == '\\' ? 1 : 0);
    if (end == std::string::npos) end = text.size();
    prefix = text.substr(0, end);
    pos = end;
    if (prefix != "\\") prefixes.push_back(prefix + "\\");
  }
  while (pos < text.size()) {
    size_t start = pos + (text[pos] == '\\' ? 1 : 0);
    size_t end = text.find('\\', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      prefix += "\\" + text.substr(start, end - start);
      prefixes.push_back(prefix + "\\");
    }
    pos = end;
  }
  return prefixes;
}

bool IsProtectedFolderPath(const char* fullPath) {
  if (fullPath == NULL || *fullPath == 0) return true;
  std::string text(fullPath);
  if (text.compare(0, 4, "\\\\.\\") == 0 || text.compare(0, 4, "\\\\?\\") == 0) return true;
  size_t root = RootLength(text);
  if (root == 0) return true;  // relative, or rooted on the current drive
  if (text[0] != '\\' && (text.size() < 3 || text[2] != '\\')) return true;  // "C:a" is relative
  // Something other than separators must follow the root.
  return text.find_first_not_of('\\', root) == std::string::npos;
}
