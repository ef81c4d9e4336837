#include "numedit/KelCaret.h"

#include "desktop/Caret.h"
#include "desktop/Window.h"
#include "framework/ClassesBuilder.h"

namespace numedit {

TKelCaret::TKelCaret(fw::TWinControl* owner)
    : TKelObject(owner), owner_(owner), oldBlinkRate_(desktop::GetCaretBlinkTime()),
      blinkRate_(static_cast<std::uint16_t>(oldBlinkRate_))
{
}

TKelCaret::~TKelCaret()
{
    DestroySystemCaret();
    desktop::SetCaretBlinkTime(oldBlinkRate_);
}

const fw::TClassInfo& TKelCaret::Info()
{
    using C = TKelCaret;
    static const fw::TClassInfo info =
        fw::ClassBuilder<C, TKelObject>("TKelCaret")
            .Integer("BlinkRate", &C::BlinkRate, &C::SetBlinkRate)
            .Enum("Style", {"csDefault", "csBlock", "csUnder", "csOver", "csBitmap", "csUnderBlock"}, &C::Style,
                  &C::SetStyle)
            .Integer("Width", &C::Width, &C::SetWidth)
            .Integer("Height", &C::Height, &C::SetHeight)
            .Enum("CaretBmpMode", {"cbBmpSize", "cbTile", "cbStretch"}, &C::CaretBmpMode, &C::SetCaretBmpMode)
            .Object("Bitmap", &C::Bitmap)
            .Object("ImageList", &C::ImageList, &C::SetImageList)
            .Integer("ImageIndex", &C::ImageIndex, &C::SetImageIndex)
            .Integer("ListIndex", &C::ListIndex, &C::SetListIndex)
            .Build();
    return info;
}

void TKelCaret::Assign(fw::TPersistent* source)
{
    auto* other = dynamic_cast<TKelCaret*>(source);
    if (other == nullptr) {
        TKelObject::Assign(source);
        return;
    }
    blinkRate_ = other->blinkRate_;
    width_ = other->width_;
    height_ = other->height_;
    style_ = other->style_;
    Changed();
}

void TKelCaret::SetBlinkRate(std::uint16_t value)
{
    if (Store(blinkRate_, value)) {
        Changed();
    }
}

void TKelCaret::SetStyle(TKelCaretStyles value)
{
    if (Store(style_, value)) {
        Changed();
    }
}

void TKelCaret::SetWidth(std::uint16_t value)
{
    if (Store(width_, value)) {
        Changed();
    }
}

void TKelCaret::SetHeight(std::uint16_t value)
{
    if (Store(height_, value)) {
        Changed();
    }
}

void TKelCaret::SetCaretBmpMode(TKelCaretBitmap value)
{
    if (Store(caretBmpMode_, value)) {
        Changed();
    }
}

void TKelCaret::SetImageList(fw::TComponent* value)
{
    if (Store(imageList_, value)) {
        Changed();
    }
}

void TKelCaret::SetImageIndex(int value)
{
    if (Store(imageIndex_, value)) {
        Changed();
    }
}

void TKelCaret::SetListIndex(int value)
{
    if (Store(listIndex_, value)) {
        Changed();
    }
}

void TKelCaret::Notification(fw::TComponent* component, fw::TOperation operation)
{
    if (operation == fw::TOperation::opRemove && component != nullptr && component == imageList_) {
        imageList_ = nullptr;
    }
}

desktop::HWND TKelCaret::OwnerWindow() const
{
    desktop::HWND window = owner_ != nullptr ? owner_->WindowHandle() : nullptr;
    return window != nullptr && desktop::IsWindow(window) ? window : nullptr;
}

desktop::SIZE TKelCaret::CaretSize()
{
    switch (style_) {
        case TKelCaretStyles::csDefault: return {1, fontHeight_};
        case TKelCaretStyles::csUnder:
        case TKelCaretStyles::csOver: return {width_, 1};
        case TKelCaretStyles::csBitmap:
            if (caretBmpMode_ == TKelCaretBitmap::cbBmpSize && !bitmap_.Empty()) {
                return {bitmap_.Width(), bitmap_.Height()};
            }
            return {width_, height_};
        case TKelCaretStyles::csBlock:
        case TKelCaretStyles::csUnderBlock: break;
    }
    return {width_, height_};
}

fw::TBitmap* TKelCaret::WorkBitmap()
{
    if (!workBitmap_) {
        workBitmap_ = std::make_unique<fw::TBitmap>();
    }
    workBitmap_->SetSize(width_, height_);
    const int w = bitmap_.Width();
    const int h = bitmap_.Height();
    if (bitmap_.Empty() || w <= 0 || h <= 0) {
        return workBitmap_.get();
    }
    fw::TCanvas* canvas = workBitmap_->Canvas();
    if (caretBmpMode_ == TKelCaretBitmap::cbStretch) {
        canvas->StretchDraw(desktop::RECT{0, 0, width_, height_}, &bitmap_);
    } else {
        for (int y = 0; y < height_; y += h) {
            for (int x = 0; x < width_; x += w) {
                canvas->Draw(x, y, &bitmap_);
            }
        }
    }
    return workBitmap_.get();
}

void TKelCaret::CreateSystemCaret()
{
    desktop::HWND window = OwnerWindow();
    if (window == nullptr) {
        return;
    }
    const desktop::SIZE size = CaretSize();
    std::intptr_t image = 0;
    if (style_ == TKelCaretStyles::csBitmap) {
        if (caretBmpMode_ == TKelCaretBitmap::cbBmpSize) {
            image = reinterpret_cast<std::intptr_t>(bitmap_.Handle());
        } else {
            if (desktop::GetCaretState().owner == window) {
                desktop::DestroyCaret();
            }
            image = reinterpret_cast<std::intptr_t>(WorkBitmap()->Handle());
        }
    }
    desktop::CreateCaret(window, image, size.cx, size.cy);
    desktop::SetCaretBlinkTime(blinkRate_);
}

void TKelCaret::ShowSystemCaret()
{
    if (owner_ != nullptr && owner_->HasState(fw::csDesigning)) {
        return;
    }
    desktop::HWND window = OwnerWindow();
    if (window == nullptr) {
        return;
    }
    shown_ = true;
    if (!created_) {
        created_ = true;
        CreateSystemCaret();
    }
    desktop::SetCaretBlinkTime(blinkRate_);
    desktop::ShowCaret(window);
}

void TKelCaret::HideSystemCaret()
{
    // Hides nest on the desktop; hiding only a shown caret keeps them paired with shows.
    desktop::HWND window = OwnerWindow();
    if (shown_ && window != nullptr) {
        desktop::HideCaret(window);
    }
    shown_ = false;
    desktop::SetCaretBlinkTime(oldBlinkRate_);
}

void TKelCaret::DestroySystemCaret()
{
    desktop::HWND window = OwnerWindow();
    if (window == nullptr) {
        return;
    }
    desktop::SetCaretBlinkTime(oldBlinkRate_);
    // The desktop has one caret; another window's must survive this edit going away.
    if (desktop::GetCaretState().owner == window) {
        desktop::DestroyCaret();
    }
    shown_ = false;
    created_ = false;
}

void TKelCaret::PlaceCaret(int x, int y, int textHeight)
{
    desktop::HWND window = OwnerWindow();
    if (window == nullptr || desktop::GetCaretState().owner != window) {
        return;
    }
    if (style_ == TKelCaretStyles::csUnder) {
        y += textHeight - 3;
    } else if (style_ == TKelCaretStyles::csUnderBlock) {
        y += textHeight - height_ - 2;
    }
    desktop::SetCaretPos(x, y);
}

}  // namespace numedit
