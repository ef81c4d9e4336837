// The mask edit: normalising of fixed-point fields, the typing filters, the readers.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "KelEditTestSupport.h"
#include "desktop/Locale.h"
#include "framework/SysUtilsLocale.h"
#include "numedit/KelMaskEdit.h"

namespace numedit::testing {
namespace {

// A fixed-point field as the window's frequency fields are set up, focused, under a locale
// with the given decimal separator.
class MaskEditTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        savedDecimal_ = fw::DecimalSeparator;
        savedThousand_ = fw::ThousandSeparator;
        UseSeparators(',', '.');
        KelApplication().SetKeyState(ksInsert);
        TKelSystemDates dates{"dd/mm/yyyy", "d mmmm yyyy", {}, {}};
        const char* months[12] = {"enero", "febrero", "marzo",      "abril",   "mayo",      "junio",
                                  "julio", "agosto",  "septiembre", "octubre", "noviembre", "diciembre"};
        for (std::size_t i = 0; i < 12; ++i) {
            dates.months[i] = months[i];
            dates.shortMonths[i] = dates.months[i].substr(0, 3);
        }
        TKelDateFormat::PinSystemDates(dates);
    }
    void TearDown() override
    {
        desktop::ClearLocaleOverrides();
        TKelDateFormat::PinSystemDates(std::nullopt);
        fw::DecimalSeparator = savedDecimal_;
        fw::ThousandSeparator = savedThousand_;
        KelApplication().SetKeyState(ksInsert);
        WindowTest::TearDown();
    }
    void UseSeparators(char decimal, char thousand)
    {
        fw::DecimalSeparator = decimal;
        fw::ThousandSeparator = thousand;
    }
    TKelMaskEdit* NewField(TKelMaskType type = TKelMaskType::meFloatFixed)
    {
        auto* edit = NewChild<TKelMaskEdit>();
        edit->SetMaxLength(4);
        edit->SetDecimals(3);
        edit->SetMaskType(type);
        edit->OnValidationError = [this](fw::TObject*) { ++validationErrors_; };
        edit->SetFocus();
        Pump();
        return edit;
    }

    int validationErrors_ = 0;

private:
    char savedDecimal_ = '.';
    char savedThousand_ = ',';
};

TEST_F(MaskEditTest, AssignedTextIsCutThenRewrittenWithTruncatedDecimals)
{
    auto* edit = NewField();
    EXPECT_EQ(edit->Text(), "0,00");
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0,00"}, {"1", "1,00"}, {"0,5", "0,50"}, {"0,1667", "0,16"}, {"0,995", "0,99"}, {",5", "0,50"},
    };
    for (const auto& [in, out] : cases) {
        edit->SetText(in);
        EXPECT_EQ(edit->Text(), out) << in;
    }
    EXPECT_EQ(validationErrors_, 0);
}

TEST_F(MaskEditTest, WindowTextMessagesReachTheShownText)
{
    auto* edit = NewField();
    fw::TControl* control = edit;
    int changes = 0;
    edit->OnChange = [&](fw::TObject*) { ++changes; };
    control->SetText("0,1667");
    EXPECT_EQ(edit->Text(), "0,16");
    EXPECT_EQ(control->GetText(), "0,16");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(desktop::GetWindowText(edit->Handle()), "0,16");
    edit->SetText("1");
    EXPECT_EQ(control->GetText(), "1,00");
}

TEST_F(MaskEditTest, UnparsableTextShowsZeroAfterTwoValidationEvents)
{
    auto* edit = NewField();
    edit->SetText("0,5");
    edit->SetText("5E-5");
    EXPECT_EQ(edit->Text(), "0,00");
    EXPECT_EQ(validationErrors_, 2);
}

TEST_F(MaskEditTest, AssigningTheShownTextFiresNothing)
{
    auto* edit = NewField();
    edit->SetText("0,1667");
    int changes = 0;
    edit->OnTextChangedAt = [&](fw::TObject*, int) { ++changes; };
    edit->OnChange = [&](fw::TObject*) { ++changes; };
    edit->SetText("0,16");
    EXPECT_EQ(changes, 0);
    edit->SetText("0,1");
    EXPECT_EQ(edit->Text(), "0,10");
    EXPECT_GT(changes, 0) << "the counters see a real change";
    EXPECT_EQ(validationErrors_, 0);
}

