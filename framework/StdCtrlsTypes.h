#pragma once

// Small value types shared by the standard controls.

#include <cstdint>

namespace fw {

enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };
// The border of an edit-like control (a form has its own, richer TFormBorderStyle).
enum class TBorderStyle : std::uint8_t { bsNone, bsSingle };
enum class TEditCharCase : std::uint8_t { ecNormal, ecUpperCase, ecLowerCase };
enum class TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

}  // namespace fw
