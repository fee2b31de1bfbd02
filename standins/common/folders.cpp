#include "standins/common/folders.h"

#include <windows.h>

#include <vector>

bool FolderExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string WithBackslash(const std::string& folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') return folder + "\\";
  return folder;
}

bool EnsureFolder(const std::string& path) {
  std::string folder = path;
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (folder.empty() || FolderExists(folder)) return !folder.empty();
  size_t cut = folder.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0 && folder[cut - 1] != ':') {
    if (!EnsureFolder(folder.substr(0, cut))) return false;
  }
  return CreateDirectoryA(folder.c_str(), NULL) || FolderExists(folder);
}

bool EmptyFolder(const std::string& path) {
  std::string folder = WithBackslash(path);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    // A folder that is not there holds nothing: a disc never written here
    // is empty already. One that is there but cannot be listed is not.
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  bool ok = true;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string full = folder + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = RemoveFolder(full) && ok;
    } else {
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      ok = DeleteFileA(full.c_str()) && ok;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return ok;
}

bool RemoveFolder(const std::string& path) {
  if (!FolderExists(path)) return true;
  bool ok = EmptyFolder(path);
  std::string folder = path;
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return RemoveDirectoryA(folder.c_str()) && ok;
}

int CopyRange(void* sourceHandle, int64_t offset, int64_t length, void* destinationHandle,
              int speedKBps, const std::function<bool(int64_t)>& progress) {
  HANDLE source = static_cast<HANDLE>(sourceHandle);
  HANDLE destination = static_cast<HANDLE>(destinationHandle);
  LARGE_INTEGER position;
  position.QuadPart = offset;
  if (!SetFilePointerEx(source, position, NULL, FILE_BEGIN)) return 1;
  const DWORD kPiece = 256 * 1024;
  std::vector<char> buffer(kPiece);
  int64_t done = 0;
  DWORD started = GetTickCount();
  while (done < length) {
    DWORD want = length - done < kPiece ? static_cast<DWORD>(length - done) : kPiece;
    DWORD got = 0;
    if (!ReadFile(source, buffer.data(), want, &got, NULL) || got != want) return 1;
    DWORD written = 0;
    if (!WriteFile(destination, buffer.data(), want, &written, NULL) || written != want) return 2;
    done += want;
    if (speedKBps > 0) {
      // Not faster than the drive's speed.
      int64_t due = done * 1000 / (static_cast<int64_t>(speedKBps) * 1024);
      int64_t spent = static_cast<int64_t>(GetTickCount() - started);
      if (due > spent) Sleep(static_cast<DWORD>(due - spent));
    }
    if (!progress(done)) return 3;
  }
  return 0;
}

std::string BaseName(const std::string& path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderOf(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}
