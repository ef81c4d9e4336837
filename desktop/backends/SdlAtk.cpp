#include "desktop/backends/SdlAtk.h"

#include <atk-bridge.h>
#include <atk/atk.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "desktop/Accessible.h"
#include "desktop/Codepage.h"
#include "desktop/Messages.h"
#include "desktop/ToolkitVersion.h"
#include "desktop/Window.h"
#include "desktop/backends/SdlGlibLoop.h"

namespace desktop::sdl {

namespace {

// The interfaces an object offers follow from what its model object has; they are fixed for
// the object's life, so each combination is one GType.
enum Interface : unsigned {
    kAction = 1u << 0,
    kText = 1u << 1,
    kEditableText = 1u << 2,
    kValue = 1u << 3,
    kWindow = 1u << 4,
    kInterfaceCombinations = 1u << 5,
};

// Our side of one ATK object. The strings handed to ATK as const gchar* live here until the
// next call asks again or the object goes.
struct Node {
    Accessible* model = nullptr;  // nullptr once the model object is gone
    std::string name;
    std::string description;
    std::string announcedText;  // the text a screen reader last heard of, for text-remove
    std::vector<std::string> actions;
    bool selected = false;  // a page tab's selected state last announced
};

struct DadosAtkObject {
    AtkObject parent;
    Node* node;
};
struct DadosAtkObjectClass {
    AtkObjectClass parent;
};

AtkBridge::State* bridge = nullptr;  // the one bridge: ATK's callbacks are plain functions

Node* NodeOf(gpointer object) { return reinterpret_cast<DadosAtkObject*>(object)->node; }
Accessible* ModelOf(gpointer object)
{
    Node* node = NodeOf(object);
    return node != nullptr ? node->model : nullptr;
}

std::string Utf8(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

AtkRole AtkRoleFor(AccRole role)
{
    switch (role) {
        case AccRole::Frame: return ATK_ROLE_FRAME;
        case AccRole::Alert: return ATK_ROLE_ALERT;
        case AccRole::Panel: return ATK_ROLE_PANEL;
        case AccRole::Filler: return ATK_ROLE_FILLER;
        case AccRole::PushButton: return ATK_ROLE_PUSH_BUTTON;
        case AccRole::SpinButton: return ATK_ROLE_SPIN_BUTTON;
        case AccRole::Text: return ATK_ROLE_TEXT;
        case AccRole::Label: return ATK_ROLE_LABEL;
        case AccRole::Image: return ATK_ROLE_IMAGE;
        case AccRole::PageTab: return ATK_ROLE_PAGE_TAB;
        case AccRole::PageTabList: return ATK_ROLE_PAGE_TAB_LIST;
        case AccRole::Unknown: break;
    }
    return ATK_ROLE_UNKNOWN;
}

constexpr std::pair<AccState, AtkStateType> kStates[] = {
    {ACC_ACTIVE, ATK_STATE_ACTIVE},         {ACC_EDITABLE, ATK_STATE_EDITABLE},
    {ACC_ENABLED, ATK_STATE_ENABLED},       {ACC_FOCUSABLE, ATK_STATE_FOCUSABLE},
    {ACC_FOCUSED, ATK_STATE_FOCUSED},       {ACC_MODAL, ATK_STATE_MODAL},
    {ACC_MULTI_LINE, ATK_STATE_MULTI_LINE}, {ACC_SELECTABLE, ATK_STATE_SELECTABLE},
    {ACC_SELECTED, ATK_STATE_SELECTED},     {ACC_SENSITIVE, ATK_STATE_SENSITIVE},
    {ACC_SHOWING, ATK_STATE_SHOWING},       {ACC_SINGLE_LINE, ATK_STATE_SINGLE_LINE},
    {ACC_VISIBLE, ATK_STATE_VISIBLE},
};

GType TypeFor(unsigned interfaces);
GType RootType();

}  // namespace

struct AtkBridge::State final : AccessibleListener {
    explicit State(std::function<void()> wake) : loop(std::move(wake)) {}

