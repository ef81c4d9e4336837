#include "desktop/Locale.h"

#include <langinfo.h>
#include <locale.h>
#include <climits>
#include <clocale>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>
#include <vector>

#include "desktop/Codepage.h"
#include "desktop/Messages.h"
#include "desktop/Window.h"

namespace desktop {

namespace {

std::mutex& OverrideMutex()
{
    static std::mutex m;
    return m;
}
std::map<UINT, std::optional<std::string>>& Overrides()
{
    static std::map<UINT, std::optional<std::string>> o;
    return o;
}

// POSIX orders (sign position, symbol placement, separation) mapped to the
// original's positive currency order 0..3 and negative order 0..15.
int PositiveOrder(const lconv* lc)
{
    const bool before = lc->p_cs_precedes == 1;
    const bool space = lc->p_sep_by_space == 1;
    return before ? (space ? 2 : 0) : (space ? 3 : 1);
}

int NegativeOrder(const lconv* lc)
{
    const bool before = lc->n_cs_precedes == 1;
    const bool space = lc->n_sep_by_space == 1;
    switch (lc->n_sign_posn) {
        case 0: return before ? (space ? 14 : 0) : (space ? 15 : 4);
        case 1: return before ? (space ? 9 : 1) : (space ? 8 : 5);
        case 2: return before ? (space ? 11 : 3) : (space ? 10 : 7);
        case 3: return before ? (space ? 12 : 2) : (space ? 13 : 6);
        case 4: return before ? (space ? 11 : 3) : (space ? 13 : 6);
        default: return 1;
    }
}

// Locales group digits with thin or narrow spaces, which 1252 can only show as a no-break space.
std::string TypographicSpacesAsNoBreak(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
        if (utf8.size() - i >= 3 && byte(i) == 0xE2 &&
            ((byte(i + 1) == 0x80 && (byte(i + 2) <= 0x8A || byte(i + 2) == 0xAF)) ||
             (byte(i + 1) == 0x81 && byte(i + 2) == 0x9F))) {
            out += "\xC2\xA0";
            i += 2;
        } else {
            out += utf8[i];
        }
    }
    return out;
}

// A locale entry in code page 1252; nullopt when it is empty or has a character the code
// page lacks (a separator shown as '?' would be worse than the default).
std::optional<std::string> LocaleText(const char* text, bool utf8)
{
    if (text == nullptr || *text == 0) return std::nullopt;
    if (!utf8) return std::string(text);  // the 8859 code sets agree with 1252 where it matters
    std::string converted = Utf8ToCp1252(TypographicSpacesAsNoBreak(text), '\0');
    if (converted.find('\0') != std::string::npos) return std::nullopt;
    return converted;
}

// The user's locale for the given categories, taken from the environment (LC_ALL, the
// category's own variable, LANG); a locale that is not installed reads as "C".
locale_t EnvironmentLocale(int mask)
{
    locale_t loc = newlocale(mask | LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr))
        loc = newlocale(mask | LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

bool IsUtf8(locale_t loc) { return std::strcmp(nl_langinfo_l(CODESET, loc), "UTF-8") == 0; }

std::optional<std::string> NumericFromEnvironment(UINT item)
{
    const locale_t loc = EnvironmentLocale(LC_NUMERIC_MASK);
    if (loc == static_cast<locale_t>(nullptr)) return std::nullopt;
    const char* text = nl_langinfo_l(item == LOCALE_SDECIMAL ? RADIXCHAR : THOUSEP, loc);
    std::optional<std::string> r = LocaleText(text, IsUtf8(loc));
    freelocale(loc);
    return r;
}

std::optional<std::string> MonetaryFromEnvironment(UINT item)
{
    const locale_t loc = EnvironmentLocale(LC_MONETARY_MASK);
    if (loc == static_cast<locale_t>(nullptr)) return std::nullopt;
    const bool utf8 = IsUtf8(loc);
    locale_t previous = uselocale(loc);
    const lconv* lc = localeconv();
    std::optional<std::string> r;
    switch (item) {
        case LOCALE_SCURRENCY: r = LocaleText(lc->currency_symbol, utf8); break;
        case LOCALE_SMONDECIMALSEP: r = LocaleText(lc->mon_decimal_point, utf8); break;
        case LOCALE_SMONTHOUSANDSEP: r = LocaleText(lc->mon_thousands_sep, utf8); break;
        case LOCALE_ICURRDIGITS:
            if (lc->frac_digits != CHAR_MAX) r = std::to_string(int(lc->frac_digits));
            break;
        case LOCALE_ICURRENCY:
            if (lc->p_cs_precedes != CHAR_MAX) r = std::to_string(PositiveOrder(lc));
            break;
        case LOCALE_INEGCURR:
            if (lc->n_cs_precedes != CHAR_MAX) r = std::to_string(NegativeOrder(lc));
            break;
        default: break;
    }
    uselocale(previous);
    freelocale(loc);
    return r;
}

// A POSIX date format (%d/%m/%Y) as the platform's date picture (dd/MM/yyyy); weekdays and
// other fields no date picture has are left out.
std::string DatePictureFromPosix(std::string_view posix)
{
    std::string picture;
    for (std::size_t i = 0; i < posix.size(); ++i) {
        if (posix[i] != '%' || i + 1 == posix.size()) {
            picture += posix[i];
            continue;
        }
        char c = posix[++i];
        // Flags and the E and O modifiers change nothing that matters here.
        while ((c == 'E' || c == 'O' || c == '-' || c == '_' || c == '0' || c == '^' || c == '#') &&
               i + 1 < posix.size()) {
            c = posix[++i];
        }
        switch (c) {
            case 'd': picture += "dd"; break;
            case 'e': picture += "d"; break;
            case 'm': picture += "MM"; break;
            case 'b':
            case 'h': picture += "MMM"; break;
            case 'B': picture += "MMMM"; break;
            case 'y': picture += "yy"; break;
            case 'Y':
            case 'G': picture += "yyyy"; break;
            case 'D': picture += "MM/dd/yy"; break;
            case 'F': picture += "yyyy-MM-dd"; break;
            case '%': picture += '%'; break;
            default: break;
        }
    }
    return picture;
}

std::optional<std::string> TimeFromEnvironment(UINT item)
{
    const locale_t loc = EnvironmentLocale(LC_TIME_MASK);
    if (loc == static_cast<locale_t>(nullptr)) return std::nullopt;
    std::optional<std::string> r;
    if (item == LOCALE_SSHORTDATE) {
        r = LocaleText(DatePictureFromPosix(nl_langinfo_l(D_FMT, loc)).c_str(), IsUtf8(loc));
    } else if (item >= LOCALE_SMONTHNAME1 && item < LOCALE_SMONTHNAME1 + 12) {
        r = LocaleText(nl_langinfo_l(static_cast<nl_item>(MON_1 + int(item - LOCALE_SMONTHNAME1)), loc), IsUtf8(loc));
    } else if (item >= LOCALE_SABBREVMONTHNAME1 && item < LOCALE_SABBREVMONTHNAME1 + 12) {
        r = LocaleText(nl_langinfo_l(static_cast<nl_item>(ABMON_1 + int(item - LOCALE_SABBREVMONTHNAME1)), loc),
                       IsUtf8(loc));
    }
    freelocale(loc);
    return r;
}

std::optional<std::string> FromEnvironment(UINT item)
{
    if (item == LOCALE_SDECIMAL || item == LOCALE_STHOUSAND) return NumericFromEnvironment(item);
    if (item == LOCALE_SSHORTDATE || (item >= LOCALE_SMONTHNAME1 && item < LOCALE_SABBREVMONTHNAME1 + 12))
        return TimeFromEnvironment(item);
    return MonetaryFromEnvironment(item);
}

}  // namespace

std::optional<std::string> GetLocaleInfo(DWORD /*locale*/, UINT item)
{
    {
        std::lock_guard lock(OverrideMutex());
        auto it = Overrides().find(item);
        if (it != Overrides().end()) return it->second;
    }
    return FromEnvironment(item);
}

void SetLocaleOverride(UINT item, std::optional<std::string> value)
{
    std::lock_guard lock(OverrideMutex());
    Overrides()[item] = std::move(value);
}

void NotifyLocaleChange()
{
    static const char kSection[] = "intl";
    std::vector<HWND> windows(static_cast<std::size_t>(EnumThreadTopLevels(nullptr, 0)));
    windows.resize(static_cast<std::size_t>(EnumThreadTopLevels(windows.data(), static_cast<int>(windows.size()))));
    for (HWND window : windows) {
        // A window closed by an earlier one's handler is skipped.
        if (IsWindow(window))
            SendMessage(window, WM_SETTINGCHANGE, 0, LPARAM(reinterpret_cast<std::intptr_t>(kSection)));
    }
}

void ClearLocaleOverrides()
{
    std::lock_guard lock(OverrideMutex());
    Overrides().clear();
}

}  // namespace desktop