TEST_F(MaskEditTest, PointLocaleUsesThePoint)
{
    UseSeparators('.', ',');
    auto* edit = NewField();
    edit->SetText("0.1667");
    EXPECT_EQ(edit->Text(), "0.16");
}

TEST_F(MaskEditTest, DecimalsChangeReformatsAtOnceWithRounding)
{
    auto* edit = NewField();
    edit->SetText("0,16");
    edit->SetDecimals(1);
    EXPECT_EQ(edit->Text(), "0,2");
}

TEST_F(MaskEditTest, FullFieldRefusesADigitButSelectAllReplaces)
{
    auto* edit = NewField();
    edit->SetText("0,16");
    edit->SetCaretIndex(3);
    Type("7");
    EXPECT_EQ(edit->Text(), "0,16");
    Key('A', false, true);
    Type("5");
    EXPECT_EQ(edit->Text(), "5,00");
    EXPECT_EQ(edit->CaretIndex(), 2);
}

TEST_F(MaskEditTest, MinusIntoEmptyFieldKeepsTheSign)
{
    auto* edit = NewField();
    // Deleting everything reformats at once, so the empty state is made without a change run.
    edit->BeginUpdate();
    edit->SetText("");
    edit->EndUpdate(false);
    ASSERT_EQ(edit->Text(), "");
    Type("-");
    EXPECT_EQ(edit->Text(), "-0,0");
    EXPECT_EQ(edit->CaretIndex(), 2);
}

TEST_F(MaskEditTest, SeparatorWhereOneExistsMovesTheCaretBehindIt)
{
    auto* edit = NewField();
    edit->SetText("1");
    edit->SetCaretIndex(1);
    Type(",");
    EXPECT_EQ(edit->Text(), "1,00");
    EXPECT_EQ(edit->CaretIndex(), 3);
    Type("x");
    EXPECT_EQ(edit->Text(), "1,00");
}

TEST_F(MaskEditTest, UpDownAndWheelDoNothing)
{
    auto* edit = NewField();
    edit->SetText("0,5");
    edit->SetCaretIndex(3);
    Key(desktop::VK_UP);
    Key(desktop::VK_DOWN);
    desktop::headless::MoveMouse(edit->ClientToScreen({5, 5}));
    desktop::headless::Wheel(120);
    Pump();
    EXPECT_EQ(edit->Text(), "0,50");
    EXPECT_EQ(edit->CaretIndex(), 3);
}

TEST_F(MaskEditTest, FloatReaderParsesDigitByDigit)
{
    auto* edit = NewField(TKelMaskType::meFloat);
    edit->SetMaxLength(0);
    const std::pair<const char*, long double> cases[] = {
        {"", 0}, {"-", 0}, {",5", 0.5L}, {"-,5", -0.5L}, {"-0,5", -0.5L}, {"-2,25", -2.25L}, {"1.234,5", 1234.5L},
    };
    for (const auto& [in, value] : cases) {
        edit->SetText(in);
        EXPECT_DOUBLE_EQ(static_cast<double>(edit->AsFloat()), static_cast<double>(value)) << in;
    }
    edit->SetText("1e5");
    EXPECT_EQ(edit->AsFloat(), 0);
    EXPECT_EQ(validationErrors_, 1);
}

TEST_F(MaskEditTest, ReadersRefuseOtherTypes)
{
    auto* edit = NewField(TKelMaskType::meInteger);
    EXPECT_THROW(
        {
            try {
                edit->AsFloat();
            } catch (const EKelWrongDataType& e) {
                EXPECT_EQ(e.Message(), "No float entered");
                throw;
            }
        },
        EKelWrongDataType);
    edit->SetMaskType(TKelMaskType::meFloatFixed);
    EXPECT_THROW(
        {
            try {
                edit->AsInteger();
            } catch (const EKelWrongDataType& e) {
                EXPECT_EQ(e.Message(), "No integer entered");
                throw;
            }
        },
        EKelWrongDataType);
}

