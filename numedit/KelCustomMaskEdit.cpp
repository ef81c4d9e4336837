#include "numedit/KelCustomMaskEdit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/ClassesReader.h"
#include "framework/FormsForm.h"
#include "framework/SysUtilsConvert.h"
#include "framework/SysUtilsLocale.h"

namespace numedit {

namespace {

int Length(const std::string& s) { return static_cast<int>(s.size()); }

// 1-based; '\0' outside the text.
char CharAt(const std::string& s, int i)
{
    return i >= 1 && i <= Length(s) ? s[static_cast<std::size_t>(i - 1)] : '\0';
}

constexpr const char* kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// One position of a meMask pattern.
struct PatternPosition {
    char kind;  // the pattern character, or '\0' for a literal
    char literal;
    bool required;
};

std::vector<PatternPosition> ParsePattern(const std::string& mask)
{
    std::vector<PatternPosition> positions;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == '\\') {
            if (i + 1 < mask.size()) {
                positions.push_back({'\0', mask[++i], false});
            }
            continue;
        }
        if (std::string_view("#*0189Aabcrv!").find(c) != std::string_view::npos) {
            positions.push_back({c, '\0', c == '!'});
        } else {
            positions.push_back({'\0', c, false});
        }
    }
    return positions;
}

bool PositionAccepts(char kind, char c)
{
    switch (kind) {
        case '0':
        case '9': return IsDecimalDigit(c);
        case '1': return c == '0' || c == '1';
        case '8': return c >= '0' && c <= '7';
        case '#': return IsDecimalDigit(c) || c == '-' || c == '+' || c == ' ';
        case 'A': return IsLetter(c) || IsDecimalDigit(c);
        case 'a':
        case 'b':
        case 'c': return IsLetter(c);
        case 'r':
        case 'v': return IsLetter(c) || IsDecimalDigit(c) || c == ' ';
        default: return static_cast<unsigned char>(c) >= ' ';  // '*' and the required '!'
    }
}

// Set while a mask edit takes the focus back, so the control it takes it from does not
// claim it again in turn.
bool retakingFocus = false;

}  // namespace

TKelCustomMaskEdit::TKelCustomMaskEdit(fw::TComponent* owner) : TKelCustomEdit(owner)
{
    separator_ = fw::DecimalSeparator;
    currency_ = std::make_unique<TKelCurrencySettings>(this);
    currency_->OnChange = [this](fw::TObject*) {
        if (!IsLoading()) {
            RewriteMoney();
        }
    };
    dates_ = std::make_unique<TKelDateFormat>(this);
    datePattern_ = dates_->Pattern();
    dates_->OnChange = [this](fw::TObject*) { DateSettingsChanged(); };
}

TKelCustomMaskEdit::~TKelCustomMaskEdit()
{
    currency_->OnChange = nullptr;
    currency_.reset();
    dates_->OnChange = nullptr;
    dates_.reset();
}

const fw::TClassInfo& TKelCustomMaskEdit::Info()
{
    using C = TKelCustomMaskEdit;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelCustomEdit>("TKelCustomMaskEdit")
            .Event("OnValidationError", [](C* c, fw::TNotifyEvent e) { c->OnValidationError = std::move(e); })
            .Build();
    return info;
}

// ---- Properties ----

void TKelCustomMaskEdit::SetMaskType(TKelMaskType value)
{
    if (value == maskType_) {
        return;
    }
    maskType_ = value;
    try {
        switch (value) {
            case TKelMaskType::meFloatFixed:
                numberBase_ = 10;
                SetText(fw::FloatToFormattedText(0, fw::TFloatFormat::ffFixed, 15, decimals_));
                break;
            case TKelMaskType::meFloatNumber:
                numberBase_ = 10;
                SetText(fw::FloatToFormattedText(0, fw::TFloatFormat::ffNumber, 15, decimals_));
                break;
            case TKelMaskType::meCurrency:
                numberBase_ = 10;
                SetText(currency_->Format(0));
                break;
            case TKelMaskType::meDate:
            case TKelMaskType::meTime: {
                const bool date = value == TKelMaskType::meDate;
                bool valid = !RawText().empty();
                if (valid) {
                    try {
                        if (date) {
                            ParseDate(RawText());
                        } else {
                            ParseTime(RawText());
                        }
                    } catch (const fw::EConvertError&) {
                        ValidationFailed();
                        valid = false;
                    }
                }
                if (!valid) {
                    SetText(date ? DateText(TKelDateFormat::Today()) : TimeText(TKelDateFormat::TimeOfDay()));
                }
                break;
            }
            case TKelMaskType::meMask: SetText(EmptyPattern()); break;
            case TKelMaskType::meInteger:
            case TKelMaskType::meWord:
            case TKelMaskType::meFloat: SetText("0"); break;
            case TKelMaskType::meNone: break;
        }
    } catch (const std::exception&) {
        ValidationFailed();
    }
}

