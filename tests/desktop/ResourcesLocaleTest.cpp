#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "WindowTestSupport.h"
#include "desktop/Locale.h"
#include "desktop/Resources.h"

namespace desktop {
namespace {

TEST(Resources, AreFoundByTypeAndCaseInsensitiveNameAndReplacedByLaterRegistrations)
{
    static constexpr std::array<std::uint8_t, 3> first{1, 2, 3};
    static constexpr std::array<std::uint8_t, 1> second{9};
    RegisterResource(RT_RCDATA, "TForm1", first);
    auto found = FindResource(RT_RCDATA, "TFORM1");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->size(), 3u);
    EXPECT_EQ((*found)[2], 3);
    EXPECT_FALSE(FindResource(RT_BITMAP, "TFORM1").has_value());  // same name, other type
    EXPECT_FALSE(FindResource(RT_RCDATA, "TFORM2").has_value());
    RegisterResource(RT_RCDATA, "tform1", second);
    EXPECT_EQ(FindResource(RT_RCDATA, "TForm1")->size(), 1u);
    EXPECT_EQ(ResourceIdName(65520), "#65520");
}

TEST(Resources, StringTableAnswersByNumber)
{
    RegisterString(65386, "OK");
    EXPECT_EQ(LoadString(65386), "OK");
    EXPECT_FALSE(LoadString(1).has_value());
}

TEST(Locale, ReadsTheEnvironmentUnlessPinned)
{
    ClearLocaleOverrides();
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL), ".");
    EXPECT_FALSE(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND).has_value());  // the C locale has none
    SetLocaleOverride(LOCALE_SDECIMAL, ",");
    SetLocaleOverride(LOCALE_STHOUSAND, ".");
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL), ",");
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND), ".");
    ClearLocaleOverrides();
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL), ".");
    unsetenv("LC_ALL");
}

class LocaleChange : public testing::HeadlessTest {};

TEST_F(LocaleChange, SendsTheSettingChangeToEveryTopLevelWindowIncludingHiddenOnes)
{
    const HWND shown = TopLevel({10, 10, 110, 110}, 0);
    const HWND hidden = TopLevel({20, 20, 120, 120}, 0, WS_POPUP);
    const HWND child = Child(shown, {0, 0, 10, 10}, 0);
    {
        std::lock_guard lock(testing::LogMutex());
        testing::Log().clear();
    }
    NotifyLocaleChange();
    // Sent, not posted: every window has seen it when the call returns.
    EXPECT_EQ(testing::CountMessages(shown, WM_SETTINGCHANGE), 1);
    EXPECT_EQ(testing::CountMessages(hidden, WM_SETTINGCHANGE), 1);
    EXPECT_EQ(testing::CountMessages(child, WM_SETTINGCHANGE), 0);
    std::lock_guard lock(testing::LogMutex());
    for (const auto& m : testing::Log()) {
        if (m.message == WM_SETTINGCHANGE) {
            EXPECT_EQ(m.wParam, 0u);
            EXPECT_STREQ(reinterpret_cast<const char*>(m.lParam), "intl");
        }
    }
}

}  // namespace
}  // namespace desktop
