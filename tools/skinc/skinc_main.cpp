// skinc: compiles a skin description and its BMP artwork into a packed
// skin file (u32 unpacked length + LZO1X skin stream, version 1.16).
//
//   skinc [-I artwork-dir]... [--stream plain-out] description output
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
    std::fprintf(stderr, "usage: skinc [-I artwork-dir]... [--stream plain-out] description output\n");
    return 2;
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
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-I" && i + 1 < argc)
            dirs.push_back(argv[++i]);
        else if (a == "--stream" && i + 1 < argc)
            streamOut = argv[++i];
        else if (!a.empty() && a[0] == '-')
            return Usage();
        else
            files.push_back(a);
    }
    if (files.size() != 2)
        return Usage();

    std::ifstream in(files[0], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: error: cannot read the description\n", files[0].c_str());
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    SkinDescriptionCompiler compiler(dirs);
    if (!compiler.Compile(files[0], text.str())) {
        for (const std::string& e : compiler.Errors())
            std::fprintf(stderr, "%s\n", e.c_str());
        return 1;
    }
    std::vector<uint8_t> stored, plain;
    if (!BuildSkinFile(compiler.Package(), stored, &plain)) {
        std::fprintf(stderr, "%s: error: packing failed\n", files[1].c_str());
        return 1;
    }
    if (!WriteFile(files[1], stored) || (!streamOut.empty() && !WriteFile(streamOut, plain))) {
        std::fprintf(stderr, "%s: error: cannot write the output\n", files[1].c_str());
        return 1;
    }
    return 0;
}
