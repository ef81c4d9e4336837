#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <locale.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "desktop/Locale.h"

namespace {

// Restores a process-wide variable of the environment.
class SavedEnvironment {
public:
    explicit SavedEnvironment(const char* name) : name_(name)
    {
        if (const char* value = std::getenv(name)) {
            value_ = value;
        }
    }
    ~SavedEnvironment() { value_ ? ::setenv(name_, value_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> value_;
};

bool LocaleAvailable(const std::string& name)
{
    const locale_t probe = newlocale(LC_NUMERIC_MASK | LC_CTYPE_MASK, name.c_str(), locale_t{});
    if (probe != locale_t{}) {
        freelocale(probe);
    }
    return probe != locale_t{};
}

class FormatSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::ClearLocaleOverrides();
        fw::DecimalSeparator = 'x';
        fw::ThousandSeparator = 'y';
    }
    void TearDown() override
    {
        desktop::ClearLocaleOverrides();
        fw::DecimalSeparator = savedDecimal_;
        fw::ThousandSeparator = savedThousand_;
    }

    // The start-up read with only these variables of the locale environment set.
    void ReadWith(std::initializer_list<std::pair<const char*, const char*>> variables)
    {
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "LC_CTYPE", "LANG"}) {
            ::unsetenv(name);
        }
        for (const auto& [name, value] : variables) {
            ::setenv(name, value, 1);
        }
        fw::GetFormatSettings();
    }

private:
    char savedDecimal_ = fw::DecimalSeparator;
    char savedThousand_ = fw::ThousandSeparator;
    SavedEnvironment all_{"LC_ALL"};
    SavedEnvironment numeric_{"LC_NUMERIC"};
    SavedEnvironment ctype_{"LC_CTYPE"};
    SavedEnvironment lang_{"LANG"};
};

TEST_F(FormatSettings, SpanishEnvironmentGivesCommaAndFullStop)
{
    ASSERT_TRUE(LocaleAvailable("es_ES.UTF-8")) << "es_ES.UTF-8 is not installed; scripts/install-deps generates it";
    ReadWith({{"LC_ALL", "es_ES.UTF-8"}});
    EXPECT_EQ(fw::DecimalSeparator, ',');
    EXPECT_EQ(fw::ThousandSeparator, '.');
    EXPECT_EQ(fw::FloatToFormattedText(1.0L / 6, fw::TFloatFormat::ffGeneral, 4, 0), "0,1667");

    // LANG alone, and LC_NUMERIC over a different LANG, choose the same.
    ReadWith({{"LANG", "es_ES.UTF-8"}});
    EXPECT_EQ(fw::DecimalSeparator, ',');
    ReadWith({{"LANG", "C.UTF-8"}, {"LC_NUMERIC", "es_ES.UTF-8"}});
    EXPECT_EQ(fw::DecimalSeparator, ',');
    EXPECT_EQ(fw::ThousandSeparator, '.');
    // LC_ALL wins over everything else.
    ReadWith({{"LANG", "es_ES.UTF-8"}, {"LC_NUMERIC", "es_ES.UTF-8"}, {"LC_ALL", "C.UTF-8"}});
    EXPECT_EQ(fw::DecimalSeparator, '.');
}

TEST_F(FormatSettings, DatePictureAndMonthNamesComeFromTheTimeCategory)
{
    ASSERT_TRUE(LocaleAvailable("es_ES.UTF-8")) << "es_ES.UTF-8 is not installed; scripts/install-deps generates it";
    ReadWith({{"LC_ALL", "es_ES.UTF-8"}});
    using desktop::GetLocaleInfo;
    EXPECT_EQ(GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, desktop::LOCALE_SSHORTDATE), "dd/MM/yy");
    EXPECT_EQ(GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, desktop::LOCALE_SMONTHNAME1), "enero");
    EXPECT_EQ(GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, desktop::LOCALE_SMONTHNAME1 + 11), "diciembre");
    EXPECT_EQ(GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, desktop::LOCALE_SABBREVMONTHNAME1 + 1), "feb");
    ReadWith({{"LC_ALL", "C.UTF-8"}});
    EXPECT_EQ(GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, desktop::LOCALE_SSHORTDATE), "MM/dd/yy");
    EXPECT_EQ(GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, desktop::LOCALE_SMONTHNAME1 + 2), "March");
}