    GlibLoop loop;
    AtkObject* root = nullptr;
    std::unordered_map<Accessible*, AtkObject*> objects;
    std::vector<Accessible*> topLevels;  // the application's children, in order of appearance
    AtkObject* focused = nullptr;        // holds a reference
    AtkObject* active = nullptr;         // holds a reference
    HWND actionWindow = nullptr;
    std::deque<std::function<void()>> actions;

    AtkObject* Wrap(Accessible* model)
    {
        if (model == nullptr) return nullptr;
        if (auto it = objects.find(model); it != objects.end()) return it->second;
        unsigned interfaces = 0;
        if (!model->Actions().empty()) interfaces |= kAction;
        if (model->HasText()) interfaces |= kText;
        if (model->HasText() && (model->States() & ACC_EDITABLE) != 0) interfaces |= kEditableText;
        if (model->Value()) interfaces |= kValue;
        if (model->Role() == AccRole::Frame || model->Role() == AccRole::Alert) interfaces |= kWindow;
        auto* object = static_cast<AtkObject*>(g_object_new(TypeFor(interfaces), nullptr));
        auto* node = new Node;
        node->model = model;
        if (model->HasText()) node->announcedText = Utf8(model->Text());
        reinterpret_cast<DadosAtkObject*>(object)->node = node;
        object->role = AtkRoleFor(model->Role());
        // The component's name, so that tools (and tests) can find a control whatever its label.
        if (const std::string id = model->Id(); !id.empty()) atk_object_set_accessible_id(object, id.c_str());
        objects.emplace(model, object);
        return object;
    }

    // The visible top-level windows that answer for themselves, in the order they appeared.
    const std::vector<Accessible*>& TopLevels()
    {
        HWND windows[64];
        const int count = std::min(EnumThreadTopLevels(windows, 64), 64);
        std::vector<Accessible*> now;
        for (int i = 0; i < count; ++i) {
            if (!IsWindowVisible(windows[i])) continue;
            if (Accessible* model = AccessibleFromWindow(windows[i])) now.push_back(model);
        }
        std::erase_if(topLevels, [&](Accessible* a) { return std::find(now.begin(), now.end(), a) == now.end(); });
        for (Accessible* a : now)
            if (std::find(topLevels.begin(), topLevels.end(), a) == topLevels.end()) topLevels.push_back(a);
        return topLevels;
    }

    void Replace(AtkObject*& slot, AtkObject* object)
    {
        if (object != nullptr) g_object_ref(object);
        if (slot != nullptr) g_object_unref(slot);
        slot = object;
    }

    // Runs `action` from the message loop: a click may open a modal message, whose loop must
    // not run inside the bus's handler.
    void Queue(std::function<void()> action)
    {
        actions.push_back(std::move(action));
        PostMessage(actionWindow, kRunActions, 0, 0);
    }
    static constexpr UINT kRunActions = WM_USER + 1;
    // The same for an action on one object, dropped when the object is gone by then.
    template <typename Action>
    void QueueFor(Accessible* model, Action action)
    {
        Queue([this, model, action = std::move(action)] {
            if (objects.contains(model)) action(model);
        });
    }

    void OnAccessibleEvent(AccEvent event, Accessible* model) override;
    void OnAccessibleGone(Accessible* model) override;

    void AnnounceText(AtkObject* object)
    {
        Node* node = NodeOf(object);
        const std::string now = Utf8(node->model->Text());
        if (now == node->announcedText) return;
        const std::string before = std::exchange(node->announcedText, now);
        if (!before.empty())
            g_signal_emit_by_name(object, "text-remove", 0, gint(g_utf8_strlen(before.c_str(), -1)), before.c_str());
        if (!now.empty())
            g_signal_emit_by_name(object, "text-insert", 0, gint(g_utf8_strlen(now.c_str(), -1)), now.c_str());
    }

