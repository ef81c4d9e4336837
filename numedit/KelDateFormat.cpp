#include "numedit/KelDateFormat.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

#include "desktop/Locale.h"
#include "framework/ClassesBuilder.h"
#include "framework/SysUtilsExceptions.h"

namespace numedit {

namespace {

// 30 December 1899, the day the date count starts from.
constexpr std::chrono::sys_days kDateEpoch = std::chrono::sys_days(std::chrono::year(1899) / 12 / 30);

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Letters of code page 1252, accented ones included.
bool IsWordChar(char c) { return (Lower(c) >= 'a' && Lower(c) <= 'z') || static_cast<unsigned char>(c) >= 0xC0; }

// One piece of a pattern: a field ('d', 'm', 'y' with its run length) or literal text.
struct PatternPiece {
    char field;  // '\0' for a literal
    int width;
    char literal;
};

std::vector<PatternPiece> ParsePattern(const std::string& pattern)
{
    std::vector<PatternPiece> pieces;
    for (std::size_t i = 0; i < pattern.size();) {
        const char f = Lower(pattern[i]);
        if (f == 'd' || f == 'm' || f == 'y') {
            std::size_t j = i;
            while (j < pattern.size() && Lower(pattern[j]) == f) {
                ++j;
            }
            pieces.push_back({f, static_cast<int>(j - i), '\0'});
            i = j;
        } else {
            pieces.push_back({'\0', 0, pattern[i]});
            ++i;
        }
    }
    return pieces;
}

// The fields in the order the pattern writes them, each once.
std::string FieldOrder(const std::string& pattern)
{
    std::string order;
    for (const PatternPiece& p : ParsePattern(pattern)) {
        if (p.field != '\0' && order.find(p.field) == std::string::npos) {
            order += p.field;
        }
    }
    return order;
}

std::tm LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

// A POSIX date format ("%d/%m/%Y") in the pattern language.
// The platform's date picture (dd/MM/yyyy) in the field's own letters (dd/mm/yyyy).
std::string PatternFromPicture(std::string_view picture)
{
    std::string pattern(picture);
    std::replace(pattern.begin(), pattern.end(), 'M', 'm');
    return pattern;
}

// The long form: the short form's field order with the month written out.
std::string LongPatternFor(const std::string& shortPattern)
{
    const std::string order = FieldOrder(shortPattern);
    if (order.rfind("ym", 0) == 0) {
        return "yyyy mmmm d";
    }
    if (order.rfind("md", 0) == 0) {
        return "mmmm d, yyyy";
    }
    return "d mmmm yyyy";
}

TKelSystemDates QueryLocale()
{
    TKelSystemDates dates{"dd/mm/yyyy", "", {}, {}};
    static constexpr const char* kEnglish[12] = {"January", "February", "March",     "April",   "May",      "June",
                                                 "July",    "August",   "September", "October", "November", "December"};
    for (std::size_t i = 0; i < 12; ++i) {
        dates.months[i] = kEnglish[i];
        dates.shortMonths[i] = dates.months[i].substr(0, 3);
    }
    using desktop::GetLocaleInfo;
    if (const auto picture = GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, desktop::LOCALE_SSHORTDATE)) {
        if (const std::string pattern = PatternFromPicture(*picture); FieldOrder(pattern).size() == 3) {
            dates.shortPattern = pattern;
        }
    }
    for (desktop::UINT i = 0; i < 12; ++i) {
        if (const auto name = GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, desktop::LOCALE_SMONTHNAME1 + i)) {
            dates.months[i] = *name;
        }
        if (const auto name = GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, desktop::LOCALE_SABBREVMONTHNAME1 + i)) {
            dates.shortMonths[i] = *name;
        }
    }
    dates.longPattern = LongPatternFor(dates.shortPattern);
    return dates;
}

std::optional<TKelSystemDates>& Pinned()
{
    static std::optional<TKelSystemDates> pinned;
    return pinned;
}

