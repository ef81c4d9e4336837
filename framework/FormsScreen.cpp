#include "framework/FormsScreen.h"

#include <algorithm>

#include "desktop/Gdi.h"
#include "desktop/System.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"
#include "framework/ControlsHooks.h"
#include "framework/ControlsWinControl.h"
#include "framework/ResStrings.h"
#include "framework/SysUtilsConvert.h"
#include "framework/SysUtilsExceptions.h"

namespace fw {

namespace {

TScreen* currentScreen = nullptr;

}  // namespace

TScreen* Screen() { return currentScreen; }

TScreen::TScreen(TComponent* owner) : TComponent(owner)
{
    // The predefined cursors the desktop layer has; the others fall back to the arrow.
    cursors_ = {
        {crDefault, desktop::IDC_ARROW},   {crNone, 0},
        {crArrow, desktop::IDC_ARROW},     {crCross, desktop::IDC_CROSS},
        {crIBeam, desktop::IDC_IBEAM},     {crUpArrow, desktop::IDC_UPARROW},
        {crHourGlass, desktop::IDC_WAIT},  {crSQLWait, desktop::IDC_WAIT},
        {crAppStart, desktop::IDC_WAIT},   {crNo, desktop::IDC_NO},
        {crNoDrop, desktop::IDC_NO},       {crHandPoint, desktop::IDC_HAND},
        {crSizeAll, desktop::IDC_SIZEALL},
    };
    if (desktop::HDC dc = desktop::CreateCompatibleDC(nullptr); dc != nullptr) {
        pixelsPerInch_ = desktop::GetDeviceCaps(dc, desktop::LOGPIXELSY);
        desktop::DeleteDC(dc);
    }
    if (currentScreen == nullptr) {
        currentScreen = this;
        InstallScreenCursorHooks({
            .cursor = [this] { return Cursor(); },
            .handle = [this](TCursor cursor) { return Cursors(cursor); },
        });
    }
}

TScreen::~TScreen()
{
    if (currentScreen == this) {
        currentScreen = nullptr;
        RemoveScreenCursorHooks();
    }
}

const TClassInfo& TScreen::Info()
{
    static const TClassInfo info = ClassBuilder<TScreen, TComponent>("TScreen").Build();
    return info;
}

TCustomForm* TScreen::CustomForms(int index) const
{
    if (index < 0 || index >= CustomFormCount()) {
        throw EListError(FormatMessage1(SListIndexError, IntegerToText(index)));
    }
    return forms_[static_cast<std::size_t>(index)];
}

void TScreen::SetCursor(TCursor value)
{
    if (cursor_ == value) {
        return;
    }
    cursor_ = value;
    desktop::SetCursor(Cursors(value));
}

HCURSOR TScreen::Cursors(int index) const
{
    auto found = cursors_.find(index);
    if (found == cursors_.end()) {
        found = cursors_.find(crDefault);
    }
    return found->second;
}

void TScreen::RegisterCursor(int index, HCURSOR handle)
{
    if (index == crDefault && handle == 0) {
        return;  // the default cursor always has a shape
    }
    cursors_[index] = handle;
}

int TScreen::Width() const { return desktop::GetSystemMetrics(desktop::SM_CXSCREEN); }

int TScreen::Height() const { return desktop::GetSystemMetrics(desktop::SM_CYSCREEN); }

void TScreen::AddForm(TCustomForm* form) { forms_.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form)
{
    std::erase(forms_, form);
    FormDestroying(form);
}

void TScreen::FormDestroying(TCustomForm* form)
{
    if (activeForm_ == form) {
        activeForm_ = nullptr;
        activeControl_ = nullptr;
    }
    if (focusedForm_ == form) {
        focusedForm_ = nullptr;
    }
}

void TScreen::ControlRemoving(const TControl* control)
{
    for (const TControl* c = activeControl_; c != nullptr; c = c->Parent()) {
        if (c == control) {
            activeControl_ = nullptr;
            return;
        }
    }
}

void TScreen::SetFocusState(TCustomForm* form, TWinControl* control)
{
    const bool formChanged = activeForm_ != form;
    const bool controlChanged = activeControl_ != control;
    activeControl_ = control;
    activeForm_ = form;
    auto found = std::find(forms_.begin(), forms_.end(), form);
    if (found != forms_.end()) {
        forms_.erase(found);
        forms_.insert(forms_.begin(), form);
    }
    if (controlChanged && OnActiveControlChange) {
        OnActiveControlChange(this);
    }
    if (formChanged && OnActiveFormChange) {
        OnActiveFormChange(this);
    }
}

}  // namespace fw
