#pragma once

// TKelCustomMaskEdit: the engine edit with a content type. The type decides which characters
// may be typed, how the text reads back as a number, and how the text is normalised after
// every change (a fixed-point field rewrites itself with Decimals digits, cut to MaxLength).
// Unparsable text never raises: it reads as 0 and fires OnValidationError.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "framework/SysUtilsExceptions.h"
#include "framework/SysUtilsFloat.h"
#include "numedit/KelCurrencySettings.h"
#include "numedit/KelCustomEdit.h"
#include "numedit/KelDateFormat.h"

namespace numedit {

enum class TKelMaskType : std::uint8_t {
    meInteger,
    meWord,
    meFloat,
    meFloatFixed,
    meFloatNumber,
    meCurrency,
    meDate,
    meTime,
    meMask,
    meNone,
};

// Raised when a value is read in a type the field does not hold.
class EKelWrongDataType : public fw::Exception {
public:
    using fw::Exception::Exception;
};

using TKelUserRuleEvent = std::function<void(fw::TObject* sender, bool& ok, char c, int at)>;

class TKelCustomMaskEdit : public TKelCustomEdit {
public:
    explicit TKelCustomMaskEdit(fw::TComponent* owner);
    ~TKelCustomMaskEdit() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    TKelMaskType MaskType() const { return maskType_; }
    virtual void SetMaskType(TKelMaskType value);
    int Decimals() const { return decimals_; }
    void SetDecimals(int value);
    int NumberBase() const { return numberBase_; }
    void SetNumberBase(int value);
    char BlankChar() const { return blankChar_; }
    void SetBlankChar(char value);
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& value);
    const std::string& Suffix() const { return suffix_; }
    void SetSuffix(const std::string& value);
    TKelCurrencySettings* CurrencySettings() { return currency_.get(); }
    void SetCurrencySettings(TKelCurrencySettings* value) { currency_->Assign(value); }
    TKelDateFormat* DateSettings() { return dates_.get(); }
    void SetDateSettings(TKelDateFormat* value) { dates_->Assign(value); }
    double RangeMin() const { return rangeMin_; }
    double RangeMax() const { return rangeMax_; }
    void SetRangeMin(double value) { rangeMin_ = value; }
    void SetRangeMax(double value) { rangeMax_ = value; }
    // The decimal separator taken from the locale when the edit was created.
    char TypingSeparator() const { return separator_; }

    // ---- Readers and writers ----
    std::int32_t AsInteger();
    long double AsFloat();
    long double AsCurrency();
    // Days since 30 December 1899, read through DateSettings.
    double AsDate();
    // The fraction of a day, from hours, minutes and optional seconds separated by ":".
    double AsTime();
    void SetAsFloat(double value);
    void ValidationFailed();
    // The value stored in a form description as "DateTime".
    long double DateTimeValue();
    // The text without the suffix (types that keep one).
    std::string Number() const;
    // The pattern of meMask with every fillable position blank.
    std::string EmptyPattern() const;

    fw::TNotifyEvent OnValidationError;
    TKelUserRuleEvent OnUserRule;

    // ---- Hooks ----
    void BeforeInsert(int pos, std::string& s) override;
    void TextChangedAt(int pos) override;
    void EditKey(desktop::WORD& key, fw::TShiftState shift) override;
    void BeforeChange() override;
    void AfterChange() override;
    void BeforeDelete(int pos, const std::string& s) override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;

protected:
    void WMChar(fw::TWMChar message) override;
    void WMKillFocus(fw::TWMKillFocus message) override;
    // Dates move the field under the caret by one per message; other types ignore the wheel.
    void WMMouseWheel(fw::TWMMouseWheel message) override;
    // A pattern with an empty required position takes the focus back.
    void AfterExit() override;
    void Loaded() override;
    void DefineProperties(fw::TFiler& filer) override;

    // Digit value of c in the base (letters upper-cased), -1 when it is none.
    static int DigitIn(char c, int base);
    bool UsesSuffix() const;
    // The text is the field's number text plus the suffix.
    void AssignNumber(const std::string& number);

private:
    long double ParseFloat(std::string s) const;
    // Raise EConvertError when the text is no date or time.
    double ParseDate(const std::string& s) const;
    static double ParseTime(const std::string& s);
    std::string DateText(double days) const;
    static std::string TimeText(double dayFraction);
    // A money text is written again in the current currency form.
    void RewriteMoney();
    // A date text is rewritten from the old form into the new one.
    void DateSettingsChanged();
    // Up and Down in a date: the day, month or year under the caret moves by delta.
    void StepDateField(int delta);
    std::int64_t ParseInteger(const std::string& s) const;
    void ReformatFixed(fw::TFloatFormat kind);
    bool FitsMask(const std::string& text);
    void TypeIntoPattern(fw::TWMChar message);
    // 1-based; 0 when every required position of the pattern is filled.
    int FirstEmptyRequiredPosition() const;
    bool SelectionEndsBeforeSuffix() const;

    std::string suffix_;
    std::string previousText_;
    std::string mask_;
    int numberBase_ = 10;
    char separator_ = '.';
    char blankChar_ = '_';
    int decimals_ = 1;
    std::unique_ptr<TKelDateFormat> dates_;
    std::string datePattern_;  // the form the date text was last written in
    std::unique_ptr<TKelCurrencySettings> currency_;
    long double money_ = 0;  // the amount the money text was last read as
    int separatorsLeft_ = 0;
    int reformatDepth_ = 0;
    int refocusAt_ = 0;
    double rangeMin_ = -1;
    double rangeMax_ = -1;
    TKelMaskType maskType_ = TKelMaskType::meMask;
    // The integer the text was last read as, with what reading it depended on: a spin edit's
    // value is read on every roll of an experiment while its text seldom changes.
    struct IntegerReading {
        std::string text;
        std::string suffix;
        int base = 0;
        std::int32_t value = 0;
    };
    std::optional<IntegerReading> lastInteger_;
};

}  // namespace numedit
