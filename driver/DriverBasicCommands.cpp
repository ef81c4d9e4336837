// The commands that read the window's state, play the user's input, and steer the session.
#include <cstdio>
#include <cstdlib>
#include <map>

#include "app/Unit1.h"
#include "desktop/Backend.h"
#include "desktop/Clipboard.h"
#include "desktop/Codepage.h"
#include "desktop/Locale.h"
#include "desktop/Window.h"
#include "desktop/backends/Headless.h"
#include "dice/RandomSource.h"
#include "driver/DriverCommand.h"
#include "driver/DriverControls.h"
#include "driver/DriverOptions.h"
#include "driver/DriverPng.h"

namespace driver {

namespace {

using app::Form1;

struct KeyPress {
    desktop::WORD vk = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

KeyPress ParseKey(const std::string& keys)
{
    static const std::map<std::string, desktop::WORD> named{
        {"Tab", desktop::VK_TAB},          {"Up", desktop::VK_UP},           {"Down", desktop::VK_DOWN},
        {"Left", desktop::VK_LEFT},        {"Right", desktop::VK_RIGHT},     {"PageUp", desktop::VK_PRIOR},
        {"PageDown", desktop::VK_NEXT},    {"Home", desktop::VK_HOME},       {"End", desktop::VK_END},
        {"Enter", desktop::VK_RETURN},     {"Escape", desktop::VK_ESCAPE},   {"Delete", desktop::VK_DELETE},
        {"Backspace", desktop::VK_BACK},   {"Insert", desktop::VK_INSERT},   {"Space", desktop::VK_SPACE},
        {"Apps", desktop::VK_APPS},        {"Minus", desktop::VK_OEM_MINUS}, {"Comma", desktop::VK_OEM_COMMA},
        {"Period", desktop::VK_OEM_PERIOD}};
    KeyPress key;
    std::string rest = keys;
    for (;;) {
        const std::size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) {
            break;
        }
        const std::string modifier = rest.substr(0, plus);
        if (modifier == "Shift") {
            key.shift = true;
        } else if (modifier == "Ctrl") {
            key.ctrl = true;
        } else if (modifier == "Alt") {
            key.alt = true;
        } else {
            throw CommandError{"unknown modifier '" + modifier + "'"};
        }
        rest = rest.substr(plus + 1);
    }
    if (auto it = named.find(rest); it != named.end()) {
        key.vk = it->second;
    } else if (rest.size() == 1 && ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= '0' && rest[0] <= '9'))) {
        key.vk = static_cast<desktop::WORD>(rest[0]);
    } else if (rest.size() == 1 && rest[0] >= 'a' && rest[0] <= 'z') {
        key.vk = static_cast<desktop::WORD>(rest[0] - 'a' + 'A');
    } else if (rest.size() >= 2 && rest[0] == 'F') {
        const std::optional<long long> n = ParseInteger(rest.substr(1));
        if (!n || *n < 1 || *n > 12) {
            throw CommandError{"unknown key '" + rest + "'"};
        }
        key.vk = static_cast<desktop::WORD>(desktop::VK_F1 + *n - 1);
    } else {
        throw CommandError{"unknown key '" + rest + "'"};
    }
    return key;
}

std::string Hex(std::uint32_t pixel)
{
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(pixel & 0xFFFFFFu));
    return text;
}

std::string RectText(const desktop::RECT& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.Width()) + " " +
           std::to_string(r.Height());
}

desktop::POINT PointArgument(const CommandCall& call, std::size_t index)
{
    return {call.IntegerArgument(index), call.IntegerArgument(index + 1)};
}

std::string Text(CommandCall& call)
{
    call.ExpectArguments(1);
    const std::optional<std::string> text = TextOf(Named(call.Word(1)));
    if (!text) {
        throw CommandError{"'" + call.Word(1) + "' has no text"};
    }
    return Ok(ForAnswer(*text));
}

std::string Message(CommandCall& call)
{
    call.ExpectArguments(0);
    fw::TCustomForm* dialog = OpenMessageDialog();
    if (dialog == nullptr) {
        throw CommandError{"no message is open"};
    }
    fw::TComponent* label = dialog->FindComponent("Message");
    const std::optional<std::string> text = label != nullptr ? TextOf(label) : std::nullopt;
    return Ok(ForAnswer(dialog->GetText() + "|" + text.value_or("")));
}

std::string Tag(CommandCall& call)
{
    call.ExpectArguments(1);
    return Ok(std::to_string(Named(call.Word(1))->GetTag()));
}

std::string Value(CommandCall& call)
{
    call.ExpectArguments(1);
    fw::TComponent* component = Named(call.Word(1));
    if (auto* spin = dynamic_cast<numedit::TKelSpinEdit*>(component)) {
        return Ok(std::to_string(spin->Value()));
    }
    if (auto* die = dynamic_cast<dice::TVoDice*>(component)) {
        return Ok(std::to_string(static_cast<int>(die->Value())));
    }
    throw CommandError{"'" + call.Word(1) + "' has no value"};
}

