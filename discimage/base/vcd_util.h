// Small shared routines of the image builder: NULL-terminated string arrays,
// plain allocations, the ISO 9660 character classes with the checked
// fixed-width copy used for every identifier on the disc, and sector numbers
// as BCD minute, second and frame.
//
// Everything returned here is allocated with malloc and freed with free
// (FreeStringArray for the arrays).
#pragma once

#include <cstddef>
#include <cstdint>

class CVcdMessageSink;

// A NULL-terminated array of copies of the non-empty tokens of text between
// delimiters. A NULL text gives an empty array.
char** SplitString(const char* text, char delimiter);
// Entries before the terminating NULL; 0 for NULL.
int StringArrayCount(char** array);
// The first count entries (fewer when the array ends sooner) joined with
// separator between them.
char* JoinStrings(char** array, int count, const char* separator);
// Frees every entry and the array; NULL is ignored.
void FreeStringArray(char** array);

// Zero-filled memory of size bytes (a valid block for 0 too), or NULL.
void* AllocZeroed(size_t size);
// A copy of length bytes; NULL for a NULL source.
void* DuplicateBytes(const void* source, size_t length);
// An upper-case copy (ASCII letters); NULL for NULL.
char* UpperCaseCopy(const char* text);

// ISO 9660 character classes.
bool IsIsoDChar(unsigned char c);          // 0-9 A-Z _
bool IsIsoDCharOrLower(unsigned char c);   // d-characters and a-z
bool IsIsoAChar(unsigned char c);          // space ! " % to ? A-Z _

// Checks that CopyIdentifier can make.
enum {
  kVcdCheckNone = 0,
  kVcdCheck7Bit = 1,
  kVcdCheckAChars = 2,
  kVcdCheckDChars = 3,  // d-characters or lower case
};

// Writes exactly width bytes to destination: the text's first width bytes,
// then spaces; no terminating zero. Warns (through messages, when given) at
// the first character that fails the check and when the text is cut; the
// copy is made regardless. Returns destination.
char* CopyIdentifier(CVcdMessageSink* messages, char* destination, const char* text, int width,
                     int check);

// The value's low byte as two BCD digits: value mod 10 low, value / 10 high.
uint8_t ToBcd(int value);
// Minute, second and frame of a sector number, each in BCD (75 frames a
// second, no 150-sector offset added).
void LbaToMsf(int sector, uint8_t msf[3]);
// "MM:SS.FF" of LbaToMsf, for messages.
char* MsfText(int sector);
