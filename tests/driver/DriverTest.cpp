// The driver's command table, which the dispatcher and the help share, and its option parser.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "driver/DriverCommand.h"
#include "driver/DriverOptions.h"

namespace {

TEST(DriverCommands, EachVerbIsOneEntryFoundByTheDispatcherAndListedOnceInTheHelp)
{
    std::set<std::string_view> verbs;
    for (const driver::Command& command : driver::CommandTable()) {
        EXPECT_TRUE(verbs.insert(command.verb).second) << "twice: " << command.verb;
        EXPECT_EQ(driver::FindCommand(command.verb), &command);
        EXPECT_NE(command.run, nullptr) << command.verb;
        EXPECT_FALSE(command.help.empty()) << command.verb;
        EXPECT_EQ(command.help.find('\n'), std::string_view::npos) << command.verb;
    }
    EXPECT_EQ(driver::FindCommand("frobnicate"), nullptr);

    std::istringstream help(driver::CommandHelp());
    std::vector<std::string> listed;
    for (std::string line; std::getline(help, line);) listed.push_back(line.substr(2, line.find(' ', 2) - 2));
    EXPECT_EQ(std::set<std::string_view>(listed.begin(), listed.end()), verbs);
    EXPECT_EQ(listed.size(), verbs.size());
}

std::optional<driver::Options> Parse(std::vector<std::string> arguments)
{
    std::string error;
    return driver::ParseOptions(arguments, &error);
}

TEST(DriverOptions, ScaleIsADecimalFromHalfToFourGivingPixelsPerInch)
{
    EXPECT_EQ(Parse({})->pixelsPerInch, 96);
    EXPECT_EQ(Parse({"--scale", "1.5"})->pixelsPerInch, 144);
    EXPECT_EQ(Parse({"--scale", "0.5"})->pixelsPerInch, 48);
    EXPECT_EQ(Parse({"--scale", "4"})->pixelsPerInch, 384);
    EXPECT_EQ(Parse({"--scale", "1.25"})->pixelsPerInch, 120);
    for (const char* bad : {"0.49", "4.01", "0", "-1", "1,5", "1e0", "nan", "inf", " 1", "2x", ""}) {
        EXPECT_FALSE(Parse({"--scale", bad})) << bad;
    }
}

TEST(DriverOptions, HelpAndVersionEndTheParseButNotBeforeAnEarlierError)
{
    EXPECT_EQ(Parse({"--seed", "3", "--help", "--frobnicate"})->request, driver::Options::Request::Help);
    EXPECT_EQ(Parse({"-V", "--scale"})->request, driver::Options::Request::Version);
    EXPECT_FALSE(Parse({"--frobnicate", "--help"}));
    EXPECT_FALSE(Parse({"--scale", "9", "--version"}));
}

}  // namespace
