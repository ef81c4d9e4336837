#pragma once

// TControlAccessible: a control's object in the accessibility model. A control on a standard
// window class (button, edit, memo, tab control) takes its role, states, text and actions from
// the class's own object; the framework says what its other controls are (labels, images,
// group boxes, sheets, forms, the message dialog), and every control's place in the tree,
// name, relations and identity (its component name) come from the control. Families with
// answers of their own (the numeric edits, the die) derive from it.

#include <string>
#include <vector>

#include "desktop/Accessible.h"

namespace fw {

class TControl;

class TControlAccessible : public desktop::Accessible {
public:
    explicit TControlAccessible(TControl* control) : control_(control) {}

    TControl* Control() const { return control_; }

    desktop::AccRole Role() override;
    std::string Name() override;
    std::string Description() override;
    desktop::AccStates States() override;
    std::string Id() override;
    std::optional<desktop::AccValue> Value() override;
    bool SetValue(double value) override;
    bool HasText() override;
    std::string Text() override;
    int CaretOffset() override;
    std::pair<int, int> Selection() override;
    bool SetText(const std::string& text) override;
    desktop::RECT ScreenRect() override;
    std::vector<std::string> Actions() override;
    bool DoAction(int index) override;
    desktop::Accessible* Parent() override;
    std::vector<desktop::Accessible*> Children() override;
    std::vector<std::pair<desktop::AccRelation, desktop::Accessible*>> Relations() override;

protected:
    // The window class's own object, when the control has a window.
    desktop::Accessible* ClassObject() const;
    // The name when the program gave none.
    virtual std::string DefaultName();
    // Visible, showing, enabled: what every control has, windowed or not.
    desktop::AccStates ControlStates() const;

private:
    // The role the framework knows from the control's class; Unknown for the rest.
    desktop::AccRole KnownRole() const;

    TControl* control_;
    // A control's role never changes, and a form being destroyed no longer knows its kind.
    desktop::AccRole role_ = desktop::AccRole::Unknown;
};

}  // namespace fw
