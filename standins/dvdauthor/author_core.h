// DVD authoring: the VIDEO_TS folder of a disc with one title made of the
// given MPEG-2 program streams (2048-byte packs), one chapter and one cell
// per stream, no menus.
//
// Two passes. The scan reads every pack of every stream: its kind, clock,
// timestamps and whether a GOP begins in it, and divides each stream into
// VOBUs, each opened by a navigation pack (the stream's own slots, as the
// multiplexer leaves them, or inserted ones). Then the title VOB files are
// written with every navigation pack filled in (its addresses, times and
// search pointers), and the information files and their backups after them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AuthorJob {
  std::vector<std::string> inputs;
  std::string discFolder;  // VIDEO_TS is made in it
  int tvType = 0;          // 0 NTSC, 1 PAL: what the disc is meant for
  int aspect = 0;          // 0 4:3, 1 16:9: the job's wish; the title set follows the pictures
  int letterBox = 0;
};

class AuthorListener {
public:
  virtual ~AuthorListener() {}
  virtual void VobPercent(int percent) {}
  virtual void ImagePercent(int percent) {}
  virtual bool Cancelled() { return false; }
  virtual void Note(const std::string& text) {}
};

struct AuthorOutcome {
  std::string error;                // why authoring stopped
  int64_t vobSectors = 0;
  int vobus = 0;
  int insertedNavigationPacks = 0;
  std::vector<std::string> files;   // what was written, in order
};

// True when VIDEO_TS was made; otherwise the outcome's error says why and
// whatever was begun is removed.
bool AuthorDvd(const AuthorJob& job, AuthorListener* listener, AuthorOutcome* outcome);

// What the scan learns of one pack (exposed for tests).
enum PackRole : uint8_t { kRoleOther, kRoleNavigation, kRoleVideo, kRoleAudio };
struct PackFacts {
  PackRole role = kRoleOther;
  bool gopStart = false;      // a video payload that begins with a sequence header
  bool hasPts = false;
  int pictureStarts = 0;      // picture start codes inside the video payload
  int64_t scr = 0;            // 27 MHz
  int64_t pts = 0;            // 90 kHz
};
// Parses one 2048-byte pack; false when it is no MPEG-2 pack.
bool ParseDvdPack(const uint8_t* pack, PackFacts* facts);

// The navigation pack's two packets, where a DVD keeps them.
enum { kPciOffset = 0x2D, kDsiOffset = 0x407 };