bool SameWord(std::string_view a, std::string_view b)
{
    if (a.size() != b.size() || a.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// 1..12 for a full or short month name, 0 for anything else.
int MonthNamed(std::string_view word)
{
    const TKelSystemDates& dates = TKelDateFormat::SystemDates();
    for (std::size_t i = 0; i < 12; ++i) {
        if (SameWord(word, dates.months[i]) || SameWord(word, dates.shortMonths[i])) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

[[noreturn]] void NotADate(const std::string& text) { throw fw::EConvertError("'" + text + "' is not a valid date"); }

}  // namespace

const fw::TClassInfo& TKelDateFormat::Info()
{
    using C = TKelDateFormat;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelObject>("TKelDateFormat")
            .String("FormatStr", &C::FormatStr, &C::SetFormatStr)
            .Enum("Format", {"dfShortSystem", "dfLongSystem", "dfCustom"}, &C::Format, &C::SetFormat)
            .Integer("YearDelta", &C::YearDelta, &C::SetYearDelta)
            .Build();
    return info;
}

void TKelDateFormat::SetFormat(TKelDateFormats value)
{
    if (Store(format_, value)) {
        Changed();
    }
}

void TKelDateFormat::SetFormatStr(const std::string& value)
{
    if (Store(formatStr_, value)) {
        Changed();
    }
}

void TKelDateFormat::SetYearDelta(int value)
{
    if (Store(yearDelta_, value)) {
        Changed();
    }
}

const TKelSystemDates& TKelDateFormat::SystemDates()
{
    if (Pinned()) {
        return *Pinned();
    }
    static const TKelSystemDates fromLocale = QueryLocale();
    return fromLocale;
}

void TKelDateFormat::PinSystemDates(std::optional<TKelSystemDates> pinned) { Pinned() = std::move(pinned); }

std::string TKelDateFormat::Pattern() const
{
    switch (format_) {
        case TKelDateFormats::dfLongSystem: return SystemDates().longPattern;
        case TKelDateFormats::dfCustom:
            if (!FormatStr().empty()) {
                return FormatStr();
            }
            break;
        case TKelDateFormats::dfShortSystem: break;
    }
    return SystemDates().shortPattern;
}

std::string TKelDateFormat::DateToText(double days, bool fullYear) const
{
    return DateToText(days, Pattern(), fullYear);
}

std::string TKelDateFormat::DateToText(double days, const std::string& pattern, bool fullYear)
{
    using namespace std::chrono;
    // 1 January 0001 to 31 December 9999; anything else (stored bytes included) is no date.
    if (!(days >= -693593 && days < 2958466)) {
        throw fw::EConvertError("Invalid date value");
    }
    const year_month_day date{kDateEpoch + std::chrono::days(static_cast<int>(std::floor(days)))};
    const int d = static_cast<int>(static_cast<unsigned>(date.day()));
    const int m = static_cast<int>(static_cast<unsigned>(date.month()));
    const int y = static_cast<int>(date.year());
    const TKelSystemDates& names = SystemDates();
    std::string text;
    char buffer[16];
    for (const PatternPiece& p : ParsePattern(pattern)) {
        switch (p.field) {
            case 'd': std::snprintf(buffer, sizeof buffer, p.width == 1 ? "%d" : "%02d", d); break;
            case 'm':
                if (p.width >= 3) {
                    text += (p.width == 3 ? names.shortMonths : names.months)[static_cast<std::size_t>(m - 1)];
                    continue;
                }
                std::snprintf(buffer, sizeof buffer, p.width == 1 ? "%d" : "%02d", m);
                break;
            case 'y':
                if (p.width <= 2 && !fullYear) {
                    std::snprintf(buffer, sizeof buffer, "%02d", ((y % 100) + 100) % 100);
                } else {
                    std::snprintf(buffer, sizeof buffer, "%04d", y);
                }
                break;
            default: text += p.literal; continue;
        }
        text += buffer;
    }
    return text;
}

double TKelDateFormat::TextToDate(const std::string& text) const { return TextToDate(text, Pattern(), yearDelta_); }

double TKelDateFormat::TextToDate(const std::string& text, const std::string& pattern, int yearDelta)
{
    using namespace std::chrono;
    std::string order = FieldOrder(pattern);
    int day = 1;
    int month = 0;
    int year = 0;
    bool twoDigitYear = false;
    // Month names first: they take the month whatever their place.
    std::vector<std::pair<int, int>> numbers;  // value, digit count
    for (std::size_t i = 0; i < text.size();) {
        std::size_t j = i;
        if (IsDigit(text[i])) {
            int value = 0;
            while (j < text.size() && IsDigit(text[j])) {
                value = value < 100000 ? value * 10 + (text[j] - '0') : value;
                ++j;
            }
            numbers.emplace_back(value, static_cast<int>(j - i));
        } else if (IsWordChar(text[i])) {
            while (j < text.size() && IsWordChar(text[j])) {
                ++j;
            }
            const int named = MonthNamed(std::string_view(text).substr(i, j - i));
            if (named == 0 || month != 0) {
                NotADate(text);
            }
            month = named;
        } else {
            ++j;
        }
        i = j;
    }
    if (month != 0) {
        std::erase(order, 'm');
    }
    if (numbers.size() != order.size() || order.empty()) {
        NotADate(text);
    }
    const std::tm now = LocalNow();
    year = now.tm_year + 1900;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const int value = numbers[k].first;
        switch (order[k]) {
            case 'd': day = value; break;
            case 'm': month = value; break;
            default:
                year = value;
                twoDigitYear = numbers[k].second <= 2;
                break;
        }
    }
    if (month == 0 && FieldOrder(pattern).find('m') == std::string::npos) {
        month = 1;
    }
    if (twoDigitYear) {
        const int pivot = now.tm_year + 1900 - std::max(0, yearDelta);
        year += pivot / 100 * 100;
        if (yearDelta > 0 && year < pivot) {
            year += 100;
        }
    }
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) {
        NotADate(text);
    }
    const year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) {
        NotADate(text);
    }
    return static_cast<double>((sys_days(date) - kDateEpoch).count());
}

