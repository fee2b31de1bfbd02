// Paths of the host (the Linux machine that runs the tests) as the test
// program must spell them: under Wine the host's root is drive Z:, and the
// fixture folders that CTest hands over in environment variables.
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

// name inside folder, joined as this program spells paths.
inline std::string PathIn(const std::string& folder, const std::string& name) {
#ifdef _WIN32
  return folder + "\\" + name;
#else
  return folder + "/" + name;
#endif
}

// The host folder that an environment variable names, as a path of this
// program, or "" when the variable is not set.
inline std::string FolderFromEnvironment(const char* variable) {
  const char* dir = getenv(variable);
  return dir != NULL ? HostPath(dir) : std::string();
}

// A file in the folder that variable names, or "" when it is not set.
inline std::string FixtureIn(const char* variable, const std::string& name) {
  std::string dir = FolderFromEnvironment(variable);
  return dir.empty() ? dir : PathIn(dir, name);
}

// The folder of the MPEG fixtures (QUORBEL_FIXTURES, set by CTest for tests
// that require the mpeg_fixtures fixture), or "" when it is not set.
inline std::string FixturesDir() { return FolderFromEnvironment("QUORBEL_FIXTURES"); }

// A file in the MPEG fixtures folder, or "" when the folder is unknown.
inline std::string FixturePath(const std::string& name) { return FixtureIn("QUORBEL_FIXTURES", name); }
