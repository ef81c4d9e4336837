#include "driver/DriverCommand.h"

#include <algorithm>
#include <array>

#include "desktop/Codepage.h"
#include "desktop/Window.h"
#include "driver/DriverControls.h"
#include "driver/DriverOptions.h"

namespace driver {

void CommandCall::ExpectArguments(std::size_t count) const
{
    if (words_.size() != count + 1) {
        throw CommandError{Verb() + " takes " + std::to_string(count) + " argument" + (count == 1 ? "" : "s")};
    }
}

int CommandCall::IntegerArgument(std::size_t index) const
{
    const std::optional<long long> value = ParseInteger(Word(index));
    if (!value || *value < -1000000000 || *value > 1000000000) {
        throw CommandError{"'" + Word(index) + "' is not a number"};
    }
    return static_cast<int>(*value);
}

std::string CommandCall::RestOfLine() const
{
    std::size_t start = line_.find_first_not_of(' ') + Verb().size();
    if (start < line_.size() && line_[start] == ' ') {
        ++start;
    }
    return start < line_.size() ? line_.substr(start) : std::string();
}

std::span<const Command> CommandTable()
{
    static const std::vector<Command> table = [] {
        std::vector<Command> all;
        for (const std::span<const Command> part : std::array{BasicCommands(), AccessibleCommands()}) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }();
    return table;
}

const Command* FindCommand(std::string_view verb)
{
    const std::span<const Command> table = CommandTable();
    const auto it = std::find_if(table.begin(), table.end(), [&](const Command& c) { return c.verb == verb; });
    return it != table.end() ? &*it : nullptr;
}

std::string CommandHelp()
{
    const auto shown = [](const Command& c) {
        return std::string(c.verb) + (c.arguments.empty() ? "" : " ") + std::string(c.arguments);
    };
    std::size_t width = 0;
    for (const Command& c : CommandTable()) {
        width = std::max(width, shown(c).size());
    }
    std::string help;
    for (const Command& c : CommandTable()) {
        const std::string left = shown(c);
        help += "  " + left + std::string(width - left.size() + 2, ' ') + std::string(c.help) + "\n";
    }
    return help;
}

std::string Ok(const std::string& value) { return value.empty() ? "ok" : "ok " + value; }

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

void PaintPending()
{
    std::vector<desktop::HWND> tops(256);
    const int count = desktop::EnumThreadTopLevels(tops.data(), static_cast<int>(tops.size()));
    for (int i = 0; i < count; ++i) {
        desktop::RedrawWindow(tops[static_cast<std::size_t>(i)], nullptr, nullptr,
                              desktop::RDW_UPDATENOW | desktop::RDW_ALLCHILDREN);
    }
}

}  // namespace driver