void TKelCustomMaskEdit::RewriteMoney()
{
    // The text is in the old form, which the new separators may misread: the amount last
    // read from it is written again instead.
    if (maskType_ == TKelMaskType::meCurrency && !RawText().empty()) {
        SetText(currency_->Format(money_));
    }
}

void TKelCustomMaskEdit::DateSettingsChanged()
{
    const std::string old = std::exchange(datePattern_, dates_->Pattern());
    if (maskType_ != TKelMaskType::meDate || IsLoading() || RawText().empty()) {
        return;
    }
    // The text was written in the old form: read it in that one, write it in the new.
    try {
        SetText(DateText(TKelDateFormat::TextToDate(RawText(), old, dates_->YearDelta())));
    } catch (const fw::EConvertError&) {
        ValidationFailed();
    }
}

void TKelCustomMaskEdit::SetDecimals(int value)
{
    if (value == decimals_) {
        return;
    }
    decimals_ = value;
    currency_->SetDigits(value);
    TextChangedAt(1);
}

void TKelCustomMaskEdit::SetNumberBase(int value)
{
    if (maskType_ == TKelMaskType::meFloatFixed || maskType_ == TKelMaskType::meFloatNumber ||
        maskType_ == TKelMaskType::meCurrency) {
        return;
    }
    numberBase_ = std::clamp(value, 2, 36);
}

void TKelCustomMaskEdit::SetBlankChar(char value)
{
    if (value == blankChar_) {
        return;
    }
    const char old = blankChar_;
    blankChar_ = value;
    if (maskType_ == TKelMaskType::meMask) {
        // Empty positions show the new blank; the text would not fit the pattern otherwise.
        std::string text = RawText();
        const std::vector<PatternPosition> positions = ParsePattern(mask_);
        for (std::size_t i = 0; i < text.size() && i < positions.size(); ++i) {
            if (positions[i].kind != '\0' && text[i] == old) {
                text[i] = value;
            }
        }
        const int caret = CaretIndex();
        BeginUpdate();
        SetText(text);
        EndUpdate(false);
        SetCaretIndex(caret);
    }
    TextChangedAt(1);
}

void TKelCustomMaskEdit::SetMask(const std::string& value)
{
    if (value == mask_) {
        return;
    }
    mask_ = value;
    if (maskType_ == TKelMaskType::meMask) {
        SetText(EmptyPattern());
    }
}

void TKelCustomMaskEdit::SetSuffix(const std::string& value)
{
    const std::string number = Number();
    suffix_ = value;
    SetText(UsesSuffix() ? number + suffix_ : number);
}

bool TKelCustomMaskEdit::UsesSuffix() const
{
    return maskType_ != TKelMaskType::meCurrency && maskType_ != TKelMaskType::meDate &&
           maskType_ != TKelMaskType::meTime && maskType_ != TKelMaskType::meMask;
}

std::string TKelCustomMaskEdit::Number() const
{
    const std::string& text = RawText();
    if (UsesSuffix() && !suffix_.empty() && text.size() >= suffix_.size() &&
        text.compare(text.size() - suffix_.size(), suffix_.size(), suffix_) == 0) {
        return text.substr(0, text.size() - suffix_.size());
    }
    return text;
}

void TKelCustomMaskEdit::AssignNumber(const std::string& number) { SetText(UsesSuffix() ? number + suffix_ : number); }

std::string TKelCustomMaskEdit::EmptyPattern() const
{
    std::string text;
    for (const PatternPosition& p : ParsePattern(mask_)) {
        text += p.kind == '\0' ? p.literal : blankChar_;
    }
    return text;
}

// ---- Readers ----

int TKelCustomMaskEdit::DigitIn(char c, int base)
{
    const char* at = std::char_traits<char>::find(kDigits, static_cast<std::size_t>(base), Upper(c));
    return at == nullptr ? -1 : static_cast<int>(at - kDigits);
}

