// File and folder work of the disc-writing stand-ins.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Creates the folder and every missing parent; true when it exists after.
bool EnsureFolder(const std::string& path);
// Deletes everything inside the folder (not the folder); a folder that is
// not there is empty.
bool EmptyFolder(const std::string& path);
// Deletes the folder with its contents.
bool RemoveFolder(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
int64_t FileSize(const std::string& path);  // -1 when it cannot be read

// Copies length bytes from offset of source to the end of destination
// (opened by the caller). progress(bytes) is called after every piece and
// stops the copy by returning false. speedKBps > 0 slows the copy down to
// that rate. Returns 0, or 1 (read), 2 (write), 3 (stopped).
int CopyRange(void* sourceHandle, int64_t offset, int64_t length, void* destinationHandle,
              int speedKBps, const std::function<bool(int64_t)>& progress);

// The last path part ("C:\a\b.txt" -> "b.txt").
std::string BaseName(const std::string& path);
// The folder part with its backslash ("C:\a\b.txt" -> "C:\a\").
std::string FolderOf(const std::string& path);
std::string WithBackslash(const std::string& folder);
