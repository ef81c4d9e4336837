// dicefaces: draws the die's face pictures and its cursors from readable descriptions.
//
//   dicefaces faces faces.txt OUTDIR     writes OUTDIR/<image name>.bmp for every picture
//                                        (packed DIBs, as bitmap resources hold them)
//   dicefaces cursor cursor.txt OUT      writes one cursor resource
//
// The description syntax is documented in Faces.cpp and Cursors.h.
// Errors are reported as "file:line: message" with exit code 1.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "Cursors.h"
#include "Faces.h"
#include "SourceText.h"

namespace {

int Usage()
{
    std::cerr << "usage: dicefaces faces faces.txt OUTDIR\n"
                 "       dicefaces cursor cursor.txt OUT\n";
    return 2;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        std::cerr << path.string() << ": cannot write\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() != 3 || (args[0] != "faces" && args[0] != "cursor")) {
        return Usage();
    }
    std::ifstream in(args[1], std::ios::binary);
    if (!in) {
        std::cerr << args[1] << ": cannot open\n";
        return 1;
    }
    try {
        if (args[0] == "cursor") {
            return WriteFile(args[2], dicefaces::CursorResource(dicefaces::ReadCursor(in))) ? 0 : 1;
        }
        const std::vector<dicefaces::PaletteImage> images = dicefaces::DrawFaces(in);
        std::filesystem::create_directories(args[2]);
        for (const dicefaces::PaletteImage& image : images) {
            if (!WriteFile(std::filesystem::path(args[2]) / (image.name + ".bmp"), dicefaces::PackedDib4(image))) {
                return 1;
            }
        }
    } catch (const dicefaces::SourceError& error) {
        std::cerr << args[1] << ":" << error.line << ": " << error.message << "\n";
        return 1;
    } catch (const std::filesystem::filesystem_error& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
