// Style sheets of the rich-text renderer: one simple selector per rule,
// declarations in a CSS-like syntax, no comments. Rules are kept by their
// lower-case selector; a selector written twice keeps only its last rule.
#ifndef QUORBEL_SKIN_RICHTEXT_STYLE_SHEET_H
#define QUORBEL_SKIN_RICHTEXT_STYLE_SHEET_H

#include <map>
#include <string>

#include "skin/richtext/rich_values.h"
#include "skin/richtext/text_style.h"

class RichStyleSheet {
public:
    RichStyleSheet() { InitDefaultStyles(); }

    // Replaces every rule. nullptr installs the built-in sheet.
    void SetStyleSheet(const char* text);
    void InitDefaultStyles() { SetStyleSheet(BuiltInText()); }

    // The declaration text of the rule for name (any case), or nullptr.
    const std::string* FindRule(const std::string& name) const;

    const std::string& Text() const { return text_; }
    const std::map<std::string, std::string>& Rules() const { return rules_; }

    static const char* BuiltInText();

private:
    std::string text_;                           // copy of the last sheet given
    std::map<std::string, std::string> rules_;  // selector -> declarations, both lower case
};

// Applies declaration text (any case) to a style, in writing order; unknown
// properties and values that do not parse change nothing.
void ApplyDeclarations(TextStyle& style, const std::string& declarations, LengthMetrics& metrics,
                       const ColorNameMap& colors);

#endif
