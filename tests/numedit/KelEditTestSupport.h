// An engine edit on a shown form, focused, with the shared key state reset to insert mode.
#pragma once

#include "NumEditTestSupport.h"
#include "desktop/Clipboard.h"
#include "desktop/backends/Headless.h"
#include "numedit/KelApplication.h"
#include "numedit/KelCustomEdit.h"

namespace numedit::testing {

class EditTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        KelApplication().SetKeyState(ksInsert);
        edit_ = NewChild<TKelCustomEdit>();
        edit_->SetFocus();
        Pump();
    }
    void TearDown() override
    {
        KelApplication().SetKeyState(ksInsert);
        WindowTest::TearDown();
    }

    static void SetClipboard(const std::string& text)
    {
        desktop::OpenClipboard(nullptr);
        desktop::EmptyClipboard();
        desktop::SetClipboardText(text);
        desktop::CloseClipboard();
    }
    static std::string Clipboard()
    {
        desktop::OpenClipboard(nullptr);
        std::string text = desktop::GetClipboardText().value_or("<none>");
        desktop::CloseClipboard();
        return text;
    }
    // The screen point of a client point of the edit.
    desktop::POINT At(int x, int y) { return edit_->ClientToScreen({x, y}); }
    // The client x between characters index-1 and index (1-based).
    int XBefore(int index)
    {
        return edit_->TextOrigin(edit_->TextRect()) + edit_->PrefixWidth(index - 1) - edit_->ScrollOffset();
    }
    void Select(int start, int length)
    {
        edit_->SetCaretIndex(start + length);
        edit_->SetSelStart(start);
        edit_->SetSelLength(length);
    }

    TKelCustomEdit* edit_ = nullptr;
};

}  // namespace numedit::testing