double TKelDateFormat::StepField(double days, char field, int delta)
{
    using namespace std::chrono;
    const sys_days from = kDateEpoch + std::chrono::days(static_cast<int>(std::floor(days)));
    sys_days stepped = from + std::chrono::days(delta);
    if (field != 'd') {
        const year_month_day date{from};
        year_month_day moved = field == 'm' ? date + months(delta) : date + years(delta);
        if (!moved.ok()) {
            moved = moved.year() / moved.month() / last;
        }
        stepped = sys_days(moved);
    }
    return static_cast<double>((stepped - kDateEpoch).count());
}

double TKelDateFormat::Today()
{
    const std::tm now = LocalNow();
    const std::chrono::year_month_day date{std::chrono::year(now.tm_year + 1900),
                                           std::chrono::month(static_cast<unsigned>(now.tm_mon + 1)),
                                           std::chrono::day(static_cast<unsigned>(now.tm_mday))};
    return static_cast<double>((std::chrono::sys_days(date) - kDateEpoch).count());
}

double TKelDateFormat::TimeOfDay()
{
    const std::tm now = LocalNow();
    return (now.tm_hour * 3600.0 + now.tm_min * 60.0 + now.tm_sec) / 86400.0;
}

char TKelDateFormat::Separator() const
{
    bool afterField = false;
    for (const PatternPiece& p : ParsePattern(Pattern())) {
        if (p.field != '\0') {
            afterField = true;
        } else if (afterField && p.literal != ' ' && p.literal != ',') {
            return p.literal;
        }
    }
    return '/';
}

bool TKelDateFormat::MonthByName() const
{
    for (const PatternPiece& p : ParsePattern(Pattern())) {
        if (p.field == 'm' && p.width >= 3) {
            return true;
        }
    }
    return false;
}

char TKelDateFormat::FieldAt(const std::string& text, int caret) const
{
    const std::string order = FieldOrder(Pattern());
    if (order.empty()) {
        return 'd';
    }
    // Runs of digits or letters that start before the caret or right at it; the last of them
    // holds it.
    int runs = 0;
    for (int i = 0; i < static_cast<int>(text.size()) && i < caret; ++i) {
        const char c = text[static_cast<std::size_t>(i)];
        const bool inRun = IsDigit(c) || IsWordChar(c);
        const bool startsRun = inRun && (i == 0 || !(IsDigit(text[static_cast<std::size_t>(i - 1)]) ||
                                                     IsWordChar(text[static_cast<std::size_t>(i - 1)])));
        runs += startsRun ? 1 : 0;
    }
    return order[static_cast<std::size_t>(std::clamp(runs - 1, 0, static_cast<int>(order.size()) - 1))];
}

void TKelDateFormat::Assign(fw::TPersistent* source)
{
    auto* other = dynamic_cast<TKelDateFormat*>(source);
    if (other == nullptr) {
        TKelObject::Assign(source);
        return;
    }
    format_ = other->format_;
    formatStr_ = other->formatStr_;
    yearDelta_ = other->yearDelta_;
    Changed();
}

}  // namespace numedit
