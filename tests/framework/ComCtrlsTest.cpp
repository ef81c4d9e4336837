#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop/Controls.h"
#include "desktop/Messages.h"
#include "desktop/backends/Headless.h"
#include "framework/ComCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

using desktop::headless::PressKey;

class ComCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::headless::Install();
        app_ = std::make_unique<fw::TApplication>();
        form_ = fw::NewForm<fw::TForm>(app_.get(), fw::CreateNew);
        form_->SetBounds(100, 100, 420, 320);
        outside_ = new fw::TEdit(form_);
        outside_->SetParent(form_);
        outside_->SetBounds(300, 260, 80, 21);
        pages_ = new fw::TPageControl(form_);
        pages_->SetParent(form_);
        pages_->SetBounds(8, 8, 289, 193);
        for (const char* caption : {"Uno", "Dos", "Tres"}) {
            auto* sheet = new fw::TTabSheet(form_);
            sheet->SetPageControl(pages_);
            sheet->SetCaption(caption);
            auto* edit = new fw::TEdit(form_);
            edit->SetParent(sheet);
            edit->SetBounds(8, 8, 80, 21);
            edit->SetText(caption);
            sheets_.push_back(sheet);
            edits_.push_back(edit);
        }
        pages_->OnChange = [this](fw::TObject*) { ++changes_; };
    }
    void TearDown() override
    {
        app_.reset();
        desktop::headless::Uninstall();
    }
    void ShowForm()
    {
        form_->Show();
        app_->ProcessMessages();
    }
    void Pump() { app_->ProcessMessages(); }
    void CtrlTab(bool shift = false)
    {
        PressKey(desktop::VK_TAB, shift, true);
        Pump();
    }
    int VisibleSheets() const
    {
        int n = 0;
        for (auto* s : sheets_) {
            n += s->Visible();
        }
        return n;
    }

    std::unique_ptr<fw::TApplication> app_;
    fw::TForm* form_ = nullptr;
    fw::TEdit* outside_ = nullptr;
    fw::TPageControl* pages_ = nullptr;
    std::vector<fw::TTabSheet*> sheets_;
    std::vector<fw::TEdit*> edits_;
    int changes_ = 0;
};

TEST_F(ComCtrlsTest, DefaultsAndSheetsFillTheDisplayArea)
{
    auto* fresh = new fw::TPageControl(form_);
    EXPECT_EQ(fresh->Width(), 289);
    EXPECT_EQ(fresh->Height(), 193);
    EXPECT_TRUE(fresh->TabStop());
    EXPECT_EQ(fresh->ActivePage(), nullptr);
    auto* sheet = new fw::TTabSheet(form_);
    EXPECT_FALSE(sheet->Visible());
    EXPECT_TRUE(sheet->TabVisible());
    EXPECT_EQ(sheet->PageIndex(), -1);

    pages_->SetActivePage(sheets_[0]);
    ShowForm();
    EXPECT_EQ(pages_->PageCount(), 3);
    EXPECT_EQ(desktop::SendMessage(pages_->Handle(), desktop::TCM_GETITEMCOUNT, 0, 0), 3);
    for (auto* s : sheets_) {
        EXPECT_EQ(s->Parent(), pages_);
        EXPECT_EQ(s->BoundsRect(), (desktop::RECT{4, 24, 285, 189}));
    }
    EXPECT_TRUE(sheets_[0]->Showing());
    EXPECT_FALSE(sheets_[1]->Visible());
    EXPECT_EQ(VisibleSheets(), 1);
    EXPECT_EQ(pages_->TabIndex(), 0);
    // The edit on the first sheet is where the layout put it, inside the display area.
    EXPECT_EQ(edits_[0]->ClientToScreen({0, 0}).x, pages_->ClientToScreen({0, 0}).x + 4 + 8 + 2);
}

TEST_F(ComCtrlsTest, CtrlTabCyclesThePagesWithWrapAround)
{
    pages_->SetActivePage(sheets_[0]);
    ShowForm();
    edits_[0]->SetFocus();
    Pump();
    CtrlTab();
    EXPECT_EQ(pages_->ActivePage(), sheets_[1]);
    EXPECT_EQ(pages_->ActivePageIndex(), 1);
    EXPECT_EQ(pages_->TabIndex(), 1);
    EXPECT_EQ(VisibleSheets(), 1);
    // The focus was on the old page: it moves to the new page's first control.
    EXPECT_TRUE(edits_[1]->Focused());
    EXPECT_EQ(changes_, 1);

    CtrlTab();
    CtrlTab();
    EXPECT_EQ(pages_->ActivePage(), sheets_[0]);
    EXPECT_TRUE(edits_[0]->Focused());
    CtrlTab(true);
    EXPECT_EQ(pages_->ActivePage(), sheets_[2]);
    CtrlTab(true);
    EXPECT_EQ(pages_->ActivePage(), sheets_[1]);
    EXPECT_EQ(changes_, 5);

    // With the focus outside the page control the keys leave the pages alone.
    outside_->SetFocus();
    Pump();
    CtrlTab();
    EXPECT_EQ(pages_->ActivePage(), sheets_[1]);
    EXPECT_TRUE(outside_->Focused());
}

