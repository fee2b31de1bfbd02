// Pure rules of the owner-drawn menu: which Windows it runs on, how large
// an item is, where the icon column, icon boxes and marks of both looks
// stand, how an item's text splits at its TABs and how far shortcut texts
// are padded. No GDI here, so the geometry is tested without a window.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <string>

namespace quorbel_controls {

// ---- Windows version class ----------------------------------------------------------

enum MenuVersionClass {
  kMenuWin3x = 0,     // the old 16-bit API (Win32s)
  kMenuOtherNt = 1,   // an NT-family system not listed below
  kMenuOther9x = 2,   // a Windows 95 family system not listed below
  kMenuWin98 = 3,     // 4.10
  kMenuWinMe = 4,     // 4.90
  kMenuNt4 = 5,
  kMenuWin2000 = 6,
  kMenuWinXp = 7,     // 5.1
};

// platformId as in OSVERSIONINFO: 0 Win32s, 1 Windows 95 family, 2 NT family.
inline int ComputeMenuVersionClass(unsigned platformId, unsigned major, unsigned minor) {
  switch (platformId) {
    case 0:
      return kMenuWin3x;
    case 1:
      if (major == 4 && minor == 10) return kMenuWin98;
      if (major == 4 && minor == 90) return kMenuWinMe;
      return kMenuOther9x;
    case 2:
      if (major == 4) return kMenuNt4;
      if (major == 5 && minor == 0) return kMenuWin2000;
      if (major == 5 && minor == 1) return kMenuWinXp;
      return kMenuOtherNt;
    default:
      return kMenuOtherNt;
  }
}

// The current desktop theme file is the classic one: its name ends, in
// any case, with "Windows Classic.theme".
inline bool IsClassicThemeFile(const char* path) {
  static const char kClassic[] = "Windows Classic.theme";
  if (path == nullptr) return false;
  size_t length = std::strlen(path), suffix = sizeof(kClassic) - 1;
  if (length < suffix) return false;
  const char* tail = path + length - suffix;
  for (size_t i = 0; i < suffix; ++i) {
    if (std::tolower(static_cast<unsigned char>(tail[i])) != std::tolower(static_cast<unsigned char>(kClassic[i])))
      return false;
  }
  return true;
}

// ---- Measuring ---------------------------------------------------------------------------

// Space between the icon and the text; the raised icons of the XP look need more.
inline int MenuIconGap(bool xpLook, bool raisedIcons) { return xpLook && raisedIcons ? 7 : 4; }

inline int MenuSeparatorHeight(int iconHeight, int gap, int menuBarHeight) {
  return std::max((iconHeight + gap) / 2, menuBarHeight / 2);
}

inline int MenuItemHeight(int iconHeight, int gap, int menuBarHeight) {
  return std::max(iconHeight + gap, menuBarHeight);
}

// The measured text grows by 3 and by three average characters (none for
// an empty text), then by the icon column of the look.
inline int MenuItemWidth(int textWidth, int charCount, int iconWidth, int gap, bool xpLook) {
  int width = textWidth + 3;
  if (charCount > 0) width += 3 * (width / charCount);
  return width + (xpLook ? iconWidth + gap + 8 : 2 * iconWidth + 1);
}

// ---- Item geometry ----------------------------------------------------------------------------

struct MenuRect {
  int left, top, right, bottom;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct MenuPoint {
  int x, y;
};

// The flat XP look: an icon column on the left, the image centred in it.
struct XpMenuGeometry {
  MenuRect column;         // icon width + gap wide
  MenuRect iconBox;        // the column less one pixel on each side
  MenuPoint image;         // top-left of the image
  MenuRect markSquare;     // 16 x 16 square behind a drawn check or radio mark
  MenuPoint mark;          // corner of the mark itself
  int textLeft;            // the text starts here
  int shortcutRight;       // the shortcut text is right-aligned to here
  MenuRect separatorEdge;  // the etched line runs along this rectangle's top
};

inline XpMenuGeometry ComputeXpMenuGeometry(const MenuRect& item, int iconWidth, int iconHeight, int gap) {
  XpMenuGeometry g;
  int columnWidth = iconWidth + gap;
  int height = item.Height();
  g.column = {item.left, item.top, item.left + columnWidth, item.bottom};
  g.iconBox = {item.left + 1, item.top + 1, g.column.right - 1, item.bottom - 1};
  g.image = {item.left + std::max(0, (columnWidth - iconWidth + 1) / 2),
             item.top + std::max(0, (height - iconHeight + 1) / 2)};
  int sx = item.left + std::max(0, (columnWidth - 16 + 1) / 2);
  int sy = item.top + std::max(0, (height - 16 + 1) / 2);
  g.markSquare = {sx, sy, sx + 16, sy + 16};
  g.mark = {sx + 5, sy + 4};
  g.textLeft = g.column.right + 8;
  g.shortcutRight = item.right - iconWidth;
  g.separatorEdge = {g.column.right + gap, item.top + height / 2, item.right, item.bottom};
  return g;
}

// The classic 3-D look: a box around the image, vertically centred, never
// above the item's top.
struct ClassicMenuGeometry {
  int offset;              // d: (height - icon height - 4) / 2, at least 0
  MenuRect smallBox;       // filled behind the image
  MenuRect frameBox;       // carries the 3-D frame
  MenuRect markBox;        // behind a drawn check or radio mark
  MenuPoint image;         // top-left of the image
  MenuRect text;           // text rectangle, one pixel above the item
  MenuRect shortcut;       // the shortcut's rectangle (text less the icon width)
  MenuRect separatorEdge;  // the etched line runs along this rectangle's top
  int selectionLeft;       // a selected item with an image is highlighted from here
};

inline ClassicMenuGeometry ComputeClassicMenuGeometry(const MenuRect& item, int iconWidth, int iconHeight) {
  ClassicMenuGeometry g;
  int d = std::max(0, (item.Height() - iconHeight - 4) / 2);
  int l = item.left, t = item.top;
  g.offset = d;
  g.smallBox = {l + 1, t + d + 1, l + iconWidth + 3, t + d + iconHeight + 3};
  g.frameBox = {l, t + d, l + iconWidth + 4, t + d + iconHeight + 4};
  g.markBox = {l + 1, t + d + 2, l + iconWidth + 1, t + d + iconHeight + 2};
  g.image = {l + 2, t + d + 2};
  g.text = {l + iconWidth + 9, t - 1, item.right, item.bottom - 1};
  g.shortcut = g.text;
  g.shortcut.right -= iconWidth;
  g.separatorEdge = item;
  g.separatorEdge.top += item.Height() / 2;
  g.selectionLeft = l + iconWidth + 5;
  return g;
}

// Corner of a drawn mark in the classic look's mark box.
inline MenuPoint ClassicMarkCorner(const MenuRect& markBox, bool radio) {
  return {markBox.left + (radio ? 5 : 4), markBox.top + 4};
}

// The check mark: seven vertical strokes of three pixels; stroke i covers
// rows y + CheckMarkRise(i) to y + CheckMarkRise(i) + 2 of column x + i.
inline int CheckMarkRise(int i) {
  static const int kRise[7] = {2, 3, 4, 3, 2, 1, 0};
  return i >= 0 && i < 7 ? kRise[i] : 0;
}

// ---- Item texts ---------------------------------------------------------------------------

// An item text split at its TABs: the label before the first (or last) TAB
// and the shortcut after the last.
template <class String>
struct MenuTextParts {
  String label;
  String shortcut;
  bool hasTab = false;
};

// The text cut at labelEnd (a TAB's place, or npos when there is none);
// the shortcut is what follows the last TAB.
template <class String>
MenuTextParts<String> CutMenuText(const String& text, typename String::size_type labelEnd) {
  MenuTextParts<String> parts;
  if (labelEnd == String::npos) {
    parts.label = text;
    return parts;
  }
  parts.hasTab = true;
  parts.label = text.substr(0, labelEnd);
  parts.shortcut = text.substr(text.rfind(typename String::value_type('\t')) + 1);
  return parts;
}

// The XP look: the label ends at the last TAB.
template <class String>
MenuTextParts<String> SplitAtLastTab(const String& text) {
  return CutMenuText(text, text.rfind(typename String::value_type('\t')));
}

// The classic look: the label ends at the first TAB, the shortcut starts
// after the last.
template <class String>
MenuTextParts<String> SplitAtTabs(const String& text) {
  return CutMenuText(text, text.find(typename String::value_type('\t')));
}

// ---- Shortcut alignment ----------------------------------------------------------------------

// Most spaces one label is ever padded with.
const int kMaxMenuPadding = 256;

// How many spaces to append to a label so that its width reaches target.
// widthWith(n) is the width of the label followed by n spaces. Stops when
// a space adds no width (a font without a visible space) or at the cap,
// so it always ends.
inline int MenuPaddingSpaces(int target, const std::function<int(int)>& widthWith) {
  int spaces = 0;
  int width = widthWith(0);
  while (width < target && spaces < kMaxMenuPadding) {
    int wider = widthWith(spaces + 1);
    if (wider <= width) break;
    ++spaces;
    width = wider;
  }
  return spaces;
}

}  // namespace quorbel_controls
