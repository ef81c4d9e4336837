#pragma once

// TKelSpecialButtons: the extra buttons an edit may carry at its right end. The edit owns the
// collection and reserves a strip of its edit rectangle for them; the buttons themselves only
// hold what the layout stores and where the edit put them.

#include <cstdint>
#include <string>

#include "desktop/Types.h"
#include "framework/ClassesLists.h"

namespace numedit {

enum class TKelUserButtonStyle : std::uint8_t { ubsIntegrated, ubsStandard, ubsFlat };

class TKelSpecialButton : public fw::TCollectionItem {
public:
    explicit TKelSpecialButton(fw::TCollection* collection) : fw::TCollectionItem(collection) {}

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    void Assign(fw::TPersistent* source) override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    // Where the owning edit placed the button (its client coordinates) and how it looks.
    const desktop::RECT& BoundsRect() const { return bounds_; }
    TKelUserButtonStyle Style() const { return style_; }
    void SetPlacement(const desktop::RECT& bounds, TKelUserButtonStyle style);

private:
    std::string caption_;
    std::string hint_;
    bool enabled_ = true;
    desktop::RECT bounds_{};
    TKelUserButtonStyle style_ = TKelUserButtonStyle::ubsIntegrated;
};

class TKelSpecialButtons : public fw::TCollection {
public:
    explicit TKelSpecialButtons(fw::TPersistent* owner);

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    TKelSpecialButton* Buttons(int index) const { return static_cast<TKelSpecialButton*>(Items(index)); }
    TKelSpecialButton* AddButton() { return static_cast<TKelSpecialButton*>(Add()); }

    // Takes the buttons' strip from the right of editRect: buttonWidth per button plus a
    // 1-pixel gap (also without buttons), and places the buttons in it, top at editRect's top
    // or at 0 when topAtZero.
    void LayOut(desktop::RECT& editRect, int buttonWidth, TKelUserButtonStyle style, bool topAtZero);

    // Fired after buttons were added, removed or changed (once per update bracket).
    fw::TNotifyEvent OnChange;

    void Update(fw::TCollectionItem* item) override;
};

}  // namespace numedit
