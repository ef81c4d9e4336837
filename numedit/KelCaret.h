#pragma once

// TKelCaret: the shape and blink time of an edit's system caret. The edit creates, shows,
// hides, places and destroys the caret through it. The blink time is a desktop-wide setting:
// while the caret is shown the desktop blinks at BlinkRate, and the time found when this
// object was made is put back whenever the caret is hidden or destroyed.

#include <cstdint>
#include <memory>

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "numedit/KelObject.h"

namespace numedit {

enum class TKelCaretStyles : std::uint8_t { csDefault, csBlock, csUnder, csOver, csBitmap, csUnderBlock };

// How Bitmap becomes a csBitmap caret: at its own size, or tiled or stretched to Width x Height.
enum class TKelCaretBitmap : std::uint8_t { cbBmpSize, cbTile, cbStretch };

class TKelCaret : public TKelObject {
public:
    // owner: the edit whose window gets the caret.
    explicit TKelCaret(fw::TWinControl* owner);
    ~TKelCaret() override;

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    // Copies BlinkRate, Width, Height and Style.
    void Assign(fw::TPersistent* source) override;

    // Read at every show.
    std::uint16_t BlinkRate() const { return blinkRate_; }
    void SetBlinkRate(std::uint16_t value);
    // A new shape shows the next time the caret is created.
    TKelCaretStyles Style() const { return style_; }
    void SetStyle(TKelCaretStyles value);
    std::uint16_t Width() const { return width_; }
    void SetWidth(std::uint16_t value);
    std::uint16_t Height() const { return height_; }
    void SetHeight(std::uint16_t value);
    TKelCaretBitmap CaretBmpMode() const { return caretBmpMode_; }
    void SetCaretBmpMode(TKelCaretBitmap value);
    fw::TBitmap* Bitmap() { return &bitmap_; }
    // An image source kept for the owner; no shape uses it.
    fw::TComponent* ImageList() const { return imageList_; }
    void SetImageList(fw::TComponent* value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int value);
    // The owner passes on its component notifications, so a freed image list is let go.
    void Notification(fw::TComponent* component, fw::TOperation operation);

    // The height of the csDefault caret; the edit sets it to its text height.
    std::int16_t FontHeight() const { return fontHeight_; }
    void SetFontHeight(std::int16_t value) { fontHeight_ = value; }
    // The desktop blink time when this object was made.
    std::uint32_t OldBlinkRate() const { return oldBlinkRate_; }
    bool Shown() const { return shown_; }
    bool Created() const { return created_; }

    // The caret's size for the current style.
    desktop::SIZE CaretSize();

    // Each needs the owner's window and does nothing without it.
    void CreateSystemCaret();
    // Nothing while designing; the first show creates the caret.
    void ShowSystemCaret();
    void HideSystemCaret();
    // Only destroys the caret while it belongs to the owner's window.
    void DestroySystemCaret();
    // Moves the caret to (x, y), the top-left of the text line, letting the underline styles
    // sit at the bottom of a line textHeight pixels high.
    void PlaceCaret(int x, int y, int textHeight);

private:
    desktop::HWND OwnerWindow() const;
    // The tiled or stretched copy of Bitmap for the csBitmap caret.
    fw::TBitmap* WorkBitmap();

    fw::TWinControl* owner_ = nullptr;
    std::uint32_t oldBlinkRate_;
    std::uint16_t blinkRate_;
    TKelCaretStyles style_ = TKelCaretStyles::csDefault;
    std::uint16_t width_ = 2;
    std::uint16_t height_ = 10;
    fw::TComponent* imageList_ = nullptr;
    int imageIndex_ = 0;
    int listIndex_ = 0;
    TKelCaretBitmap caretBmpMode_ = TKelCaretBitmap::cbBmpSize;
    fw::TBitmap bitmap_;
    std::unique_ptr<fw::TBitmap> workBitmap_;
    std::int16_t fontHeight_ = 0;
    bool shown_ = false;
    bool created_ = false;
};

}  // namespace numedit
