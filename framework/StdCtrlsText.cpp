#include "framework/StdCtrlsText.h"

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

namespace {

unsigned char UpperLatin1(unsigned char c)
{
    // Code page 1252 letters: a-z, and à-þ except ÷.
    if (c >= 'a' && c <= 'z') {
        return static_cast<unsigned char>(c - 32);
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<unsigned char>(c - 32);
    }
    return c;
}

}  // namespace

bool IsAccel(unsigned key, const std::string& caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') {
            continue;
        }
        ++i;
        if (caption[i] == '&') {
            continue;
        }
        const auto mark = static_cast<unsigned char>(caption[i]);
        return key <= 0xFF && UpperLatin1(static_cast<unsigned char>(key)) == UpperLatin1(mark);
    }
    return false;
}

}  // namespace fw::stdctrls
