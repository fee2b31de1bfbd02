// The disc programs' folder, file, drive and DirectX helpers under Wine,
// on real folders in the test's work folder, links made on the host, a
// drive letter mapped onto a scratch folder, and the DirectX key of the
// test prefix (restored afterwards).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "suite/app_utils.h"
#include "mfc/mfc.h"

namespace {

std::string WorkFolder() {
  char buffer[MAX_PATH] = {0};
  GetCurrentDirectoryA(sizeof buffer, buffer);
  return buffer;
}

std::string Under(const std::string& name) { return WorkFolder() + "\\" + name; }

void WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  ASSERT_TRUE(file != NULL) << path;
  fwrite(bytes.data(), 1, bytes.size(), file);
  fclose(file);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The host's name of a path of ours (Wine only), or "".
std::string UnixName(const std::string& path) {
  typedef char*(CDECL * UnixNameFn)(LPCWSTR);
  UnixNameFn fn = reinterpret_cast<UnixNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (fn == NULL) return std::string();
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return std::string();
  char* name = fn(wide);
  if (name == NULL) return std::string();
  std::string result(name);
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Runs a host shell command under Wine (a host process cannot be waited
// for, so the caller polls for its effect). The command line is split the
// Windows way: the command is one double-quoted argument, so it quotes with
// single quotes.
bool RunOnHost(const std::string& command) {
  std::string line = "/bin/sh -c \"" + command + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA("/bin/sh", &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool WaitFor(const std::string& path, bool present) {
  for (int i = 0; i < 200; ++i) {
    if (Exists(path) == present) return true;
    Sleep(25);
  }
  return false;
}

// A host symbolic link at link pointing to target (both paths of ours).
bool MakeHostLink(const std::string& target, const std::string& link) {
  std::string unixTarget = UnixName(target);
  std::string unixLink = UnixName(link);
  if (unixTarget.empty() || unixLink.empty()) return false;
  if (!RunOnHost("ln -sfn '" + unixTarget + "' '" + unixLink + "'")) return false;
  return WaitFor(link, true);
}

// ---- Program, system and temporary folders ---------------------------------

TEST(AppFolders, ProgramSystemAndTemporaryFolders) {
  CString app = GetAppFolder();
  ASSERT_FALSE(app.IsEmpty());
  EXPECT_EQ(app[app.GetLength() - 1], '\\');
  char module[MAX_PATH] = {0};
  GetModuleFileNameA(NULL, module, sizeof module);
  EXPECT_EQ(CString(module).Left(app.GetLength()), app);
  EXPECT_EQ(CString(module).Mid(app.GetLength()).Find('\\'), -1);

  CString system = GetSystemFolder();
  ASSERT_FALSE(system.IsEmpty());
  EXPECT_NE(system[system.GetLength() - 1], '\\');
  EXPECT_TRUE(FolderExists(system));
  EXPECT_TRUE(FileExists(system + "\\kernel32.dll"));

  CString temp = GetTempFolder();
  ASSERT_FALSE(temp.IsEmpty());
  EXPECT_EQ(temp[temp.GetLength() - 1], '\\');
  EXPECT_TRUE(FolderExists(temp));
}

TEST(AppFiles, ExistenceOfFilesAndFolders) {
  std::string file = Under("exists.txt");
  WriteBytes(file, "x");
  EXPECT_TRUE(FileExists(file.c_str()));
  EXPECT_TRUE(FileExists(WorkFolder().c_str()));  // a folder's status reads too
  EXPECT_FALSE(FileExists(Under("missing.txt").c_str()));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(NULL));

  EXPECT_TRUE(FolderExists(WorkFolder().c_str()));
  EXPECT_TRUE(FolderExists((WorkFolder() + "\\").c_str()));
  EXPECT_FALSE(FolderExists(file.c_str()));
  EXPECT_FALSE(FolderExists(Under("missing").c_str()));
  EXPECT_FALSE(FolderExists(""));
}

TEST(AppFiles, SizesInBytes) {
  std::string file = Under("size.bin");
  WriteBytes(file, std::string(12345, 'z'));
  EXPECT_EQ(GetFileSizeBytes(file.c_str()), 12345u);
  EXPECT_EQ(GetFileSizeBytes64(file.c_str()), 12345);
  WriteBytes(file, "");
  EXPECT_EQ(GetFileSizeBytes(file.c_str()), 0u);
  EXPECT_EQ(GetFileSizeBytes(Under("missing.bin").c_str()), 4294967295u);
  EXPECT_EQ(GetFileSizeBytes64(Under("missing.bin").c_str()), -1);
  EXPECT_EQ(GetFileSizeBytes(WorkFolder().c_str()), 4294967295u);
  EXPECT_EQ(GetFileSizeBytes(""), 4294967295u);

  // An open file is measured while its writer holds it.
  HANDLE held = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, 0, NULL);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(held, "abc", 3, &written, NULL);
  EXPECT_EQ(GetFileSizeBytes(file.c_str()), 3u);
  CloseHandle(held);
}

TEST(AppFiles, SizesBeyondFourGigabytes) {
  // A sparse file of 5 GiB: the 32-bit size is its low part, the 64-bit
  // one the whole.
  std::string file = Under("big.bin");
  HANDLE big = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  ASSERT_NE(big, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = 5LL << 30;
  bool sized = SetFilePointerEx(big, end, NULL, FILE_BEGIN) && SetEndOfFile(big);
  CloseHandle(big);
  if (!sized) {
    DeleteFileA(file.c_str());
    GTEST_SKIP() << "no room for a sparse 5 GiB file";
  }
  EXPECT_EQ(GetFileSizeBytes64(file.c_str()), 5LL << 30);
  EXPECT_EQ(GetFileSizeBytes(file.c_str()), 1u << 30);
  DeleteFileA(file.c_str());
}

// ---- Creating folders ----------------------------------------------------------

TEST(CreateFolderPath, MakesEveryMissingFolder) {
  std::string base = Under("create");
  std::string deep = base + "\\one\\two\\three";
  ASSERT_EQ(CreateFolderPath(deep.c_str()), 1);
  EXPECT_TRUE(FolderExists(deep.c_str()));

  // Existing: 1, and nothing new appears.
  WriteBytes(deep + "\\marker.txt", "m");
  ASSERT_EQ(CreateFolderPath((deep + "\\").c_str()), 1);
  EXPECT_TRUE(Exists(deep + "\\marker.txt"));
  EXPECT_FALSE(Exists(deep + "\\three"));

  // Trailing backslash and doubled separators.
  std::string other = base + "\\\\four\\five\\";
  ASSERT_EQ(CreateFolderPath(other.c_str()), 1);
  EXPECT_TRUE(FolderExists((base + "\\four\\five").c_str()));

  // Drive roots need nothing.
  EXPECT_EQ(CreateFolderPath("C:\\"), 1);
}

TEST(CreateFolderPath, StopsAtTheFirstFolderThatCannotBeMade) {
  std::string blocker = Under("blocker");
  WriteBytes(blocker, "a file where a folder should go");
  EXPECT_EQ(CreateFolderPath((blocker + "\\sub\\deeper").c_str()), 0);
  EXPECT_FALSE(Exists(blocker + "\\sub"));
  EXPECT_EQ(CreateFolderPath(""), 0);
  EXPECT_EQ(CreateFolderPath(NULL), 0);
  EXPECT_EQ(CreateFolderPath((WorkFolder() + "\\bad?name\\x").c_str()), 0);
}

// ---- Deleting folder trees -----------------------------------------------------

// A tree with files, folders, an empty folder and a read-only file.
void MakeTree(const std::string& root) {
  ASSERT_EQ(CreateFolderPath((root + "\\sub\\deep").c_str()), 1);
  ASSERT_EQ(CreateFolderPath((root + "\\empty").c_str()), 1);
  WriteBytes(root + "\\a.txt", "a");
  WriteBytes(root + "\\sub\\b.mpg", std::string(5000, 'b'));
  WriteBytes(root + "\\sub\\deep\\c.txt", "c");
  WriteBytes(root + "\\caf\xe9 & co.txt", "latin-1 name");
  ASSERT_TRUE(SetFileAttributesA((root + "\\sub\\deep\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY));
}

TEST(DeleteFolderTree, DeletesEverythingWithOrWithoutTheBackslash) {
  for (const char* ending : {"\\", ""}) {
    std::string root = Under("tree");
    MakeTree(root);
    EXPECT_TRUE(DeleteFolderTree((root + ending).c_str(), NULL)) << ending;
    EXPECT_FALSE(Exists(root));
  }
}

TEST(DeleteFolderTree, MissingFoldersAndFilesAreNotDeleted) {
  EXPECT_FALSE(DeleteFolderTree((Under("never-made") + "\\").c_str(), NULL));
  std::string file = Under("plain-file.txt");
  WriteBytes(file, "keep");
  EXPECT_FALSE(DeleteFolderTree(file.c_str(), NULL));
  EXPECT_TRUE(Exists(file));
}

TEST(DeleteFolderTree, RefusesEmptyAndRelativePaths) {
  EXPECT_FALSE(DeleteFolderTree("", NULL));
  EXPECT_FALSE(DeleteFolderTree(NULL, NULL));
  // Relative to whatever the current folder is: never.
  ASSERT_EQ(CreateFolderPath(Under("relative-victim\\inner").c_str()), 1);
  EXPECT_FALSE(DeleteFolderTree("relative-victim\\", NULL));
  EXPECT_FALSE(DeleteFolderTree("relative-victim", NULL));
  EXPECT_TRUE(FolderExists(Under("relative-victim\\inner").c_str()));
}

// A drive letter mapped onto a scratch folder, so that a refused root can
// be asked for without risking a real drive.
class ScratchDrive : public ::testing::Test {
protected:
  void SetUp() override {
    const char* prefix = getenv("WINEPREFIX");
    if (prefix == NULL || UnixName(WorkFolder()).empty()) GTEST_SKIP() << "needs Wine with WINEPREFIX";
    for (char letter = 'P'; letter <= 'Y' && m_drive == 0; ++letter) {
      char root[4] = {letter, ':', '\\', 0};
      if (GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR) m_drive = letter;
    }
    if (m_drive == 0) GTEST_SKIP() << "no free drive letter";
    m_scratch = Under("scratch-drive");
    ASSERT_EQ(CreateFolderPath((m_scratch + "\\inside").c_str()), 1);
    WriteBytes(m_scratch + "\\keep.txt", "must survive");
    m_link = std::string(prefix) + "/dosdevices/" + static_cast<char>(m_drive + 'a' - 'A') + ":";
    ASSERT_TRUE(RunOnHost("ln -sfn '" + UnixName(m_scratch) + "' '" + m_link + "'"));
    ASSERT_TRUE(WaitFor(Root() + "keep.txt", true)) << "drive " << m_drive << ": not mapped";
  }
  void TearDown() override {
    if (m_drive == 0 || m_link.empty()) return;
    RunOnHost("rm -f '" + m_link + "'");
    WaitFor(Root() + "keep.txt", false);
  }
  std::string Root() const { return std::string(1, m_drive) + ":\\"; }

  char m_drive = 0;
  std::string m_scratch;
  std::string m_link;
};

TEST_F(ScratchDrive, DriveRootsAreRefused) {
  std::string root = Root();
  const std::string paths[] = {
      root,
      root.substr(0, 2),
      root + "inside\\..",
      root + "inside\\..\\",
      root + ".\\",
      root + "\\",
  };
  for (const std::string& path : paths) {
    EXPECT_FALSE(DeleteFolderTree(path.c_str(), NULL)) << path;
    ASSERT_TRUE(Exists(m_scratch + "\\keep.txt")) << "deleted through " << path;
    ASSERT_TRUE(FolderExists((m_scratch + "\\inside").c_str())) << path;
  }
  // A folder on the drive is fine.
  EXPECT_TRUE(DeleteFolderTree((root + "inside\\").c_str(), NULL));
  EXPECT_TRUE(Exists(m_scratch + "\\keep.txt"));
}

TEST(DeleteFolderTree, LinksAreRemovedNeverFollowed) {
  if (UnixName(WorkFolder()).empty()) GTEST_SKIP() << "host links need Wine";
  std::string outside = Under("outside");
  ASSERT_EQ(CreateFolderPath((outside + "\\nested").c_str()), 1);
  WriteBytes(outside + "\\keep.txt", "outside the tree");
  WriteBytes(outside + "\\nested\\keep2.txt", "outside the tree");

  std::string root = Under("linked");
  MakeTree(root);
  ASSERT_TRUE(MakeHostLink(outside, root + "\\sub\\to-outside"));
  ASSERT_TRUE(MakeHostLink(outside + "\\keep.txt", root + "\\file-link.txt"));
  ASSERT_TRUE(Exists(root + "\\sub\\to-outside\\nested\\keep2.txt"));

  BOOL deleted = DeleteFolderTree((root + "\\").c_str(), NULL);
  // Whatever the system lets us remove of the links (Wine follows a host
  // link even to delete it, so there they stay), nothing behind them goes.
  EXPECT_TRUE(Exists(outside + "\\keep.txt"));
  EXPECT_TRUE(Exists(outside + "\\nested\\keep2.txt"));
  EXPECT_FALSE(Exists(root + "\\a.txt"));
  EXPECT_FALSE(Exists(root + "\\sub\\b.mpg"));
  EXPECT_FALSE(Exists(root + "\\sub\\deep"));
  EXPECT_EQ(deleted != FALSE, !Exists(root));

  // The folder asked for is itself a link: the link goes, not its target.
  std::string top = Under("top-link");
  ASSERT_TRUE(MakeHostLink(outside, top));
  DeleteFolderTree((top + "\\").c_str(), NULL);
  EXPECT_TRUE(Exists(outside + "\\keep.txt"));
  EXPECT_TRUE(Exists(outside + "\\nested\\keep2.txt"));
  RunOnHost("rm -rf '" + UnixName(top) + "' '" + UnixName(root) + "'");
}

TEST(RecreateFolder, LeavesTheFolderEmpty) {
  std::string root = Under("again");
  MakeTree(root);
  ASSERT_TRUE(RecreateFolder((root + "\\").c_str(), NULL));
  EXPECT_TRUE(FolderExists(root.c_str()));
  EXPECT_FALSE(Exists(root + "\\a.txt"));
  EXPECT_FALSE(Exists(root + "\\sub"));

  std::string fresh = Under("fresh\\made\\here\\");
  ASSERT_TRUE(RecreateFolder(fresh.c_str(), NULL));
  EXPECT_TRUE(FolderExists(fresh.c_str()));
  EXPECT_FALSE(RecreateFolder("", NULL));
}

// ---- Drives --------------------------------------------------------------------

TEST(Drives, FreeSpaceOfDrives) {
  int free = GetDiskFreeMB('C');
  EXPECT_GT(free, 0);
  EXPECT_GE(GetDiskFreeMB('c'), 0);
  for (char c : {'\\', '1', '\0', ' '}) EXPECT_EQ(GetDiskFreeMB(c), -1) << static_cast<int>(c);
  for (char letter = 'P'; letter <= 'Y'; ++letter) {
    char root[4] = {letter, ':', '\\', 0};
    if (GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR) {
      EXPECT_EQ(GetDiskFreeMB(letter), -1) << letter;
      break;
    }
  }
}

TEST(Drives, FixedDrivesFromCToY) {
  CString letters = GetFixedDriveLetters();
  EXPECT_NE(letters.Find('C'), -1) << letters.GetString();
  for (int i = 0; i < letters.GetLength(); ++i) {
    char letter = letters[i];
    EXPECT_TRUE(letter >= 'C' && letter <= 'Y') << letter;
    char root[4] = {letter, ':', '\\', 0};
    EXPECT_EQ(GetDriveTypeA(root), static_cast<UINT>(DRIVE_FIXED)) << letter;
    if (i > 0) {
      EXPECT_LT(letters[i - 1], letter);
    }
  }
  EXPECT_EQ(letters.Find('Z'), -1);
}

// ---- DirectX version -------------------------------------------------------------

const char kDirectXKey[] = "SOFTWARE\\Microsoft\\DirectX";

struct SavedValue {
  std::string name;
  DWORD type;
  std::vector<BYTE> data;
};

// Keeps the DirectX key of the prefix as it was and puts it back.
class DirectXKey : public ::testing::Test {
protected:
  void SetUp() override {
    HKEY key;
    m_existed = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDirectXKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (!m_existed) return;
    for (DWORD i = 0;; ++i) {
      char name[256];
      DWORD nameSize = sizeof name;
      BYTE data[1024];
      DWORD dataSize = sizeof data;
      DWORD type = 0;
      if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS) break;
      m_saved.push_back({std::string(name, nameSize), type, std::vector<BYTE>(data, data + dataSize)});
    }
    RegCloseKey(key);
  }

  void TearDown() override {
    if (!m_existed) {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDirectXKey);
      return;
    }
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDirectXKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_SUCCESS);
    RegDeleteValueA(key, "Version");
    for (const SavedValue& value : m_saved)
      RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.data(),
                     static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
  }

  void SetVersion(DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDirectXKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_SUCCESS);
    if (data == NULL)
      RegDeleteValueA(key, "Version");
    else
      ASSERT_EQ(RegSetValueExA(key, "Version", 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void SetVersionText(const char* text) { SetVersion(REG_SZ, text, static_cast<DWORD>(strlen(text) + 1)); }

  bool m_existed = false;
  std::vector<SavedValue> m_saved;
};

TEST_F(DirectXKey, VersionTextGivesTheNumber) {
  const struct {
    const char* text;
    int number;
  } cases[] = {
      {"4.09.00.0904", 90}, {"4.09.00.0902", 92}, {"4.08.01.0881", 85},
      {"4.08.00.0400", 80}, {"4.07.00.0716", 71}, {"4.06.02.0436", 60},
      {"4.05.01.1998", 50}, {"4.10.00.0000", 93},
  };
  CMessageBoxScript boxes;
  for (const auto& c : cases) {
    SetVersionText(c.text);
    EXPECT_EQ(GetDirectXVersion(), c.number) << c.text;
  }
  EXPECT_EQ(boxes.Count(), 0);
}

// An opened key without a usable version text is "anything else" (93),
// as the launcher reads it: only a key that cannot be opened is unreadable.
TEST_F(DirectXKey, OpenedKeyWithoutAUsableVersionGives93) {
  const DWORD number = 9;
  const struct {
    const char* what;
    DWORD type;
    const void* data;
    DWORD size;
  } cases[] = {
      {"no value", REG_SZ, NULL, 0},
      {"a number", REG_DWORD, &number, sizeof number},
      {"too short", REG_SZ, "4.", 3},
      {"empty", REG_SZ, "", 1},
  };
  CMessageBoxScript boxes;
  for (const auto& c : cases) {
    SetVersion(c.type, c.data, c.size);
    EXPECT_EQ(GetDirectXVersion(), 93) << c.what;
  }
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(DirectXKey, MissingKeySaysSoAndGivesMinusOne) {
  SetVersionText("4.09.00.0904");
  // The key as Wine makes it holds no subkeys, so it can go.
  if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDirectXKey) != ERROR_SUCCESS) GTEST_SKIP() << "key not removable";
  CMessageBoxScript boxes;
  EXPECT_EQ(GetDirectXVersion(), -1);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_STREQ(boxes.LastText(), "Failed to read register!  ");
}

}  // namespace
