// The hyperlink's way to a browser, as text: the command line built from
// the registered open command and the URL, and the texts of the shell's
// failure codes. Platform-neutral so it is tested natively.
#pragma once

#include <string>

namespace quorbel_controls {

// A "mailto" link goes to the shell; the comparison is case-sensitive.
bool IsMailtoUrl(const std::string& url);

// The registered command cut before its "%1" placeholder: at the first
// quoted "%1" (quotes included), else at the first plain one; the whole
// command when it has none.
std::string CutAtPlaceholder(const std::string& command);

// The URL as exactly one command-line argument: in double quotes, with
// the characters that could end the quoted argument or start another one
// (double quotes, blanks, control characters) percent-encoded, and a
// trailing backslash run doubled so it cannot escape the closing quote.
std::string QuoteUrlArgument(const std::string& url);

// The browser command line: the cut command, a blank, the quoted URL.
std::string BrowserCommandLine(const std::string& registeredCommand, const std::string& url);

// The explanation of a shell or WinExec result code (32 or less), as the
// failure message shows it after "Unable to open hyperlink:\n".
std::string HyperlinkErrorText(int code);

}  // namespace quorbel_controls
