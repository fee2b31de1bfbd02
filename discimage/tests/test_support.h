// What the tests of the image builder, the stand-ins and the programs share:
// whole files read and written, fresh folders for a test's files, commands
// of the host (native builds) and ffprobe's view of an MPEG file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace test_support {

typedef std::vector<uint8_t> Bytes;

// A whole file; empty when it cannot be read.
Bytes ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
// The whole file into *contents; false (and *contents untouched) when the
// file cannot be opened.
bool ReadWhole(const std::string& path, std::string* contents);
// The whole file, or "<missing>" when it cannot be read (so that a missing
// file never passes for an empty one).
std::string FileContents(const std::string& path);

// The file made anew with these bytes; false when any could not be written.
bool WriteBytes(const std::string& path, const Bytes& data);
bool WriteText(const std::string& path, const std::string& text);

bool FileExists(const std::string& path);
// Bytes in the file, -1 when there is none.
long long FileSize(const std::string& path);

// The running test's name ("Name", or "Name/0" for a parameterised one).
std::string CurrentTestName();
// folder empty and ready: whatever stood there is removed first.
std::filesystem::path FreshFolder(const std::filesystem::path& folder);
// A fresh folder named after the running test, in the working folder.
std::filesystem::path FreshTestFolder();

// A test whose files go to a fresh folder named after it, removed at its end.
class FreshFolderTest : public ::testing::Test {
protected:
  void SetUp() override { folder = FreshTestFolder(); }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::string PathOf(const std::string& name) const { return (folder / name).string(); }

  std::filesystem::path folder;
};

// ffprobe's flat output ("key=value", texts quoted) as a map, quotes dropped.
std::map<std::string, std::string> ParseFlat(const std::string& text);
// "num/den" (0 when den is 0) or a plain number.
double Rational(const std::string& text);
// ffprobe's flat view of a file with the given -show_ options. Natively
// ffprobe runs; under Wine the fixture script has left its view (format,
// streams and packets) beside the file as <path>.ffprobe.
std::map<std::string, std::string> ProbeFlat(const std::string& path, const std::string& showOptions);

// Threads the process runs now.
int ThreadCount();
// The process's thread count once it is expected (threads that were told to
// end may take a moment to go), or what it is after some seconds of waiting.
int ThreadCountSettledAt(int expected);

#ifndef _WIN32
// Standard output of a shell command; *status its exit code (-1 when it did
// not run or did not exit).
std::string RunCommand(const std::string& command, int* status = nullptr);
// Standard output and error of a command run in folder.
std::string RunCommandIn(const std::filesystem::path& folder, const std::string& command,
                         int* status = nullptr);
// Whether the host has the program.
bool HaveTool(const char* name);

// While it lives, no file of the process grows beyond bytes: a write past
// that fails ("File too large") after everything before it was written.
class FileSizeLimit {
public:
  explicit FileSizeLimit(long long bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  long long m_previous;  // the soft limit before
  void (*m_previousHandler)(int);
};
#endif

}  // namespace test_support
