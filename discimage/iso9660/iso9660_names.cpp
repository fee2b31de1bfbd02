#include "discimage/iso9660/iso9660_names.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "discimage/base/vcd_messages.h"
#include "discimage/base/vcd_util.h"

namespace {

const char* const kLevel1Folders[] = {"CDDA",    "CDI",     "EXT", "KARAOKE", "MPEG2",
                                      "MPEGAV",  "SEGMENT", "SVCD", "VCD"};

std::string Upper(const std::string& text) {
  std::string upper = text;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

// 1 or 2: the level a path keeps to, decided by its first component.
int PathLevel(const char* path) {
  const char* slash = strchr(path, '/');
  std::string first = Upper(slash ? std::string(path, static_cast<size_t>(slash - path)) : path);
  for (const char* folder : kLevel1Folders)
    if (first == folder) return 1;
  return 2;
}

void Report(CVcdMessageSink* messages, const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);
void Report(CVcdMessageSink* messages, const char* format, ...) {
  if (messages == NULL) return;
  va_list args;
  va_start(args, format);
  messages->SendV(kVcdMsgError, format, args);
  va_end(args);
}

const char kBadStart[] = "sub-path should not start with '/', '.' or '\\0'";

}  // namespace

char* VersionedName(const char* name, unsigned int version) {
  if (name == NULL) name = "";
  size_t size = strlen(name) + 8;
  char* text = static_cast<char*>(malloc(size));
  if (text != NULL) snprintf(text, size, "%s;%d", name, static_cast<int>(static_cast<uint16_t>(version)));
  return text;
}

int IsDirectoryPathValid(CVcdMessageSink* messages, const char* path) {
  if (path == NULL || path[0] == '\0') return 0;
  if (strlen(path) >= 256) {
    Report(messages, "Pathname <%s> exceeds the max. allowed length of %ld chars.", path, 255L);
    return 0;
  }
  const int level = PathLevel(path);
  // Components are taken as they stand between the separators, so a leading,
  // doubled or trailing '/' shows up as an empty component and is refused.
  const char* start = path;
  for (;;) {
    const char* slash = strchr(start, '/');
    std::string component = slash ? std::string(start, static_cast<size_t>(slash - start)) : start;
    if (component.empty() || component[0] == '.') {
      Report(messages, "%s", kBadStart);
      return 0;
    }
    if (level == 1) {
      component = Upper(component);
      for (char c : component)
        if (!IsIsoDChar(static_cast<unsigned char>(c))) {
          Report(messages, "(sub)Path <%s> contains a non-ISO9660 level 1 character (%c).",
                 component.c_str(), c);
          return 0;
        }
      if (component.size() > 8) {
        Report(messages, "(sub)Path <%s> exceeds max. allowed length of 8chars.", component.c_str());
        return 0;
      }
    } else {
      for (char c : component)
        if (!IsIsoDCharOrLower(static_cast<unsigned char>(c))) {
          Report(messages, "(sub)Path <%s> contains a non-ISO9660 level 2 character (%c).",
                 component.c_str(), c);
          return 0;
        }
      if (component.size() > 31) {
        Report(messages, "(sub)Path <%s> exceeds max. allowed length of %dchars.",
               component.c_str(), 31);
        return 0;
      }
    }
    if (slash == NULL) return 1;
    start = slash + 1;
  }
}

int IsFilePathValid(CVcdMessageSink* messages, const char* path) {
  if (path == NULL || path[0] == '\0') return 0;
  const char* slash = strrchr(path, '/');
  int level = 2;
  if (slash != NULL) {
    std::string folder(path, static_cast<size_t>(slash - path));
    if (!IsDirectoryPathValid(messages, folder.c_str())) return 0;
    level = PathLevel(folder.c_str());
  }
  if (strlen(path) >= 250) {
    Report(messages, "Length of path exceeds max. allowed length of %ldchars. (%s)", 249L, path);
    return 0;
  }
  std::string name = slash ? slash + 1 : path;
  if (level == 1) name = Upper(name);
  if (name.empty()) {
    // "DIR/" names a folder, not a file.
    Report(messages, "%s", kBadStart);
    return 0;
  }
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '.' || (level == 1 ? IsIsoDChar(u) : IsIsoDCharOrLower(u))) continue;
    Report(messages, "File <%s> contains a _no_ ISO9660 level-%d character. ('%c')", name.c_str(),
           level, c);
    return 0;
  }
  if (name[0] == '.') {
    Report(messages, "File <%s> should not start with a dot '.'", name.c_str());
    return 0;
  }
  const size_t dot = name.find('.');
  if (dot != std::string::npos && name.find('.', dot + 1) != std::string::npos) {
    Report(messages, "File <%s> only may contain 1 extension.", name.c_str());
    return 0;
  }
  const size_t stem = dot == std::string::npos ? name.size() : dot;
  if (level == 1 && stem > 8) {
    Report(messages, "Length of file exceeds max. allowed length of %dchars. (%s)", 8, name.c_str());
    return 0;
  }
  if (level == 2 && name.size() >= 32) {
    Report(messages, "Length of file exceeds max. allowed length of %dchars. (%s)", 31, name.c_str());
    return 0;
  }
  if (dot != std::string::npos && name.size() - dot - 1 > 3) {
    Report(messages, "Length of file-extension exceeds max. allowed length of 3chars. (%s).",
           name.c_str());
    return 0;
  }
  return 1;
}
