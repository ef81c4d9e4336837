#pragma once

// TKelCurrencySettings: how a currency field writes money. The templates show the number as
// "1,1" and the symbol as "¤" (code page 1252: 0xA4). In cmSystem mode every field follows the
// user's locale and stored strings are overridden; in cmUser mode the stored strings stay.

#include <string>

#include "numedit/KelObject.h"

namespace numedit {

enum class TKelCurrencyMode : std::uint8_t { cmSystem, cmUser };

class TKelCurrencySettings : public TKelObject {
public:
    explicit TKelCurrencySettings(fw::TPersistent* owner);

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    static constexpr char SymbolMark = '\xA4';
    // The templates by the locale's positive (0..3) and negative (0..15) currency orders.
    static const char* PositiveTemplate(int order);
    static const char* NegativeTemplate(int order);

    TKelCurrencyMode SystemDefaults() const { return mode_; }
    void SetSystemDefaults(TKelCurrencyMode value);
    const std::string& PositiveFormatStr() const { return positive_; }
    void SetPositiveFormatStr(const std::string& value);
    const std::string& NegativeFormatStr() const { return negative_; }
    void SetNegativeFormatStr(const std::string& value);
    const std::string& Symbol() const { return symbol_; }
    void SetSymbol(const std::string& value);
    int Digits() const { return digits_; }
    void SetDigits(int value);
    char DecimalSeparator() const { return decimalSeparator_; }
    char ThousandSeparator() const { return thousandSeparator_; }

    // Takes every field from the user's locale; a missing answer keeps the field.
    void ReadFromLocale();
    // Money amount in the form of the templates, with Digits decimals.
    std::string Format(long double value) const;
    // Reads a text written by Format (or typed): the digits and the decimal separator count,
    // a "-" or "(" marks a negative amount. Raises EConvertError when there are no digits.
    long double Parse(const std::string& text) const;

    void Assign(fw::TPersistent* source) override;

private:
    TKelCurrencyMode mode_ = TKelCurrencyMode::cmSystem;
    std::string positive_ =
        "\xA4"
        "1,1";
    std::string negative_ =
        "-\xA4"
        "1,1";
    std::string symbol_ = "$";
    int digits_ = 2;
    char decimalSeparator_ = '.';
    char thousandSeparator_ = ',';
};

}  // namespace numedit
