#include "framework/ClassesComponent.h"

#include <algorithm>

#include "framework/ClassesBuilder.h"
#include "framework/ClassesConsts.h"
#include "framework/ClassesReader.h"
#include "framework/SysUtilsConvert.h"

namespace fw {

TObject::~TObject() = default;

const TClassInfo& TObject::Info()
{
    static const TClassInfo info{.name = "TObject"};
    return info;
}

const TClassInfo& TPersistent::Info()
{
    static const TClassInfo info{.name = "TPersistent", .parent = &TObject::Info()};
    return info;
}

namespace {

[[noreturn]] void RaiseAssignError(const std::string& sourceName, const std::string& destName)
{
    throw EConvertError(FormatMessage1(FormatMessage1(SAssignError, sourceName), destName));
}

}  // namespace

void TPersistent::Assign(TPersistent* source)
{
    if (source == nullptr) {
        RaiseAssignError("nil", ClassName());
    }
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest)
{
    RaiseAssignError(ClassName(), dest != nullptr ? dest->ClassName() : std::string("nil"));
}

void TPersistent::DefineProperties(TFiler&) {}

TComponent::TComponent(TComponent* owner)
{
    if (owner != nullptr) {
        owner->InsertComponent(this);
    }
}

TComponent::~TComponent()
{
    SetState(csDestroying);
    // Last created goes first, so later components never outlive the ones they may refer to.
    while (!components_.empty()) {
        delete components_.back();
    }
    if (owner_ != nullptr) {
        owner_->RemoveComponent(this);
    }
}

const TClassInfo& TComponent::Info()
{
    static const TClassInfo info = ClassBuilder<TComponent, TPersistent>("TComponent")
                                       .String("Name", &TComponent::Name, &TComponent::SetName)
                                       .Integer("Tag", &TComponent::GetTag, &TComponent::SetTag)
                                       .Build();
    return info;
}

void TComponent::SetName(const std::string& newName)
{
    if (newName == name_) {
        return;
    }
    if (owner_ != nullptr && !newName.empty()) {
        TComponent* other = owner_->FindComponent(newName);
        if (other != nullptr && other != this) {
            throw EComponentError(FormatMessage1(SDuplicateName, newName));
        }
    }
    BindOwnerField(nullptr);
    name_ = newName;
    BindOwnerField(this);
}

void TComponent::BindOwnerField(TComponent* value)
{
    if (owner_ == nullptr || name_.empty()) {
        return;
    }
    if (const FieldInfo* field = owner_->ClassInfo().FindField(name_)) {
        field->set(owner_, value);
    }
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount()) {
        throw EListError(FormatMessage1(SListIndexError, IntegerToText(index)));
    }
    return components_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(const std::string& componentName) const
{
    if (componentName.empty()) {
        return nullptr;
    }
    for (TComponent* component : components_) {
        if (SameText(component->name_, componentName)) {
            return component;
        }
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component)
{
    if (component->owner_ != nullptr) {
        component->owner_->RemoveComponent(component);
    }
    components_.push_back(component);
    component->owner_ = this;
    component->BindOwnerField(component);
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    auto found = std::find(components_.begin(), components_.end(), component);
    if (found == components_.end()) {
        return;
    }
    // An owner being destroyed frees all its components anyway; telling the rest of each
    // removal would reach components whose own owner is half gone.
    if (!HasState(csDestroying)) {
        Notification(component, TOperation::opRemove);
        component->BindOwnerField(nullptr);
    }
    components_.erase(std::find(components_.begin(), components_.end(), component));
    component->owner_ = nullptr;
}

void TComponent::Loaded() { ClearState(csLoading); }

void TComponent::Notification(TComponent* component, TOperation operation)
{
    // Siblings hear of each other through their owner, so a reference from one component to
    // another (a label's focus control, say) is dropped when the other goes. By index, from the
    // last: a handler may remove components while this runs.
    for (std::size_t i = components_.size(); i-- > 0;) {
        if (i < components_.size()) {
            components_[i]->Notification(component, operation);
        }
    }
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::ReadState(TReader& reader) { reader.ReadData(this); }

}  // namespace fw
