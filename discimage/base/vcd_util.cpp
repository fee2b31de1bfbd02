#include "discimage/base/vcd_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "discimage/base/vcd_messages.h"

namespace {

char* CopyOf(const char* begin, size_t length) {
  char* copy = static_cast<char*>(malloc(length + 1));
  if (copy == NULL) return NULL;
  memcpy(copy, begin, length);
  copy[length] = '\0';
  return copy;
}

}  // namespace

char** SplitString(const char* text, char delimiter) {
  size_t delimiters = 0;
  if (text != NULL)
    for (const char* p = text; *p; ++p)
      if (*p == delimiter) ++delimiters;
  char** array = static_cast<char**>(calloc(delimiters + 2, sizeof(char*)));
  if (array == NULL || text == NULL) return array;
  size_t count = 0;
  const char* start = text;
  for (const char* p = text;; ++p) {
    if (*p == delimiter || *p == '\0') {
      if (p > start) array[count++] = CopyOf(start, static_cast<size_t>(p - start));
      if (*p == '\0') break;
      start = p + 1;
    }
  }
  return array;
}

int StringArrayCount(char** array) {
  int count = 0;
  if (array != NULL)
    while (array[count] != NULL) ++count;
  return count;
}

char* JoinStrings(char** array, int count, const char* separator) {
  if (separator == NULL) separator = "";
  int available = StringArrayCount(array);
  if (count > available) count = available;
  size_t separatorLength = strlen(separator);
  size_t total = 0;
  for (int i = 0; i < count; ++i) total += strlen(array[i]) + (i > 0 ? separatorLength : 0);
  char* joined = static_cast<char*>(malloc(total + 1));
  if (joined == NULL) return NULL;
  char* out = joined;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      memcpy(out, separator, separatorLength);
      out += separatorLength;
    }
    size_t length = strlen(array[i]);
    memcpy(out, array[i], length);
    out += length;
  }
  *out = '\0';
  return joined;
}

void FreeStringArray(char** array) {
  if (array == NULL) return;
  for (char** entry = array; *entry != NULL; ++entry) free(*entry);
  free(array);
}

void* AllocZeroed(size_t size) { return calloc(1, size ? size : 1); }

void* DuplicateBytes(const void* source, size_t length) {
  if (source == NULL) return NULL;
  void* copy = malloc(length ? length : 1);
  if (copy != NULL) memcpy(copy, source, length);
  return copy;
}

char* UpperCaseCopy(const char* text) {
  if (text == NULL) return NULL;
  size_t length = strlen(text);
  char* copy = CopyOf(text, length);
  if (copy == NULL) return NULL;
  for (char* p = copy; *p; ++p)
    if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
  return copy;
}

bool IsIsoDChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsIsoDCharOrLower(unsigned char c) { return IsIsoDChar(c) || (c >= 'a' && c <= 'z'); }

bool IsIsoAChar(unsigned char c) {
  return c == ' ' || c == '!' || c == '"' || (c >= '%' && c <= '?') || (c >= 'A' && c <= 'Z') ||
         c == '_';
}

char* CopyIdentifier(CVcdMessageSink* messages, char* destination, const char* text, int width,
                     int check) {
  if (text == NULL) text = "";
  if (width < 0) width = 0;
  size_t length = strlen(text);

  for (size_t pos = 0; pos < length && check != kVcdCheckNone; ++pos) {
    unsigned char c = static_cast<unsigned char>(text[pos]);
    const char* failure = NULL;
    if (check == kVcdCheck7Bit && c > 0x7F)
      failure = "string '%s' fails 7bit constraint (pos = %d)";
    else if (check == kVcdCheckAChars && !IsIsoAChar(c))
      failure = "string '%s' fails a-character constraint (pos = %d)";
    else if (check == kVcdCheckDChars && !IsIsoDCharOrLower(c))
      failure = "string '%s' fails d-character constraint (pos = %d)";
    if (failure != NULL) {
      if (messages != NULL) messages->Warning(failure, text, static_cast<int>(pos));
      break;
    }
  }

  if (length > static_cast<size_t>(width)) {
    if (messages != NULL)
      messages->Warning("string '%s' is getting truncated to %d characters", text, width);
    length = static_cast<size_t>(width);
  }
  if (destination == NULL) return NULL;
  memcpy(destination, text, length);
  memset(destination + length, ' ', static_cast<size_t>(width) - length);
  return destination;
}

uint8_t ToBcd(int value) {
  unsigned low = static_cast<unsigned>(value) & 0xFFu;
  return static_cast<uint8_t>(((low / 10) << 4) | (low % 10));
}

void LbaToMsf(int sector, uint8_t msf[3]) {
  msf[0] = ToBcd(sector / 4500);
  msf[1] = ToBcd((sector / 75) % 60);
  msf[2] = ToBcd(sector % 75);
}

char* MsfText(int sector) {
  uint8_t msf[3];
  LbaToMsf(sector, msf);
  char* text = static_cast<char*>(malloc(16));
  if (text != NULL) snprintf(text, 16, "%.2x:%.2x.%.2x", msf[0], msf[1], msf[2]);
  return text;
}
