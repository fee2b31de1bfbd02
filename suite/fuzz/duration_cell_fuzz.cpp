// The list window reads every row's duration back from its text cell (the
// job dialog reads the same cells): any text, damaged or short, gives a
// duration within what two-digit fields can hold, and a cell written by
// FormatDuration reads back to its tenths.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "suite/app_text_utils.h"
#include "suite/source_list_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  double seconds = DurationCellSeconds(text.c_str());
  if (!(seconds >= 0 && seconds <= 99 * 3600.0 + 99 * 60.0 + 99.9)) abort();

  if (size >= 4) {
    uint32_t tenths = (uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16) % 3600000u;
    CString cell = FormatDuration(tenths / 10.0);
    long long back = static_cast<long long>(DurationCellSeconds(cell) * 10 + 0.5);
    if (back != static_cast<long long>(tenths)) abort();
  }
  return 0;
}
