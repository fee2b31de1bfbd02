#include "suite/app_utils.h"

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "mfc/mfc.h"

CString GetAppFolder() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD length = ::GetModuleFileNameA(NULL, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return CString();
    if (length < buffer.size()) break;
    buffer.resize(buffer.size() * 2);  // cut: the path is longer
  }
  CString path(buffer.data());
  return path.Left(path.ReverseFind('\\') + 1);
}

CString GetTempFolder() {
  char buffer[MAX_PATH + 1] = {0};
  DWORD length = ::GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length >= sizeof buffer) return CString();
  return CString(buffer);
}

CString GetSystemFolder() {
  char buffer[MAX_PATH + 1] = {0};
  UINT length = ::GetSystemDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return CString();
  return CString(buffer);
}

BOOL FileExists(const char* path) {
  if (path == NULL || *path == 0) return FALSE;
  return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

BOOL FolderExists(const char* path) {
  // Asked of the file system, not by making the folder current: the current
  // folder is the whole process's, and worker threads run beside the caller.
  if (path == NULL || *path == 0) return FALSE;
  DWORD attributes = ::GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int GetDirectXVersion(const char* unreadableMessage) {
  HKEY key = NULL;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX\\", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    AfxMessageBox(unreadableMessage);
    return -1;
  }
  char version[257] = {0};
  DWORD type = 0;
  DWORD size = sizeof version - 1;
  LONG status = ::RegQueryValueExA(key, "Version", NULL, &type, reinterpret_cast<BYTE*>(version), &size);
  ::RegCloseKey(key);
  // Only a text can be a version; a missing or other value is no text.
  bool text = status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
  if (!text) version[0] = 0;
  else if (size < sizeof version) version[size] = 0;
  return DirectXVersionFromText(version);
}

int GetDirectXVersion() { return GetDirectXVersion("Failed to read register!  "); }

int CreateFolderPath(const char* path) {
  std::vector<std::string> folders = FolderPathPrefixes(path);
  if (path == NULL || *path == 0) return 0;
  for (const std::string& folder : folders) {
    if (FolderExists(folder.c_str())) continue;
    // Another thread or program may have made it meanwhile.
    if (!::CreateDirectoryA(folder.c_str(), NULL) && !FolderExists(folder.c_str())) return 0;
  }
  return 1;
}

namespace {

typedef DWORD(WINAPI* FinalPathFn)(HANDLE, LPSTR, DWORD, DWORD);

// The system's own name of what a path leads to, with a link at its end not
// followed when the system can avoid it; "" when it cannot be told.
std::string FinalName(const std::string& path) {
  static const FinalPathFn finalPath = reinterpret_cast<FinalPathFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("kernel32"), "GetFinalPathNameByHandleA")));
  if (finalPath == NULL) return std::string();
  HANDLE handle = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, NULL);
  if (handle == INVALID_HANDLE_VALUE) return std::string();
  char buffer[2048] = {0};
  DWORD length = finalPath(handle, buffer, sizeof buffer, 0);
  ::CloseHandle(handle);
  if (length == 0 || length >= sizeof buffer) return std::string();
  std::string name(buffer);
  if (name.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + name.substr(8);
  if (name.compare(0, 4, "\\\\?\\") == 0) return name.substr(4);
  return name;
}

// True when the entry named name in the folder whose own name is
// folderFinal is reached directly, not through a link that the system
// follows. Some systems follow links even when asked to delete them, and
// would delete what lies behind; such an entry is never touched.
bool ReachedDirectly(const std::string& folderFinal, const std::string& path, const std::string& name) {
  if (folderFinal.empty()) return true;  // the system cannot tell: the attributes decide
  std::string final = FinalName(path);
  if (final.empty()) return false;
  return ::lstrcmpiA(final.c_str(), (folderFinal + "\\" + name).c_str()) == 0;
}

// A link or junction: removed itself, never entered.
bool RemoveLink(const std::string& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ::RemoveDirectoryA(path.c_str()) != 0;
  return ::DeleteFileA(path.c_str()) != 0;
}

bool RemoveFile(const std::string& path, DWORD attributes) {
  // The shell's delete removes read-only files too when it does not ask.
  if (attributes & FILE_ATTRIBUTE_READONLY)
    ::SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return ::DeleteFileA(path.c_str()) != 0;
}

