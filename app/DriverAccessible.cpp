#include "app/DriverAccessible.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "app/DriverControls.h"
#include "app/DriverOptions.h"
#include "desktop/Accessible.h"
#include "desktop/Codepage.h"
#include "framework/ControlsControl.h"

namespace app::driver {

namespace {

[[noreturn]] void Fail(const std::string& why) { throw std::runtime_error(why); }

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

void ExpectWords(const std::vector<std::string>& words, std::size_t count)
{
    if (words.size() != count + 1) {
        Fail(words[0] + " takes " + std::to_string(count) + " argument" + (count == 1 ? "" : "s"));
    }
}

// Answers are single lines of UTF-8; the model's strings are code page 1252.
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

std::string ObjectName(desktop::Accessible* object)
{
    std::string id = object->Id();
    if (!id.empty()) return id;
    std::string role = desktop::AccRoleName(object->Role());
    std::replace(role.begin(), role.end(), ' ', '-');
    return "<" + role + ">";
}

std::string Number(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15) return std::to_string(static_cast<long long>(value));
    std::ostringstream out;
    out << value;
    return out.str();
}

// Records what the model delivers, as the answer spells it.
class EventLog : public desktop::AccessibleListener {
public:
    void OnAccessibleEvent(desktop::AccEvent event, desktop::Accessible* object) override
    {
        entries_.push_back(std::string(desktop::AccEventName(event)) + ":" + ObjectName(object));
    }
    void OnAccessibleGone(desktop::Accessible*) override {}
    std::string Take()
    {
        std::string text;
        for (const std::string& entry : entries_) text += (text.empty() ? "" : " ") + entry;
        entries_.clear();
        return text;
    }

private:
    std::vector<std::string> entries_;
};

EventLog& Log()
{
    static EventLog log;
    static const bool installed = (desktop::SetAccessibleListener(&log), true);
    (void)installed;
    return log;
}

desktop::Accessible* NamedObject(const std::string& name)
{
    Log();
    // The message dialog has no component name: it goes by the name its answers give it.
    fw::TComponent* component = name == "<alert>" ? OpenMessageDialog() : FindNamed(name);
    if (component == nullptr) Fail("no component named '" + name + "'");
    auto* control = dynamic_cast<fw::TControl*>(component);
    desktop::Accessible* object = control != nullptr ? control->AccessibleObject() : nullptr;
    if (object == nullptr) Fail("'" + name + "' is not in the accessibility model");
    return object;
}

std::string Ok(const std::string& value) { return value.empty() ? "ok" : "ok " + value; }

// The text after the command's first `count` words and the blank after them, blanks kept.
std::string TextAfterWords(const std::string& line, std::size_t count)
{
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        at = line.find_first_not_of(' ', at);
        at = line.find(' ', at);
        if (at == std::string::npos) return {};
    }
    return line.substr(at + 1);
}

}  // namespace

std::string AccessibleCommand(const std::string& line)
{
    const std::vector<std::string> words = Words(line);
    ExpectWords(words, 1);
    desktop::Accessible* object = NamedObject(words[1]);
    std::string value;
    if (const std::optional<desktop::AccValue> v = object->Value()) {
        value = Number(v->current);
    } else if (object->HasText()) {
        value = object->Text();
    }
    return Ok(ForAnswer(std::string(desktop::AccRoleName(object->Role())) + "|" + object->Name() + "|" +
                        object->Description() + "|" + value + "|" + desktop::AccStateNames(object->States())));
}

std::string AccessibleChildrenCommand(const std::string& line)
{
    const std::vector<std::string> words = Words(line);
    ExpectWords(words, 1);
    std::string names;
    for (desktop::Accessible* child : NamedObject(words[1])->Children()) {
        names += (names.empty() ? "" : " ") + ObjectName(child);
    }
    return Ok(ForAnswer(names));
}

std::string AccessibleRelationsCommand(const std::string& line)
{
    const std::vector<std::string> words = Words(line);
    ExpectWords(words, 1);
    std::string pairs;
    for (const auto& [relation, target] : NamedObject(words[1])->Relations()) {
        pairs +=
            (pairs.empty() ? "" : " ") + std::string(desktop::AccRelationName(relation)) + ":" + ObjectName(target);
    }
    return Ok(ForAnswer(pairs));
}

std::string AccessibleActionCommand(const std::string& line)
{
    const std::vector<std::string> words = Words(line);
    if (words.size() < 3) Fail("accessible-action takes a name and an action");
    desktop::Accessible* object = NamedObject(words[1]);
    const std::string& action = words[2];
    if (action == "set-text") {
        if (!object->HasText() || !object->SetText(desktop::Utf8ToCp1252(TextAfterWords(line, 3)))) {
            Fail("'" + words[1] + "' takes no text");
        }
        return "ok";
    }
    if (action == "increase" || action == "decrease" || action == "set-value") {
        ExpectWords(words, action == "set-value" ? 3 : 2);
        const std::optional<desktop::AccValue> value = object->Value();
        if (!value) Fail("'" + words[1] + "' has no value");
        double target = 0;
        if (action == "set-value") {
            const std::optional<long long> n = ParseInteger(words[3]);
            if (!n) Fail("'" + words[3] + "' is not a number");
            target = static_cast<double>(*n);
        } else {
            // As the arrows do: a step, stopping at the bounds.
            target = action == "increase" ? std::min(value->maximum, value->current + value->step)
                                          : std::max(value->minimum, value->current - value->step);
        }
        if (!object->SetValue(target)) Fail("'" + words[1] + "' refuses the value " + Number(target));
        return "ok";
    }
    ExpectWords(words, 2);
    const std::vector<std::string> actions = object->Actions();
    const auto it = std::find(actions.begin(), actions.end(), action);
    if (it == actions.end()) Fail("'" + words[1] + "' has no action '" + action + "'");
    if (!object->DoAction(static_cast<int>(it - actions.begin()))) Fail("'" + words[1] + "' cannot " + action + " now");
    return "ok";
}

std::string AccessibleEventsCommand(const std::string& line)
{
    ExpectWords(Words(line), 0);
    EventLog& log = Log();
    desktop::DeliverAccessibleEvents();
    return Ok(ForAnswer(log.Take()));
}

}  // namespace app::driver