std::int64_t TKelCustomMaskEdit::ParseInteger(const std::string& s) const
{
    if (numberBase_ == 10) {
        return fw::TextToInteger64(s);
    }
    std::size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (negative) {
        ++i;
    }
    if (i == s.size()) {
        throw fw::EConvertError("'" + s + "' is not a valid integer value");
    }
    std::uint64_t value = 0;
    for (; i < s.size(); ++i) {
        const int digit = DigitIn(s[i], numberBase_);
        if (digit < 0) {
            throw fw::EConvertError("'" + s + "' is not a valid integer value");
        }
        value = value * static_cast<std::uint64_t>(numberBase_) + static_cast<std::uint64_t>(digit);
    }
    return static_cast<std::int64_t>(negative ? 0 - value : value);
}

std::int32_t TKelCustomMaskEdit::AsInteger()
{
    if (maskType_ != TKelMaskType::meInteger) {
        throw EKelWrongDataType("No integer entered");
    }
    if (lastInteger_ && lastInteger_->text == RawText() && lastInteger_->base == numberBase_ &&
        lastInteger_->suffix == suffix_) {
        return lastInteger_->value;
    }
    const std::string s = Number();
    try {
        const auto value = s.empty() ? 0 : static_cast<std::int32_t>(static_cast<std::uint32_t>(ParseInteger(s)));
        lastInteger_ = IntegerReading{RawText(), suffix_, numberBase_, value};
        return value;
    } catch (const fw::EConvertError&) {
        ValidationFailed();
        return 0;
    }
}

long double TKelCustomMaskEdit::ParseFloat(std::string s) const
{
    const char d = fw::DecimalSeparator;
    if (s.empty() || s == "-") {
        s = "0";
    }
    if (s[0] == d) {
        s.insert(0, "0");
    } else if (s.size() > 1 && s[0] == '-' && s[1] == d) {
        s.insert(1, "0");
    }
    const std::size_t sep = s.find(d);
    const std::string whole = s.substr(0, sep);
    long double r = static_cast<long double>(ParseInteger(whole));
    const bool negativeZero = whole[0] == '-' && r == 0;
    if (sep != std::string::npos && sep + 1 < s.size()) {
        const std::string digits = s.substr(sep + 1);
        const long double base = numberBase_;
        // From the last digit to the first, so every division keeps full precision.
        long double acc = 0;
        for (std::size_t i = digits.size(); i-- > 0;) {
            const char* at = std::strchr("123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", Upper(digits[i]));
            const int value = at == nullptr || digits[i] == '\0'
                                  ? 0
                                  : static_cast<int>(at - "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ") + 1;
            acc = i + 1 == digits.size() ? value : value + acc / base;
        }
        const long double fraction = acc / base;
        r = r >= 0 || negativeZero ? r + fraction : r - fraction;
    }
    return negativeZero ? -r : r;
}

long double TKelCustomMaskEdit::AsFloat()
{
    if (maskType_ != TKelMaskType::meFloat && maskType_ != TKelMaskType::meFloatFixed &&
        maskType_ != TKelMaskType::meFloatNumber) {
        throw EKelWrongDataType("No float entered");
    }
    std::string s = Number();
    std::erase(s, fw::ThousandSeparator);
    if (s.empty()) {
        return 0;
    }
    try {
        return ParseFloat(s);
    } catch (const fw::EConvertError&) {
        ValidationFailed();
        return 0;
    }
}

long double TKelCustomMaskEdit::AsCurrency()
{
    if (maskType_ != TKelMaskType::meCurrency) {
        throw EKelWrongDataType("No float entered");
    }
    try {
        return currency_->Parse(RawText());
    } catch (const fw::EConvertError&) {
        ValidationFailed();
        return 0;
    }
}

namespace {

// The numbers of s separated by anything that is not a digit.
std::vector<int> NumbersIn(const std::string& s)
{
    std::vector<int> numbers;
    bool inNumber = false;
    for (const char c : s) {
        if (IsDecimalDigit(c)) {
            if (!inNumber) {
                numbers.push_back(0);
                inNumber = true;
            }
            if (numbers.back() < 100000) {
                numbers.back() = numbers.back() * 10 + (c - '0');
            }
        } else {
            inNumber = false;
        }
    }
    return numbers;
}

}  // namespace

