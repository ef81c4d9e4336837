#include "numedit/KelControls.h"

#include <gtest/gtest.h>

#include <cstring>

#include "KelEditTestSupport.h"

namespace numedit::testing {
namespace {

class CountingControl : public TKelCustomBevelPanel {
public:
    using TKelCustomBevelPanel::TKelCustomBevelPanel;
    int changes = 0;

protected:
    void Changed() override { ++changes; }
};

using KelControls = WindowTest;

TEST_F(KelControls, EndUpdateNotifiesOnlyWhenTheCounterReachesZero)
{
    auto* control = NewChild<CountingControl>();
    control->BeginUpdate();
    control->BeginUpdate();
    control->EndUpdate(true);
    EXPECT_EQ(control->changes, 0);
    EXPECT_TRUE(control->Updating());
    control->EndUpdate(false);
    EXPECT_EQ(control->changes, 0);
    control->EndUpdate(true);  // at zero already: stays there, notifies
    EXPECT_EQ(control->UpdateCount(), 0);
    EXPECT_EQ(control->changes, 1);
}

TEST_F(KelControls, ABevelChangeMakesTheWindowAgainWithItsBorderStyle)
{
    auto* control = NewChild<CountingControl>();
    control->Bevel()->SetMode(TKelBevelMode::bmWindows);
    EXPECT_EQ(control->ClientRect().Width(), 61);
    const desktop::HWND before = control->WindowHandle();
    control->Bevel()->SetMode(TKelBevelMode::bmEdge);
    EXPECT_NE(control->WindowHandle(), before);
    EXPECT_EQ(control->ClientRect().Width(), 65);
    // Without 3D controls the system border is the 1-pixel plain one.
    control->Bevel()->SetMode(TKelBevelMode::bmWindows);
    control->SetCtl3D(false);
    EXPECT_EQ(control->ClientRect().Width(), 63);
}

TEST_F(KelControls, GraphicBaseCountsUpdatesToo)
{
    TKelGraphicControl control(form_);
    control.BeginUpdate();
    EXPECT_TRUE(control.Updating());
    control.EndUpdate(false);
    control.EndUpdate(false);
    EXPECT_FALSE(control.Updating());
}

using KelEditMessages = EditTest;

TEST_F(KelEditMessages, TextMessagesAnswerFromTheEditsOwnText)
{
    edit_->SetText("abcdef");
    EXPECT_EQ(edit_->Perform(desktop::WM_GETTEXTLENGTH), 6);
    EXPECT_EQ(edit_->Perform(desktop::EM_LINELENGTH), 6);
    EXPECT_EQ(edit_->Perform(desktop::EM_GETLINECOUNT), 1);
    // The buffer's first word is its capacity; the copy stops there.
    char buffer[16] = {};
    const desktop::WORD capacity = 4;
    std::memcpy(buffer, &capacity, sizeof capacity);
    EXPECT_EQ(edit_->Perform(desktop::EM_GETLINE, 0, fw::PointerToLParam(buffer)), 6);
    EXPECT_EQ(std::string(buffer, 5), std::string("abcd") + '\0');

    edit_->Perform(desktop::EM_LIMITTEXT, 3);
    EXPECT_EQ(edit_->MaxLength(), 3);
    EXPECT_EQ(edit_->Perform(desktop::EM_GETLIMITTEXT), 3);
    edit_->SetMaxLength(0);
    edit_->Perform(desktop::EM_SETSEL, 0, 2);
    edit_->Perform(desktop::EM_REPLACESEL, 0, fw::PointerToLParam("xy z"));
    EXPECT_EQ(edit_->RawText(), "xy zcdef");
    EXPECT_TRUE(edit_->UndoStack().Empty());
    EXPECT_EQ(edit_->Perform(desktop::EM_CANUNDO), 1);  // kept its value
    EXPECT_EQ(edit_->Perform(desktop::EM_GETMODIFY), 1);
    edit_->Perform(desktop::EM_SETMODIFY, 0);
    EXPECT_FALSE(edit_->Modified());
    edit_->Perform(desktop::EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(edit_->Perform(desktop::EM_CANUNDO), 0);
    EXPECT_EQ(edit_->Perform(desktop::EM_SETREADONLY, 1), 1);
    EXPECT_TRUE(edit_->ReadOnly());
    edit_->Perform(desktop::WM_CLEAR);
    EXPECT_EQ(edit_->RawText(), "xy zcdef");

    desktop::POINT p{-1, -1};
    edit_->Perform(desktop::EM_POSFROMCHAR, fw::PointerToWParam(&p), 2);
    EXPECT_EQ(p.x, edit_->TextRect().left + edit_->PrefixWidth(2));
    EXPECT_EQ(p.y, 0);
}

TEST_F(KelEditMessages, AFreedImageListIsLetGoByTheCaret)
{
    auto* list = new fw::TComponent(form_);
    edit_->Caret()->SetImageList(list);
    delete list;
    EXPECT_EQ(edit_->Caret()->ImageList(), nullptr);
}

}  // namespace
}  // namespace numedit::testing
