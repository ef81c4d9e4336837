#include "framework/StdReg.h"

#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

namespace fw {

void RegisterStandardComponents()
{
    static const bool registered = [] {
        RegisterClass(TLabel::Info());
        RegisterClass(TEdit::Info());
        RegisterClass(TMemo::Info());
        RegisterClass(TButton::Info());
        RegisterClass(TGroupBox::Info());
        RegisterClass(TPageControl::Info());
        RegisterClass(TTabSheet::Info());
        RegisterClass(TImage::Info());
        return true;
    }();
    static_cast<void>(registered);
}

}  // namespace fw