double TKelCustomMaskEdit::ParseDate(const std::string& s) const { return dates_->TextToDate(s); }

// The full form: the settings' pattern with the year in four digits.
std::string TKelCustomMaskEdit::DateText(double days) const { return dates_->DateToText(days, true); }

std::string TKelCustomMaskEdit::TimeText(double dayFraction)
{
    const double fraction = std::isfinite(dayFraction) ? dayFraction - std::floor(dayFraction) : 0;
    auto seconds = static_cast<int>(std::lround(fraction * 86400));
    seconds = std::min(seconds, 86399);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return buffer;
}

double TKelCustomMaskEdit::ParseTime(const std::string& s)
{
    const std::vector<int> n = NumbersIn(s);
    const bool onlyDigitsAndColons =
        std::all_of(s.begin(), s.end(), [](char c) { return IsDecimalDigit(c) || c == ':' || c == ' '; });
    if (!onlyDigitsAndColons || n.size() < 2 || n.size() > 3 || n[0] > 23 || n[1] > 59 ||
        (n.size() == 3 && n[2] > 59)) {
        throw fw::EConvertError("'" + s + "' is not a valid time");
    }
    return (n[0] * 3600.0 + n[1] * 60.0 + (n.size() == 3 ? n[2] : 0)) / 86400.0;
}

void TKelCustomMaskEdit::StepDateField(int delta)
{
    const int caret = CaretIndex();
    try {
        const double date = ParseDate(RawText());
        SetText(DateText(TKelDateFormat::StepField(date, dates_->FieldAt(RawText(), caret), delta)));
    } catch (const fw::EConvertError&) {
        ValidationFailed();
        return;
    }
    SetCaretIndex(caret);
}

void TKelCustomMaskEdit::WMMouseWheel(fw::TWMMouseWheel message)
{
    if (maskType_ == TKelMaskType::meDate && message.WheelDelta() != 0 && !ReadOnly()) {
        StepDateField(message.WheelDelta() > 0 ? 1 : -1);
        message.SetResult(1);
        return;
    }
    TKelCustomEdit::WMMouseWheel(message);
}

double TKelCustomMaskEdit::AsDate()
{
    if (maskType_ != TKelMaskType::meDate) {
        throw EKelWrongDataType("No date entered");
    }
    try {
        return ParseDate(RawText());
    } catch (const fw::EConvertError&) {
        ValidationFailed();
        return 0;
    }
}

double TKelCustomMaskEdit::AsTime()
{
    if (maskType_ != TKelMaskType::meTime) {
        throw EKelWrongDataType("No time entered");
    }
    try {
        return ParseTime(RawText());
    } catch (const fw::EConvertError&) {
        ValidationFailed();
        return 0;
    }
}

void TKelCustomMaskEdit::SetAsFloat(double value)
{
    auto inBase = [this](std::int64_t v) {
        if (v == 0) {
            return std::string("0");
        }
        const bool negative = v < 0;
        std::uint64_t u = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
        std::string digits;
        while (u > 0) {
            digits.insert(digits.begin(), kDigits[u % static_cast<std::uint64_t>(numberBase_)]);
            u /= static_cast<std::uint64_t>(numberBase_);
        }
        return negative ? "-" + digits : digits;
    };
    // Out of range values saturate instead of converting out of range.
    const double whole = std::isfinite(value) ? std::clamp(std::trunc(value), -9.2e18, 9.2e18) : 0.0;
    const auto truncated = static_cast<std::int32_t>(static_cast<std::int64_t>(whole));
    switch (maskType_) {
        case TKelMaskType::meInteger: AssignNumber(inBase(truncated)); break;
        case TKelMaskType::meWord: AssignNumber(inBase(std::abs(static_cast<std::int64_t>(truncated)))); break;
        case TKelMaskType::meFloat: {
            std::string text = inBase(static_cast<std::int64_t>(whole));
            if (value < 0 && std::trunc(value) == 0) {
                text = "-" + text;
            }
            double fraction = std::fabs(value - std::trunc(value));
            if (fraction > 0) {
                text += fw::DecimalSeparator;
                for (int i = 0; i < 15 && fraction > 0; ++i) {
                    fraction *= numberBase_;
                    const int digit = static_cast<int>(fraction);
                    text += kDigits[digit];
                    fraction -= digit;
                }
            }
            AssignNumber(text);
            break;
        }
        case TKelMaskType::meFloatFixed:
        case TKelMaskType::meFloatNumber:
            AssignNumber(fw::FloatToFormattedText(value, fw::TFloatFormat::ffFixed, 15, 18));
            break;
        case TKelMaskType::meCurrency: SetText(currency_->Format(std::round(value * 10000) / 10000)); break;
        case TKelMaskType::meDate: try { SetText(DateText(value));
            } catch (const fw::EConvertError&) {
                ValidationFailed();
            }
            break;
        case TKelMaskType::meTime: SetText(TimeText(value)); break;
        default: AssignNumber(fw::FloatToFormattedText(value, fw::TFloatFormat::ffGeneral, 15, 0)); break;
    }
}

