// Locale queries: number and currency formats from the user's POSIX locale.
#pragma once

#include <optional>
#include <string>

#include "desktop/Types.h"

namespace desktop {

enum : UINT {
    LOCALE_SDECIMAL = 14,
    LOCALE_STHOUSAND = 15,
    LOCALE_SCURRENCY = 20,
    LOCALE_SMONDECIMALSEP = 22,
    LOCALE_SMONTHOUSANDSEP = 23,
    LOCALE_ICURRDIGITS = 25,
    LOCALE_ICURRENCY = 27,
    LOCALE_INEGCURR = 28,
    LOCALE_SSHORTDATE = 31,         // a picture of d, M and y runs: "dd/MM/yyyy"
    LOCALE_SMONTHNAME1 = 56,        // … LOCALE_SMONTHNAME1 + 11
    LOCALE_SABBREVMONTHNAME1 = 68,  // … LOCALE_SABBREVMONTHNAME1 + 11
};
enum : DWORD { LOCALE_USER_DEFAULT = 0x0400, LOCALE_SYSTEM_DEFAULT = 0x0800 };

// The value in code page 1252, or nullopt when the locale has none (or one the code page
// cannot show). Separators come from LC_NUMERIC, currency entries from LC_MONETARY.
std::optional<std::string> GetLocaleInfo(DWORD locale, UINT item);
// Tests pin the answers; an empty name goes back to the environment's locale.
void SetLocaleOverride(UINT item, std::optional<std::string> value);
void ClearLocaleOverrides();

// What the system does when the user changes the regional settings: WM_SETTINGCHANGE with the
// section "intl" sent to every top-level window of the calling thread, hidden ones included.
void NotifyLocaleChange();

}  // namespace desktop
