#pragma once

// What dados-driver asks of the window's controls: finding them by component name, their text,
// their place on the screen and whether any of their pixels can be seen.

#include <optional>
#include <string>

#include "desktop/Types.h"
#include "framework/ControlsControl.h"
#include "framework/FormsForm.h"

namespace driver {

// "Form1" is the main window; the parts of an open message dialog ("Message", "OK" …) come
// before the main window's components. nullptr when no component has the name.
fw::TComponent* FindNamed(const std::string& name);
// The open message dialog, if any.
fw::TCustomForm* OpenMessageDialog();

// The text as the user sees it: captions, edit texts, a memo's lines joined by the two
// characters "\n". nullopt for components without a text.
std::optional<std::string> TextOf(fw::TComponent* component);

// The control's rectangle on the screen (for a form its outer rectangle); nullopt when it is
// not placed on a window.
std::optional<desktop::RECT> ScreenRectOf(fw::TControl* control);

// Whether the screen pixel shows the control (or one of its children): it is visible, inside
// its parents and not covered by siblings or other windows.
bool ShowsAt(fw::TControl* control, desktop::POINT screen);

// The visible pixel of the control closest to the middle of its visible part.
std::optional<desktop::POINT> VisibleCentre(fw::TControl* control);
bool IsSeen(fw::TControl* control);
// The middle of a tab sheet's tab on the screen; nullopt when the tab is not shown.
std::optional<desktop::POINT> TabCentre(fw::TControl* control);

// The name of the control that has the keyboard focus ("" when none).
std::string FocusedName();

}  // namespace driver
