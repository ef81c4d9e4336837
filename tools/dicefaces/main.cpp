// dicefaces: draws the die's face pictures and its cursors from readable descriptions.
//
//   dicefaces faces faces.txt OUTDIR     writes OUTDIR/<image name>.bmp for every picture
//                                        (packed DIBs, as bitmap resources hold them)
//   dicefaces cursor cursor.txt OUT      writes one cursor resource
//   dicefaces icon faces.txt NAME OUTDIR the program's icon from picture NAME: the group icon
//                                        resource OUTDIR/icon.grp listing the image resources
//                                        OUTDIR/icon-<size>.img (numbered from 1 in the order
//                                        of kResourceSizes), and OUTDIR/<size>.png for the
//                                        desktop's icon theme
//
// The description syntax is documented in Faces.cpp and Cursors.h.
// Errors are reported as "file:line: message" with exit code 1.

#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "Cursors.h"
#include "Faces.h"
#include "Icon.h"
#include "SourceText.h"

namespace {

// Windows pick the icon image nearest their size; the desktop's icon theme wants these PNGs.
constexpr int kResourceSizes[] = {16, 32, 48, 64};
constexpr int kPngSizes[] = {16, 24, 32, 48, 64, 128, 256};

int Usage()
{
    std::cerr << "usage: dicefaces faces faces.txt OUTDIR\n"
                 "       dicefaces cursor cursor.txt OUT\n"
                 "       dicefaces icon faces.txt NAME OUTDIR\n";
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

bool WriteIcon(const std::vector<dicefaces::PaletteImage>& images, const std::string& name,
               const std::filesystem::path& dir)
{
    const dicefaces::PaletteImage* picture = nullptr;
    for (const dicefaces::PaletteImage& image : images) {
        if (image.name == name) picture = &image;
    }
    if (!picture) {
        std::cerr << "no picture named " << name << "\n";
        return false;
    }
    const dicefaces::RgbaImage source = dicefaces::TransparentImage(*picture);
    std::vector<dicefaces::RgbaImage> resourceImages;
    for (const int size : kResourceSizes) {
        resourceImages.push_back(dicefaces::ScaleToSquare(source, size));
        const auto file = "icon-" + std::to_string(size) + ".img";
        if (!WriteFile(dir / file, dicefaces::IconImageResource(resourceImages.back()))) return false;
    }
    if (!WriteFile(dir / "icon.grp", dicefaces::GroupIconResource(resourceImages, 1))) return false;
    for (const int size : kPngSizes) {
        const auto file = std::to_string(size) + ".png";
        if (!WriteFile(dir / file, dicefaces::PngFile(dicefaces::ScaleToSquare(source, size)))) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool icon = args.size() == 4 && args[0] == "icon";
    if (!icon && (args.size() != 3 || (args[0] != "faces" && args[0] != "cursor"))) {
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
        if (icon) {
            std::filesystem::create_directories(args[3]);
            return WriteIcon(images, args[2], args[3]) ? 0 : 1;
        }
        std::filesystem::create_directories(args[2]);
        for (const dicefaces::PaletteImage& image : images) {
            if (!WriteFile(std::filesystem::path(args[2]) / (image.name + ".bmp"), dicefaces::PackedDib4(image))) {
                return 1;
            }
        }
    } catch (const dicefaces::SourceError& error) {
        std::cerr << args[1] << ":" << error.line << ": " << error.message << "\n";
        return 1;
    } catch (const std::exception& error) {  // file system or libpng
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
