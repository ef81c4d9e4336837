#include "desktop/Locale.h"

#include <langinfo.h>
#include <locale.h>
#include <climits>
#include <clocale>
#include <map>
#include <mutex>

#include "desktop/Codepage.h"

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

std::optional<std::string> FromEnvironment(UINT item)
{
    locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return std::nullopt;
    locale_t previous = uselocale(loc);
    const lconv* lc = localeconv();
    std::optional<std::string> r;
    auto text = [](const char* s) -> std::optional<std::string> {
        if (!s || !*s) return std::nullopt;
        return Utf8ToCp1252(s);
    };
    switch (item) {
        case LOCALE_SDECIMAL: r = text(lc->decimal_point); break;
        case LOCALE_STHOUSAND: r = text(lc->thousands_sep); break;
        case LOCALE_SCURRENCY: r = text(lc->currency_symbol); break;
        case LOCALE_SMONDECIMALSEP: r = text(lc->mon_decimal_point); break;
        case LOCALE_SMONTHOUSANDSEP: r = text(lc->mon_thousands_sep); break;
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

void ClearLocaleOverrides()
{
    std::lock_guard lock(OverrideMutex());
    Overrides().clear();
}

}  // namespace desktop
