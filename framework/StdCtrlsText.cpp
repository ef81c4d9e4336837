#include "framework/StdCtrlsText.h"

#include "desktop/Codepage.h"

namespace fw::stdctrls {

MeasureDC::MeasureDC(TFont* font) : dc_(desktop::CreateCompatibleDC(nullptr))
{
    if (dc_ != nullptr && font != nullptr) {
        oldFont_ = desktop::SelectObject(dc_, font->Handle());
    }
}

MeasureDC::~MeasureDC()
{
    if (dc_ == nullptr) {
        return;
    }
    if (oldFont_ != nullptr) {
        desktop::SelectObject(dc_, oldFont_);
    }
    desktop::DeleteDC(dc_);
}

int FontCharHeight(TFont* font)
{
    MeasureDC dc(font);
    desktop::TEXTMETRIC metrics;
    if (dc.Handle() == nullptr || !desktop::GetTextMetrics(dc.Handle(), &metrics)) {
        return 0;
    }
    return metrics.tmHeight;
}

int FontZeroHeight(TFont* font)
{
    MeasureDC dc(font);
    desktop::SIZE size{};
    if (dc.Handle() == nullptr || !desktop::GetTextExtentPoint32(dc.Handle(), "0", &size)) {
        return 0;
    }
    return size.cy;
}

bool IsAccel(unsigned key, const std::string& caption)
{
    const char mnemonic = desktop::MnemonicOf(caption);
    return mnemonic != 0 && key <= 0xFF && desktop::LowerCp1252(static_cast<char>(key)) == mnemonic;
}

}  // namespace fw::stdctrls
