#pragma once

// What a screen reader is told of the numeric edits: a mask edit is an editable single-line
// text; a spin edit is a spin button with its value, bounds and step, and its text besides.

#include "framework/ControlsAccessible.h"

namespace numedit {

class TKelBaseEdit;

class TKelEditAccessible : public fw::TControlAccessible {
public:
    explicit TKelEditAccessible(TKelBaseEdit* edit);

    desktop::AccRole Role() override;
    desktop::AccStates States() override;
    std::optional<desktop::AccValue> Value() override;
    bool SetValue(double value) override;
    bool HasText() override { return true; }
    std::string Text() override;
    int CaretOffset() override;
    std::pair<int, int> Selection() override;
    bool SetText(const std::string& text) override;
    std::vector<std::string> Actions() override { return {}; }
    bool DoAction(int) override { return false; }
    // The spin's arrows are part of it, not children of their own.
    std::vector<desktop::Accessible*> Children() override { return {}; }

protected:
    std::string DefaultName() override { return {}; }

private:
    TKelBaseEdit* edit_;
};

}  // namespace numedit
