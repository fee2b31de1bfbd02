// Paths of the host (the Linux machine that runs the tests) as the test
// program must spell them: under Wine the host's root is drive Z:.
#pragma once

#include <cstdlib>
#include <string>

// "/a/b" -> "Z:\a\b" in Windows builds; unchanged natively.
inline std::string HostPath(const std::string& path) {
#ifdef _WIN32
  if (path.empty() || path[0] != '/') return path;
  std::string converted = "Z:" + path;
  for (char& c : converted)
    if (c == '/') c = '\\';
  return converted;
#else
  return path;
#endif
}

// The folder of the MPEG fixtures (QUORBEL_FIXTURES, set by CTest for tests
// that require the mpeg_fixtures fixture) as a path of this program, or ""
// when the variable is not set.
inline std::string FixturesDir() {
  const char* dir = getenv("QUORBEL_FIXTURES");
  return dir != NULL ? HostPath(dir) : std::string();
}

// A file in the fixtures folder, or "" when the folder is unknown.
inline std::string FixturePath(const std::string& name) {
  std::string dir = FixturesDir();
  if (dir.empty()) return std::string();
#ifdef _WIN32
  return dir + "\\" + name;
#else
  return dir + "/" + name;
#endif
}
