#pragma once

namespace fw {

// Process-wide separators that every float conversion reads at the moment it runs.
// Changed only on the GUI thread (start-up and a settings change).
extern char DecimalSeparator;   // default '.'
extern char ThousandSeparator;  // default ','

inline constexpr char DefaultDecimalSeparator = '.';
inline constexpr char DefaultThousandSeparator = ',';

// Fills both separators from the user's POSIX locale (LC_NUMERIC from the environment)
// without touching the global C locale; a failed or empty query gives the default.
void ReadLocaleSeparators();

// The same for a named locale ("" is the user's); used by tests and by a settings change.
void ReadLocaleSeparators(const char* localeName);

// The code-page-1252 character for the first character of a locale's separator text: its first
// byte when the text is single-byte, the matching 1252 character when the first UTF-8 code
// point is one that 1252 has (typographic spaces become the no-break space), else fallback.
char SeparatorFromLocaleText(const char* text, bool utf8, char fallback);

}  // namespace fw
