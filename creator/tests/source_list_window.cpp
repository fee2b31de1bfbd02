#include "creator/tests/source_list_window.h"

#include <commctrl.h>

#include "creator/res/creator_resource.h"

namespace program_test {

SourceListWindow::SourceListWindow() : template_("Source files", 5, 5, 300, 120) {
  template_.Add("SysListView32", IDC_MAIN_LIST, "", 5, 5, 290, 110, LVS_REPORT | WS_BORDER);
}

bool SourceListWindow::Open() {
  if (!CreateIndirect(template_.Get())) return false;
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 400;
  column.pszText = const_cast<char*>("   Source Video Files");
  ::SendMessageA(Control(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  column.cx = 100;
  column.pszText = const_cast<char*>(" Duration");
  ::SendMessageA(Control(), LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
  return true;
}

void SourceListWindow::Close() {
  if (GetSafeHwnd() != NULL) DestroyWindow();
}

HWND SourceListWindow::Control() { return ::GetDlgItem(GetSafeHwnd(), IDC_MAIN_LIST); }

void SourceListWindow::AddSource(const std::string& path, const std::string& duration) {
  HWND list = Control();
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<char*>(path.c_str());
  int row = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  item.iItem = row;
  item.iSubItem = 1;
  item.pszText = const_cast<char*>(duration.c_str());
  ::SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace program_test
