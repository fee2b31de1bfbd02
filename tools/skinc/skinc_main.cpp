// skinc: compiles skin descriptions and their BMP artwork into one packed
// skin file (u32 unpacked length + LZO1X skin stream, version 1.16 unless
// --version names an older one, from 1.11 on).
//
//   skinc [-I artwork-dir]... [--version 1.N] [--stream plain-out] description... output
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/skinc/skin_description.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: skinc [-I artwork-dir]... [--version 1.N] [--stream plain-out] description... output\n");
    return 2;
}

// "1.11" .. "1.16": the minor version; 0 for anything else.
uint8_t ParseVersion(const std::string& text)
{
    for (int minor = 11; minor <= SkinPackage::kMinorVersion; ++minor)
        if (text == "1." + std::to_string(minor))
            return uint8_t(minor);
    return 0;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> dirs, files;
    std::string streamOut;
    uint8_t minor = SkinPackage::kMinorVersion;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-I" && i + 1 < argc)
            dirs.push_back(argv[++i]);
        else if (a == "--version" && i + 1 < argc) {
            if (!(minor = ParseVersion(argv[++i]))) {
                std::fprintf(stderr, "skinc: error: --version takes 1.11 to 1.%d\n", SkinPackage::kMinorVersion);
                return 2;
            }
        } else if (a == "--stream" && i + 1 < argc)
            streamOut = argv[++i];
        else if (!a.empty() && a[0] == '-')
            return Usage();
        else
            files.push_back(a);
    }
    if (files.size() < 2)
        return Usage();
    const std::string output = files.back();
    files.pop_back();

    SkinDescriptionCompiler compiler(dirs, minor);
    for (const std::string& path : files) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "%s: error: cannot read the description\n", path.c_str());
            return 1;
        }
        std::ostringstream text;
        text << in.rdbuf();
        compiler.Compile(path, text.str());
    }
    if (!compiler.Errors().empty()) {
        for (const std::string& e : compiler.Errors())
            std::fprintf(stderr, "%s\n", e.c_str());
        return 1;
    }
    std::vector<uint8_t> stored, plain;
    std::string refusal;
    if (!BuildSkinFile(compiler.Package(), stored, &plain, minor, &refusal)) {
        std::fprintf(stderr, "%s: error: %s\n", output.c_str(), refusal.c_str());
        return 1;
    }
    if (!WriteFile(output, stored) || (!streamOut.empty() && !WriteFile(streamOut, plain))) {
        std::fprintf(stderr, "%s: error: cannot write the output\n", output.c_str());
        return 1;
    }
    return 0;
}
