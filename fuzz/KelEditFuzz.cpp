// Drives an engine edit with a random sequence of keys (with modifiers), characters, clicks,
// drags, clipboard contents, text assignments, MaxLength changes, selections set by message,
// undo, wheel turns and focus changes, and checks after each step that the caret stays in
// 1..Length+1 and that, with a MaxLength, no step leaves the text longer than both MaxLength
// and its length before it.
//
// The first byte picks the edit: the engine edit, a mask edit (a fixed-point field with
// MaxLength 4 and 3 decimals, or another content type) or a spin edit with the n field's
// settings. Pattern fields get a pattern with required positions, date fields a date form
// taken from the input. A fixed-point field never holds more than 4 characters; a spin
// edit's Value lies within its bounds after every focus loss.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "desktop/Clipboard.h"
#include "desktop/backends/Headless.h"
#include "framework/Forms.h"
#include "numedit/KelApplication.h"
#include "numedit/KelCustomEdit.h"
#include "numedit/KelMaskEdit.h"
#include "numedit/KelSpinEdit.h"

namespace {

struct Bytes {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    bool Empty() const { return pos >= size; }
    std::uint8_t Next() { return pos < size ? data[pos++] : 0; }
    std::string Text(std::size_t maxLength)
    {
        std::string s;
        const std::size_t length = Next() % (maxLength + 1);
        for (std::size_t i = 0; i < length && !Empty(); ++i) {
            // Mostly printable, with CR and LF to exercise the pair rules.
            const std::uint8_t b = Next();
            s += b < 16 ? (b & 1 ? '\r' : '\n') : static_cast<char>(b < 32 ? b + 32 : b);
        }
        return s;
    }
};

constexpr desktop::WORD kKeys[] = {
    desktop::VK_BACK,
    desktop::VK_RETURN,
    desktop::VK_ESCAPE,
    desktop::VK_END,
    desktop::VK_HOME,
    desktop::VK_LEFT,
    desktop::VK_RIGHT,
    desktop::VK_UP,
    desktop::VK_DOWN,
    desktop::VK_INSERT,
    desktop::VK_DELETE,
    desktop::VK_PRIOR,
    desktop::VK_NEXT,
    'A',
    'C',
    'V',
    'X',
    'Z',
};

struct World {
    World()
    {
        desktop::headless::Install();
        app = std::make_unique<fw::TApplication>();
        form = fw::NewForm<fw::TForm>(app.get(), fw::CreateNew);
        form->SetBounds(100, 100, 300, 100);
        form->Show();
        other = new fw::TCustomControl(form);
        other->SetParent(form);
        other->SetBounds(10, 50, 40, 21);
        app->ProcessMessages();
    }
    std::unique_ptr<fw::TApplication> app;
    fw::TForm* form = nullptr;
    // Takes the focus away from the edit.
    fw::TCustomControl* other = nullptr;
};

World& TheWorld()
{
    static World* world = new World();
    return *world;
}

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    World& world = TheWorld();
    numedit::KelApplication().SetKeyState(numedit::ksInsert);
    Bytes in{data, size};
    const std::uint8_t mode = in.Next();
    numedit::TKelCustomEdit* edit = nullptr;
    numedit::TKelMaskEdit* mask = nullptr;
    numedit::TKelSpinEdit* spin = nullptr;
    switch (mode % 3) {
        case 0: edit = new numedit::TKelCustomEdit(world.form); break;
        case 1:
            edit = mask = new numedit::TKelMaskEdit(world.form);
            mask->SetMaxLength(4);
            mask->SetDecimals(3);
            // Mostly the fixed-point field; now and then any other content type.
            mask->SetMaskType(mode & 0x80 ? static_cast<numedit::TKelMaskType>((mode >> 2) % 10)
                                          : numedit::TKelMaskType::meFloatFixed);
            // Patterns with required positions and literals; date forms from the input.
            if (mask->MaskType() == numedit::TKelMaskType::meMask) {
                mask->SetMask("!0\\-aA#9*");
            } else if (mask->MaskType() == numedit::TKelMaskType::meDate) {
                mask->DateSettings()->SetFormatStr(in.Text(12));
                mask->DateSettings()->SetYearDelta(static_cast<int>(in.Next()) - 64);
                mask->DateSettings()->SetFormat(static_cast<numedit::TKelDateFormats>(in.Next() % 3));
            }
            break;
        default:
            edit = spin = new numedit::TKelSpinEdit(world.form);
            spin->SetStep(10);
            spin->SetIntegerProperty(numedit::TKelSpinEdit::ipMinValue, 1);
            spin->SetIntegerProperty(numedit::TKelSpinEdit::ipMaxValue, 100000);
            spin->SetValue(1);
            break;
    }
    const bool fixedField = mask != nullptr && mask->MaskType() == numedit::TKelMaskType::meFloatFixed;
    edit->SetParent(world.form);
    edit->SetBounds(10, 10, 65, 21);
    edit->SetFocus();
    world.app->ProcessMessages();
    auto pump = [&] { world.app->ProcessMessages(); };
    auto at = [&](std::uint8_t x) { return edit->ClientToScreen({static_cast<int>(x % 80) - 8, 8}); };

