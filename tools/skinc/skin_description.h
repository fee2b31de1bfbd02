// Reads a skin description (our readable source of a skin) into a
// SkinPackage, checking it as it goes. Errors are "file:line: message".
//
// The description, line by line (a line starting with '#' is a comment, as
// is the rest of a line after " # "):
//
//   [Application Application]          a section: type name, object name
//   AUTHOR = "Quorbel"                  a field: NAME = value
//   [FrameWnd Dialog]
//   ACTIVEFRAME.TOPLEFT = dialog.bmp 0 0 86 30 stretch
//   [CaptionButton DlgClose in Dialog]  a child: "in" and its parent's path
//   ACTION = 1                          (names joined by '/')
//   [Image dialog.bmp]                  a bitmap of the skin
//   FILE = dialog.bmp                   BMP file, found beside the
//                                       description or in an artwork folder
//   [Voice click.wav]                   a sound name
//
// Field names are the property names of the type or its field names (see
// the data classes); case does not matter; an embedded object's fields
// take its field name as prefix ("MENUBAR.FONT"). Values by kind:
//   colour        #RRGGBB
//   bool          0 1 yes no true false
//   int, u32      decimal or 0x hex; byte 0..255
//   text          "quoted" (\" \\ \n) or the bare rest of the line
//   rect          left top right bottom
//   words         as many numbers as the field holds
//   image         NAME left top right bottom [natural|tile|stretch|N]   or: none
//   layout image  NAME left top right bottom [margins L T R B] [layout N]   or: none
//   font          "Face" height [weight N] [italic] [underline] [strikeout]
//                 [charset N] [quality N] [pitch N] [width N] [color #RRGGBB]
//   text effect   [text #RRGGBB] [shadow #RRGGBB] [offset X Y] [flags N] [alpha N]
//   STYLESHEET    (Tooltip) text of any length
//   ENTRY         (generic object, repeatable) NAME color|int|bool|string VALUE [text "..."]
// Images named by references must exist and the rectangles must lie inside
// them. Several descriptions compiled one after another make one skin.
// A skin of an older stream version (1.11 and later) leaves out the fields
// its readers do not read; a description that sets one is refused.
#ifndef QUORBEL_TOOLS_SKINC_SKIN_DESCRIPTION_H
#define QUORBEL_TOOLS_SKINC_SKIN_DESCRIPTION_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/skin_package.h"

class SkinDescriptionCompiler {
public:
    // Image files are looked up beside the description, then in these
    // folders; minor is the version of the stream the skin is written as.
    explicit SkinDescriptionCompiler(std::vector<std::string> artworkDirs = {},
                                     uint8_t minor = SkinPackage::kMinorVersion);
    ~SkinDescriptionCompiler();

    // Reads the description text (path names it in messages and locates
    // the images). False when any error was found.
    bool Compile(const std::string& path, const std::string& text);
    const std::vector<std::string>& Errors() const { return errors_; }
    SkinPackage& Package() { return *package_; }

private:
    struct State;
    std::unique_ptr<SkinPackage> package_;
    std::vector<std::string> artworkDirs_;
    std::vector<std::string> errors_;
    uint8_t minor_;
};

// Writes the package as a skin stream of version 1.minor and packs it
// (u32 length + LZO1X). plain, when given, receives the unpacked stream.
// A skin that the library's loader would refuse (past its unpacked length
// or its budgets) is not built: false, with the reason in refusal.
bool BuildSkinFile(const SkinPackage& package, std::vector<uint8_t>& stored,
                   std::vector<uint8_t>* plain = nullptr, uint8_t minor = SkinPackage::kMinorVersion,
                   std::string* refusal = nullptr);

#endif
