// Stands in for the programs the launcher starts (copied as Vantrel.exe,
// Pelzor.exe and Skarven.exe): appends its own file name and whether the
// launcher's window was visible when it started to "launched.txt" beside
// itself, then runs for a while so that the launcher's wait can be seen.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(NULL, path, sizeof path);
  char* name = strrchr(path, '\\');
  if (name == NULL) return 1;
  *name++ = '\0';
  HWND launcher = FindWindowA(NULL, "Quorbel");
  bool visible = launcher != NULL && IsWindowVisible(launcher);
  char record[MAX_PATH + 16];
  snprintf(record, sizeof record, "%s\\launched.txt", path);
  FILE* out = fopen(record, "ab");
  if (out == NULL) return 1;
  fprintf(out, "%s visible=%d\n", name, visible ? 1 : 0);
  fclose(out);
  Sleep(1500);
  return 0;
}