void TKelCustomMaskEdit::ValidationFailed()
{
    if (OnValidationError) {
        OnValidationError(this);
    }
}

// ---- Normalising ----

void TKelCustomMaskEdit::ReformatFixed(fw::TFloatFormat kind)
{
    std::string f = fw::FloatToFormattedText(AsFloat(), kind, 15, decimals_);
    if (MaxLength() > 0 && Length(f) > MaxLength()) {
        f.resize(static_cast<std::size_t>(MaxLength()));
    }
    if (Number() == f) {
        return;
    }
    try {
        std::string g = fw::FloatToFormattedText(AsFloat(), kind, 15, decimals_);
        // A minus typed on a zero value survives the rewrite.
        if (Length(g) > 1 && CharAt(RawText(), 1) == '-' && g[0] != '-') {
            g.insert(0, "-");
        }
        AssignNumber(g);
    } catch (const std::exception&) {
        ValidationFailed();
    }
}

void TKelCustomMaskEdit::TextChangedAt(int pos)
{
    // A rewrite comes back here once and finds the text in form; the depth bound only guards
    // against a form that cannot survive the cut to MaxLength.
    if (!Updating() && reformatDepth_ < 3) {
        ++reformatDepth_;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{reformatDepth_};
        if (maskType_ == TKelMaskType::meFloatFixed) {
            ReformatFixed(fw::TFloatFormat::ffFixed);
        } else if (maskType_ == TKelMaskType::meFloatNumber) {
            ReformatFixed(fw::TFloatFormat::ffNumber);
        } else if (maskType_ == TKelMaskType::meCurrency && !RawText().empty()) {
            try {
                money_ = currency_->Parse(RawText());
                std::string f = currency_->Format(money_);
                if (MaxLength() > 0 && Length(f) > MaxLength()) {
                    f.resize(static_cast<std::size_t>(MaxLength()));
                }
                if (f != RawText()) {
                    SetText(f);
                }
            } catch (const std::exception&) {
                money_ = 0;  // what the reader gives for the text
                ValidationFailed();
            }
        } else if (maskType_ == TKelMaskType::meMask && !FitsMask(RawText())) {
            SetText(previousText_);
        }
    }
    TKelCustomEdit::TextChangedAt(pos);
}

