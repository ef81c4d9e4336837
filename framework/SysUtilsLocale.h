#pragma once

namespace fw {

// Process-wide separators that every float conversion reads at the moment it runs.
// Changed only on the GUI thread (start-up and a settings change).
extern char DecimalSeparator;   // default '.'
extern char ThousandSeparator;  // default ','

inline constexpr char DefaultDecimalSeparator = '.';
inline constexpr char DefaultThousandSeparator = ',';

// Fills both separators from the user's locale: the first character of each locale entry,
// the default when the locale has none. A program calls it once at start-up, before anything
// converts a number; the application calls it again when the regional settings change.
void GetFormatSettings();

}  // namespace fw