TEST_F(MaskEditTest, DateAndTimeReadersCheckTheirTypeAndText)
{
    auto* edit = NewField(TKelMaskType::meFloatFixed);
    EXPECT_THROW(edit->AsDate(), EKelWrongDataType);
    EXPECT_THROW(edit->AsTime(), EKelWrongDataType);
    try {
        edit->AsTime();
    } catch (const EKelWrongDataType& e) {
        EXPECT_EQ(e.Message(), "No time entered");
    }
    edit->SetMaxLength(0);
    // Text that is no date becomes a date, after a validation event.
    edit->SetMaskType(TKelMaskType::meDate);
    EXPECT_EQ(validationErrors_, 1);
    edit->AsDate();
    EXPECT_EQ(validationErrors_, 1);
    validationErrors_ = 0;
    edit->SetText("1.1.1900");
    EXPECT_EQ(edit->AsDate(), 2);
    edit->SetText("31/2/2000");
    EXPECT_EQ(edit->AsDate(), 0);
    EXPECT_EQ(validationErrors_, 1);
    edit->SetText("7-3-26");
    auto* other = NewChild<fw::TCustomControl>(10, 60);
    other->SetFocus();
    Pump();
    EXPECT_EQ(edit->Text(), "07/03/2026");
    edit->SetMaskType(TKelMaskType::meTime);
    EXPECT_EQ(validationErrors_, 2) << "a date is no time";
    edit->AsTime();
    EXPECT_EQ(validationErrors_, 2);
    validationErrors_ = 1;
    edit->SetText("12:30");
    EXPECT_DOUBLE_EQ(edit->AsTime(), 0.5 + 30.0 / 1440);
    edit->SetText("24:00");
    EXPECT_EQ(edit->AsTime(), 0);
    EXPECT_EQ(validationErrors_, 2);
}

TEST_F(MaskEditTest, UpAndDownMoveTheDateFieldUnderTheCaret)
{
    auto* edit = NewField(TKelMaskType::meDate);
    edit->SetMaxLength(0);
    edit->SetText("31/01/2024");
    edit->SetCaretIndex(5);  // in the month
    Key(desktop::VK_UP);
    EXPECT_EQ(edit->Text(), "29/02/2024");
    edit->SetCaretIndex(1);  // in the day
    Key(desktop::VK_UP);
    EXPECT_EQ(edit->Text(), "01/03/2024");
    edit->SetCaretIndex(10);  // in the year
    Key(desktop::VK_DOWN);
    EXPECT_EQ(edit->Text(), "01/03/2023");
    EXPECT_EQ(edit->CaretIndex(), 10);
    desktop::headless::MoveMouse(edit->ClientToScreen({5, 5}));
    desktop::headless::Wheel(40);
    Pump();
    EXPECT_EQ(edit->Text(), "01/03/2024");
}

TEST_F(MaskEditTest, DateSettingsDecideHowADateIsWrittenAndRead)
{
    auto* edit = NewField(TKelMaskType::meDate);
    edit->SetMaxLength(0);
    TKelDateFormat* settings = edit->DateSettings();
    settings->SetFormatStr("yyyy-mm-dd");
    settings->SetFormat(TKelDateFormats::dfCustom);
    edit->SetText("2024-03-07");
    validationErrors_ = 0;  // the date cut to four characters at creation did not parse
    const double march7 = edit->AsDate();
    EXPECT_EQ(march7, 45358);
    // Every change of the settings rewrites the text from the old form into the new one.
    settings->SetFormat(TKelDateFormats::dfShortSystem);
    EXPECT_EQ(edit->Text(), "07/03/2024");
    settings->SetFormat(TKelDateFormats::dfLongSystem);
    EXPECT_EQ(edit->Text(), "7 marzo 2024");
    EXPECT_EQ(edit->AsDate(), march7);
    edit->SetCaretIndex(4);  // in the month name
    Key(desktop::VK_UP);
    EXPECT_EQ(edit->Text(), "7 abril 2024");
    edit->SetText("1 JUNE 2024");
    EXPECT_EQ(edit->AsDate(), 0);
    EXPECT_EQ(validationErrors_, 1) << "names come from the locale";
    // Typing takes the pattern's separator only.
    settings->SetFormatStr("mm.dd.yy");
    settings->SetFormat(TKelDateFormats::dfCustom);
    Key('A', false, true);
    Type("12/31.9x9");
    EXPECT_EQ(edit->Text(), "1231.99");
    edit->SetText("12.31.99");
    EXPECT_EQ(edit->Text(), "12.31.99");
    auto* other = NewChild<fw::TCustomControl>(10, 60);
    other->SetFocus();
    Pump();
    EXPECT_EQ(edit->Text().substr(0, 6), "12.31.") << "the full form writes the year in four digits";
    EXPECT_EQ(edit->Text().size(), 10u);
}

