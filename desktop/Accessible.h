// The accessibility model: what a window (or a part drawn without one) is, for screen readers.
//
// A window answers WM_GETOBJECT (lParam OBJID_CLIENT) with its object; the standard classes
// answer by their class, any other window with a plain object, and a toolkit above may answer
// for its own windows and for parts without a window. An object lives as long as what it
// describes and keeps its address meanwhile, so a backend can key its own objects on it; the
// listener hears of it just before it goes. The model is read on the GUI thread only.
//
// Changes are raised as events, gathered, and delivered to the one listener when the GUI
// thread's queue goes idle: one per changed object and kind, in the order first raised. With
// no listener installed, raising costs a test of one pointer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "desktop/Types.h"

namespace desktop {

// WM_GETOBJECT's lParam: OBJID_CLIENT asks for the window's object; OBJID_CLASS for the one its
// class gives it, which a procedure that subclasses the window passes on to the class.
constexpr LPARAM OBJID_CLIENT = -4;
constexpr LPARAM OBJID_CLASS = -0x4000;

// Roles, named as ATK names them.
enum class AccRole : std::uint8_t {
    Unknown,
    Frame,
    Alert,
    Panel,
    Filler,
    PushButton,
    SpinButton,
    Text,
    Label,
    Image,
    PageTab,
    PageTabList,
};
const char* AccRoleName(AccRole role);

// States, one bit each; AccStateNames spells a set as ATK does, sorted.
enum AccState : std::uint32_t {
    ACC_ACTIVE = 1u << 0,
    ACC_EDITABLE = 1u << 1,
    ACC_ENABLED = 1u << 2,
    ACC_FOCUSABLE = 1u << 3,
    ACC_FOCUSED = 1u << 4,
    ACC_MODAL = 1u << 5,
    ACC_MULTI_LINE = 1u << 6,
    ACC_SELECTABLE = 1u << 7,
    ACC_SELECTED = 1u << 8,
    ACC_SENSITIVE = 1u << 9,
    ACC_SHOWING = 1u << 10,
    ACC_SINGLE_LINE = 1u << 11,
    ACC_VISIBLE = 1u << 12,
};
using AccStates = std::uint32_t;
std::string AccStateNames(AccStates states);  // "enabled,focusable,…"

enum class AccRelation : std::uint8_t { LabelledBy, LabelFor };
const char* AccRelationName(AccRelation relation);  // "labelled-by", "label-for"

enum class AccEvent : std::uint8_t {
    Focus,
    TextChanged,
    ValueChanged,
    DescriptionChanged,
    SelectionChanged,
    WindowCreate,
    WindowActivate,
    WindowDestroy,
};
const char* AccEventName(AccEvent event);  // "focus", "text-changed", …

struct AccValue {
    double current = 0;
    double minimum = 0;
    double maximum = 0;
    double step = 0;
};

class AccessibleListener;

class Accessible {
public:
    Accessible() = default;
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;
    // Drops the object's pending events and tells the listener it is gone.
    virtual ~Accessible();

    virtual AccRole Role() = 0;
    virtual std::string Name() { return {}; }
    virtual std::string Description() { return {}; }
    virtual AccStates States() { return 0; }
    // The toolkit's own name for the object (a component's name), empty when it has none.
    virtual std::string Id() { return {}; }

    virtual std::optional<AccValue> Value() { return std::nullopt; }
    // False (and nothing changes) when the object has no settable value or value is refused.
    virtual bool SetValue(double /*value*/) { return false; }

    virtual bool HasText() { return false; }
    virtual std::string Text() { return {}; }
    virtual int CaretOffset() { return -1; }
    // Selected range [first, second); empty when nothing is selected.
    virtual std::pair<int, int> Selection() { return {0, 0}; }
    virtual bool SetText(const std::string& /*text*/) { return false; }

    virtual RECT ScreenRect() { return {}; }

    // Action names as ATK spells them ("click"); DoAction runs (or queues) one by index.
    virtual std::vector<std::string> Actions() { return {}; }
    virtual bool DoAction(int /*index*/) { return false; }

    virtual Accessible* Parent() { return nullptr; }
    // Navigation order.
    virtual std::vector<Accessible*> Children() { return {}; }
    int IndexInParent();
    virtual std::vector<std::pair<AccRelation, Accessible*>> Relations() { return {}; }

private:
    friend void QueueAccessibleEvent(AccEvent event, Accessible* object);
    friend void DeliverAccessibleEvents();
    friend void SetAccessibleListener(AccessibleListener* listener);
    std::uint16_t pendingEvents_ = 0;  // one bit per AccEvent waiting in the queue
};

// Who hears the model's changes: a backend, the driver, a test.
class AccessibleListener {
public:
    virtual ~AccessibleListener() = default;
    virtual void OnAccessibleEvent(AccEvent event, Accessible* object) = 0;
    // The object is being destroyed: only its address may be used, to forget it.
    virtual void OnAccessibleGone(Accessible* object) = 0;
};

namespace detail {
extern AccessibleListener* accessibleListener;
}

// Installs the listener (nullptr removes it, dropping what is pending).
void SetAccessibleListener(AccessibleListener* listener);
inline bool AccessibilityListening() { return detail::accessibleListener != nullptr; }

void QueueAccessibleEvent(AccEvent event, Accessible* object);
void QueueWindowEvent(AccEvent event, HWND hwnd);
// The entry points on hot paths: a pointer test while nobody listens.
inline void RaiseAccessibleEvent(AccEvent event, Accessible* object)
{
    if (AccessibilityListening() && object != nullptr) [[unlikely]]
        QueueAccessibleEvent(event, object);
}
inline void RaiseWindowEvent(AccEvent event, HWND hwnd)
{
    if (AccessibilityListening()) [[unlikely]]
        QueueWindowEvent(event, hwnd);
}
// Hands the gathered events to the listener; the message wait calls it before it blocks.
void DeliverAccessibleEvents();

// The window's object as its procedure answers WM_GETOBJECT; nullptr for no window.
Accessible* AccessibleFromWindow(HWND hwnd);
// The object the window's class gives it, whoever subclassed the window: what a toolkit
// wrapping a standard control asks for the control's own answers.
Accessible* ClassAccessible(HWND hwnd);
// The states every window has from its own: visible, showing, enabled and sensitive,
// focused, focusable (WS_TABSTOP), active (a top-level window).
AccStates WindowStates(HWND hwnd);
// A caption as read aloud: "&" marks dropped, "&&" kept as one.
std::string WithoutAccelerators(const std::string& caption);

}  // namespace desktop
