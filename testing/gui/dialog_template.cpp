// In-memory dialog templates.
#include "testing/gui/gui_test.h"

namespace guitest {

namespace {

void PutString(std::vector<WORD>& out, const std::string& text) {
  // The templates hold UTF-16; the test texts are ASCII.
  for (unsigned char c : text) out.push_back(c);
  out.push_back(0);
}

void PutDword(std::vector<WORD>& out, DWORD value) {
  out.push_back(LOWORD(value));
  out.push_back(HIWORD(value));
}

void AlignDword(std::vector<WORD>& out) {
  if (out.size() % 2 != 0) out.push_back(0);
}

}  // namespace

DialogTemplate::DialogTemplate(const std::string& title, int x, int y, int cx, int cy, DWORD style)
    : title_(title), x_(x), y_(y), cx_(cx), cy_(cy), style_(style) {}

DialogTemplate& DialogTemplate::Add(const std::string& className, int id, const std::string& text, int x, int y,
                                    int cx, int cy, DWORD style, DWORD exStyle) {
  items_.push_back({className, text, 0, id, x, y, cx, cy, style | WS_CHILD | WS_VISIBLE, exStyle});
  return *this;
}

DialogTemplate& DialogTemplate::AddWithResource(const std::string& className, int id, WORD resourceId, int x,
                                                int y, int cx, int cy, DWORD style, DWORD exStyle) {
  items_.push_back({className, "", resourceId, id, x, y, cx, cy, style | WS_CHILD | WS_VISIBLE, exStyle});
  return *this;
}

DialogTemplate& DialogTemplate::Button(int id, const std::string& text, int x, int y, int cx, int cy, DWORD style) {
  return Add("BUTTON", id, text, x, y, cx, cy, style);
}

DialogTemplate& DialogTemplate::Edit(int id, int x, int y, int cx, int cy, DWORD style) {
  return Add("EDIT", id, "", x, y, cx, cy, style);
}

DialogTemplate& DialogTemplate::Static(int id, const std::string& text, int x, int y, int cx, int cy, DWORD style) {
  return Add("STATIC", id, text, x, y, cx, cy, style);
}

const DLGTEMPLATE* DialogTemplate::Get() {
  std::vector<WORD>& b = buffer_;
  b.clear();
  // DLGTEMPLATE: style, extended style, item count, x, y, cx, cy.
  PutDword(b, style_ | DS_SETFONT);
  PutDword(b, 0);
  b.push_back(static_cast<WORD>(items_.size()));
  b.push_back(static_cast<WORD>(x_));
  b.push_back(static_cast<WORD>(y_));
  b.push_back(static_cast<WORD>(cx_));
  b.push_back(static_cast<WORD>(cy_));
  b.push_back(0);  // no menu
  b.push_back(0);  // the standard dialog class
  PutString(b, title_);
  b.push_back(8);  // font size (DS_SETFONT)
  PutString(b, "MS Shell Dlg");
  for (const Item& item : items_) {
    AlignDword(b);
    // DLGITEMTEMPLATE: style, extended style, x, y, cx, cy, id.
    PutDword(b, item.style);
    PutDword(b, item.exStyle);
    b.push_back(static_cast<WORD>(item.x));
    b.push_back(static_cast<WORD>(item.y));
    b.push_back(static_cast<WORD>(item.cx));
    b.push_back(static_cast<WORD>(item.cy));
    b.push_back(static_cast<WORD>(item.id));
    PutString(b, item.className);
    if (item.resourceId != 0) {
      b.push_back(0xFFFF);  // an ordinal follows
      b.push_back(item.resourceId);
    } else {
      PutString(b, item.text);
    }
    b.push_back(0);  // no creation data
  }
  return reinterpret_cast<const DLGTEMPLATE*>(b.data());
}

}  // namespace guitest