TEST_F(ComCtrlsTest, CtrlTabOnTheSecondOfTwoTabsReturnsToTheFirst)
{
    sheets_[2]->SetTabVisible(false);
    pages_->SetActivePage(sheets_[1]);
    ShowForm();
    EXPECT_EQ(desktop::SendMessage(pages_->Handle(), desktop::TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(sheets_[2]->TabIndex(), -1);
    EXPECT_EQ(sheets_[2]->PageIndex(), 2);
    pages_->SetFocus();
    Pump();
    CtrlTab();
    EXPECT_EQ(pages_->ActivePage(), sheets_[0]);
    // The focus was on the tabs, not on the old page: it stays there.
    EXPECT_TRUE(pages_->Focused());
}

TEST_F(ComCtrlsTest, ClickingATabShowsItsPageAndFiresOnShow)
{
    pages_->SetActivePage(sheets_[0]);
    std::vector<std::string> shown;
    for (auto* s : sheets_) {
        s->OnShow = [&shown, s](fw::TObject* sender) {
            EXPECT_EQ(sender, s);
            shown.push_back(s->Caption());
        };
    }
    ShowForm();
    EXPECT_EQ(shown, std::vector<std::string>{"Uno"});
    desktop::RECT tab{};
    ASSERT_NE(
        desktop::SendMessage(pages_->Handle(), desktop::TCM_GETITEMRECT, 2, reinterpret_cast<desktop::LPARAM>(&tab)),
        0);
    desktop::headless::Click(pages_->ClientToScreen({(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2}));
    Pump();
    EXPECT_EQ(pages_->ActivePage(), sheets_[2]);
    EXPECT_TRUE(sheets_[2]->Showing());
    EXPECT_FALSE(sheets_[0]->Visible());
    EXPECT_EQ(shown, (std::vector<std::string>{"Uno", "Tres"}));
    EXPECT_EQ(changes_, 1);

    // OnChanging can refuse the change.
    pages_->OnChanging = [](fw::TObject*, bool& allow) { allow = false; };
    pages_->SetFocus();
    CtrlTab();
    EXPECT_EQ(pages_->ActivePage(), sheets_[2]);
    EXPECT_EQ(changes_, 1);
}

TEST_F(ComCtrlsTest, ActivePageIndexAndPageOrder)
{
    ShowForm();
    pages_->SetActivePageIndex(2);
    EXPECT_EQ(pages_->ActivePage(), sheets_[2]);
    EXPECT_EQ(pages_->TabIndex(), 2);
    // Activating in code fires no OnChange.
    EXPECT_EQ(changes_, 0);
    sheets_[2]->SetPageIndex(0);
    EXPECT_EQ(pages_->Pages(0), sheets_[2]);
    EXPECT_EQ(sheets_[0]->PageIndex(), 1);
    EXPECT_EQ(pages_->TabIndex(), 0);
    EXPECT_EQ(pages_->FindNextPage(sheets_[1], true, true), sheets_[2]);
    EXPECT_EQ(pages_->FindNextPage(nullptr, true, true), sheets_[2]);
    EXPECT_EQ(pages_->FindNextPage(nullptr, false, true), sheets_[1]);

    // A caption change renames the tab.
    sheets_[1]->SetCaption("Dos bis");
    char text[32] = {};
    desktop::TCITEM item;
    item.mask = desktop::TCIF_TEXT;
    item.textBuffer = text;
    item.cchTextMax = sizeof text;
    desktop::SendMessage(pages_->Handle(), desktop::TCM_GETITEM, 2, reinterpret_cast<desktop::LPARAM>(&item));
    EXPECT_STREQ(text, "Dos bis");

    // Removing the active page activates the one taking its tab.
    delete sheets_[2];
    EXPECT_EQ(pages_->PageCount(), 2);
    EXPECT_EQ(pages_->ActivePage(), sheets_[0]);
    EXPECT_TRUE(sheets_[0]->Visible());
}

}  // namespace