bool TKelCustomMaskEdit::FitsMask(const std::string& text)
{
    const std::vector<PatternPosition> positions = ParsePattern(mask_);
    if (text.size() > positions.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const PatternPosition& p = positions[i];
        if (p.kind == '\0') {
            if (text[i] != p.literal) {
                return false;
            }
            continue;
        }
        if (text[i] == blankChar_) {
            continue;
        }
        bool ok = PositionAccepts(p.kind, text[i]);
        if (ok && OnUserRule) {
            OnUserRule(this, ok, text[i], static_cast<int>(i) + 1);
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

// ---- Typing ----

void TKelCustomMaskEdit::WMChar(fw::TWMChar message)
{
    const auto ch = static_cast<char>(message.CharCode());
    const std::string& text = RawText();
    const int caret = CaretIndex();
    if (UsesSuffix() && !suffix_.empty() && caret > Length(text) - Length(suffix_) + 1) {
        return;
    }
    const char next = CharAt(text, caret);
    const bool hasMinus = text.find('-') != std::string::npos;
    const bool isDigit = DigitIn(ch, numberBase_) >= 0;
    const bool allSelectedFromStart = SelStart() == 1 && SelLength() > 0;
    bool accepted = false;
    switch (maskType_) {
        case TKelMaskType::meInteger:
            accepted = (isDigit && (text.empty() || next != '-')) ||
                       (ch == '-' && ((caret == 1 && !hasMinus) || allSelectedFromStart));
            break;
        case TKelMaskType::meWord: accepted = isDigit; break;
        case TKelMaskType::meFloat:
        case TKelMaskType::meFloatFixed:
        case TKelMaskType::meFloatNumber: {
            const std::size_t sepAt = text.find(separator_);
            if (isDigit) {
                accepted = text.empty() || next != '-' || allSelectedFromStart;
            } else if (ch == '-' && caret == 1 && !hasMinus) {
                accepted = true;
            } else if (ch == separator_ && sepAt == std::string::npos) {
                const auto minusAt = text.find('-');
                accepted = (minusAt == std::string::npos ? 0 : static_cast<int>(minusAt) + 1) < caret;
            } else if (ch == separator_) {
                if (!DoKeyPress(message)) {
                    SetCaretIndex(static_cast<int>(sepAt) + 2);
                }
                return;
            }
            break;
        }
        case TKelMaskType::meCurrency: {
            const char sep = currency_->DecimalSeparator();
            const std::size_t sepAt = text.find(sep);
            if (ch != sep || sepAt == std::string::npos) {
                accepted = true;
                break;
            }
            if (DoKeyPress(message) || !CanChange(std::string(1, ch))) {
                return;
            }
            // The existing separator moves to the caret; the amount is read again from there.
            std::string moved = text;
            moved.erase(sepAt, 1);
            const int at = std::clamp(static_cast<int>(sepAt) + 1 < caret ? caret - 1 : caret, 1, Length(moved) + 1);
            moved.insert(static_cast<std::size_t>(at - 1), 1, sep);
            SetModified(true);
            SetText(moved);
            const std::size_t now = RawText().find(sep);
            SetCaretIndex(now == std::string::npos ? at : static_cast<int>(now) + 2);
            return;
        }
        case TKelMaskType::meDate:
            accepted = IsDecimalDigit(ch) || ch == dates_->Separator() ||
                       (dates_->MonthByName() &&
                        (IsLetter(ch) || static_cast<unsigned char>(ch) >= 0xC0 || ch == ' ' || ch == ','));
            break;
        case TKelMaskType::meTime: accepted = IsDecimalDigit(ch) || ch == ':'; break;
        case TKelMaskType::meMask: TypeIntoPattern(message); return;
        case TKelMaskType::meNone: accepted = true; break;
    }
    if (accepted) {
        TKelCustomEdit::WMChar(message);
    } else {
        DoKeyPress(message);
    }
}

void TKelCustomMaskEdit::TypeIntoPattern(fw::TWMChar message)
{
    const auto ch = static_cast<char>(message.CharCode());
    const std::vector<PatternPosition> positions = ParsePattern(mask_);
    const int count = static_cast<int>(positions.size());
    std::string filled = RawText();
    if (Length(filled) < count) {
        filled.resize(positions.size(), blankChar_);
    }
    int at = SelLength() > 0 ? SelStart() : CaretIndex();
    // A selection is blanked as Delete would, and the character goes to its first position.
    for (int i = SelStart(); SelLength() > 0 && i < SelStart() + SelLength() && i <= count; ++i) {
        if (i >= 1 && positions[static_cast<std::size_t>(i - 1)].kind != '\0') {
            filled[static_cast<std::size_t>(i - 1)] = blankChar_;
        }
    }
    // Literals are stepped over.
    while (at >= 1 && at <= count && positions[static_cast<std::size_t>(at - 1)].kind == '\0') {
        ++at;
    }
    bool ok = at >= 1 && at <= count && PositionAccepts(positions[static_cast<std::size_t>(at - 1)].kind, ch);
    if (ok && OnUserRule) {
        OnUserRule(this, ok, ch, at);
    }
    if (DoKeyPress(message) || !ok) {
        return;
    }
    // A pattern position is overwritten in place, never shifted.
    filled[static_cast<std::size_t>(at - 1)] = ch;
    if (CanChange(std::string(1, ch))) {
        previousText_ = RawText();
        SetModified(true);
        SetText(filled);
        SetCaretIndex(at + 1);
    }
}

int TKelCustomMaskEdit::FirstEmptyRequiredPosition() const
{
    const std::vector<PatternPosition> positions = ParsePattern(mask_);
    const std::string& text = RawText();
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions[i].required && (i >= text.size() || text[i] == blankChar_)) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

void TKelCustomMaskEdit::BeforeInsert(int pos, std::string& s)
{
    const std::string& text = RawText();
    auto allDigits = [this](std::string_view v) {
        return std::all_of(v.begin(), v.end(), [this](char c) { return DigitIn(c, numberBase_) >= 0; });
    };
    switch (maskType_) {
        case TKelMaskType::meInteger: {
            const bool minus = !s.empty() && s[0] == '-';
            if (!allDigits(std::string_view(s).substr(minus ? 1 : 0)) || (minus && CharAt(text, 1) == '-')) {
                s.clear();
            }
            break;
        }
        case TKelMaskType::meWord:
            if (!allDigits(s)) {
                s.clear();
            }
            break;
        case TKelMaskType::meFloat: {
            const std::size_t textSep = text.find(separator_);
            const bool sepElsewhere = textSep != std::string::npos && static_cast<int>(textSep) + 1 != pos;
            int seps = 0;
            for (std::size_t i = 0; i < s.size(); ++i) {
                const char c = s[i];
                const bool ok = DigitIn(c, numberBase_) >= 0 || (c == '-' && i == 0 && pos == 1) ||
                                (c == separator_ && !sepElsewhere && ++seps == 1);
                if (!ok) {
                    s.clear();
                    break;
                }
            }
            break;
        }
        case TKelMaskType::meMask: {
            std::string result = text;
            result.insert(static_cast<std::size_t>(std::clamp(pos - 1, 0, Length(result))), s);
            if (!FitsMask(result)) {
                s.clear();
            }
            break;
        }
        default: break;
    }
}

// ---- Keys and clipboard ----

void TKelCustomMaskEdit::EditKey(desktop::WORD& key, fw::TShiftState shift)
{
    if (key == desktop::VK_UP || key == desktop::VK_DOWN) {
        if (maskType_ == TKelMaskType::meDate && !ReadOnly()) {
            StepDateField(key == desktop::VK_UP ? 1 : -1);
        }
        key = 0;
        return;
    }
    if ((key == desktop::VK_BACK || key == desktop::VK_DELETE) && UsesSuffix() && !suffix_.empty()) {
        // The suffix is never deleted.
        const int suffixStart = Length(RawText()) - Length(suffix_) + 1;
        if (SelLength() > 0 && SelStart() + SelLength() > suffixStart) {
            SetSelLength(std::max(0, suffixStart - SelStart()));
        }
        if (SelLength() == 0 &&
            ((key == desktop::VK_DELETE && CaretIndex() >= suffixStart) || CaretIndex() > suffixStart)) {
            key = 0;
            return;
        }
    }
    if (maskType_ == TKelMaskType::meMask && (key == desktop::VK_BACK || key == desktop::VK_DELETE)) {
        // Pattern positions are blanked, never removed.
        std::string text = RawText();
        int from = SelStart();
        int count = SelLength();
        if (count == 0) {
            from = key == desktop::VK_BACK ? CaretIndex() - 1 : CaretIndex();
            count = 1;
        }
        const std::vector<PatternPosition> positions = ParsePattern(mask_);
        for (int i = from; i < from + count; ++i) {
            if (i >= 1 && i <= Length(text) && i <= static_cast<int>(positions.size()) &&
                positions[static_cast<std::size_t>(i - 1)].kind != '\0') {
                text[static_cast<std::size_t>(i - 1)] = blankChar_;
            }
        }
        key = 0;
        if (CanChange(text)) {
            previousText_ = RawText();
            SetText(text);
            SetCaretIndex(std::max(1, from));
        }
        return;
    }
    TKelCustomEdit::EditKey(key, shift);
}

void TKelCustomMaskEdit::BeforeChange()
{
    separatorsLeft_ = static_cast<int>(std::count(
        RawText().begin(), RawText().begin() + std::min(CaretIndex() - 1, Length(RawText())), fw::ThousandSeparator));
}

void TKelCustomMaskEdit::AfterChange()
{
    if (maskType_ != TKelMaskType::meFloatNumber && maskType_ != TKelMaskType::meCurrency) {
        return;
    }
    const int now = static_cast<int>(std::count(
        RawText().begin(), RawText().begin() + std::min(CaretIndex() - 1, Length(RawText())), fw::ThousandSeparator));
    if (now > separatorsLeft_) {
        SetSelStart(SelStart() + now - separatorsLeft_);
        SetCaretIndex(CaretIndex() + now - separatorsLeft_);
    }
}

void TKelCustomMaskEdit::BeforeDelete(int, const std::string&) { previousText_ = RawText(); }

bool TKelCustomMaskEdit::SelectionEndsBeforeSuffix() const
{
    return !UsesSuffix() || suffix_.empty() || Length(RawText()) - Length(suffix_) + 1 >= SelStart() + SelLength();
}

void TKelCustomMaskEdit::CutToClipboard()
{
    if (SelectionEndsBeforeSuffix()) {
        TKelCustomEdit::CutToClipboard();
    }
}

void TKelCustomMaskEdit::PasteFromClipboard()
{
    if (SelectionEndsBeforeSuffix()) {
        TKelCustomEdit::PasteFromClipboard();
    }
}

// ---- Focus and loading ----

void TKelCustomMaskEdit::WMKillFocus(fw::TWMKillFocus message)
{
    TKelCustomEdit::WMKillFocus(message);
    if (maskType_ == TKelMaskType::meDate) {
        try {
            SetText(DateText(ParseDate(RawText())));
        } catch (const fw::EConvertError&) {
            ValidationFailed();
        }
    } else if (maskType_ == TKelMaskType::meTime) {
        try {
            ParseTime(RawText());
        } catch (const fw::EConvertError&) {
            ValidationFailed();
        }
    } else if (maskType_ == TKelMaskType::meMask) {
        // The focus comes back once the change has completed, not from inside it.
        refocusAt_ = retakingFocus ? 0 : FirstEmptyRequiredPosition();
    } else if (Number() == "-") {
        AssignNumber("");
    }
}

void TKelCustomMaskEdit::AfterExit()
{
    const int at = std::exchange(refocusAt_, 0);
    if (at > 0 && maskType_ == TKelMaskType::meMask && !Focused() && CanFocus()) {
        // Only a move within the same form is undone; another window or application keeps it.
        const fw::TWinControl* now = fw::TWinControl::FindControl(desktop::GetFocus());
        if (now != nullptr && fw::GetParentForm(now) == fw::GetParentForm(this)) {
            retakingFocus = true;
            SetFocus();
            retakingFocus = false;
            SetCaretIndex(at);
            return;
        }
    }
    TKelCustomEdit::AfterExit();
}

void TKelCustomMaskEdit::Loaded()
{
    TKelCustomEdit::Loaded();
    datePattern_ = dates_->Pattern();
    try {
        if (maskType_ == TKelMaskType::meMask) {
            SetText(EmptyPattern());
        }
        if (currency_->SystemDefaults() == TKelCurrencyMode::cmSystem) {
            currency_->ReadFromLocale();
            RewriteMoney();
        }
    } catch (const std::exception&) {
        // A field that cannot re-render keeps its text.
    }
}

long double TKelCustomMaskEdit::DateTimeValue()
{
    switch (maskType_) {
        case TKelMaskType::meFloat:
        case TKelMaskType::meFloatFixed:
        case TKelMaskType::meFloatNumber: return AsFloat();
        case TKelMaskType::meCurrency: return AsCurrency();
        case TKelMaskType::meDate: return AsDate();
        case TKelMaskType::meTime: return AsTime();
        default: return 0;
    }
}

void TKelCustomMaskEdit::DefineProperties(fw::TFiler& filer)
{
    TKelCustomEdit::DefineProperties(filer);
    filer.DefineProperty(
        "DateTime",
        [this](fw::TReader& reader) {
            const long double value = reader.ReadFloat();
            switch (maskType_) {
                case TKelMaskType::meFloat:
                case TKelMaskType::meFloatFixed:
                case TKelMaskType::meFloatNumber:
                    SetText(fw::FloatToFormattedText(value, fw::TFloatFormat::ffGeneral, 15, 0));
                    break;
                case TKelMaskType::meCurrency: SetText(currency_->Format(value)); break;
                case TKelMaskType::meDate: try { SetText(DateText(static_cast<double>(value)));
                    } catch (const fw::EConvertError&) {
                        ValidationFailed();
                    }
                    break;
                case TKelMaskType::meTime: SetText(TimeText(static_cast<double>(value))); break;
                default: break;
            }
        },
        true);
}

}  // namespace numedit