// Deletes what the folder holds; true when all of it went. folderFinal:
// the folder's own name as FinalName gives it.
bool DeleteContents(const std::string& folder, const std::string& folderFinal) {
  std::vector<FolderEntry> entries;
  bool ok = ListFolderEntries(folder, &entries);
  for (const FolderEntry& entry : entries) {
    if (!ReachedDirectly(folderFinal, entry.path, entry.longName)) {
      ok = false;
    } else if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      ok = RemoveLink(entry.path, entry.attributes) && ok;
    } else if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
      std::string childFinal = folderFinal.empty() ? std::string() : folderFinal + "\\" + entry.longName;
      bool emptied = DeleteContents(entry.path, childFinal);
      ok = emptied && ::RemoveDirectoryA(entry.path.c_str()) != 0 && ok;
    } else {
      ok = RemoveFile(entry.path, entry.attributes) && ok;
    }
  }
  return ok;
}

}  // namespace

bool ListFolderEntries(const std::string& folder, std::vector<FolderEntry>* entries) {
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string reachable = name;
    if (name.find('?') != std::string::npos && found.cAlternateFileName[0] != 0)
      reachable = found.cAlternateFileName;
    entries->push_back({folder + "\\" + reachable, name, found.dwFileAttributes});
  } while (::FindNextFileA(find, &found));
  ::FindClose(find);
  return true;
}

BOOL DeleteFolderTree(const char* folder, HWND /*owner*/) {
  if (folder == NULL || *folder == 0) return FALSE;
  std::string path(folder);
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  // Only a full path names a known place; then judge the folder by its full
  // name too: "C:\\tmp\\.." is the drive's root.
  if (IsProtectedFolderPath(path.c_str())) return FALSE;
  char full[MAX_PATH + 1] = {0};
  DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, NULL);
  if (length == 0 || length >= sizeof full) return FALSE;
  path = full;
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  if (IsProtectedFolderPath(path.c_str())) return FALSE;

  DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return FALSE;
  size_t slash = path.rfind('\\');
  std::string parentFinal = FinalName(path.substr(0, slash + 1));
  while (!parentFinal.empty() && parentFinal.back() == '\\') parentFinal.pop_back();
  std::string name = path.substr(slash + 1);
  if (!ReachedDirectly(parentFinal, path, name)) return FALSE;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveLink(path, attributes) ? TRUE : FALSE;

  DeleteContents(path, parentFinal.empty() ? std::string() : parentFinal + "\\" + name);
  ::RemoveDirectoryA(path.c_str());
  return ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? TRUE : FALSE;
}

BOOL RecreateFolder(const char* folder, HWND owner) {
  if (folder == NULL || *folder == 0) return FALSE;
  if (FolderExists(folder) && !DeleteFolderTree(folder, owner)) return FALSE;
  return CreateFolderPath(folder) ? TRUE : FALSE;
}

int GetDiskFreeMB(char drive) {
  if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z'))) return -1;
  char root[4];
  snprintf(root, sizeof root, "%c:\\", drive);
  ULARGE_INTEGER available, total, free;
  if (!::GetDiskFreeSpaceExA(root, &available, &total, &free)) return -1;
  // 64 bits throughout: cluster arithmetic in 32 bits wraps on large disks.
  unsigned long long megabytes = available.QuadPart / (1024ULL * 1024ULL);
  return megabytes > static_cast<unsigned long long>(INT_MAX) ? INT_MAX : static_cast<int>(megabytes);
}

CString GetFixedDriveLetters() {
  CString letters;
  for (char drive = 'C'; drive <= 'Y'; ++drive) {
    char root[4];
    snprintf(root, sizeof root, "%c:\\", drive);
    if (::GetDriveTypeA(root) == DRIVE_FIXED) letters += drive;
  }
  return letters;
}

long long GetFileSizeBytes64(const char* path) {
  if (path == NULL || *path == 0) return -1;
  // No access asked for: the size can be read while another program writes.
  HANDLE file = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return -1;
  LARGE_INTEGER size;
  BOOL ok = ::GetFileSizeEx(file, &size);
  ::CloseHandle(file);
  return ok ? size.QuadPart : -1;
}

DWORD GetFileSizeBytes(const char* path) {
  long long size = GetFileSizeBytes64(path);
  return size < 0 ? 0xFFFFFFFFu : static_cast<DWORD>(size & 0xFFFFFFFFu);
}