TEST_F(MaskEditTest, TwoDigitYearsLandInTheWindowOfYearDelta)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int year = local.tm_year + 1900;
    auto yearOf = [](const std::string& pattern, const std::string& text, int delta) {
        const double days = TKelDateFormat::TextToDate(text, pattern, delta);
        return std::stoi(TKelDateFormat::DateToText(days, "yyyy", true));
    };
    auto twoDigits = [](int y) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%02d", ((y % 100) + 100) % 100);
        return std::string(buffer);
    };
    EXPECT_EQ(yearOf("dd/mm/yy", "1/1/" + twoDigits(year - 10), 50), year - 10);
    EXPECT_EQ(yearOf("dd/mm/yy", "1/1/" + twoDigits(year + 49), 50), year + 49);
    EXPECT_EQ(yearOf("dd/mm/yy", "1/1/" + twoDigits(year + 60), 50), year - 40);
    EXPECT_EQ(yearOf("dd/mm/yy", "1/1/" + twoDigits(year + 60), 0), year / 100 * 100 + (year + 60) % 100);
    EXPECT_EQ(yearOf("dd/mm/yy", "1/1/0" + twoDigits(year + 60), 50), (year + 60) % 100) << "three digits";
    EXPECT_THROW(TKelDateFormat::TextToDate("1/1", "dd/mm/yy", 50), fw::EConvertError);
    EXPECT_THROW(TKelDateFormat::TextToDate("1/1/1/1", "dd/mm/yy", 50), fw::EConvertError);
    EXPECT_THROW(TKelDateFormat::TextToDate("99999999999/1/1", "dd/mm/yy", 50), fw::EConvertError);
}

TEST_F(MaskEditTest, IntegerFieldFiltersTypingAndPastes)
{
    auto* edit = NewField(TKelMaskType::meInteger);
    edit->SetMaxLength(0);
    Key('A', false, true);
    Type("1a2-");
    EXPECT_EQ(edit->Text(), "12");
    edit->SetCaretIndex(1);
    Type("-");
    EXPECT_EQ(edit->Text(), "-12");
    Type("-");
    EXPECT_EQ(edit->Text(), "-12");
    EXPECT_EQ(edit->AsInteger(), -12);
    edit->SetCaretIndex(4);
    std::string paste = "3x";
    edit->BeforeInsert(4, paste);
    EXPECT_EQ(paste, "");
    paste = "-3";
    edit->BeforeInsert(1, paste);
    EXPECT_EQ(paste, "") << "a second minus";
}

TEST_F(MaskEditTest, IntegerReaderTakesOtherBasesAndKeepsLow32Bits)
{
    auto* edit = NewField(TKelMaskType::meInteger);
    edit->SetMaxLength(0);
    edit->SetNumberBase(16);
    edit->SetText("-ff");
    EXPECT_EQ(edit->AsInteger(), -255);
    edit->SetNumberBase(10);
    edit->SetText("4294967297");
    EXPECT_EQ(edit->AsInteger(), 1);
    edit->SetText("--1");
    EXPECT_EQ(edit->AsInteger(), 0);
    EXPECT_EQ(validationErrors_, 1);
    edit->SetAsFloat(-7.9);
    EXPECT_EQ(edit->Text(), "-7");
}