TEST_F(FormatSettings, CAndMissingLocalesGiveTheDefaults)
{
    // The C locales have no thousands separator, which keeps the default; a locale that is
    // not installed reads as C.
    for (const char* name : {"C", "C.UTF-8", "xx_NOWHERE.UTF-8"}) {
        fw::DecimalSeparator = 'x';
        fw::ThousandSeparator = 'y';
        ReadWith({{"LC_ALL", name}});
        EXPECT_EQ(fw::DecimalSeparator, '.') << name;
        EXPECT_EQ(fw::ThousandSeparator, ',') << name;
    }
}

TEST_F(FormatSettings, TakesTheFirstCharacterOfWhatTheLocaleAnswers)
{
    desktop::SetLocaleOverride(desktop::LOCALE_SDECIMAL, ",;");
    desktop::SetLocaleOverride(desktop::LOCALE_STHOUSAND, "\xA0");
    fw::GetFormatSettings();
    EXPECT_EQ(fw::DecimalSeparator, ',');
    EXPECT_EQ(fw::ThousandSeparator, '\xA0');

    // A failed query and an empty answer keep the defaults rather than the last reading.
    desktop::SetLocaleOverride(desktop::LOCALE_SDECIMAL, std::nullopt);
    desktop::SetLocaleOverride(desktop::LOCALE_STHOUSAND, "");
    fw::GetFormatSettings();
    EXPECT_EQ(fw::DecimalSeparator, '.');
    EXPECT_EQ(fw::ThousandSeparator, ',');
}

// Named locales beyond es_ES are rarely installed. When the locale sources are there, the
// missing ones are compiled into a directory for LOCPATH. Gives "" when all are installed,
// the directory when some were built, nothing when they cannot be had.
std::optional<std::string> LocalePathFor(const std::vector<std::string>& names)
{
    const std::string directory = ::testing::TempDir() + "sysutils-locales";
    std::string path;
    for (const std::string& name : names) {
        if (LocaleAvailable(name)) {
            continue;
        }
        path = directory;
        if (std::filesystem::exists(directory + "/" + name + "/LC_NUMERIC")) {
            continue;  // left by an earlier run
        }
        const std::string source = name.substr(0, name.find('.'));
        const std::string command = "mkdir -p '" + directory + "' && localedef -i " + source + " -f UTF-8 '" +
                                    directory + "/" + name + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) {
            return std::nullopt;
        }
    }
    return path;
}

// Runs in a child process: a locale loaded through LOCPATH holds memory until the process
// ends, and the variable would hide the installed locales from every later test.
[[noreturn]] void PrintSeparatorsAndExit(const std::string& path, const std::vector<std::string>& names)
{
    if (!path.empty()) {
        ::setenv("LOCPATH", path.c_str(), 1);
    }
    for (const std::string& name : names) {
        ::setenv("LC_ALL", name.c_str(), 1);
        fw::GetFormatSettings();
        std::fprintf(stderr, "%s %02x %02x\n", name.c_str(), static_cast<unsigned char>(fw::DecimalSeparator),
                     static_cast<unsigned char>(fw::ThousandSeparator));
    }
    ::_exit(0);
}

TEST(FormatSettingsDeathTest, SeparatorsOutsideAsciiBecomeCodePage1252)
{
    // de_CH groups with a typographic apostrophe, fr_FR with a narrow no-break space; ps_AF's
    // Arabic separators have no 1252 character and leave the defaults.
    const std::vector<std::string> names = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_CH.UTF-8", "ps_AF.UTF-8"};
    const std::optional<std::string> path = LocalePathFor(names);
    if (!path) {
        GTEST_SKIP() << "the named locales are neither installed nor buildable";
    }
    EXPECT_EXIT(PrintSeparatorsAndExit(*path, names), ::testing::ExitedWithCode(0),
                "de_DE.UTF-8 2c 2e\nfr_FR.UTF-8 2c a0\nde_CH.UTF-8 2e 92\nps_AF.UTF-8 2e 2c\n");
}

}  // namespace