    for (int steps = 0; !in.Empty() && steps < 64; ++steps) {
        const int before = static_cast<int>(edit->RawText().size());
        const std::uint8_t op = in.Next();
        switch (op % 12) {
            case 0: {
                const std::uint8_t key = in.Next();
                desktop::headless::PressKey(kKeys[key % std::size(kKeys)], key & 0x20, key & 0x40, key & 0x80);
                pump();
                break;
            }
            case 1:
                desktop::headless::TypeText(std::string(1, static_cast<char>(in.Next() | 0x20)));
                pump();
                break;
            case 2: {
                const std::uint8_t x = in.Next();
                desktop::headless::MoveMouse(at(x));
                desktop::headless::Click(at(x));
                pump();
                break;
            }
            case 3: {
                desktop::headless::MoveMouse(at(in.Next()));
                desktop::headless::MouseDown();
                pump();
                desktop::headless::MoveMouse(at(in.Next()));
                pump();
                desktop::headless::MouseUp();
                pump();
                break;
            }
            case 4: {
                const std::string text = in.Text(12);
                desktop::OpenClipboard(nullptr);
                desktop::EmptyClipboard();
                desktop::SetClipboardText(text);
                desktop::CloseClipboard();
                break;
            }
            case 5: edit->SetText(in.Text(12)); break;
            case 6:
                // The mask and spin modes keep their field's settings.
                if (mask == nullptr && spin == nullptr) {
                    edit->SetMaxLength(in.Next() % 9);
                }
                break;
            case 7:
                desktop::headless::DoubleClick(at(in.Next()));
                pump();
                break;
            case 8: {
                // Out-of-range selections are stored as given; nothing may read past the text.
                const auto start = static_cast<std::int8_t>(in.Next());
                const auto end = static_cast<std::int8_t>(in.Next());
                edit->Perform(desktop::EM_SETSEL, static_cast<desktop::WPARAM>(start),
                              static_cast<desktop::LPARAM>(end));
                pump();
                break;
            }
            case 9: {
                desktop::headless::MoveMouse(at(in.Next()));
                desktop::headless::Wheel(static_cast<std::int8_t>(in.Next()) * 8);
                pump();
                break;
            }
            case 10: {
                // Focus away and back: the spin edit commits its text.
                const bool focusLost = edit->Focused();
                world.other->SetFocus();
                pump();
                if (spin != nullptr && focusLost) {
                    const int value = spin->Value();
                    Check(value >= 1 && value <= 100000, "committed value within the bounds");
                }
                edit->SetFocus();
                pump();
                break;
            }
            default: edit->Undo(); break;
        }
        const int length = static_cast<int>(edit->RawText().size());
        Check(edit->CaretIndex() >= 1 && edit->CaretIndex() <= length + 1, "caret inside the text");
        if (fixedField) {
            Check(length <= 4, "fixed-point field within MaxLength");
        }
        if (edit->MaxLength() > 0) {
            Check(length <= edit->MaxLength() || length <= before, "MaxLength respected by edits");
        }
    }
    desktop::headless::MouseUp();
    delete edit;
    world.app->ProcessMessages();
    return 0;
}