    void AnnounceSelection(Accessible* list)
    {
        for (Accessible* tab : list->Children()) {
            AtkObject* object = Wrap(tab);
            Node* node = NodeOf(object);
            const bool selected = (tab->States() & ACC_SELECTED) != 0;
            if (selected == node->selected) continue;
            node->selected = selected;
            atk_object_notify_state_change(object, ATK_STATE_SELECTED, selected);
        }
    }
};

namespace {

// ---- AtkObject ----

const gchar* GetName(AtkObject* object)
{
    Accessible* model = ModelOf(object);
    if (model == nullptr) return "";
    Node* node = NodeOf(object);
    node->name = Utf8(model->Name());
    return node->name.c_str();
}

const gchar* GetDescription(AtkObject* object)
{
    Accessible* model = ModelOf(object);
    if (model == nullptr) return "";
    Node* node = NodeOf(object);
    node->description = Utf8(model->Description());
    return node->description.c_str();
}

AtkObject* GetParent(AtkObject* object)
{
    Accessible* model = ModelOf(object);
    if (model == nullptr || bridge == nullptr) return nullptr;
    Accessible* parent = model->Parent();
    return parent != nullptr ? bridge->Wrap(parent) : bridge->root;
}

gint GetNChildren(AtkObject* object)
{
    Accessible* model = ModelOf(object);
    return model != nullptr ? gint(model->Children().size()) : 0;
}

AtkObject* RefChild(AtkObject* object, gint index)
{
    Accessible* model = ModelOf(object);
    if (model == nullptr || bridge == nullptr || index < 0) return nullptr;
    const std::vector<Accessible*> children = model->Children();
    if (std::size_t(index) >= children.size()) return nullptr;
    return static_cast<AtkObject*>(g_object_ref(bridge->Wrap(children[std::size_t(index)])));
}

gint GetIndexInParent(AtkObject* object)
{
    Accessible* model = ModelOf(object);
    if (model == nullptr || bridge == nullptr) return -1;
    if (model->Parent() != nullptr) return model->IndexInParent();
    const std::vector<Accessible*>& tops = bridge->TopLevels();
    const auto it = std::find(tops.begin(), tops.end(), model);
    return it == tops.end() ? -1 : gint(it - tops.begin());
}

AtkStateSet* RefStateSet(AtkObject* object)
{
    AtkStateSet* set = atk_state_set_new();
    Accessible* model = ModelOf(object);
    if (model == nullptr) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    const AccStates states = model->States();
    for (const auto& [bit, atk] : kStates)
        if ((states & bit) != 0) atk_state_set_add_state(set, atk);
    return set;
}

AtkRelationSet* RefRelationSet(AtkObject* object)
{
    AtkRelationSet* set = atk_relation_set_new();
    Accessible* model = ModelOf(object);
    if (model == nullptr || bridge == nullptr) return set;
    for (const auto& [relation, target] : model->Relations()) {
        AtkObject* targets[] = {bridge->Wrap(target)};
        if (targets[0] == nullptr) continue;
        const AtkRelationType type =
            relation == AccRelation::LabelledBy ? ATK_RELATION_LABELLED_BY : ATK_RELATION_LABEL_FOR;
        AtkRelation* atkRelation = atk_relation_new(targets, 1, type);
        atk_relation_set_add(set, atkRelation);
        g_object_unref(atkRelation);
    }
    return set;
}

void Finalize(GObject* object)
{
    delete NodeOf(object);
    G_OBJECT_CLASS(g_type_class_peek(ATK_TYPE_OBJECT))->finalize(object);
}

void ClassInit(gpointer klass, gpointer)
{
    G_OBJECT_CLASS(klass)->finalize = Finalize;
    auto* atk = ATK_OBJECT_CLASS(klass);
    atk->get_name = GetName;
    atk->get_description = GetDescription;
    atk->get_parent = GetParent;
    atk->get_n_children = GetNChildren;
    atk->ref_child = RefChild;
    atk->get_index_in_parent = GetIndexInParent;
    atk->ref_state_set = RefStateSet;
    atk->ref_relation_set = RefRelationSet;
}

// ---- AtkComponent ----

void GetExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height, AtkCoordType coords)
{
    Accessible* model = ModelOf(component);
    RECT r = model != nullptr ? model->ScreenRect() : RECT{};
    if (coords != ATK_XY_SCREEN && model != nullptr) {
        // Window coordinates are the top-level window's; the parent's where asked for.
        Accessible* origin = model;
        if (coords == ATK_XY_PARENT) {
            origin = model->Parent();
        } else {
            while (origin->Parent() != nullptr) origin = origin->Parent();
        }
        if (origin != nullptr) {
            const RECT o = origin->ScreenRect();
            r = RECT{r.left - o.left, r.top - o.top, r.right - o.left, r.bottom - o.top};
        }
    }
    if (x) *x = r.left;
    if (y) *y = r.top;
    if (width) *width = r.right - r.left;
    if (height) *height = r.bottom - r.top;
}

void ComponentInit(gpointer iface, gpointer) { static_cast<AtkComponentIface*>(iface)->get_extents = GetExtents; }

// ---- AtkAction ----

gint GetNActions(AtkAction* action)
{
    Accessible* model = ModelOf(action);
    if (model == nullptr) return 0;
    NodeOf(action)->actions = model->Actions();
    return gint(NodeOf(action)->actions.size());
}

const gchar* GetActionName(AtkAction* action, gint index)
{
    GetNActions(action);
    const std::vector<std::string>& names = NodeOf(action)->actions;
    return index >= 0 && std::size_t(index) < names.size() ? names[std::size_t(index)].c_str() : nullptr;
}

gboolean DoAction(AtkAction* action, gint index)
{
    if (ModelOf(action) == nullptr || bridge == nullptr || index < 0 || index >= GetNActions(action)) return FALSE;
    bridge->QueueFor(ModelOf(action), [index](Accessible* model) { model->DoAction(index); });
    return TRUE;
}

void ActionInit(gpointer iface, gpointer)
{
    auto* action = static_cast<AtkActionIface*>(iface);
    action->get_n_actions = GetNActions;
    action->get_name = GetActionName;
    action->get_localized_name = GetActionName;
    action->do_action = DoAction;
}

// ---- AtkText and AtkEditableText ----
// Our texts are code page 1252, one byte a character, so offsets are the same on both sides.

std::string TextOf(gpointer object)
{
    Accessible* model = ModelOf(object);
    return model != nullptr ? model->Text() : std::string();
}

gchar* Substring(const std::string& cp1252, gint start, gint end)
{
    const gint count = gint(cp1252.size());
    if (end < 0 || end > count) end = count;
    start = std::clamp(start, 0, end);
    return g_strdup(Utf8(cp1252.substr(std::size_t(start), std::size_t(end - start))).c_str());
}

gchar* GetText(AtkText* text, gint start, gint end) { return Substring(TextOf(text), start, end); }

gint GetCharacterCount(AtkText* text) { return gint(TextOf(text).size()); }

gunichar GetCharacterAtOffset(AtkText* text, gint offset)
{
    const std::string content = TextOf(text);
    if (offset < 0 || std::size_t(offset) >= content.size()) return 0;
    return Cp1252ToUnicode(static_cast<unsigned char>(content[std::size_t(offset)]));
}

gint GetCaretOffset(AtkText* text)
{
    Accessible* model = ModelOf(text);
    return model != nullptr ? model->CaretOffset() : -1;
}

gint GetNSelections(AtkText* text)
{
    Accessible* model = ModelOf(text);
    if (model == nullptr) return 0;
    const auto [first, second] = model->Selection();
    return first != second ? 1 : 0;
}

gchar* GetSelection(AtkText* text, gint index, gint* start, gint* end)
{
    Accessible* model = ModelOf(text);
    *start = *end = 0;
    if (model == nullptr || index != 0) return nullptr;
    const auto [first, second] = model->Selection();
    if (first == second) return nullptr;
    *start = first;
    *end = second;
    return Substring(model->Text(), first, second);
}

// Lines (the memo's) or the whole text; a reader asks by character, word or line.
gchar* GetStringAtOffset(AtkText* text, gint offset, AtkTextGranularity granularity, gint* start, gint* end)
{
    const std::string content = TextOf(text);
    const gint count = gint(content.size());
    offset = std::clamp(offset, 0, count);
    gint first = 0;
    gint last = count;
    const auto isBreak = [&](gint i) {
        const char c = content[std::size_t(i)];
        return granularity == ATK_TEXT_GRANULARITY_WORD ? (c == ' ' || c == '\n' || c == '\r') : (c == '\n');
    };
    if (granularity == ATK_TEXT_GRANULARITY_CHAR) {
        first = offset;
        last = std::min(offset + 1, count);
    } else if (granularity == ATK_TEXT_GRANULARITY_WORD || granularity == ATK_TEXT_GRANULARITY_LINE) {
        first = offset;
        while (first > 0 && !isBreak(first - 1)) --first;
        last = offset;
        while (last < count && !isBreak(last)) ++last;
        if (last < count) ++last;  // the break belongs to what it ends
    }
    *start = first;
    *end = last;
    return Substring(content, first, last);
}

void TextInit(gpointer iface, gpointer)
{
    auto* text = static_cast<AtkTextIface*>(iface);
    text->get_text = GetText;
    text->get_character_count = GetCharacterCount;
    text->get_character_at_offset = GetCharacterAtOffset;
    text->get_caret_offset = GetCaretOffset;
    text->get_n_selections = GetNSelections;
    text->get_selection = GetSelection;
    text->get_string_at_offset = GetStringAtOffset;
}

void SetTextContents(AtkEditableText* text, const gchar* utf8)
{
    Accessible* model = ModelOf(text);
    if (model == nullptr || bridge == nullptr || utf8 == nullptr) return;
    bridge->QueueFor(model, [cp1252 = Utf8ToCp1252(utf8)](Accessible* target) { target->SetText(cp1252); });
}

void EditableTextInit(gpointer iface, gpointer)
{
    static_cast<AtkEditableTextIface*>(iface)->set_text_contents = SetTextContents;
}

// ---- AtkValue ----

AccValue ValueOf(gpointer object)
{
    Accessible* model = ModelOf(object);
    return model != nullptr ? model->Value().value_or(AccValue{}) : AccValue{};
}

void GetValueAndText(AtkValue* value, gdouble* current, gchar** text)
{
    const AccValue v = ValueOf(value);
    if (current) *current = v.current;
    // No text of its own: the bridge never frees it, and the spin button's text interface says
    // the same.
    if (text) *text = nullptr;
}

AtkRange* GetRange(AtkValue* value)
{
    const AccValue v = ValueOf(value);
    return atk_range_new(v.minimum, v.maximum, nullptr);
}

gdouble GetIncrement(AtkValue* value) { return ValueOf(value).step; }

void SetValue(AtkValue* value, gdouble number)
{
    Accessible* model = ModelOf(value);
    if (model == nullptr || bridge == nullptr) return;
    bridge->QueueFor(model, [number](Accessible* target) { target->SetValue(number); });
}

// The older calls, which clients of the older interface still make.
void PutDouble(GValue* out, double number)
{
    g_value_init(out, G_TYPE_DOUBLE);
    g_value_set_double(out, number);
}
void GetCurrentValue(AtkValue* value, GValue* out) { PutDouble(out, ValueOf(value).current); }
void GetMinimumValue(AtkValue* value, GValue* out) { PutDouble(out, ValueOf(value).minimum); }
void GetMaximumValue(AtkValue* value, GValue* out) { PutDouble(out, ValueOf(value).maximum); }
void GetMinimumIncrement(AtkValue* value, GValue* out) { PutDouble(out, ValueOf(value).step); }
gboolean SetCurrentValue(AtkValue* value, const GValue* in)
{
    if (!G_VALUE_HOLDS(in, G_TYPE_DOUBLE) && !G_VALUE_HOLDS(in, G_TYPE_INT)) return FALSE;
    SetValue(value, G_VALUE_HOLDS(in, G_TYPE_DOUBLE) ? g_value_get_double(in) : g_value_get_int(in));
    return TRUE;
}

void ValueInit(gpointer iface, gpointer)
{
    auto* value = static_cast<AtkValueIface*>(iface);
    value->get_value_and_text = GetValueAndText;
    value->get_range = GetRange;
    value->get_increment = GetIncrement;
    value->set_value = SetValue;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    value->get_current_value = GetCurrentValue;
    value->get_minimum_value = GetMinimumValue;
    value->get_maximum_value = GetMaximumValue;
    value->get_minimum_increment = GetMinimumIncrement;
    value->set_current_value = SetCurrentValue;
    G_GNUC_END_IGNORE_DEPRECATIONS
}

void WindowInit(gpointer, gpointer) {}

GType TypeFor(unsigned interfaces)
{
    static GType types[kInterfaceCombinations] = {};
    if (types[interfaces] != 0) return types[interfaces];
    char name[32];
    std::snprintf(name, sizeof name, "DadosAccessible%u", interfaces);
    const GTypeInfo info{sizeof(DadosAtkObjectClass), nullptr, nullptr, ClassInit, nullptr, nullptr,
                         sizeof(DadosAtkObject),      0,       nullptr, nullptr};
    const GType type = g_type_register_static(ATK_TYPE_OBJECT, name, &info, GTypeFlags(0));
    const auto add = [type](GType iface, GInterfaceInitFunc init) {
        const GInterfaceInfo info{init, nullptr, nullptr};
        g_type_add_interface_static(type, iface, &info);
    };
    add(ATK_TYPE_COMPONENT, ComponentInit);
    if ((interfaces & kAction) != 0) add(ATK_TYPE_ACTION, ActionInit);
    if ((interfaces & kText) != 0) add(ATK_TYPE_TEXT, TextInit);
    if ((interfaces & kEditableText) != 0) add(ATK_TYPE_EDITABLE_TEXT, EditableTextInit);
    if ((interfaces & kValue) != 0) add(ATK_TYPE_VALUE, ValueInit);
    if ((interfaces & kWindow) != 0) add(ATK_TYPE_WINDOW, WindowInit);
    types[interfaces] = type;
    return type;
}

// ---- The application object, the root of our tree ----

gint RootNChildren(AtkObject*) { return bridge != nullptr ? gint(bridge->TopLevels().size()) : 0; }

AtkObject* RootRefChild(AtkObject*, gint index)
{
    if (bridge == nullptr || index < 0) return nullptr;
    const std::vector<Accessible*>& tops = bridge->TopLevels();
    if (std::size_t(index) >= tops.size()) return nullptr;
    return static_cast<AtkObject*>(g_object_ref(bridge->Wrap(tops[std::size_t(index)])));
}

AtkObject* RootParent(AtkObject*) { return nullptr; }
gint RootIndexInParent(AtkObject*) { return -1; }

void RootClassInit(gpointer klass, gpointer)
{
    auto* atk = ATK_OBJECT_CLASS(klass);
    atk->get_n_children = RootNChildren;
    atk->ref_child = RootRefChild;
    atk->get_parent = RootParent;
    atk->get_index_in_parent = RootIndexInParent;
}

GType RootType()
{
    static GType type = 0;
    if (type == 0) {
        const GTypeInfo info{sizeof(AtkObjectClass), nullptr, nullptr, RootClassInit, nullptr, nullptr,
                             sizeof(AtkObject),      0,       nullptr, nullptr};
        type = g_type_register_static(ATK_TYPE_OBJECT, "DadosApplication", &info, GTypeFlags(0));
    }
    return type;
}

// ---- AtkUtil: the toolkit's side of ATK's global functions ----

AtkObject* UtilRoot() { return bridge != nullptr ? bridge->root : nullptr; }
const gchar* UtilToolkitName() { return "dados"; }
const gchar* UtilToolkitVersion() { return kToolkitVersion; }

// The bridge listens to our objects' signals through emission hooks ("Gtk:AtkText:text-insert"
// names the type and the signal). Window events come as AtkWindow's own signals.
struct Hook {
    guint signal;
    gulong id;
};
std::unordered_map<guint, Hook>& Hooks()
{
    static std::unordered_map<guint, Hook> hooks;
    return hooks;
}

guint AddGlobalEventListener(GSignalEmissionHook listener, const gchar* eventType)
{
    gchar** parts = g_strsplit(eventType, ":", 3);
    guint key = 0;
    if (g_strv_length(parts) == 3) {
        const GType type = g_type_from_name(parts[1]);
        const guint signal = type != 0 ? g_signal_lookup(parts[2], type) : 0;
        if (signal != 0) {
            static guint next = 0;
            key = ++next;
            Hooks()[key] = Hook{signal, g_signal_add_emission_hook(signal, 0, listener, nullptr, nullptr)};
        }
    }
    g_strfreev(parts);
    return key;
}

void RemoveGlobalEventListener(guint key)
{
    const auto it = Hooks().find(key);
    if (it == Hooks().end()) return;
    g_signal_remove_emission_hook(it->second.signal, it->second.id);
    Hooks().erase(it);
}

LRESULT ActionWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == AtkBridge::State::kRunActions && bridge != nullptr) {
        // One at a time: an action may run a modal loop that dispatches the next message.
        if (!bridge->actions.empty()) {
            std::function<void()> action = std::move(bridge->actions.front());
            bridge->actions.pop_front();
            action();
        }
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void AtkBridge::State::OnAccessibleEvent(AccEvent event, Accessible* model)
{
    AtkObject* object = Wrap(model);
    switch (event) {
        case AccEvent::Focus:
            if (focused != nullptr && focused != object)
                atk_object_notify_state_change(focused, ATK_STATE_FOCUSED, FALSE);
            Replace(focused, object);
            atk_object_notify_state_change(object, ATK_STATE_FOCUSED, TRUE);
            G_GNUC_BEGIN_IGNORE_DEPRECATIONS
            atk_focus_tracker_notify(object);
            G_GNUC_END_IGNORE_DEPRECATIONS
            break;
        case AccEvent::TextChanged:
            if (model->HasText()) AnnounceText(object);
            break;
        case AccEvent::ValueChanged:
            // What the bridge forwards of a value change: the property's notification.
            g_object_notify(G_OBJECT(object), "accessible-value");
            if (model->HasText()) AnnounceText(object);
            break;
        case AccEvent::DescriptionChanged: g_object_notify(G_OBJECT(object), "accessible-description"); break;
        case AccEvent::SelectionChanged: AnnounceSelection(model); break;
        case AccEvent::WindowCreate: {
            const std::vector<Accessible*>& tops = TopLevels();
            const auto it = std::find(tops.begin(), tops.end(), model);
            if (it != tops.end())
                g_signal_emit_by_name(root, "children-changed::add", guint(it - tops.begin()), object);
            g_signal_emit_by_name(object, "create");
            break;
        }
        case AccEvent::WindowActivate:
            if (active == object) break;
            if (active != nullptr) g_signal_emit_by_name(active, "deactivate");
            Replace(active, object);
            atk_object_notify_state_change(object, ATK_STATE_ACTIVE, TRUE);
            g_signal_emit_by_name(object, "activate");
            break;
        case AccEvent::WindowDestroy: {
            const auto it = std::find(topLevels.begin(), topLevels.end(), model);
            g_signal_emit_by_name(object, "destroy");
            if (it != topLevels.end()) {
                g_signal_emit_by_name(root, "children-changed::remove", guint(it - topLevels.begin()), object);
                topLevels.erase(it);
            }
            break;
        }
    }
}

void AtkBridge::State::OnAccessibleGone(Accessible* model)
{
    const auto it = objects.find(model);
    if (it == objects.end()) return;
    AtkObject* object = it->second;
    objects.erase(it);
    std::erase(topLevels, model);
    NodeOf(object)->model = nullptr;
    atk_object_notify_state_change(object, ATK_STATE_DEFUNCT, TRUE);
    if (focused == object) Replace(focused, nullptr);
    if (active == object) Replace(active, nullptr);
    g_object_unref(object);
}

std::unique_ptr<AtkBridge> AtkBridge::Start(std::function<void()> wake)
{
    // The bridge itself also reads NO_AT_BRIDGE; checking first spares the GLib set-up.
    if (const char* off = std::getenv("NO_AT_BRIDGE"); off != nullptr && std::strcmp(off, "1") == 0) return nullptr;
    auto state = std::make_unique<State>(std::move(wake));
    if (!state->loop.Owned()) return nullptr;

    // atk_get_root() and friends read the base class, whatever subclass is registered.
    auto* util = static_cast<AtkUtilClass*>(g_type_class_ref(ATK_TYPE_UTIL));
    util->get_root = UtilRoot;
    util->get_toolkit_name = UtilToolkitName;
    util->get_toolkit_version = UtilToolkitVersion;
    util->add_global_event_listener = AddGlobalEventListener;
    util->remove_global_event_listener = RemoveGlobalEventListener;

    state->root = static_cast<AtkObject*>(g_object_new(RootType(), nullptr));
    atk_object_set_name(state->root, "dados");
    atk_object_set_role(state->root, ATK_ROLE_APPLICATION);

    WNDCLASS cls{};
    cls.lpfnWndProc = ActionWindowProc;
    cls.lpszClassName = "DadosAtkActions";
    RegisterClass(cls);
    state->actionWindow = CreateWindowEx(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr);

    bridge = state.get();
    int argc = 0;
    char** argv = nullptr;
    if (state->actionWindow == nullptr || atk_bridge_adaptor_init(&argc, &argv) != 0) {
        bridge = nullptr;
        if (state->actionWindow != nullptr) DestroyWindow(state->actionWindow);
        g_object_unref(state->root);
        return nullptr;
    }
    SetAccessibleListener(state.get());
    return std::unique_ptr<AtkBridge>(new AtkBridge(std::move(state)));
}

AtkBridge::AtkBridge(std::unique_ptr<State> state) : state_(std::move(state)) {}

AtkBridge::~AtkBridge()
{
    SetAccessibleListener(nullptr);
    atk_bridge_adaptor_cleanup();
    for (auto& [model, object] : state_->objects) {
        NodeOf(object)->model = nullptr;
        g_object_unref(object);
    }
    state_->objects.clear();
    state_->Replace(state_->focused, nullptr);
    state_->Replace(state_->active, nullptr);
    if (IsWindow(state_->actionWindow)) DestroyWindow(state_->actionWindow);
    bridge = nullptr;
    g_object_unref(state_->root);
}

int AtkBridge::BeforeWait() { return state_->loop.BeforeWait(); }
void AtkBridge::AfterWait() { state_->loop.AfterWait(); }

}  // namespace desktop::sdl
