#include "desktop/Accessible.h"

#include <algorithm>
#include <array>

#include "desktop/Messages.h"
#include "desktop/System.h"
#include "desktop/Window.h"
#include "desktop/WindowInternal.h"

namespace desktop {

namespace detail {
AccessibleListener* accessibleListener = nullptr;
}

namespace {

struct PendingEvent {
    AccEvent event;
    Accessible* object;
};

// Only the thread that installed the listener (the GUI thread) raises and delivers.
struct EventQueue {
    std::vector<PendingEvent> pending;
    DWORD thread = 0;
    Accessible* lastFocus = nullptr;                     // whose focus event waits in the queue: there is one at most
    std::vector<std::vector<PendingEvent>*> delivering;  // batches being handed out (nested when a window goes)
};

// Never destroyed: objects kept by windows may outlive the statics at exit.
EventQueue& Queue()
{
    static EventQueue* const queue = new EventQueue;
    return *queue;
}

std::uint16_t Bit(AccEvent event) { return std::uint16_t(1u << unsigned(event)); }

}  // namespace

const char* AccRoleName(AccRole role)
{
    switch (role) {
        case AccRole::Frame: return "frame";
        case AccRole::Alert: return "alert";
        case AccRole::Panel: return "panel";
        case AccRole::Filler: return "filler";
        case AccRole::PushButton: return "push button";
        case AccRole::SpinButton: return "spin button";
        case AccRole::Text: return "text";
        case AccRole::Label: return "label";
        case AccRole::Image: return "image";
        case AccRole::PageTab: return "page tab";
        case AccRole::PageTabList: return "page tab list";
        case AccRole::Unknown: break;
    }
    return "unknown";
}

std::string AccStateNames(AccStates states)
{
    // Alphabetical, as the answers list them.
    static constexpr std::array<std::pair<AccState, const char*>, 13> kNames{{
        {ACC_ACTIVE, "active"},
        {ACC_EDITABLE, "editable"},
        {ACC_ENABLED, "enabled"},
        {ACC_FOCUSABLE, "focusable"},
        {ACC_FOCUSED, "focused"},
        {ACC_MODAL, "modal"},
        {ACC_MULTI_LINE, "multi-line"},
        {ACC_SELECTABLE, "selectable"},
        {ACC_SELECTED, "selected"},
        {ACC_SENSITIVE, "sensitive"},
        {ACC_SHOWING, "showing"},
        {ACC_SINGLE_LINE, "single-line"},
        {ACC_VISIBLE, "visible"},
    }};
    std::string text;
    for (const auto& [bit, name] : kNames) {
        if ((states & bit) == 0) continue;
        if (!text.empty()) text += ',';
        text += name;
    }
    return text;
}

const char* AccRelationName(AccRelation relation)
{
    return relation == AccRelation::LabelledBy ? "labelled-by" : "label-for";
}

const char* AccEventName(AccEvent event)
{
    switch (event) {
        case AccEvent::Focus: return "focus";
        case AccEvent::TextChanged: return "text-changed";
        case AccEvent::ValueChanged: return "value-changed";
        case AccEvent::DescriptionChanged: return "description-changed";
        case AccEvent::SelectionChanged: return "selection-changed";
        case AccEvent::WindowCreate: return "window-create";
        case AccEvent::WindowActivate: return "window-activate";
        case AccEvent::WindowDestroy: return "window-destroy";
    }
    return "";
}

Accessible::~Accessible()
{
    EventQueue& q = Queue();
    if (pendingEvents_ != 0 || q.lastFocus == this) {
        std::erase_if(q.pending, [this](const PendingEvent& e) { return e.object == this; });
        if (q.lastFocus == this) q.lastFocus = nullptr;
    }
    for (std::vector<PendingEvent>* batch : q.delivering)
        for (PendingEvent& e : *batch)
            if (e.object == this) e.object = nullptr;
    if (detail::accessibleListener != nullptr) detail::accessibleListener->OnAccessibleGone(this);
}

int Accessible::IndexInParent()
{
    Accessible* parent = Parent();
    if (parent == nullptr) return -1;
    const std::vector<Accessible*> siblings = parent->Children();
    const auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : int(it - siblings.begin());
}

void SetAccessibleListener(AccessibleListener* listener)
{
    EventQueue& q = Queue();
    for (const PendingEvent& e : q.pending) e.object->pendingEvents_ = 0;
    q.pending.clear();
    q.lastFocus = nullptr;
    q.thread = GetCurrentThreadId();
    detail::accessibleListener = listener;
}

void QueueAccessibleEvent(AccEvent event, Accessible* object)
{
    EventQueue& q = Queue();
    if (detail::accessibleListener == nullptr || object == nullptr || GetCurrentThreadId() != q.thread) return;
    if (event == AccEvent::WindowDestroy) {
        // The window goes before the queue idles: what came before it is told first, and the
        // listener still finds the object whole.
        DeliverAccessibleEvents();
        if (detail::accessibleListener != nullptr) detail::accessibleListener->OnAccessibleEvent(event, object);
        return;
    }
    if (event == AccEvent::Focus) {
        // Only where the focus lands counts: a control it passed through on the way (a sheet
        // while its page comes up) would only be read aloud for nothing.
        if (q.lastFocus == object) return;
        if (q.lastFocus != nullptr) {
            q.lastFocus->pendingEvents_ &= std::uint16_t(~Bit(event));
            Accessible* previous = q.lastFocus;
            std::erase_if(q.pending, [previous](const PendingEvent& e) {
                return e.object == previous && e.event == AccEvent::Focus;
            });
        }
        q.lastFocus = object;
        object->pendingEvents_ |= Bit(event);
        q.pending.push_back({event, object});
        return;
    }
    if ((object->pendingEvents_ & Bit(event)) != 0) return;
    object->pendingEvents_ |= Bit(event);
    q.pending.push_back({event, object});
}

void QueueWindowEvent(AccEvent event, HWND hwnd)
{
    if (Accessible* object = AccessibleFromWindow(hwnd)) QueueAccessibleEvent(event, object);
}

void DeliverAccessibleEvents()
{
    // Every wait of every thread passes here: nobody listening ends it at once.
    if (detail::accessibleListener == nullptr) return;
    EventQueue& q = Queue();
    if (GetCurrentThreadId() != q.thread || q.pending.empty()) return;
    // The listener may query the model, which may raise more: those wait for the next round.
    std::vector<PendingEvent> batch;
    batch.swap(q.pending);
    q.lastFocus = nullptr;
    for (const PendingEvent& e : batch) e.object->pendingEvents_ = 0;
    // An object destroyed meanwhile is struck from the batch by its destructor.
    q.delivering.push_back(&batch);
    struct Delivering {
        EventQueue& q;
        ~Delivering() { q.delivering.pop_back(); }
    } delivering{q};
    for (const PendingEvent& e : batch) {
        if (detail::accessibleListener == nullptr) break;
        if (e.object != nullptr) detail::accessibleListener->OnAccessibleEvent(e.event, e.object);
    }
}

Accessible* AccessibleFromWindow(HWND hwnd)
{
    if (!IsWindow(hwnd)) return nullptr;
    return reinterpret_cast<Accessible*>(SendMessage(hwnd, WM_GETOBJECT, 0, OBJID_CLIENT));
}

AccStates WindowStates(HWND hwnd)
{
    if (!IsWindow(hwnd)) return 0;
    AccStates states = 0;
    const DWORD style = DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
    if ((style & WS_VISIBLE) != 0) states |= ACC_VISIBLE;
    if (IsWindowVisible(hwnd) && !IsIconic(GetAncestorTopLevel(hwnd))) states |= ACC_SHOWING;
    if ((style & WS_DISABLED) == 0) states |= ACC_ENABLED | ACC_SENSITIVE;
    if ((style & WS_TABSTOP) != 0) states |= ACC_FOCUSABLE;
    if (GetFocus() == hwnd) states |= ACC_FOCUSED | ACC_FOCUSABLE;
    if (hwnd->IsTopLevel() && GetActiveWindow() == hwnd) states |= ACC_ACTIVE;
    return states;
}

std::string WithoutAccelerators(const std::string& caption)
{
    std::string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            text += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            text += '&';
            ++i;
        }
    }
    return text;
}

}  // namespace desktop