// Reading again gives what the text says now: after the text or the base changed, and a text
// that does not read is reported on every reading.
TEST_F(MaskEditTest, IntegerReadingFollowsTheTextAndTheBase)
{
    auto* edit = NewField(TKelMaskType::meInteger);
    edit->SetMaxLength(0);
    edit->SetText("10");
    EXPECT_EQ(edit->AsInteger(), 10);
    EXPECT_EQ(edit->AsInteger(), 10);
    edit->SetNumberBase(16);
    ASSERT_EQ(edit->Text(), "10");
    EXPECT_EQ(edit->AsInteger(), 16);
    edit->SetNumberBase(10);
    edit->SetText("11");
    EXPECT_EQ(edit->AsInteger(), 11);
    edit->SetText("");
    EXPECT_EQ(edit->AsInteger(), 0);
    edit->SetText("--1");
    EXPECT_EQ(edit->AsInteger(), 0);
    EXPECT_EQ(edit->AsInteger(), 0);
    EXPECT_EQ(validationErrors_, 2);
    edit->SetText("11");
    EXPECT_EQ(edit->AsInteger(), 11);
}

TEST_F(MaskEditTest, SuffixIsKeptOutOfEditingAndReading)
{
    auto* edit = NewField(TKelMaskType::meInteger);
    edit->SetMaxLength(0);
    edit->SetText("12");
    edit->SetSuffix(" kg");
    EXPECT_EQ(edit->Text(), "12 kg");
    EXPECT_EQ(edit->AsInteger(), 12);
    edit->SetCaretIndex(5);
    Type("3");
    EXPECT_EQ(edit->Text(), "12 kg");
    Key('A', false, true);
    Key(desktop::VK_DELETE);
    EXPECT_EQ(edit->Text(), " kg");
    EXPECT_EQ(edit->AsInteger(), 0);
}

TEST_F(MaskEditTest, ClipboardActsOnlyOnSelectionsBeforeTheSuffix)
{
    auto* edit = NewField(TKelMaskType::meInteger);
    edit->SetMaxLength(0);
    edit->SetText("12");
    edit->SetSuffix(" kg");
    auto setClipboard = [](const std::string& text) {
        desktop::OpenClipboard(nullptr);
        desktop::EmptyClipboard();
        desktop::SetClipboardText(text);
        desktop::CloseClipboard();
    };
    auto clipboard = [] {
        desktop::OpenClipboard(nullptr);
        std::string text = desktop::GetClipboardText().value_or("<none>");
        desktop::CloseClipboard();
        return text;
    };
    setClipboard("9");
    // Reaching into the suffix: neither cut nor paste.
    edit->SetCaretIndex(4);
    edit->SetSelStart(2);
    edit->SetSelLength(2);
    edit->CutToClipboard();
    EXPECT_EQ(edit->Text(), "12 kg");
    EXPECT_EQ(clipboard(), "9");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "12 kg");
    edit->SetCaretIndex(3);
    edit->SetSelStart(2);
    edit->SetSelLength(1);
    edit->CutToClipboard();
    EXPECT_EQ(edit->Text(), "1 kg");
    EXPECT_EQ(clipboard(), "2");
}

TEST_F(MaskEditTest, LoneMinusIsEmptiedOnFocusLoss)
{
    auto* edit = NewField(TKelMaskType::meInteger);
    Key('A', false, true);
    Type("-");
    EXPECT_EQ(edit->Text(), "-");
    auto* other = NewChild<fw::TCustomControl>(10, 60);
    other->SetFocus();
    Pump();
    EXPECT_EQ(edit->Text(), "");
}

TEST_F(MaskEditTest, EveryTypeAcceptsSomethingAndSurvivesTyping)
{
    for (int t = 0; t <= static_cast<int>(TKelMaskType::meNone); ++t) {
        auto* edit = NewField(static_cast<TKelMaskType>(t));
        edit->SetMaxLength(0);
        edit->SetMask("00-00");
        Key('A', false, true);
        Type("12");
        EXPECT_NE(edit->Text().find('1'), std::string::npos) << "type " << t;
        Key(desktop::VK_BACK);
        Key(desktop::VK_UP);
        delete edit;
    }
}

TEST_F(MaskEditTest, ValuesOutOfEveryRangeLeaveAValidText)
{
    const double values[] = {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e300, 4e9, 3e6};
    for (int t = 0; t <= static_cast<int>(TKelMaskType::meNone); ++t) {
        auto* edit = NewField(static_cast<TKelMaskType>(t));
        edit->SetMaxLength(0);
        for (const double v : values) {
            edit->SetAsFloat(v);
            EXPECT_LE(edit->Text().size(), 4096u) << "type " << t << " value " << v;
        }
        delete edit;
    }
    auto* date = NewField(TKelMaskType::meDate);
    date->SetMaxLength(0);
    date->SetText("31/12/9999");
    date->SetCaretIndex(1);
    const int before = validationErrors_;
    Key(desktop::VK_UP);
    EXPECT_EQ(date->Text(), "31/12/9999");
    EXPECT_EQ(validationErrors_, before + 1);
}

