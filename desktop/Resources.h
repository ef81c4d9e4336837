// Named resources embedded in the program: raw data, bitmaps, icons, cursors
// and strings, looked up by type and name (names compare case-insensitively).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "desktop/Types.h"

namespace desktop {

enum : int {
    RT_CURSOR = 1,
    RT_BITMAP = 2,
    RT_ICON = 3,
    RT_STRING = 6,
    RT_RCDATA = 10,
    RT_GROUP_CURSOR = 12,
    RT_GROUP_ICON = 14
};

// The data must outlive the program (embedded arrays do). A later registration replaces an earlier one.
void RegisterResource(int type, const std::string& name, std::span<const std::uint8_t> data);
std::optional<std::span<const std::uint8_t>> FindResource(int type, const std::string& name);
// Resources named by number use the name "#<number>".
std::string ResourceIdName(UINT id);

void RegisterString(UINT id, const std::string& text);
// nullopt when the string table has no such entry.
std::optional<std::string> LoadString(UINT id);

// ---- Icons ----

// An icon image as displays take it: straight alpha, 0xAARRGGBB, rows top to bottom.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// An icon image resource (RT_ICON) as our resource tool writes it: a BITMAPINFOHEADER whose
// height is twice the image's, 32-bit BGRA rows bottom-up, then the 1-bit AND mask. When the
// colour rows carry no alpha at all, the mask decides what is transparent. nullopt for other
// formats and for anything truncated or inconsistent.
std::optional<IconImage> ParseIconImageResource(std::span<const std::uint8_t> data);

// From the group icon resource `name` (RT_GROUP_ICON, whose entries name RT_ICON resources by
// number), the image `size` pixels wide, else the smallest wider one, else the widest. nullopt
// when the group or the chosen image is missing or unreadable.
std::optional<IconImage> LoadIconImage(const std::string& name, int size);

// The program's icon, which the display gives every top-level window; nullopt leaves the
// display's default. A change gives a new object, so displays compare pointers to notice it.
void SetApplicationIcon(std::optional<IconImage> icon);
std::shared_ptr<const IconImage> ApplicationIcon();

}  // namespace desktop
