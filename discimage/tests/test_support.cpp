#include "discimage/tests/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <tlhelp32.h>
#endif

#ifndef _WIN32
#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#endif

namespace test_support {

namespace {

// Everything left in stream, appended to *out.
template <typename Container>
void AppendAll(FILE* stream, Container* out) {
  char chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, stream)) > 0) out->insert(out->end(), chunk, chunk + n);
}

}  // namespace

Bytes ReadBytes(const std::string& path) {
  Bytes data;
  FILE* f = fopen(path.c_str(), "rb");
  if (f == NULL) return data;
  AppendAll(f, &data);
  fclose(f);
  return data;
}

bool ReadWhole(const std::string& path, std::string* contents) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f == NULL) return false;
  contents->clear();
  AppendAll(f, contents);
  fclose(f);
  return true;
}

std::string ReadText(const std::string& path) {
  std::string text;
  ReadWhole(path, &text);
  return text;
}

std::string FileContents(const std::string& path) {
  std::string contents;
  return ReadWhole(path, &contents) ? contents : "<missing>";
}

bool WriteBytes(const std::string& path, const Bytes& data) {
  FILE* f = fopen(path.c_str(), "wb");
  if (f == NULL) return false;
  bool ok = data.empty() || fwrite(data.data(), 1, data.size(), f) == data.size();
  return fclose(f) == 0 && ok;
}

bool WriteText(const std::string& path, const std::string& text) {
  return WriteBytes(path, Bytes(text.begin(), text.end()));
}

bool FileExists(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f != NULL) fclose(f);
  return f != NULL;
}

long long FileSize(const std::string& path) {
  // Opened by its bytes as the programs open files (ANSI names on Windows).
  FILE* f = fopen(path.c_str(), "rb");
  if (f == NULL) return -1;
#ifdef _WIN32
  long long size = _fseeki64(f, 0, SEEK_END) == 0 ? _ftelli64(f) : -1;
#else
  long long size = fseeko(f, 0, SEEK_END) == 0 ? static_cast<long long>(ftello(f)) : -1;
#endif
  fclose(f);
  return size;
}

std::string CurrentTestName() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return test != NULL ? test->name() : "no-test";
}

std::filesystem::path FreshFolder(const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

std::filesystem::path FreshTestFolder() {
  return FreshFolder(std::filesystem::current_path() / CurrentTestName());
}

std::map<std::string, std::string> ParseFlat(const std::string& text) {
  std::map<std::string, std::string> values;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t eq = line.find('=');
    if (eq != std::string::npos) {
      std::string value = line.substr(eq + 1);
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
      values[line.substr(0, eq)] = value;
    }
    start = end + 1;
  }
  return values;
}

double Rational(const std::string& text) {
  size_t slash = text.find('/');
  if (slash == std::string::npos) return atof(text.c_str());
  double d = atof(text.c_str() + slash + 1);
  return d != 0 ? atof(text.substr(0, slash).c_str()) / d : 0;
}

std::map<std::string, std::string> ProbeFlat(const std::string& path, const std::string& showOptions) {
#ifdef _WIN32
  (void)showOptions;
  return ParseFlat(ReadText(path + ".ffprobe"));
#else
  return ParseFlat(RunCommand("ffprobe -v error " + showOptions + " -of flat '" + path + "'"));
#endif
}

int ThreadCount() {
  int count = 0;
#ifdef _WIN32
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snapshot);
#else
  std::error_code error;
  for (std::filesystem::directory_iterator it("/proc/self/task", error), end; !error && it != end;
       it.increment(error))
    ++count;
  if (error) return -1;
#endif
  return count;
}

int ThreadCountSettledAt(int expected) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  int count = ThreadCount();
  while (count != expected && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    count = ThreadCount();
  }
  return count;
}

#ifndef _WIN32
std::string RunCommand(const std::string& command, int* status) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == NULL) {
    if (status != NULL) *status = -1;
    return output;
  }
  AppendAll(pipe, &output);
  int raw = pclose(pipe);
  if (status != NULL) *status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return output;
}

std::string RunCommandIn(const std::filesystem::path& folder, const std::string& command, int* status) {
  return RunCommand("cd '" + folder.string() + "' && " + command + " 2>&1", status);
}

FileSizeLimit::FileSizeLimit(long long bytes) {
  // The signal a write past the limit raises would end the test.
  m_previousHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit limit;
  getrlimit(RLIMIT_FSIZE, &limit);
  m_previous = static_cast<long long>(limit.rlim_cur);
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit;
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(m_previous);
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, m_previousHandler);
}

bool HaveTool(const char* name) {
  int status = -1;
  RunCommand(std::string("command -v ") + name + " >/dev/null 2>&1", &status);
  return status == 0;
}
#endif

}  // namespace test_support
