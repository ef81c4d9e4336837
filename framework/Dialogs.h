#pragma once

// The message dialog: a small modal form laid out from the measured size of its text and the
// average character size of the message font, with an optional kind icon and a row of
// standard buttons. ShowMessageDialog is the one-line "OK" box the program uses; the builder
// and the positioned show behind it take any dialog kind and button set.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "framework/FormsForm.h"

namespace fw {

enum class TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// In creation and left-to-right order.
enum class TMsgDlgBtn : std::uint8_t {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
inline constexpr int kMsgDlgBtnCount = 11;

// A set of button kinds, one bit per kind index.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (TMsgDlgBtn button : buttons) {
            bits_ = static_cast<std::uint16_t>(bits_ | Bit(button));
        }
    }

    constexpr bool Contains(TMsgDlgBtn button) const { return (bits_ & Bit(button)) != 0; }
    constexpr int Count() const
    {
        int count = 0;
        for (std::uint16_t rest = bits_; rest != 0; rest = static_cast<std::uint16_t>(rest & (rest - 1))) {
            ++count;
        }
        return count;
    }
    constexpr std::uint16_t Bits() const { return bits_; }

private:
    static constexpr std::uint16_t Bit(TMsgDlgBtn button)
    {
        return static_cast<std::uint16_t>(1u << static_cast<unsigned>(button));
    }

    std::uint16_t bits_ = 0;
};

// The dialog's form. The builder creates its controls: "Image" (kinds with an icon),
// "Message" and one button per kind, named "Yes", "No", "OK" …
class TMessageForm : public TForm {
public:
    // Takes the system's message font when the non-client metrics can be read.
    explicit TMessageForm(TComponent* owner);
    ~TMessageForm() override;

    static const TClassInfo& Info();
    const TClassInfo& ClassInfo() const override { return Info(); }

    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& value) { helpFile_ = value; }

    // The Help button's click: asks for help on the dialog's help context.
    void HelpButtonClick(TObject* sender);

private:
    std::string helpFile_;
};

// Shows help for a Help button's dialog. The application object has no help system, so the
// request goes to whoever installed a handler here; without one it is dropped.
using TDialogHelpHandler = std::function<void(int helpContext, const std::string& helpFile)>;
void SetDialogHelpHandler(TDialogHelpHandler handler);

// A new dialog, laid out and centred on the screen but not shown; the caller frees it.
TMessageForm* CreateMessageDialog(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons);

// Builds the dialog, places it (x, y when not negative, else centred), shows it modally and
// frees it, also when showing fails. Returns the modal result.
TModalResult MessageDlgPosHelp(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons, int helpContext,
                               int x, int y, const std::string& helpFile);

// The text in a custom-kind dialog with the OK button only, centred on the screen.
void ShowMessageDialog(const std::string& text);

// The process-wide caption width of a button kind (caption plus 8 pixels), measured the first
// time a dialog with that kind is built and never again; 0 until then.
int MessageDialogButtonWidth(TMsgDlgBtn button);

}  // namespace fw
