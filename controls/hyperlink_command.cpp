// Browser command lines and failure texts of the hyperlink.
#include "controls/hyperlink_command.h"

#include <cstdio>

namespace quorbel_controls {

bool IsMailtoUrl(const std::string& url) { return url.compare(0, 6, "mailto") == 0; }

std::string CutAtPlaceholder(const std::string& command) {
  std::string::size_type at = command.find("\"%1\"");
  if (at == std::string::npos) at = command.find("%1");
  return at == std::string::npos ? command : command.substr(0, at);
}

std::string QuoteUrlArgument(const std::string& url) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string quoted = "\"";
  for (char ch : url) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c <= 0x20 || c == 0x7F) {
      quoted += '%';
      quoted += kHex[c >> 4];
      quoted += kHex[c & 0x0F];
    } else {
      quoted += ch;
    }
  }
  // Backslashes right before a quote escape it; doubled they stay literal.
  std::string::size_type run = 0;
  while (run + 1 < quoted.size() && quoted[quoted.size() - 1 - run] == '\\') ++run;
  quoted.append(run, '\\');
  quoted += '"';
  return quoted;
}

std::string BrowserCommandLine(const std::string& registeredCommand, const std::string& url) {
  return CutAtPlaceholder(registeredCommand) + " " + QuoteUrlArgument(url);
}

std::string HyperlinkErrorText(int code) {
  switch (code) {
    case 0:
      return "The operating system is out\nof memory or resources.";
    case 2:
      return "The specified file was not found.";
    case 3:
      return "The specified path was not found.";
    case 5:
      return "The operating system denied\naccess to the specified file.";
    case 8:
      return "There was not enough memory to complete the operation.";
    case 11:
      return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26:
      return "A sharing violation occurred. ";
    case 27:
      return "The filename association is\nincomplete or invalid.";
    case 28:
      return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29:
      return "The DDE transaction failed.";
    case 30:
      return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case 31:
      return "There is no application associated\nwith the given filename extension.";
    case 32:
      return "The specified dynamic-link library was not found.";
    default: {
      char text[64];
      std::snprintf(text, sizeof(text), "Unknown Error (%d) occurred.", code);
      return text;
    }
  }
}

}  // namespace quorbel_controls