// ---- Grouped numbers and money ----

TEST_F(MaskEditTest, NumberFieldGroupsThousandsAndKeepsTheCaretRightOfThem)
{
    auto* edit = NewField(TKelMaskType::meFloatNumber);
    edit->SetMaxLength(0);
    edit->SetDecimals(2);
    EXPECT_EQ(edit->Text(), "0,00");
    edit->SetAsFloat(1234.5);
    EXPECT_EQ(edit->Text(), "1.234,50");
    EXPECT_DOUBLE_EQ(static_cast<double>(edit->AsFloat()), 1234.5);
    EXPECT_DOUBLE_EQ(static_cast<double>(edit->DateTimeValue()), 1234.5);
    edit->SetCaretIndex(6);  // after "1.234"
    Type("7");
    EXPECT_EQ(edit->Text(), "12.347,50");
    EXPECT_EQ(edit->CaretIndex(), 7);
    edit->SetCaretIndex(1);
    Type("9");
    EXPECT_EQ(edit->Text(), "912.347,50");
    Type("8");
    EXPECT_EQ(edit->Text(), "9.812.347,50");
    EXPECT_EQ(edit->CaretIndex(), 4) << "right of the separator that came in";
    EXPECT_EQ(validationErrors_, 0);
}

TEST_F(MaskEditTest, CurrencyFieldMovesItsDecimalSeparatorToTheCaret)
{
    desktop::SetLocaleOverride(desktop::LOCALE_ICURRENCY, "3");
    desktop::SetLocaleOverride(desktop::LOCALE_INEGCURR, "8");
    desktop::SetLocaleOverride(desktop::LOCALE_SCURRENCY, "EUR");
    desktop::SetLocaleOverride(desktop::LOCALE_SMONDECIMALSEP, ",");
    desktop::SetLocaleOverride(desktop::LOCALE_SMONTHOUSANDSEP, ".");
    desktop::SetLocaleOverride(desktop::LOCALE_ICURRDIGITS, "2");
    auto* edit = NewField(TKelMaskType::meFloatFixed);
    edit->SetMaxLength(0);
    edit->SetMaskType(TKelMaskType::meCurrency);
    edit->SetDecimals(2);
    EXPECT_EQ(edit->Text(), "0,00 EUR");
    edit->SetAsFloat(-1234.5);
    EXPECT_EQ(edit->Text(), "-1.234,50 EUR");
    EXPECT_DOUBLE_EQ(static_cast<double>(edit->AsCurrency()), -1234.5);
    edit->SetAsFloat(1234.5);
    edit->SetCaretIndex(5);  // after "1.23"
    Type(",");
    EXPECT_EQ(edit->Text(), "123,45 EUR");
    EXPECT_EQ(edit->CaretIndex(), 5);
    Type("x");
    EXPECT_EQ(edit->Text(), "123,45 EUR");
    // New separators from the locale do not misread the amount.
    desktop::SetLocaleOverride(desktop::LOCALE_SMONDECIMALSEP, ".");
    desktop::SetLocaleOverride(desktop::LOCALE_SMONTHOUSANDSEP, ",");
    edit->SetAsFloat(1234.5);
    edit->CurrencySettings()->SetSystemDefaults(TKelCurrencyMode::cmSystem);
    EXPECT_EQ(edit->Text(), "1,234.50 EUR");
    EXPECT_DOUBLE_EQ(static_cast<double>(edit->AsCurrency()), 1234.5);
    EXPECT_EQ(validationErrors_, 0);
}

// ---- Pattern fields ----