std::string Bounds(CommandCall& call)
{
    call.ExpectArguments(1);
    fw::TControl* control = NamedControl(call.Word(1));
    return Ok(std::to_string(control->Left()) + " " + std::to_string(control->Top()) + " " +
              std::to_string(control->Width()) + " " + std::to_string(control->Height()));
}

std::string Screen(CommandCall& call)
{
    call.ExpectArguments(1);
    const std::optional<desktop::RECT> rect = ScreenRectOf(NamedControl(call.Word(1)));
    if (!rect) {
        throw CommandError{"'" + call.Word(1) + "' is not on the screen"};
    }
    return Ok(RectText(*rect));
}

std::string Visible(CommandCall& call)
{
    call.ExpectArguments(1);
    fw::TControl* control = NamedControl(call.Word(1));
    PaintPending();
    return Ok(IsSeen(control) ? "yes" : "no");
}

std::string Focus(CommandCall& call)
{
    call.ExpectArguments(0);
    return Ok(FocusedName());
}

std::string Page(CommandCall& call)
{
    call.ExpectArguments(0);
    fw::TTabSheet* page = Form1->PageControl1 != nullptr ? Form1->PageControl1->ActivePage() : nullptr;
    return Ok(page != nullptr ? page->Name() : "");
}

std::string Click(CommandCall& call)
{
    call.ExpectArguments(1);
    // A tab sheet is clicked on its tab, which brings it to the front.
    fw::TControl* control = NamedControl(call.Word(1));
    const std::optional<desktop::POINT> centre =
        dynamic_cast<fw::TTabSheet*>(control) != nullptr ? TabCentre(control) : VisibleCentre(control);
    if (!centre) {
        throw CommandError{"'" + call.Word(1) + "' is not visible"};
    }
    call.Acknowledge();
    desktop::headless::Click(*centre);
    return "ok";
}

std::string ClickAt(CommandCall& call)
{
    call.ExpectArguments(2);
    const desktop::POINT p = PointArgument(call, 1);
    call.Acknowledge();
    desktop::headless::Click(p);
    return "ok";
}

std::string DoubleClickAt(CommandCall& call)
{
    call.ExpectArguments(2);
    const desktop::POINT p = PointArgument(call, 1);
    call.Acknowledge();
    desktop::headless::DoubleClick(p);
    return "ok";
}

std::string Drag(CommandCall& call)
{
    call.ExpectArguments(4);
    const desktop::POINT from = PointArgument(call, 1);
    const desktop::POINT to = PointArgument(call, 3);
    call.Acknowledge();
    desktop::headless::MoveMouse(from);
    desktop::headless::MouseDown();
    desktop::headless::MoveMouse({(from.x + to.x) / 2, (from.y + to.y) / 2});
    desktop::headless::MoveMouse(to);
    desktop::headless::MouseUp();
    return "ok";
}

std::string Wheel(CommandCall& call)
{
    call.ExpectArguments(3);
    const desktop::POINT p = PointArgument(call, 1);
    const int delta = call.IntegerArgument(3);
    call.Acknowledge();
    desktop::headless::MoveMouse(p);
    desktop::headless::Wheel(delta);
    return "ok";
}

std::string Key(CommandCall& call)
{
    call.ExpectArguments(1);
    const KeyPress key = ParseKey(call.Word(1));
    call.Acknowledge();
    desktop::headless::PressKey(key.vk, key.shift, key.ctrl, key.alt);
    return "ok";
}

std::string Type(CommandCall& call)
{
    const std::string text = call.RestOfLine();
    call.Acknowledge();
    desktop::headless::TypeText(desktop::Utf8ToCp1252(text));
    return "ok";
}

std::string Clipboard(CommandCall& call)
{
    call.ExpectArguments(0);
    if (!desktop::OpenClipboard(nullptr)) {
        throw CommandError{"the clipboard is busy"};
    }
    const std::optional<std::string> text = desktop::GetClipboardText();
    desktop::CloseClipboard();
    return Ok(ForAnswer(text.value_or("")));
}

std::string SetClipboard(CommandCall& call)
{
    const std::string text = call.RestOfLine();
    if (!desktop::OpenClipboard(nullptr)) {
        throw CommandError{"the clipboard is busy"};
    }
    desktop::EmptyClipboard();
    const bool stored = desktop::SetClipboardText(desktop::Utf8ToCp1252(text));
    desktop::CloseClipboard();
    if (!stored) {
        throw CommandError{"the clipboard refused the text"};
    }
    return "ok";
}

