#include "framework/ControlsAccessible.h"

#include "desktop/Window.h"
#include "framework/ComCtrls.h"
#include "framework/ControlsWinControl.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/FormsForm.h"
#include "framework/StdCtrls.h"

namespace fw {

namespace {

desktop::HWND WindowOf(const TControl* control)
{
    const auto* windowed = dynamic_cast<const TWinControl*>(control);
    return windowed != nullptr ? windowed->WindowHandle() : nullptr;
}

}  // namespace

desktop::Accessible* TControlAccessible::ClassObject() const { return desktop::ClassAccessible(WindowOf(control_)); }

desktop::AccStates TControlAccessible::ControlStates() const
{
    desktop::AccStates states = 0;
    if (control_->Visible()) states |= desktop::ACC_VISIBLE;
    if (control_->Showing()) states |= desktop::ACC_SHOWING;
    if (control_->Enabled()) states |= desktop::ACC_ENABLED | desktop::ACC_SENSITIVE;
    return states;
}

desktop::AccRole TControlAccessible::Role()
{
    if (role_ == desktop::AccRole::Unknown) {
        role_ = KnownRole();
    }
    if (role_ != desktop::AccRole::Unknown) {
        return role_;
    }
    // A control on a standard class is what its class says once it has its window.
    if (desktop::Accessible* inner = ClassObject()) {
        role_ = inner->Role();
        return role_;
    }
    return control_->IsWindowed() ? desktop::AccRole::Panel : desktop::AccRole::Filler;
}

desktop::AccRole TControlAccessible::KnownRole() const
{
    if (dynamic_cast<TMessageForm*>(control_) != nullptr) return desktop::AccRole::Alert;
    if (dynamic_cast<TCustomForm*>(control_) != nullptr) return desktop::AccRole::Frame;
    if (dynamic_cast<TTabSheet*>(control_) != nullptr) return desktop::AccRole::PageTab;
    if (dynamic_cast<TPageControl*>(control_) != nullptr) return desktop::AccRole::PageTabList;
    if (dynamic_cast<TCustomGroupBox*>(control_) != nullptr) return desktop::AccRole::Panel;
    if (dynamic_cast<TCustomLabel*>(control_) != nullptr) return desktop::AccRole::Label;
    if (dynamic_cast<TImage*>(control_) != nullptr) return desktop::AccRole::Image;
    return desktop::AccRole::Unknown;
}

std::string TControlAccessible::DefaultName()
{
    // An edit's text is its content, not its name; an image has no caption.
    if (dynamic_cast<TCustomEdit*>(control_) != nullptr || dynamic_cast<TImage*>(control_) != nullptr) return {};
    return desktop::WithoutAccelerators(control_->GetText());
}

std::string TControlAccessible::Name()
{
    return control_->AccessibleName().empty() ? DefaultName() : control_->AccessibleName();
}

std::string TControlAccessible::Description()
{
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr ? inner->Description() : std::string();
}

desktop::AccStates TControlAccessible::States()
{
    if (auto* sheet = dynamic_cast<TTabSheet*>(control_)) {
        // The object is the sheet's tab: shown while its page control is.
        TPageControl* pages = sheet->PageControl();
        desktop::AccStates states = desktop::ACC_SELECTABLE;
        if (pages != nullptr) {
            if (sheet->TabVisible() && pages->Visible()) states |= desktop::ACC_VISIBLE;
            if (sheet->TabVisible() && pages->Showing()) states |= desktop::ACC_SHOWING;
            if (pages->Enabled() && sheet->Enabled()) states |= desktop::ACC_ENABLED | desktop::ACC_SENSITIVE;
            if (pages->ActivePage() == sheet) states |= desktop::ACC_SELECTED;
        }
        return states;
    }
    desktop::AccStates states = ControlStates();
    if (desktop::Accessible* inner = ClassObject()) {
        states |= inner->States() & ~(desktop::ACC_VISIBLE | desktop::ACC_SHOWING);
    }
    if (auto* windowed = dynamic_cast<TWinControl*>(control_)) {
        if (windowed->TabStop()) states |= desktop::ACC_FOCUSABLE;
    }
    if (auto* form = dynamic_cast<TCustomForm*>(control_)) {
        if ((form->FormState() & fsModal) != 0) states |= desktop::ACC_MODAL;
    }
    return states;
}

std::string TControlAccessible::Id() { return control_->Name(); }

std::optional<desktop::AccValue> TControlAccessible::Value()
{
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr ? inner->Value() : std::nullopt;
}

bool TControlAccessible::SetValue(double value)
{
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr && inner->SetValue(value);
}

bool TControlAccessible::HasText()
{
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr && inner->HasText();
}

std::string TControlAccessible::Text()
{
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr ? inner->Text() : std::string();
}

int TControlAccessible::CaretOffset()
{
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr ? inner->CaretOffset() : -1;
}

std::pair<int, int> TControlAccessible::Selection()
{
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr ? inner->Selection() : std::pair<int, int>{0, 0};
}

bool TControlAccessible::SetText(const std::string& text)
{
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr && control_->Enabled() && inner->SetText(text);
}

desktop::RECT TControlAccessible::ScreenRect()
{
    if (auto* sheet = dynamic_cast<TTabSheet*>(control_)) {
        TPageControl* pages = sheet->PageControl();
        desktop::RECT tab{};
        if (pages == nullptr || !pages->HandleAllocated() || sheet->TabIndex() < 0 ||
            pages->Perform(desktop::TCM_GETITEMRECT, static_cast<desktop::WPARAM>(sheet->TabIndex()),
                           PointerToLParam(&tab)) == 0) {
            return {};
        }
        const desktop::POINT origin = pages->ClientToScreen({0, 0});
        return {tab.left + origin.x, tab.top + origin.y, tab.right + origin.x, tab.bottom + origin.y};
    }
    if (desktop::HWND window = WindowOf(control_)) {
        desktop::RECT rect{};
        desktop::GetWindowRect(window, &rect);
        return rect;
    }
    if (control_->Parent() == nullptr) return {};
    const desktop::POINT origin = control_->Parent()->ClientToScreen({control_->Left(), control_->Top()});
    return {origin.x, origin.y, origin.x + control_->Width(), origin.y + control_->Height()};
}

std::vector<std::string> TControlAccessible::Actions()
{
    if (dynamic_cast<TTabSheet*>(control_) != nullptr) return {"click"};
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr ? inner->Actions() : std::vector<std::string>{};
}

bool TControlAccessible::DoAction(int index)
{
    if (auto* sheet = dynamic_cast<TTabSheet*>(control_)) {
        return index == 0 && sheet->PageControl() != nullptr && sheet->PageControl()->Enabled() &&
               sheet->PageControl()->SelectPage(sheet);
    }
    desktop::Accessible* inner = ClassObject();
    return inner != nullptr && control_->Enabled() && inner->DoAction(index);
}

desktop::Accessible* TControlAccessible::Parent()
{
    return control_->Parent() != nullptr ? control_->Parent()->AccessibleObject() : nullptr;
}

std::vector<desktop::Accessible*> TControlAccessible::Children()
{
    std::vector<desktop::Accessible*> children;
    if (auto* pages = dynamic_cast<TPageControl*>(control_)) {
        for (int i = 0; i < pages->PageCount(); ++i) children.push_back(pages->Pages(i)->AccessibleObject());
        return children;
    }
    // Creation order: the order the window was laid out in, labels before what they label.
    if (auto* windowed = dynamic_cast<TWinControl*>(control_)) {
        for (int i = 0; i < windowed->ControlCount(); ++i) {
            if (desktop::Accessible* child = windowed->Controls(i)->AccessibleObject()) children.push_back(child);
        }
    }
    return children;
}

std::vector<std::pair<desktop::AccRelation, desktop::Accessible*>> TControlAccessible::Relations()
{
    std::vector<std::pair<desktop::AccRelation, desktop::Accessible*>> relations;
    for (const auto& [relation, other] : control_->AccessibleRelations()) {
        if (desktop::Accessible* object = other->AccessibleObject()) relations.emplace_back(relation, object);
    }
    return relations;
}

}  // namespace fw
