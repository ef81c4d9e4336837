// The accessibility model as a screen reader would be told it: what an object is, its
// children, its relations, the actions it offers and the changes it reports. The first of
// these commands installs the listener whose events `accessible-events` reports.
//
// An object without a component name is written as its role in angle brackets, blanks as
// hyphens; the open message dialog goes by that name ("<alert>") in the commands too.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "desktop/Accessible.h"
#include "desktop/Codepage.h"
#include "driver/DriverCommand.h"
#include "driver/DriverControls.h"
#include "driver/DriverOptions.h"
#include "framework/ControlsControl.h"

namespace driver {

namespace {

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
    if (component == nullptr) throw CommandError{"no component named '" + name + "'"};
    auto* control = dynamic_cast<fw::TControl*>(component);
    desktop::Accessible* object = control != nullptr ? control->AccessibleObject() : nullptr;
    if (object == nullptr) throw CommandError{"'" + name + "' is not in the accessibility model"};
    return object;
}

std::string Accessible(CommandCall& call)
{
    call.ExpectArguments(1);
    desktop::Accessible* object = NamedObject(call.Word(1));
    std::string value;
    if (const std::optional<desktop::AccValue> v = object->Value()) {
        value = Number(v->current);
    } else if (object->HasText()) {
        value = object->Text();
    }
    return Ok(ForAnswer(std::string(desktop::AccRoleName(object->Role())) + "|" + object->Name() + "|" +
                        object->Description() + "|" + value + "|" + desktop::AccStateNames(object->States())));
}

std::string AccessibleChildren(CommandCall& call)
{
    call.ExpectArguments(1);
    std::string names;
    for (desktop::Accessible* child : NamedObject(call.Word(1))->Children()) {
        names += (names.empty() ? "" : " ") + ObjectName(child);
    }
    return Ok(ForAnswer(names));
}

std::string AccessibleRelations(CommandCall& call)
{
    call.ExpectArguments(1);
    std::string pairs;
    for (const auto& [relation, target] : NamedObject(call.Word(1))->Relations()) {
        pairs +=
            (pairs.empty() ? "" : " ") + std::string(desktop::AccRelationName(relation)) + ":" + ObjectName(target);
    }
    return Ok(ForAnswer(pairs));
}

// The text after the name and the action, blanks kept.
std::string TextAfterAction(CommandCall& call)
{
    const std::string rest = call.RestOfLine();
    std::size_t at = 0;
    for (int word = 0; word < 2; ++word) {
        at = rest.find_first_not_of(' ', at);
        at = at == std::string::npos ? at : rest.find(' ', at);
        if (at == std::string::npos) return {};
    }
    return rest.substr(at + 1);
}

std::string AccessibleAction(CommandCall& call)
{
    const std::string& name = call.Word(1);
    const std::string& action = call.Word(2);
    desktop::Accessible* object = NamedObject(name);
    if (action == "set-text") {
        if (!object->HasText() || !object->SetText(desktop::Utf8ToCp1252(TextAfterAction(call)))) {
            throw CommandError{"'" + name + "' takes no text"};
        }
        return "ok";
    }
    if (action == "increase" || action == "decrease" || action == "set-value") {
        call.ExpectArguments(action == "set-value" ? 3 : 2);
        const std::optional<desktop::AccValue> value = object->Value();
        if (!value) throw CommandError{"'" + name + "' has no value"};
        double target = 0;
        if (action == "set-value") {
            const std::optional<long long> n = ParseInteger(call.Word(3));
            if (!n) throw CommandError{"'" + call.Word(3) + "' is not a number"};
            target = static_cast<double>(*n);
        } else {
            // As the arrows do: a step, stopping at the bounds.
            target = action == "increase" ? std::min(value->maximum, value->current + value->step)
                                          : std::max(value->minimum, value->current - value->step);
        }
        if (!object->SetValue(target)) throw CommandError{"'" + name + "' refuses the value " + Number(target)};
        return "ok";
    }
    call.ExpectArguments(2);
    const std::vector<std::string> actions = object->Actions();
    const auto it = std::find(actions.begin(), actions.end(), action);
    if (it == actions.end()) throw CommandError{"'" + name + "' has no action '" + action + "'"};
    // A click may open a modal message: the answer must not wait for its loop to end.
    call.Acknowledge();
    if (!object->DoAction(static_cast<int>(it - actions.begin()))) {
        throw CommandError{"'" + name + "' cannot " + action + " now"};
    }
    return "ok";
}

std::string AccessibleEvents(CommandCall& call)
{
    call.ExpectArguments(0);
    EventLog& log = Log();
    desktop::DeliverAccessibleEvents();
    return Ok(ForAnswer(log.Take()));
}

constexpr Command kAccessibleCommands[] = {
    {"accessible", "NAME", "ROLE|NAME|DESCRIPTION|VALUE|STATES as a screen reader is told them", Accessible},
    {"accessible-children", "NAME", "its children in the accessibility model, in navigation order", AccessibleChildren},
    {"accessible-relations", "NAME", "its relations as RELATION:NAME pairs (labelled-by:Label8)", AccessibleRelations},
    {"accessible-action", "NAME ACTION [ARGUMENT]",
     "click; increase, decrease, set-value N; set-text TEXT, as a screen reader does", AccessibleAction},
    {"accessible-events", "", "the model's events since the last call, as TYPE:NAME", AccessibleEvents},
};

}  // namespace

std::span<const Command> AccessibleCommands() { return kAccessibleCommands; }

}  // namespace driver