std::string Pixel(CommandCall& call)
{
    call.ExpectArguments(2);
    const desktop::POINT p = PointArgument(call, 1);
    const desktop::SIZE size = desktop::CurrentBackend().ScreenSize();
    if (p.x < 0 || p.y < 0 || p.x >= size.cx || p.y >= size.cy) {
        throw CommandError{"the point is off the screen"};
    }
    PaintPending();
    return Ok(Hex(desktop::headless::Screenshot().At(p.x, p.y)));
}

std::string Screenshot(CommandCall& call)
{
    const std::string path = call.RestOfLine();
    if (path.empty()) {
        throw CommandError{"screenshot takes a file name"};
    }
    if (!Form1->HandleAllocated()) {
        throw CommandError{"the main window is not open"};
    }
    desktop::RECT outer;
    desktop::GetWindowRect(Form1->WindowHandle(), &outer);
    PaintPending();
    const desktop::Surface screen = desktop::headless::Screenshot();
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(outer.Width()) * static_cast<std::size_t>(outer.Height()));
    for (int y = outer.top; y < outer.bottom; ++y) {
        for (int x = outer.left; x < outer.right; ++x) {
            pixels.push_back(screen.At(x, y));  // black off the screen
        }
    }
    if (!WritePng(path, outer.Width(), outer.Height(), pixels)) {
        throw CommandError{"cannot write '" + path + "'"};
    }
    return "ok";
}

std::string Seed(CommandCall& call)
{
    call.ExpectArguments(1);
    const std::optional<long long> seed = ParseInteger(call.Word(1));
    if (!seed || *seed < 0 || *seed > 0xFFFFFFFFll) {
        throw CommandError{"'" + call.Word(1) + "' is not a seed"};
    }
    dice::GeneratorSeed = static_cast<std::uint32_t>(*seed);
    return "ok";
}

std::string Idle(CommandCall& call)
{
    call.ExpectArguments(0);
    return "ok";
}

std::string SetEnv(CommandCall& call)
{
    // The locale's answers come from the environment; with settings-changed this plays a user
    // changing the desktop's language while the program runs.
    call.ExpectArguments(2);
    if (::setenv(call.Word(1).c_str(), call.Word(2).c_str(), 1) != 0) {
        throw CommandError{"cannot set '" + ForAnswer(call.Word(1)) + "'"};
    }
    return "ok";
}

std::string SettingsChanged(CommandCall& call)
{
    call.ExpectArguments(0);
    desktop::NotifyLocaleChange();
    return "ok";
}

std::string Quit(CommandCall& call)
{
    call.ExpectArguments(0);
    call.RequestQuit();
    Form1->Close();
    return "ok";
}

constexpr Command kBasicCommands[] = {
    {"text", "NAME", "its text (a memo's lines joined by \\n)", Text},
    {"tag", "NAME", "its Tag", Tag},
    {"value", "NAME", "the Value of a spin edit or a die", Value},
    {"bounds", "NAME", "Left Top Width Height as the component holds them", Bounds},
    {"screen", "NAME", "its rectangle on the screen: X Y Width Height", Screen},
    {"visible", "NAME", "yes when one of its pixels is seen on the screen, else no", Visible},
    {"focus", "", "the name of the focused control", Focus},
    {"page", "", "the name of the active tab sheet", Page},
    {"message", "", "caption|text of the open message", Message},
    {"click", "NAME", "a left click on the middle of its visible part (a tab sheet: its tab)", Click},
    {"click-at", "X Y", "a left click at a screen point", ClickAt},
    {"dblclick-at", "X Y", "a double click at a screen point", DoubleClickAt},
    {"drag", "X1 Y1 X2 Y2", "drags with the left button held from one point to another", Drag},
    {"wheel", "X Y DELTA", "turns the mouse wheel over a point (120 a notch, up positive)", Wheel},
    {"key", "KEYS", "one key press, such as Tab, Enter, F1, a, Shift+Tab, Ctrl+C", Key},
    {"type", "TEXT", "types the rest of the line, character by character", Type},
    {"clipboard", "", "the clipboard's text", Clipboard},
    {"set-clipboard", "TEXT", "puts the rest of the line on the clipboard", SetClipboard},
    {"pixel", "X Y", "the screen pixel as RRGGBB", Pixel},
    {"screenshot", "PATH", "writes the window, frame included, as a PNG file", Screenshot},
    {"seed", "N", "sets the random generator's seed", Seed},
    {"idle", "", "answers once everything pending has been handled", Idle},
    {"setenv", "NAME VALUE", "sets an environment variable of the program", SetEnv},
    {"settings-changed", "", "tells the program the desktop's settings changed", SettingsChanged},
    {"quit", "", "closes the window; the driver then exits", Quit},
};

}  // namespace

std::span<const Command> BasicCommands() { return kBasicCommands; }

}  // namespace driver
