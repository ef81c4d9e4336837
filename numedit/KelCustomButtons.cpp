#include "numedit/KelCustomButtons.h"

#include <memory>

#include "framework/ClassesBuilder.h"

namespace numedit {

const fw::TClassInfo& TKelSpecialButton::Info()
{
    using B = TKelSpecialButton;
    static const fw::TClassInfo info = fw::ClassBuilder<B, fw::TCollectionItem>("TKelSpecialButton")
                                           .String("Caption", &B::Caption, &B::SetCaption)
                                           .String("Hint", &B::Hint, &B::SetHint)
                                           .Boolean("Enabled", &B::Enabled, &B::SetEnabled)
                                           .Build();
    return info;
}

void TKelSpecialButton::Assign(fw::TPersistent* source)
{
    auto* other = dynamic_cast<TKelSpecialButton*>(source);
    if (other == nullptr) {
        fw::TCollectionItem::Assign(source);
        return;
    }
    caption_ = other->caption_;
    hint_ = other->hint_;
    enabled_ = other->enabled_;
    Changed();
}

void TKelSpecialButton::SetCaption(const std::string& value)
{
    if (value != caption_) {
        caption_ = value;
        Changed();
    }
}

void TKelSpecialButton::SetEnabled(bool value)
{
    if (value != enabled_) {
        enabled_ = value;
        Changed();
    }
}

void TKelSpecialButton::SetPlacement(const desktop::RECT& bounds, TKelUserButtonStyle style)
{
    bounds_ = bounds;
    style_ = style;
}

TKelSpecialButtons::TKelSpecialButtons(fw::TPersistent* owner)
    : fw::TCollection(owner, [](fw::TCollection* c) { return std::make_unique<TKelSpecialButton>(c); })
{
}

const fw::TClassInfo& TKelSpecialButtons::Info()
{
    static const fw::TClassInfo info =
        fw::ClassBuilder<TKelSpecialButtons, fw::TCollection>("TKelSpecialButtons").Build();
    return info;
}

void TKelSpecialButtons::LayOut(desktop::RECT& editRect, int buttonWidth, TKelUserButtonStyle style, bool topAtZero)
{
    editRect.right -= Count() * buttonWidth + 1;
    const int top = topAtZero ? 0 : editRect.top;
    const int height = editRect.bottom - editRect.top;
    for (int k = 0; k < Count(); ++k) {
        const int left = editRect.right + 1 + k * buttonWidth;
        Buttons(k)->SetPlacement(desktop::RECT{left, top, left + buttonWidth, top + height}, style);
    }
}

void TKelSpecialButtons::Update(fw::TCollectionItem* item)
{
    fw::TCollection::Update(item);
    if (OnChange) {
        OnChange(this);
    }
}

}  // namespace numedit