TEST_F(MaskEditTest, PatternPositionsAreFilledInPlaceAndBlankedByDeletion)
{
    auto* edit = NewField(TKelMaskType::meMask);
    edit->SetMaxLength(0);
    edit->SetMask("00\\-\\0a");
    EXPECT_EQ(edit->Text(), "__-0_");
    edit->SetCaretIndex(1);
    Type("1x2");
    EXPECT_EQ(edit->Text(), "12-0_");
    EXPECT_EQ(edit->CaretIndex(), 3);
    // Both literals are stepped over; the letter position refuses a digit.
    Type("7b");
    EXPECT_EQ(edit->Text(), "12-0b");
    Key(desktop::VK_BACK);
    EXPECT_EQ(edit->Text(), "12-0_");
    edit->SetCaretIndex(1);
    Key(desktop::VK_DELETE);
    EXPECT_EQ(edit->Text(), "_2-0_");
    // A selection is blanked and the typed character takes its first position.
    edit->SetSelStart(1);
    edit->SetSelLength(2);
    Type("9");
    EXPECT_EQ(edit->Text(), "9_-0_");
}

TEST_F(MaskEditTest, UserRuleAndBlankCharApplyToEveryPosition)
{
    auto* edit = NewField(TKelMaskType::meMask);
    edit->SetMaxLength(0);
    edit->SetMask("000");
    std::vector<int> asked;
    edit->OnUserRule = [&](fw::TObject*, bool& ok, char c, int at) {
        asked.push_back(at);
        ok = c != '5';
    };
    edit->SetCaretIndex(1);
    Type("154");
    EXPECT_EQ(edit->Text(), "14_");
    edit->SetBlankChar('.');
    EXPECT_EQ(edit->Text(), "14.");
    Type("3");
    EXPECT_EQ(edit->Text(), "143");
    EXPECT_FALSE(asked.empty());
}

TEST_F(MaskEditTest, EmptyRequiredPositionTakesTheFocusBack)
{
    auto* edit = NewField(TKelMaskType::meMask);
    edit->SetMaxLength(0);
    edit->SetMask("0!!");
    auto* other = NewChild<fw::TCustomControl>(10, 60);
    int exits = 0;
    edit->OnAfterExit = [&](fw::TObject*) { ++exits; };
    edit->SetCaretIndex(1);
    Type("12");
    other->SetFocus();
    Pump();
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->CaretIndex(), 3);
    EXPECT_EQ(exits, 0);
    Type("3");
    other->SetFocus();
    Pump();
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(exits, 1);
}

TEST_F(MaskEditTest, TwoIncompletePatternsDoNotPassTheFocusBackAndForth)
{
    auto* first = NewField(TKelMaskType::meMask);
    first->SetMask("!");
    Type("1");
    auto* second = NewField(TKelMaskType::meMask);
    second->SetMask("!");
    ASSERT_TRUE(second->Focused());
    first->SetText("_");
    // Without a guard each would claim the focus back from the other for ever.
    first->SetFocus();
    Pump();
    EXPECT_TRUE(second->Focused());
}

TEST_F(MaskEditTest, CurrencySettingsFollowTheLocaleOnlyInSystemMode)
{
    desktop::SetLocaleOverride(desktop::LOCALE_ICURRENCY, "3");
    desktop::SetLocaleOverride(desktop::LOCALE_INEGCURR, "8");
    desktop::SetLocaleOverride(desktop::LOCALE_SCURRENCY, "EUR");
    TKelCurrencySettings settings(nullptr);
    EXPECT_EQ(settings.PositiveFormatStr(), "1,1 \xA4");
    EXPECT_EQ(settings.NegativeFormatStr(), "-1,1 \xA4");
    EXPECT_EQ(settings.Symbol(), "EUR");
    settings.SetSystemDefaults(TKelCurrencyMode::cmUser);
    settings.SetPositiveFormatStr(
        "\xA4"
        "1,1");
    desktop::SetLocaleOverride(desktop::LOCALE_INEGCURR, "15");
    settings.SetSystemDefaults(TKelCurrencyMode::cmSystem);
    EXPECT_EQ(settings.PositiveFormatStr(), "1,1 \xA4");
    EXPECT_EQ(settings.NegativeFormatStr(), "(1,1 \xA4)");
    desktop::ClearLocaleOverrides();
    EXPECT_STREQ(TKelCurrencySettings::NegativeTemplate(0),
                 "(\xA4"
                 "1,1)");
    EXPECT_STREQ(TKelCurrencySettings::PositiveTemplate(2), "\xA4 1,1");
}

}  // namespace
}  // namespace numedit::testing
