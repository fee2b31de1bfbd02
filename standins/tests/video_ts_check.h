// Every VIDEO_TS folder a test authors is read by readers of its own
// (scripts/lib/check-video-ts.sh: lsdvd and ffprobe). Natively the check
// runs at once. Under Wine, where those readers are not, the folder is
// handed over: copied into the folder that QUORBEL_VIDEO_TS_OUT names, and
// CTest runs the check natively after the test (the CMake function
// quorbel_check_video_ts registers both). Header only, so that any test
// program can call it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "discimage/tests/test_paths.h"

// "" when the disc folder's VIDEO_TS passed (natively) or was handed over
// (under Wine); otherwise what went wrong. name tells the handed folders
// apart; chapters and seconds are those the disc's one title must have.
inline std::string CheckVideoTs(const std::string& discFolder, const std::string& name, int chapters,
                                double seconds) {
  char expect[64];
  snprintf(expect, sizeof expect, "%d %.3f", chapters, seconds);
#ifdef _WIN32
  std::string out = FolderFromEnvironment("QUORBEL_VIDEO_TS_OUT");
  if (out.empty()) return "QUORBEL_VIDEO_TS_OUT is not set (quorbel_check_video_ts registers the test)";
  namespace fs = std::filesystem;
  const fs::path handed = fs::path(out) / name;
  std::error_code ec;
  fs::remove_all(handed, ec);
  fs::create_directories(handed / "VIDEO_TS", ec);
  for (fs::directory_iterator file(fs::path(discFolder) / "VIDEO_TS", ec), end; !ec && file != end;
       file.increment(ec))
    fs::copy_file(file->path(), handed / "VIDEO_TS" / file->path().filename(), ec);
  if (ec) return "cannot hand " + discFolder + " over to " + handed.string() + ": " + ec.message();
  FILE* f = fopen((handed / "expect").string().c_str(), "w");
  bool written = f != NULL && fputs(expect, f) >= 0;
  if (f != NULL && fclose(f) != 0) written = false;
  return written ? "" : "cannot write " + (handed / "expect").string();
#else
  (void)name;
  std::string command = std::string("sh '") + QUORBEL_SOURCE_DIR + "/scripts/lib/check-video-ts.sh' '" + discFolder +
                        "' " + expect + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == NULL) return "cannot run " + command;
  std::string said;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != NULL) said += buffer;
  return pclose(pipe) == 0 ? std::string() : said;
#endif
}
