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

class LocaleSeparators : public ::testing::Test {
protected:
    void SetUp() override
    {
        fw::DecimalSeparator = 'x';
        fw::ThousandSeparator = 'y';
    }
    void TearDown() override
    {
        fw::DecimalSeparator = savedDecimal_;
        fw::ThousandSeparator = savedThousand_;
    }

private:
    char savedDecimal_ = fw::DecimalSeparator;
    char savedThousand_ = fw::ThousandSeparator;
};

TEST_F(LocaleSeparators, CAndUnknownLocalesGiveTheDefaults)
{
    // The C locale has no thousands separator, which keeps the default.
    for (const char* name : {"C", "xx_NOWHERE.UTF-8"}) {
        fw::ReadLocaleSeparators(name);
        EXPECT_EQ(fw::DecimalSeparator, '.') << name;
        EXPECT_EQ(fw::ThousandSeparator, ',') << name;
    }
    const SavedEnvironment saved("LC_ALL");
    ::setenv("LC_ALL", "C", 1);
    fw::DecimalSeparator = 'x';
    fw::ReadLocaleSeparators();
    EXPECT_EQ(fw::DecimalSeparator, '.');
}

bool LocaleAvailable(const std::string& name)
{
    const locale_t probe = newlocale(LC_NUMERIC_MASK | LC_CTYPE_MASK, name.c_str(), locale_t{});
    if (probe != locale_t{}) {
        freelocale(probe);
    }
    return probe != locale_t{};
}

// Named locales are rarely installed on build machines. When the locale sources are there,
// the missing ones are compiled into a directory for LOCPATH. Gives "" when all are installed,
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
        fw::ReadLocaleSeparators(name.c_str());
        std::fprintf(stderr, "%s %02x %02x\n", name.c_str(), static_cast<unsigned char>(fw::DecimalSeparator),
                     static_cast<unsigned char>(fw::ThousandSeparator));
    }
    ::_exit(0);
}

TEST(LocaleSeparatorsDeathTest, NamedLocales)
{
    // de_CH groups with a typographic apostrophe, fr_FR with a narrow no-break space.
    const std::vector<std::string> names = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_CH.UTF-8"};
    const std::optional<std::string> path = LocalePathFor(names);
    if (!path) {
        GTEST_SKIP() << "the named locales are neither installed nor buildable";
    }
    EXPECT_EXIT(PrintSeparatorsAndExit(*path, names), ::testing::ExitedWithCode(0),
                "de_DE.UTF-8 2c 2e\nfr_FR.UTF-8 2c a0\nde_CH.UTF-8 2e 92\n");
}

TEST(SeparatorFromLocaleText, TakesTheFirstCharacterInCodePage1252)
{
    const struct {
        const char* text;
        bool utf8;
        char expected;
    } cases[] = {
        {",", true, ','},
        {",.", true, ','},
        {"\xE9", false, '\xE9'},
        {"\xC2\xA0", true, '\xA0'},
        {"\xE2\x80\xAF", true, '\xA0'},
        {"\xE2\x80\x89", true, '\xA0'},
        {"\xE2\x80\x99", true, '\x92'},
        {"\xD9\xAB", true, '#'},  // Arabic decimal separator: not in 1252
        {"\xE2\x80", true, '#'},  // truncated
        {"\x80", true, '#'},      // stray continuation byte
        {"", false, '#'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fw::SeparatorFromLocaleText(c.text, c.utf8, '#'), c.expected) << c.text;
    }
    EXPECT_EQ(fw::SeparatorFromLocaleText(nullptr, true, '#'), '#');
}

}  // namespace
