#include "numedit/KelCurrencySettings.h"

#include <cmath>

#include "desktop/Locale.h"
#include "framework/ClassesBuilder.h"
#include "framework/SysUtilsConvert.h"
#include "framework/SysUtilsExceptions.h"
#include "framework/SysUtilsFloat.h"

namespace numedit {

namespace {

const char* const kPositive[4] = {
    "\xA4"
    "1,1",
    "1,1\xA4", "\xA4 1,1", "1,1 \xA4"};
const char* const kNegative[16] = {
    "(\xA4"
    "1,1)",
    "-\xA4"
    "1,1",
    "\xA4-1,1",
    "\xA4"
    "1,1-",
    "(1,1\xA4)",
    "-1,1\xA4",
    "1,1-\xA4",
    "1,1\xA4-",
    "-1,1 \xA4",
    "-\xA4 1,1",
    "1,1 \xA4-",
    "\xA4 1,1-",
    "\xA4 -1,1",
    "1,1- \xA4",
    "(\xA4 1,1)",
    "(1,1 \xA4)"};

std::optional<int> LocaleNumber(desktop::UINT item)
{
    const auto text = desktop::GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, item);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    try {
        return fw::TextToInteger(*text);
    } catch (const fw::EConvertError&) {
        return std::nullopt;
    }
}

}  // namespace

TKelCurrencySettings::TKelCurrencySettings(fw::TPersistent* owner) : TKelObject(owner) { ReadFromLocale(); }

const fw::TClassInfo& TKelCurrencySettings::Info()
{
    using C = TKelCurrencySettings;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelObject>("TKelCurrencySettings")
            .Enum("SystemDefaults", {"cmSystem", "cmUser"}, &C::SystemDefaults, &C::SetSystemDefaults)
            .String("PositiveFormatStr", &C::PositiveFormatStr, &C::SetPositiveFormatStr)
            .String("NegativeFormatStr", &C::NegativeFormatStr, &C::SetNegativeFormatStr)
            .String("Symbol", &C::Symbol, &C::SetSymbol)
            .Build();
    return info;
}

const char* TKelCurrencySettings::PositiveTemplate(int order) { return kPositive[order >= 0 && order < 4 ? order : 0]; }

const char* TKelCurrencySettings::NegativeTemplate(int order)
{
    return kNegative[order >= 0 && order < 16 ? order : 0];
}

void TKelCurrencySettings::SetSystemDefaults(TKelCurrencyMode value)
{
    mode_ = value;
    if (value == TKelCurrencyMode::cmSystem) {
        ReadFromLocale();
    }
    Changed();
}

void TKelCurrencySettings::SetPositiveFormatStr(const std::string& value)
{
    if (Store(positive_, value)) {
        Changed();
    }
}

void TKelCurrencySettings::SetNegativeFormatStr(const std::string& value)
{
    if (Store(negative_, value)) {
        Changed();
    }
}

void TKelCurrencySettings::SetSymbol(const std::string& value)
{
    if (Store(symbol_, value)) {
        Changed();
    }
}

void TKelCurrencySettings::SetDigits(int value)
{
    if (Store(digits_, value)) {
        Changed();
    }
}

void TKelCurrencySettings::ReadFromLocale()
{
    using namespace desktop;
    if (const auto order = LocaleNumber(LOCALE_ICURRENCY)) {
        positive_ = PositiveTemplate(*order);
    }
    if (const auto order = LocaleNumber(LOCALE_INEGCURR)) {
        negative_ = NegativeTemplate(*order);
    }
    if (const auto digits = LocaleNumber(LOCALE_ICURRDIGITS)) {
        digits_ = *digits;
    }
    if (const auto symbol = GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY)) {
        symbol_ = *symbol;
    }
    if (const auto sep = GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SMONDECIMALSEP); sep && !sep->empty()) {
        decimalSeparator_ = (*sep)[0];
    }
    if (const auto sep = GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SMONTHOUSANDSEP); sep && !sep->empty()) {
        thousandSeparator_ = (*sep)[0];
    }
}

std::string TKelCurrencySettings::Format(long double value) const
{
    const bool negative = value < 0;
    const fw::TDecimalForm form = fw::FloatToDecimal(std::fabs(value), 18, digits_);
    // Whole digits with grouping by three, then the decimals.
    std::string digits(form.Digits());
    std::string whole;
    std::string fraction;
    const int exponent = form.IsZero() ? 0 : form.exponent;
    for (int i = 0; i < exponent; ++i) {
        whole += i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0';
    }
    for (int i = 0; i < digits_; ++i) {
        const int at = exponent + i;
        fraction += at >= 0 && at < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(at)] : '0';
    }
    if (whole.empty()) {
        whole = "0";
    }
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0 && thousandSeparator_ != '\0') {
            grouped += thousandSeparator_;
        }
        grouped += whole[i];
    }
    if (digits_ > 0) {
        grouped += decimalSeparator_;
        grouped += fraction;
    }
    std::string out;
    for (const char c : negative ? negative_ : positive_) {
        out += c == SymbolMark ? symbol_ : std::string(1, c);
    }
    const auto at = out.find("1,1");
    if (at != std::string::npos) {
        out.replace(at, 3, grouped);
    }
    return out;
}

long double TKelCurrencySettings::Parse(const std::string& text) const
{
    long double whole = 0;
    long double fraction = 0;
    long double scale = 1;
    bool inFraction = false;
    bool anyDigit = false;
    bool negative = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (inFraction) {
                scale /= 10;
                fraction += (c - '0') * scale;
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else if (c == decimalSeparator_) {
            inFraction = true;
        } else if (c == '-' || c == '(') {
            negative = true;
        }
    }
    if (!anyDigit) {
        throw fw::EConvertError("'" + text + "' is not a valid currency value");
    }
    const long double value = whole + fraction;
    return negative ? -value : value;
}

void TKelCurrencySettings::Assign(fw::TPersistent* source)
{
    auto* other = dynamic_cast<TKelCurrencySettings*>(source);
    if (other == nullptr) {
        TKelObject::Assign(source);
        return;
    }
    mode_ = other->mode_;
    positive_ = other->positive_;
    negative_ = other->negative_;
    symbol_ = other->symbol_;
    digits_ = other->digits_;
    decimalSeparator_ = other->decimalSeparator_;
    thousandSeparator_ = other->thousandSeparator_;
    Changed();
}

}  // namespace numedit
