#pragma once

// TKelDateFormat: how a date field writes and reads its date. A pattern names the fields with
// runs of d (day), m (month) and y (year): "d"/"m" without padding, "dd"/"mm" in two digits,
// "mmm"/"mmmm" the short or full month name, "yy" two digits, "yyyy" four; longer day runs
// write two digits as well (weekday names are not used). Every other character is literal.
// dfShortSystem and dfLongSystem take the pattern from the user's locale, dfCustom FormatStr.
// Dates are days since 30 December 1899.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "numedit/KelObject.h"

namespace numedit {

enum class TKelDateFormats : std::uint8_t { dfShortSystem, dfLongSystem, dfCustom };

// The locale's date forms in the pattern language above.
struct TKelSystemDates {
    std::string shortPattern;
    std::string longPattern;
    std::array<std::string, 12> months;
    std::array<std::string, 12> shortMonths;
};

class TKelDateFormat : public TKelObject {
public:
    explicit TKelDateFormat(fw::TPersistent* owner) : TKelObject(owner) {}

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    TKelDateFormats Format() const { return format_; }
    void SetFormat(TKelDateFormats value);
    const std::string& FormatStr() const { return formatStr_; }
    void SetFormatStr(const std::string& value);
    // A two-digit year lands in the hundred years that start YearDelta years before the
    // current one; 0 keeps it in the current century.
    int YearDelta() const { return yearDelta_; }
    void SetYearDelta(int value);

    // FormatStr for dfCustom (the short form while it is empty), else the locale's form.
    std::string Pattern() const;
    // The date in the pattern; with fullYear a two-digit year is written in four digits.
    // Raises EConvertError for days outside the years 1 to 9999.
    std::string DateToText(double days, bool fullYear) const;
    static std::string DateToText(double days, const std::string& pattern, bool fullYear);
    // Reads the numbers and month names of text in the pattern's field order. Fields the
    // pattern lacks are the first day, the first month or the current year. Raises
    // EConvertError when the text holds no such date.
    double TextToDate(const std::string& text) const;
    static double TextToDate(const std::string& text, const std::string& pattern, int yearDelta);
    // The first literal between two fields of the pattern ('/' when there is none).
    char Separator() const;
    // The date moved by delta days, months or years (field 'd', 'm', 'y'); a day past the end
    // of the new month becomes its last day.
    static double StepField(double days, char field, int delta);
    // The local date, and the local time as a fraction of a day.
    static double Today();
    static double TimeOfDay();
    // Whether the pattern writes the month by name.
    bool MonthByName() const;
    // 'd', 'm' or 'y': the field of a text in the pattern that the 1-based caret is in or
    // just after.
    char FieldAt(const std::string& text, int caret) const;

    // The locale's forms; tests pin them so that they do not depend on the environment.
    static const TKelSystemDates& SystemDates();
    static void PinSystemDates(std::optional<TKelSystemDates> pinned);

    void Assign(fw::TPersistent* source) override;

private:
    TKelDateFormats format_ = TKelDateFormats::dfShortSystem;
    std::string formatStr_;
    int yearDelta_ = 50;
};

}  // namespace numedit
