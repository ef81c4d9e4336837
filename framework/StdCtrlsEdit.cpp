#include "framework/StdCtrlsEdit.h"

#include "desktop/Controls.h"
#include "desktop/Input.h"
#include "desktop/Messages.h"
#include "desktop/System.h"
#include "framework/ClassesBuilder.h"
#include "framework/StdCtrlsText.h"

namespace fw {

namespace {

constexpr int kDefaultWidth = 121;
constexpr int kDefaultHeight = 25;
// System border heights in an edit's automatic height, with and without the 3D look.
constexpr int kBorders3D = 8;
constexpr int kBordersFlat = 6;

}  // namespace

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner)
{
    // The desktop edit captures the mouse and reports clicks itself.
    SetControlStyle(csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight);
    SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    TWinControl::SetAutoSize(true);
}

TCustomEdit::~TCustomEdit() = default;

const TClassInfo& TCustomEdit::Info()
{
    static const TClassInfo info = ClassBuilder<TCustomEdit, TWinControl>("TCustomEdit").Build();
    return info;
}

const TClassInfo& TEdit::Info()
{
    static const TClassInfo info =
        ClassBuilder<TEdit, TCustomEdit>("TEdit")
            .Boolean("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect)
            .Boolean("AutoSize", &TEdit::AutoSize, &TEdit::SetAutoSize)
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TEdit::BorderStyle, &TEdit::SetBorderStyle)
            .Enum("CharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}, &TEdit::CharCase, &TEdit::SetCharCase)
            .Boolean("Ctl3D", &TEdit::Ctl3D, &TEdit::SetCtl3D)
            .Boolean("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection)
            .Integer("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength)
            .Char("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar)
            .Boolean("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly)
            .Event("OnChange", [](TEdit* e, TNotifyEvent handler) { e->OnChange = std::move(handler); })
            .Build();
    return info;
}

// ---- Properties ----

void TCustomEdit::SetBorderStyle(TBorderStyle value)
{
    if (borderStyle_ != value) {
        borderStyle_ = value;
        UpdateHeight();
        RecreateWnd();
    }
}

void TCustomEdit::SetCharCase(TEditCharCase value)
{
    if (charCase_ != value) {
        charCase_ = value;
        RecreateWnd();
    }
}

void TCustomEdit::SetCtl3D(bool value)
{
    if (ctl3D_ != value) {
        ctl3D_ = value;
        UpdateHeight();
        RecreateWnd();
    }
}

void TCustomEdit::SetHideSelection(bool value)
{
    if (hideSelection_ != value) {
        hideSelection_ = value;
        RecreateWnd();
    }
}

void TCustomEdit::SetMaxLength(int value)
{
    if (maxLength_ == value) {
        return;
    }
    maxLength_ = value;
    if (HandleAllocated()) {
        Perform(desktop::EM_LIMITTEXT, static_cast<desktop::WPARAM>(value));
    }
}

void TCustomEdit::SetReadOnly(bool value)
{
    if (readOnly_ == value) {
        return;
    }
    readOnly_ = value;
    if (HandleAllocated()) {
        Perform(desktop::EM_SETREADONLY, value ? 1 : 0);
    }
}

void TCustomEdit::SetPasswordChar(char value)
{
    if (passwordChar_ == value) {
        return;
    }
    passwordChar_ = value;
    if (HandleAllocated()) {
        Perform(desktop::EM_SETPASSWORDCHAR, static_cast<unsigned char>(value));
        Invalidate();
    }
}

bool TCustomEdit::Modified()
{
    if (HandleAllocated()) {
        modified_ = Perform(desktop::EM_GETMODIFY) != 0;
    }
    return modified_;
}

void TCustomEdit::SetModified(bool value)
{
    modified_ = value;
    if (HandleAllocated()) {
        Perform(desktop::EM_SETMODIFY, value ? 1 : 0);
    }
}

void TCustomEdit::SetAutoSize(bool value)
{
    if (AutoSize() != value) {
        TWinControl::SetAutoSize(value);
        UpdateHeight();
    }
}

// ---- Selection and clipboard ----

int TCustomEdit::SelStart()
{
    desktop::DWORD start = 0;
    desktop::DWORD end = 0;
    HandleNeeded();
    Perform(desktop::EM_GETSEL, PointerToWParam(&start), PointerToLParam(&end));
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value)
{
    HandleNeeded();
    Perform(desktop::EM_SETSEL, static_cast<desktop::WPARAM>(value), value);
}

int TCustomEdit::SelLength()
{
    desktop::DWORD start = 0;
    desktop::DWORD end = 0;
    HandleNeeded();
    Perform(desktop::EM_GETSEL, PointerToWParam(&start), PointerToLParam(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int value)
{
    const int start = SelStart();
    Perform(desktop::EM_SETSEL, static_cast<desktop::WPARAM>(start), start + value);
}

std::string TCustomEdit::SelText()
{
    const int start = SelStart();
    const int length = SelLength();
    const std::string text = GetText();
    if (start < 0 || static_cast<std::size_t>(start) >= text.size() || length <= 0) {
        return {};
    }
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
}

void TCustomEdit::SetSelText(const std::string& value)
{
    HandleNeeded();
    Perform(desktop::EM_REPLACESEL, 0, PointerToLParam(value.c_str()));
}

void TCustomEdit::SelectAll()
{
    HandleNeeded();
    Perform(desktop::EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection()
{
    HandleNeeded();
    Perform(desktop::WM_CLEAR);
}

void TCustomEdit::CopyToClipboard()
{
    HandleNeeded();
    Perform(desktop::WM_COPY);
}

void TCustomEdit::CutToClipboard()
{
    HandleNeeded();
    Perform(desktop::WM_CUT);
}

void TCustomEdit::PasteFromClipboard()
{
    HandleNeeded();
    Perform(desktop::WM_PASTE);
}

bool TCustomEdit::CanUndo()
{
    HandleNeeded();
    return Perform(desktop::EM_CANUNDO) != 0;
}

void TCustomEdit::Undo()
{
    HandleNeeded();
    Perform(desktop::WM_UNDO);
}

// ---- Window ----

void TCustomEdit::Change()
{
    TWinControl::Changed();
    if (OnChange) {
        OnChange(this);
    }
}

void TCustomEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    CreateSubClass(params, desktop::kEditClass);
    params.Style |= desktop::ES_AUTOHSCROLL | desktop::ES_AUTOVSCROLL;
    if (borderStyle_ == TBorderStyle::bsSingle) {
        if (ctl3D_) {
            params.ExStyle |= desktop::WS_EX_CLIENTEDGE;
        } else {
            params.Style |= desktop::WS_BORDER;
        }
    }
    if (charCase_ == TEditCharCase::ecUpperCase) {
        params.Style |= desktop::ES_UPPERCASE;
    } else if (charCase_ == TEditCharCase::ecLowerCase) {
        params.Style |= desktop::ES_LOWERCASE;
    }
    if (!hideSelection_) {
        params.Style |= desktop::ES_NOHIDESEL;
    }
    if (readOnly_) {
        params.Style |= desktop::ES_READONLY;
    }
}

void TCustomEdit::CreateWnd()
{
    creating_ = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        creating_ = false;
        throw;
    }
    creating_ = false;
    Perform(desktop::EM_LIMITTEXT, static_cast<desktop::WPARAM>(maxLength_));
    if (passwordChar_ != '\0') {
        Perform(desktop::EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_));
    }
    Perform(desktop::EM_SETMODIFY, modified_ ? 1 : 0);
    UpdateHeight();
}

void TCustomEdit::DestroyWnd()
{
    if (HandleAllocated()) {
        modified_ = Perform(desktop::EM_GETMODIFY) != 0;
    }
    TWinControl::DestroyWnd();
}

void TCustomEdit::Loaded()
{
    TWinControl::Loaded();
    UpdateHeight();
}

void TCustomEdit::CNCommand(TWMCommand message)
{
    if (message.NotifyCode() == desktop::EN_CHANGE && !creating_) {
        Change();
        return;
    }
    TWinControl::CNCommand(message);
}

void TCustomEdit::CMEnter(TWMNoParams message)
{
    // Select everything only when the focus came by keyboard; a click places the caret.
    const bool mouseDown = InState(csLButtonDown) || desktop::GetKeyState(desktop::VK_LBUTTON) < 0;
    if (autoSelect_ && !mouseDown && HandleAllocated() &&
        (desktop::GetWindowLongPtr(Handle(), desktop::GWL_STYLE) & desktop::ES_MULTILINE) == 0) {
        SelectAll();
    }
    TWinControl::CMEnter(message);
}

void TCustomEdit::CMFontChanged(TWMNoParams message)
{
    TWinControl::CMFontChanged(message);
    if (!IsLoading()) {
        UpdateHeight();
    }
}

void TCustomEdit::UpdateHeight()
{
    if (AutoSize() && borderStyle_ == TBorderStyle::bsSingle) {
        SetControlStyle(ControlStyle() | csFixedHeight);
        AdjustHeight();
    } else {
        SetControlStyle(ControlStyle() & ~csFixedHeight);
    }
}

void TCustomEdit::AdjustHeight()
{
    const int borders = (ctl3D_ ? kBorders3D : kBordersFlat) * desktop::GetSystemMetrics(desktop::SM_CYBORDER);
    const int charHeight = stdctrls::FontCharHeight(Font());
    if (charHeight > 0) {
        SetHeight(charHeight + borders);
    }
}

}  // namespace fw
