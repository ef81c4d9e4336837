#include "framework/Dialogs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>

#include "desktop/Controls.h"
#include "desktop/Gdi.h"
#include "desktop/System.h"
#include "framework/ClassesBuilder.h"
#include "framework/ExtCtrls.h"
#include "framework/FormsApplication.h"
#include "framework/GraphicsPicture.h"
#include "framework/ResStrings.h"
#include "framework/StdCtrlsButton.h"
#include "framework/StdCtrlsLabel.h"

namespace fw {

namespace {

struct ButtonKind {
    const char* name;
    ResString caption;
    TModalResult modalResult;
};

constexpr std::array<ButtonKind, kMsgDlgBtnCount> kButtonKinds{{
    {"Yes", SMsgDlgYes, mrYes},
    {"No", SMsgDlgNo, mrNo},
    {"OK", SMsgDlgOK, mrOk},
    {"Cancel", SMsgDlgCancel, mrCancel},
    {"Abort", SMsgDlgAbort, mrAbort},
    {"Retry", SMsgDlgRetry, mrRetry},
    {"Ignore", SMsgDlgIgnore, mrIgnore},
    {"All", SMsgDlgAll, mrAll},
    {"NoToAll", SMsgDlgNoToAll, mrNoToAll},
    {"YesToAll", SMsgDlgYesToAll, mrYesToAll},
    {"Help", SMsgDlgHelp, mrNone},
}};

struct DialogKind {
    ResString caption;
    int iconId;  // 0: none
    bool HasIcon() const { return iconId != 0; }
};

// The custom kind is captioned with the application title and has no icon.
constexpr std::array<DialogKind, 5> kDialogKinds{{
    {SMsgDlgWarning, desktop::IDI_EXCLAMATION},
    {SMsgDlgError, desktop::IDI_HAND},
    {SMsgDlgInformation, desktop::IDI_ASTERISK},
    {SMsgDlgConfirm, desktop::IDI_QUESTION},
    {ResString{}, 0},
}};

constexpr int kIconSize = 32;
constexpr int kButtonCaptionPadding = 8;
constexpr char kAverageCharSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAverageCharSampleLength = 52;

// The system icon as an icon graphic: drawn on a background of a colour the icons do not use,
// which the bottom-left corner (outside every icon's shape) then marks as transparent.
std::unique_ptr<TIcon> SystemIcon(int iconId)
{
    TBitmap image;
    image.SetSize(kIconSize, kIconSize);
    image.Canvas()->Brush()->SetColor(clFuchsia);
    image.Canvas()->FillRect(desktop::RECT{0, 0, kIconSize, kIconSize});
    desktop::DrawSystemIcon(image.Canvas()->Handle(), iconId, 0, 0);
    auto icon = std::make_unique<TIcon>();
    icon->SetHandle(&image);
    return icon;
}

// Measured once per process: button captions do not change while the program runs.
std::array<int, kMsgDlgBtnCount>& ButtonWidthCache()
{
    static std::array<int, kMsgDlgBtnCount> widths{};
    return widths;
}

TDialogHelpHandler& HelpHandler()
{
    static TDialogHelpHandler handler;
    return handler;
}

std::size_t IndexOf(TMsgDlgBtn button) { return static_cast<std::size_t>(button); }

TMsgDlgBtn ButtonAt(int index) { return static_cast<TMsgDlgBtn>(index); }

// The caption width of a button kind in the canvas's font, single line, plus the padding.
int MeasureButtonCaption(TCanvas* canvas, TMsgDlgBtn button)
{
    desktop::RECT r{0, 0, 0, 0};
    desktop::DrawText(canvas->Handle(), kButtonKinds[IndexOf(button)].caption.Text(), -1, &r,
                      desktop::DT_CALCRECT | desktop::DT_LEFT | desktop::DT_SINGLELINE);
    return r.right - r.left + kButtonCaptionPadding;
}

// Where a dialog's controls go, from the font's average character size.
struct DialogMetrics {
    int horzMargin = 0;
    int vertMargin = 0;
    int horzSpacing = 0;
    int vertSpacing = 0;
    int buttonWidth = 0;
    int buttonHeight = 0;
    int buttonSpacing = 0;
};

DialogMetrics ComputeMetrics(TCanvas* canvas, TMsgDlgButtons buttons)
{
    const desktop::SIZE sample = canvas->TextExtent(kAverageCharSample);
    const int x = sample.cx / kAverageCharSampleLength;
    const int y = sample.cy;
    DialogMetrics m;
    m.horzMargin = desktop::MulDiv(8, x, 4);
    m.vertMargin = desktop::MulDiv(8, y, 8);
    m.horzSpacing = desktop::MulDiv(10, x, 4);
    m.vertSpacing = desktop::MulDiv(10, y, 8);
    m.buttonWidth = desktop::MulDiv(50, x, 4);
    auto& cache = ButtonWidthCache();
    for (int i = 0; i < kMsgDlgBtnCount; ++i) {
        if (!buttons.Contains(ButtonAt(i))) {
            continue;
        }
        if (cache[static_cast<std::size_t>(i)] == 0) {
            cache[static_cast<std::size_t>(i)] = MeasureButtonCaption(canvas, ButtonAt(i));
        }
        m.buttonWidth = std::max(m.buttonWidth, cache[static_cast<std::size_t>(i)]);
    }
    m.buttonHeight = desktop::MulDiv(14, y, 8);
    m.buttonSpacing = desktop::MulDiv(4, x, 4);
    return m;
}

// The rectangle the text needs when wrapped at half the screen width.
desktop::RECT MeasureText(TCanvas* canvas, const std::string& text)
{
    desktop::RECT r{0, 0, desktop::GetSystemMetrics(desktop::SM_CXSCREEN) / 2, 0};
    // One past the length: the terminating zero is measured with the text.
    desktop::DrawText(canvas->Handle(), text, static_cast<int>(text.size()) + 1, &r,
                      desktop::DT_EXPANDTABS | desktop::DT_CALCRECT | desktop::DT_WORDBREAK);
    return r;
}

TMsgDlgBtn DefaultButtonOf(TMsgDlgButtons buttons)
{
    if (buttons.Contains(TMsgDlgBtn::mbOK)) {
        return TMsgDlgBtn::mbOK;
    }
    return buttons.Contains(TMsgDlgBtn::mbYes) ? TMsgDlgBtn::mbYes : TMsgDlgBtn::mbRetry;
}

TMsgDlgBtn CancelButtonOf(TMsgDlgButtons buttons)
{
    if (buttons.Contains(TMsgDlgBtn::mbCancel)) {
        return TMsgDlgBtn::mbCancel;
    }
    return buttons.Contains(TMsgDlgBtn::mbNo) ? TMsgDlgBtn::mbNo : TMsgDlgBtn::mbOK;
}

void LayOutDialog(TMessageForm* form, const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons)
{
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    TCanvas* canvas = form->Canvas();
    canvas->SetFont(form->Font());

    const DialogMetrics m = ComputeMetrics(canvas, buttons);
    const desktop::RECT textRect = MeasureText(canvas, text);
    const int textWidth = textRect.right;
    const int textHeight = textRect.bottom;

    const DialogKind& kindInfo = kDialogKinds[static_cast<std::size_t>(kind)];
    int blockWidth = textWidth;
    int blockHeight = textHeight;
    if (kindInfo.HasIcon()) {
        blockWidth += m.horzSpacing + kIconSize;
        blockHeight = std::max(blockHeight, kIconSize);
    }

    const int buttonCount = buttons.Count();
    const int groupWidth = buttonCount == 0 ? 0 : buttonCount * m.buttonWidth + (buttonCount - 1) * m.buttonSpacing;

    form->SetClientWidth(std::max(blockWidth, groupWidth) + 2 * m.horzMargin);
    form->SetClientHeight(blockHeight + m.buttonHeight + m.vertSpacing + 2 * m.vertMargin);
    const int screenWidth = desktop::GetSystemMetrics(desktop::SM_CXSCREEN);
    const int screenHeight = desktop::GetSystemMetrics(desktop::SM_CYSCREEN);
    form->SetLeft(screenWidth / 2 - form->Width() / 2);
    form->SetTop(screenHeight / 2 - form->Height() / 2);

    if (kind == TMsgDlgType::mtCustom) {
        form->SetCaption(Application() != nullptr ? Application()->Title() : std::string());
    } else {
        form->SetCaption(kindInfo.caption.Text());
    }

    if (kindInfo.HasIcon()) {
        auto* image = new TImage(form);
        image->SetName("Image");
        image->SetParent(form);
        image->SetBounds(m.horzMargin, m.vertMargin, kIconSize, kIconSize);
        image->Picture()->Assign(SystemIcon(kindInfo.iconId).get());
    }

    auto* message = new TLabel(form);
    message->SetName("Message");
    message->SetParent(form);
    message->SetWordWrap(true);
    message->SetCaption(text);
    message->SetBounds(blockWidth - textWidth + m.horzMargin, m.vertMargin, textWidth, textHeight);

    const TMsgDlgBtn defaultButton = DefaultButtonOf(buttons);
    const TMsgDlgBtn cancelButton = CancelButtonOf(buttons);
    int x = (form->ClientWidth() - groupWidth) / 2;
    const int y = blockHeight + m.vertMargin + m.vertSpacing;
    for (int i = 0; i < kMsgDlgBtnCount; ++i) {
        const TMsgDlgBtn kindOfButton = ButtonAt(i);
        if (!buttons.Contains(kindOfButton)) {
            continue;
        }
        const ButtonKind& info = kButtonKinds[static_cast<std::size_t>(i)];
        auto* button = new TButton(form);
        button->SetName(info.name);
        button->SetParent(form);
        button->SetCaption(info.caption.Text());
        button->SetModalResult(info.modalResult);
        button->SetDefault(kindOfButton == defaultButton);
        button->SetCancel(kindOfButton == cancelButton);
        if (kindOfButton == TMsgDlgBtn::mbHelp) {
            button->OnClick = [form](TObject* sender) { form->HelpButtonClick(sender); };
        }
        button->SetBounds(x, y, m.buttonWidth, m.buttonHeight);
        x += m.buttonWidth + m.buttonSpacing;
    }
}

}  // namespace

// ---- TMessageForm ----

TMessageForm::TMessageForm(TComponent* owner) : TForm(owner, CreateNew)
{
    desktop::NonClientFonts fonts;
    if (desktop::GetNonClientFonts(fonts)) {
        desktop::LOGFONT log;
        log.lfHeight = fonts.messageFontHeight;
        const std::size_t length = std::min(fonts.messageFontFace.size(), sizeof(log.lfFaceName) - 1);
        std::memcpy(log.lfFaceName, fonts.messageFontFace.data(), length);
        log.lfFaceName[length] = '\0';
        desktop::HFONT font = desktop::CreateFontIndirect(log);
        Font()->SetHandle(font);
        desktop::DeleteObject(font);
    }
}

TMessageForm::~TMessageForm() = default;

const TClassInfo& TMessageForm::Info()
{
    static const TClassInfo info = ClassBuilder<TMessageForm, TForm>("TMessageForm").Build();
    return info;
}

void TMessageForm::HelpButtonClick(TObject*)
{
    if (const TDialogHelpHandler& handler = HelpHandler()) {
        handler(HelpContext(), helpFile_);
    }
}

void SetDialogHelpHandler(TDialogHelpHandler handler) { HelpHandler() = std::move(handler); }

// ---- Building and showing ----

TMessageForm* CreateMessageDialog(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons)
{
    TMessageForm* form = NewForm<TMessageForm>(Application());
    try {
        LayOutDialog(form, text, kind, buttons);
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

TModalResult MessageDlgPosHelp(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons, int helpContext,
                               int x, int y, const std::string& helpFile)
{
    TMessageForm* form = CreateMessageDialog(text, kind, buttons);
    TModalResult result = mrNone;
    try {
        form->SetHelpContext(helpContext);
        form->SetHelpFile(helpFile);
        if (x >= 0) {
            form->SetLeft(x);
        }
        if (y >= 0) {
            form->SetTop(y);
        }
        if (x < 0 && y < 0) {
            form->SetPosition(TPosition::poScreenCenter);
        }
        result = form->ShowModal();
    } catch (...) {
        form->Free();
        throw;
    }
    form->Free();
    return result;
}

void ShowMessageDialog(const std::string& text)
{
    MessageDlgPosHelp(text, TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK}, 0, -1, -1, std::string());
}

int MessageDialogButtonWidth(TMsgDlgBtn button) { return ButtonWidthCache()[IndexOf(button)]; }

}  // namespace fw
