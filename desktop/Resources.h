// Named resources embedded in the program: raw data, bitmaps, icons, cursors
// and strings, looked up by type and name (names compare case-insensitively).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

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

}  // namespace desktop
