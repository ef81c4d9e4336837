// The SDL backend's display-free parts: which virtual key an SDL key becomes,
// which keys TranslateMessage may turn into characters, text input to code
// page 1252, and when the caret next needs redrawing.
#include <SDL2/SDL_keycode.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "desktop/backends/Sdl.h"

namespace desktop::sdl {
namespace {

TEST(SdlKeymap, LettersAndDigitsBecomeTheirUpperCaseCharacters)
{
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(VirtualKeyFor(SDLK_a + i, SDL_SCANCODE_A + i), WORD('A' + i)) << char('a' + i);
    }
    for (int i = 0; i < 10; ++i) EXPECT_EQ(VirtualKeyFor(SDLK_0 + i, SDL_SCANCODE_0), WORD('0' + i));
}

TEST(SdlKeymap, NamedKeysMapToTheirVirtualKeys)
{
    const std::vector<std::pair<SDL_Keycode, WORD>> table = {
        {SDLK_F1, VK_F1},
        {SDLK_F4, VK_F4},
        {SDLK_F10, VK_F10},
        {SDLK_F12, 0x7B},
        {SDLK_F13, 0x7C},
        {SDLK_F24, 0x87},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_RIGHT, VK_RIGHT},
        {SDLK_UP, VK_UP},
        {SDLK_DOWN, VK_DOWN},
        {SDLK_HOME, VK_HOME},
        {SDLK_END, VK_END},
        {SDLK_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, VK_NEXT},
        {SDLK_INSERT, VK_INSERT},
        {SDLK_DELETE, VK_DELETE},
        {SDLK_BACKSPACE, VK_BACK},
        {SDLK_TAB, VK_TAB},
        {SDLK_RETURN, VK_RETURN},
        {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_SPACE, VK_SPACE},
        {SDLK_LSHIFT, VK_LSHIFT},
        {SDLK_RSHIFT, VK_RSHIFT},
        {SDLK_LCTRL, VK_LCONTROL},
        {SDLK_RCTRL, VK_RCONTROL},
        {SDLK_LALT, VK_LMENU},
        {SDLK_RALT, VK_RMENU},
        {SDLK_KP_0, VK_NUMPAD0},
        {SDLK_KP_1, 0x61},
        {SDLK_KP_9, VK_NUMPAD9},
        {SDLK_KP_MULTIPLY, VK_MULTIPLY},
        {SDLK_KP_PLUS, VK_ADD},
        {SDLK_KP_MINUS, VK_SUBTRACT},
        {SDLK_KP_PERIOD, VK_DECIMAL},
        {SDLK_KP_DIVIDE, VK_DIVIDE},
        {SDLK_CAPSLOCK, VK_CAPITAL},
        {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
        {SDLK_APPLICATION, VK_APPS},
        {SDLK_SEMICOLON, VK_OEM_1},
        {SDLK_EQUALS, VK_OEM_PLUS},
        {SDLK_COMMA, VK_OEM_COMMA},
        {SDLK_MINUS, VK_OEM_MINUS},
        {SDLK_PERIOD, VK_OEM_PERIOD},
        {SDLK_SLASH, VK_OEM_2},
        {SDLK_BACKQUOTE, VK_OEM_3},
        {SDLK_LEFTBRACKET, VK_OEM_4},
        {SDLK_BACKSLASH, VK_OEM_5},
        {SDLK_RIGHTBRACKET, VK_OEM_6},
        {SDLK_QUOTE, VK_OEM_7},
    };
    for (const auto& [keycode, vk] : table) {
        EXPECT_EQ(VirtualKeyFor(keycode, SDL_SCANCODE_UNKNOWN), vk) << "keycode 0x" << std::hex << keycode;
        // The symbol wins over the position: a key moved by the layout keeps its meaning.
        EXPECT_EQ(VirtualKeyFor(keycode, SDL_SCANCODE_Q), vk) << "keycode 0x" << std::hex << keycode;
    }
}

TEST(SdlKeymap, SymbolsOfOtherLayoutsFallBackOnTheKeyPosition)
{
    EXPECT_EQ(VirtualKeyFor(0x0444, SDL_SCANCODE_A), WORD('A'));         // Cyrillic ef
    EXPECT_EQ(VirtualKeyFor(0x00F6, SDL_SCANCODE_SEMICOLON), VK_OEM_1);  // German o-umlaut
    EXPECT_EQ(VirtualKeyFor('&', SDL_SCANCODE_1), WORD('1'));            // French top row
    EXPECT_EQ(VirtualKeyFor(0x00E0, SDL_SCANCODE_0), WORD('0'));
    EXPECT_EQ(VirtualKeyFor('<', SDL_SCANCODE_NONUSBACKSLASH), WORD(0xE2));
}

TEST(SdlKeymap, KeysTheProgramCannotSeeMapToNothing)
{
    EXPECT_EQ(VirtualKeyFor(SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY), 0);
    EXPECT_EQ(VirtualKeyFor(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(VirtualKeyFor(-5, -1), 0);
    EXPECT_EQ(VirtualKeyFor(0x7FFFFFFF, 100000), 0);
}

TEST(SdlKeymap, OnlyControlKeysAndCtrlChordsAreTranslated)
{
    for (WORD vk : {VK_BACK, VK_TAB, VK_RETURN, VK_ESCAPE}) {
        EXPECT_TRUE(KeyTranslates(vk, false, false)) << vk;
        EXPECT_TRUE(KeyTranslates(vk, true, false)) << vk;
    }
    // Printable keys type through text input; translating them too would type twice.
    for (WORD vk : {WORD('A'), WORD('7'), WORD(VK_SPACE), WORD(VK_OEM_COMMA), WORD(VK_NUMPAD0 + 5)}) {
        EXPECT_FALSE(KeyTranslates(vk, false, false)) << vk;
        EXPECT_FALSE(KeyTranslates(vk, false, true)) << vk;
        EXPECT_FALSE(KeyTranslates(vk, true, true)) << vk;  // AltGr
    }
    EXPECT_TRUE(KeyTranslates('C', true, false));
    EXPECT_FALSE(KeyTranslates(VK_LEFT, false, false));
}

TEST(SdlKeymap, TextTypedWithCtrlAloneIsNoText)
{
    EXPECT_TRUE(AcceptsTextInput(false, false));
    EXPECT_TRUE(AcceptsTextInput(false, true));
    EXPECT_TRUE(AcceptsTextInput(true, true));
    EXPECT_FALSE(AcceptsTextInput(true, false));
}

TEST(SdlTextInput, BecomesCodePage1252Characters)
{
    EXPECT_EQ(CharactersFromTextInput("a"), "a");
    EXPECT_EQ(CharactersFromTextInput("Hola, 12.5"), "Hola, 12.5");
    EXPECT_EQ(CharactersFromTextInput("\xC3\xA9\xC3\xB1"), "\xE9\xF1");  // e-acute, n-tilde
    EXPECT_EQ(CharactersFromTextInput("\xE2\x82\xAC"), "\x80");          // euro sign
    EXPECT_EQ(CharactersFromTextInput("\xE2\x80\x9C"), "\x93");          // left double quote
    EXPECT_EQ(CharactersFromTextInput(""), "");
}

TEST(SdlTextInput, DropsWhatTheCodePageCannotHoldAndMalformedBytes)
{
    EXPECT_EQ(CharactersFromTextInput("a\xE6\x97\xA5"
                                      "b"),
              "ab");                                             // a CJK character between
    EXPECT_EQ(CharactersFromTextInput("\xF0\x9F\x8E\xB2"), "");  // an emoji
    EXPECT_EQ(CharactersFromTextInput("x\xC3"), "x");            // cut short
    EXPECT_EQ(CharactersFromTextInput("\xFF\xFEz"), "z");
    EXPECT_EQ(CharactersFromTextInput("\xC0\xAF"), "");  // overlong '/'
    EXPECT_EQ(CharactersFromTextInput("\t\r\n\x1B\x7F"
                                      "q"),
              "q");
}

TEST(SdlCaretBlink, WaitsExactlyUntilThePhaseFlips)
{
    constexpr DWORD kBlink = 530;
    DWORD start = 1000;
    auto phaseOn = [&](DWORD tick) { return ((tick - start) / kBlink) % 2 == 0; };
    EXPECT_EQ(MillisecondsToBlinkChange(1000, kBlink, phaseOn), std::optional<DWORD>(530));
    EXPECT_EQ(MillisecondsToBlinkChange(1529, kBlink, phaseOn), std::optional<DWORD>(1));
    EXPECT_EQ(MillisecondsToBlinkChange(1530, kBlink, phaseOn), std::optional<DWORD>(530));
    EXPECT_EQ(MillisecondsToBlinkChange(1800, kBlink, phaseOn), std::optional<DWORD>(260));
    start = 0xFFFFFF00u;  // the tick counter wraps in between
    EXPECT_EQ(MillisecondsToBlinkChange(0xFFFFFF0Au, kBlink, phaseOn), std::optional<DWORD>(520));
    EXPECT_EQ(MillisecondsToBlinkChange(0x00000100u, kBlink, phaseOn), std::optional<DWORD>(18));
}

TEST(SdlCaretBlink, NoDeadlineWhenTheCaretDoesNotBlink)
{
    auto steady = [](DWORD) { return true; };
    EXPECT_EQ(MillisecondsToBlinkChange(5, 0, steady), std::nullopt);
    EXPECT_EQ(MillisecondsToBlinkChange(5, 0xFFFFFFFFu, steady), std::nullopt);
    EXPECT_EQ(MillisecondsToBlinkChange(5, 530, steady), std::nullopt);
}

}  // namespace
}  // namespace desktop::sdl
