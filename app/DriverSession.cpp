#include "app/DriverSession.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "app/DriverAccessible.h"
#include "app/DriverControls.h"
#include "app/DriverOptions.h"
#include "app/DriverPng.h"
#include "app/Unit1.h"
#include "desktop/Backend.h"
#include "desktop/Clipboard.h"
#include "desktop/Codepage.h"
#include "desktop/Locale.h"
#include "desktop/Window.h"
#include "desktop/backends/Headless.h"
#include "dice/RandomSource.h"
#include "framework/SysUtilsExceptions.h"

namespace app::driver {

namespace {

// A failed command; its message becomes the "error" answer.
struct CommandError {
    std::string message;
};

std::string Ok(const std::string& value) { return value.empty() ? "ok" : "ok " + value; }

// Answers are single lines of UTF-8.
std::string ForAnswer(const std::string& cp1252)
{
    std::string line;
    for (char c : desktop::Cp1252ToUtf8(cp1252)) {
        if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else {
            line += c;
        }
    }
    return line;
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        std::size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

// What follows the command word and the one blank after it, blanks included.
std::string RestOfLine(const std::string& line, const std::string& verb)
{
    std::size_t start = line.find_first_not_of(' ') + verb.size();
    if (start < line.size() && line[start] == ' ') {
        ++start;
    }
    return start < line.size() ? line.substr(start) : std::string();
}

int IntegerArgument(const std::vector<std::string>& words, std::size_t index)
{
    const std::optional<long long> value = ParseInteger(words[index]);
    if (!value || *value < -1000000000 || *value > 1000000000) {
        throw CommandError{"'" + words[index] + "' is not a number"};
    }
    return static_cast<int>(*value);
}

void ExpectArguments(const std::vector<std::string>& words, std::size_t count)
{
    if (words.size() != count + 1) {
        throw CommandError{words[0] + " takes " + std::to_string(count) + " argument" + (count == 1 ? "" : "s")};
    }
}

fw::TComponent* Named(const std::string& name)
{
    fw::TComponent* component = FindNamed(name);
    if (component == nullptr) {
        throw CommandError{"no component named '" + name + "'"};
    }
    return component;
}

fw::TControl* NamedControl(const std::string& name)
{
    auto* control = dynamic_cast<fw::TControl*>(Named(name));
    if (control == nullptr) {
        throw CommandError{"'" + name + "' is not a control"};
    }
    return control;
}

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

// Brings every window's pending paints onto its surface, so that the screen is read as the
// user would see it now.
void PaintPending()
{
    std::vector<desktop::HWND> tops(256);
    const int count = desktop::EnumThreadTopLevels(tops.data(), static_cast<int>(tops.size()));
    for (int i = 0; i < count; ++i) {
        desktop::RedrawWindow(tops[static_cast<std::size_t>(i)], nullptr, nullptr,
                              desktop::RDW_UPDATENOW | desktop::RDW_ALLCHILDREN);
    }
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

void Screenshot(const std::string& path)
{
    if (Form1 == nullptr || !Form1->HandleAllocated()) {
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
    if (!WriteFile(path, EncodePng(outer.Width(), outer.Height(), pixels))) {
        throw CommandError{"cannot write '" + path + "'"};
    }
}

}  // namespace

void Session::Install(fw::TApplication& application)
{
    application.OnMessage = [this](desktop::MSG& message, bool& handled) { OnMessage(message, handled); };
    application.OnIdle = [this](fw::TObject*, bool& done) { OnIdle(done); };
}

void Session::OnMessage(desktop::MSG& message, bool& handled)
{
    if (message.hwnd != nullptr || message.message != WM_DRIVER_COMMAND) {
        return;
    }
    handled = true;
    if (std::optional<std::string> line = channel_.Take()) {
        Run(*line);
    }
}

void Session::OnIdle(bool& done)
{
    done = true;
    if (pending_) {
        channel_.Answer(*pending_);
        pending_.reset();
        answeredSerial_ = serial_;
    }
}

void Session::Finish()
{
    if (quitRequested_ && !pending_) {
        pending_ = "ok";
    }
    if (pending_) {
        channel_.Answer(*pending_);
        pending_.reset();
    }
    channel_.Close();
}

void Session::Acknowledge() { pending_ = "ok"; }

void Session::Run(const std::string& line)
{
    const std::uint64_t serial = ++serial_;
    pending_.reset();
    std::string answer;
    try {
        answer = Execute(line);
    } catch (const CommandError& error) {
        answer = "error " + ForAnswer(error.message);
    } catch (const std::exception& error) {
        answer = "error " + ForAnswer(error.what());
    }
    // A command whose handler ran a modal loop was answered from inside that loop.
    if (serial == serial_ && answeredSerial_ != serial && !quitRequested_) {
        pending_ = answer;
    }
}

std::string Session::Execute(const std::string& line)
{
    const std::vector<std::string> words = Words(line);
    if (words.empty()) {
        throw CommandError{"empty command"};
    }
    const std::string& verb = words[0];
    if (Form1 == nullptr) {
        throw CommandError{"the main window is gone"};
    }

    if (verb == "text") {
        ExpectArguments(words, 1);
        const std::optional<std::string> text = TextOf(Named(words[1]));
        if (!text) {
            throw CommandError{"'" + words[1] + "' has no text"};
        }
        return Ok(ForAnswer(*text));
    }
    if (verb == "message") {
        ExpectArguments(words, 0);
        fw::TCustomForm* dialog = OpenMessageDialog();
        if (dialog == nullptr) {
            throw CommandError{"no message is open"};
        }
        fw::TComponent* label = dialog->FindComponent("Message");
        const std::optional<std::string> text = label != nullptr ? TextOf(label) : std::nullopt;
        return Ok(ForAnswer(dialog->GetText() + "|" + text.value_or("")));
    }
    if (verb == "tag") {
        ExpectArguments(words, 1);
        return Ok(std::to_string(Named(words[1])->GetTag()));
    }
    if (verb == "value") {
        ExpectArguments(words, 1);
        fw::TComponent* component = Named(words[1]);
        if (auto* spin = dynamic_cast<numedit::TKelSpinEdit*>(component)) {
            return Ok(std::to_string(spin->Value()));
        }
        if (auto* die = dynamic_cast<dice::TVoDice*>(component)) {
            return Ok(std::to_string(static_cast<int>(die->Value())));
        }
        throw CommandError{"'" + words[1] + "' has no value"};
    }
    if (verb == "bounds") {
        ExpectArguments(words, 1);
        fw::TControl* control = NamedControl(words[1]);
        return Ok(std::to_string(control->Left()) + " " + std::to_string(control->Top()) + " " +
                  std::to_string(control->Width()) + " " + std::to_string(control->Height()));
    }
    if (verb == "screen") {
        ExpectArguments(words, 1);
        const std::optional<desktop::RECT> rect = ScreenRectOf(NamedControl(words[1]));
        if (!rect) {
            throw CommandError{"'" + words[1] + "' is not on the screen"};
        }
        return Ok(RectText(*rect));
    }
    if (verb == "visible") {
        ExpectArguments(words, 1);
        fw::TControl* control = NamedControl(words[1]);
        PaintPending();
        return Ok(IsSeen(control) ? "yes" : "no");
    }
    if (verb == "focus") {
        ExpectArguments(words, 0);
        return Ok(FocusedName());
    }
    if (verb == "page") {
        ExpectArguments(words, 0);
        fw::TTabSheet* page = Form1->PageControl1 != nullptr ? Form1->PageControl1->ActivePage() : nullptr;
        return Ok(page != nullptr ? page->Name() : "");
    }
    if (verb == "click") {
        ExpectArguments(words, 1);
        // A tab sheet is clicked on its tab, which brings it to the front.
        fw::TControl* control = NamedControl(words[1]);
        const std::optional<desktop::POINT> centre =
            dynamic_cast<fw::TTabSheet*>(control) != nullptr ? TabCentre(control) : VisibleCentre(control);
        if (!centre) {
            throw CommandError{"'" + words[1] + "' is not visible"};
        }
        Acknowledge();
        desktop::headless::Click(*centre);
        return "ok";
    }
    if (verb == "click-at" || verb == "dblclick-at") {
        ExpectArguments(words, 2);
        const desktop::POINT p{IntegerArgument(words, 1), IntegerArgument(words, 2)};
        Acknowledge();
        if (verb == "click-at") {
            desktop::headless::Click(p);
        } else {
            desktop::headless::DoubleClick(p);
        }
        return "ok";
    }
    if (verb == "drag") {
        ExpectArguments(words, 4);
        const desktop::POINT from{IntegerArgument(words, 1), IntegerArgument(words, 2)};
        const desktop::POINT to{IntegerArgument(words, 3), IntegerArgument(words, 4)};
        Acknowledge();
        desktop::headless::MoveMouse(from);
        desktop::headless::MouseDown();
        desktop::headless::MoveMouse({(from.x + to.x) / 2, (from.y + to.y) / 2});
        desktop::headless::MoveMouse(to);
        desktop::headless::MouseUp();
        return "ok";
    }
    if (verb == "wheel") {
        ExpectArguments(words, 3);
        const desktop::POINT p{IntegerArgument(words, 1), IntegerArgument(words, 2)};
        const int delta = IntegerArgument(words, 3);
        Acknowledge();
        desktop::headless::MoveMouse(p);
        desktop::headless::Wheel(delta);
        return "ok";
    }
    if (verb == "key") {
        ExpectArguments(words, 1);
        const KeyPress key = ParseKey(words[1]);
        Acknowledge();
        desktop::headless::PressKey(key.vk, key.shift, key.ctrl, key.alt);
        return "ok";
    }
    if (verb == "type") {
        // The rest of the line after one blank, blanks included.
        const std::string text = RestOfLine(line, verb);
        Acknowledge();
        desktop::headless::TypeText(desktop::Utf8ToCp1252(text));
        return "ok";
    }
    if (verb == "clipboard") {
        ExpectArguments(words, 0);
        if (!desktop::OpenClipboard(nullptr)) {
            throw CommandError{"the clipboard is busy"};
        }
        const std::optional<std::string> text = desktop::GetClipboardText();
        desktop::CloseClipboard();
        return Ok(ForAnswer(text.value_or("")));
    }
    if (verb == "set-clipboard") {
        const std::string text = RestOfLine(line, verb);
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
    if (verb == "pixel") {
        ExpectArguments(words, 2);
        const desktop::POINT p{IntegerArgument(words, 1), IntegerArgument(words, 2)};
        const desktop::SIZE size = desktop::CurrentBackend().ScreenSize();
        if (p.x < 0 || p.y < 0 || p.x >= size.cx || p.y >= size.cy) {
            throw CommandError{"the point is off the screen"};
        }
        PaintPending();
        return Ok(Hex(desktop::headless::Screenshot().At(p.x, p.y)));
    }
    if (verb == "screenshot") {
        const std::string path = RestOfLine(line, verb);
        if (path.empty()) {
            throw CommandError{"screenshot takes a file name"};
        }
        Screenshot(path);
        return "ok";
    }
    if (verb == "seed") {
        ExpectArguments(words, 1);
        const std::optional<long long> seed = ParseInteger(words[1]);
        if (!seed || *seed < 0 || *seed > 0xFFFFFFFFll) {
            throw CommandError{"'" + words[1] + "' is not a seed"};
        }
        dice::GeneratorSeed = static_cast<std::uint32_t>(*seed);
        return "ok";
    }
    if (verb == "idle") {
        ExpectArguments(words, 0);
        return "ok";
    }
    if (verb == "setenv") {
        // The locale's answers come from the environment; with settings-changed this plays a
        // user changing the desktop's language while the program runs.
        ExpectArguments(words, 2);
        if (::setenv(words[1].c_str(), words[2].c_str(), 1) != 0) {
            throw CommandError{"cannot set '" + ForAnswer(words[1]) + "'"};
        }
        return "ok";
    }
    if (verb == "settings-changed") {
        ExpectArguments(words, 0);
        desktop::NotifyLocaleChange();
        return "ok";
    }
    if (verb == "accessible") return AccessibleCommand(line);
    if (verb == "accessible-children") return AccessibleChildrenCommand(line);
    if (verb == "accessible-relations") return AccessibleRelationsCommand(line);
    if (verb == "accessible-action") return Acknowledge(), AccessibleActionCommand(line);
    if (verb == "accessible-events") return AccessibleEventsCommand(line);
    if (verb == "quit") {
        ExpectArguments(words, 0);
        quitRequested_ = true;
        Form1->Close();
        return "ok";
    }
    throw CommandError{"unknown command '" + ForAnswer(verb) + "'"};
}

}  // namespace app::driver
