#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestLayouts.h"
#include "TextMeasure.h"
#include "desktop/Controls.h"
#include "desktop/Gdi.h"
#include "desktop/Messages.h"
#include "desktop/Resources.h"
#include "desktop/backends/Headless.h"
#include "framework/ClassesBuilder.h"
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

// A form class as a program declares one: component fields and handlers, published by name.
class TStandardForm : public fw::TForm {
public:
    explicit TStandardForm(fw::TComponent* owner) : fw::TForm(owner) {}

    static const fw::TClassInfo& Info()
    {
        static const fw::TClassInfo info = fw::ClassBuilder<TStandardForm, fw::TForm>("TStandardForm")
                                               .Field("PageControl1", &TStandardForm::PageControl1)
                                               .Field("TabSheet1", &TStandardForm::TabSheet1)
                                               .Field("TabSheet2", &TStandardForm::TabSheet2)
                                               .Field("Label1", &TStandardForm::Label1)
                                               .Field("Label2", &TStandardForm::Label2)
                                               .Field("Label11", &TStandardForm::Label11)
                                               .Field("Image1", &TStandardForm::Image1)
                                               .Field("Image2", &TStandardForm::Image2)
                                               .Field("Edit1", &TStandardForm::Edit1)
                                               .Field("Edit2", &TStandardForm::Edit2)
                                               .Field("Edit8", &TStandardForm::Edit8)
                                               .Field("Memo1", &TStandardForm::Memo1)
                                               .Field("GroupBox1", &TStandardForm::GroupBox1)
                                               .Field("Button1", &TStandardForm::Button1)
                                               .Field("Button2", &TStandardForm::Button2)
                                               .Field("Button3", &TStandardForm::Button3)
                                               .Method("Button1Click", &TStandardForm::Button1Click)
                                               .Method("Button2Click", &TStandardForm::Button2Click)
                                               .Method("Button3Click", &TStandardForm::Button3Click)
                                               .Method("FormShow", &TStandardForm::FormShow)
                                               .Method("TabSheet1Show", &TStandardForm::TabSheet1Show)
                                               .Build();
        return info;
    }
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    void Button1Click(fw::TObject* sender) { calls.push_back("Button1Click " + NameOf(sender)); }
    void Button2Click(fw::TObject* sender) { calls.push_back("Button2Click " + NameOf(sender)); }
    void Button3Click(fw::TObject* sender) { calls.push_back("Button3Click " + NameOf(sender)); }
    void FormShow(fw::TObject* sender) { calls.push_back("FormShow " + NameOf(sender)); }
    void TabSheet1Show(fw::TObject* sender) { calls.push_back("TabSheet1Show " + NameOf(sender)); }

    fw::TPageControl* PageControl1 = nullptr;
    fw::TTabSheet* TabSheet1 = nullptr;
    fw::TTabSheet* TabSheet2 = nullptr;
    fw::TLabel* Label1 = nullptr;
    fw::TLabel* Label2 = nullptr;
    fw::TLabel* Label11 = nullptr;
    fw::TImage* Image1 = nullptr;
    fw::TImage* Image2 = nullptr;
    fw::TEdit* Edit1 = nullptr;
    fw::TEdit* Edit2 = nullptr;
    fw::TEdit* Edit8 = nullptr;
    fw::TMemo* Memo1 = nullptr;
    fw::TGroupBox* GroupBox1 = nullptr;
    fw::TButton* Button1 = nullptr;
    fw::TButton* Button2 = nullptr;
    fw::TButton* Button3 = nullptr;
    std::vector<std::string> calls;

private:
    static std::string NameOf(fw::TObject* sender)
    {
        auto* component = dynamic_cast<fw::TComponent*>(sender);
        return component != nullptr ? component->Name() : "?";
    }
};

class StandardLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::headless::Install();
        fw::RegisterStandardComponents();
        RegisterLayout_StandardForm();
        desktop::RegisterResource(desktop::RT_RCDATA, "TSTANDARDFORM",
                                  *desktop::FindResource(desktop::RT_RCDATA, "StandardForm"));
        app_ = std::make_unique<fw::TApplication>();
        form_ = fw::NewForm<TStandardForm>(app_.get());
    }
    void TearDown() override
    {
        app_.reset();
        desktop::headless::Uninstall();
    }
    void Pump() { app_->ProcessMessages(); }
    void ClickAt(fw::TControl* control, desktop::POINT p)
    {
        desktop::headless::Click(control->ClientToScreen(p));
        Pump();
    }
    void ClickTab(int index)
    {
        desktop::RECT tab{};
        ASSERT_NE(desktop::SendMessage(form_->PageControl1->Handle(), desktop::TCM_GETITEMRECT,
                                       static_cast<desktop::WPARAM>(index), reinterpret_cast<desktop::LPARAM>(&tab)),
                  0);
        ClickAt(form_->PageControl1, {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    }

    int TextWidth(const std::string& text) { return MeasureText(*form_->Font(), text).cx; }

    std::unique_ptr<fw::TApplication> app_;
    TStandardForm* form_ = nullptr;
};

TEST_F(StandardLayoutTest, BuildsTheStoredTree)
{
    TStandardForm& f = *form_;
    EXPECT_EQ(f.Name(), "StandardForm");
    EXPECT_EQ(f.Caption(), "Controles est\xE1ndar");
    ASSERT_NE(f.PageControl1, nullptr);
    ASSERT_NE(f.TabSheet1, nullptr);
    ASSERT_NE(f.TabSheet2, nullptr);
    ASSERT_NE(f.GroupBox1, nullptr);
    ASSERT_NE(f.Label11, nullptr);
    ASSERT_NE(f.Button3, nullptr);

    // Tab sheets nest in their page control; controls in their sheet or group box.
    EXPECT_EQ(f.PageControl1->Parent(), &f);
    EXPECT_EQ(f.PageControl1->PageCount(), 2);
    EXPECT_EQ(f.PageControl1->Pages(0), f.TabSheet1);
    EXPECT_EQ(f.TabSheet1->PageControl(), f.PageControl1);
    EXPECT_EQ(f.TabSheet2->Parent(), f.PageControl1);
    EXPECT_EQ(f.Label1->Parent(), f.TabSheet1);
    EXPECT_EQ(f.Label11->Parent(), f.GroupBox1);
    EXPECT_EQ(f.Edit8->Parent(), f.GroupBox1);
    EXPECT_EQ(f.Button3->Parent(), f.TabSheet2);
    EXPECT_EQ(f.TabSheet1->Owner(), &f);

    // ActivePage names a sheet stored after it.
    EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet2);
    EXPECT_TRUE(f.TabSheet2->Visible());
    EXPECT_FALSE(f.TabSheet1->Visible());
    EXPECT_EQ(f.TabSheet2->ImageIndex(), 1);
    EXPECT_EQ(f.TabSheet1->Caption(), "Lanzar un dado");

    // Positions, sizes and texts as stored.
    EXPECT_EQ(f.PageControl1->BoundsRect(), (desktop::RECT{8, 8, 521, 449}));
    EXPECT_EQ(f.Label1->Left(), 8);
    EXPECT_EQ(f.Label1->Top(), 24);
    EXPECT_EQ(f.Label1->Width(), TextWidth("Lanza el dado"));  // measured again once loaded
    EXPECT_EQ(f.Label1->Height(), 13);
    EXPECT_EQ(f.Label1->Caption(), "Lanza el dado");
    EXPECT_EQ(f.Label2->BoundsRect(), (desktop::RECT{194, 19, 217, 32}));
    EXPECT_FALSE(f.Label2->AutoSize());
    EXPECT_EQ(f.Edit1->BoundsRect(), (desktop::RECT{208, 16, 251, 37}));
    EXPECT_EQ(f.Edit1->GetText(), "Edit1");
    EXPECT_EQ(f.Edit1->TabOrder(), 1);
    EXPECT_EQ(f.Edit2->Height(), 21);  // stored 40: an auto-sized edit follows its font
    EXPECT_EQ(f.Edit8->BoundsRect(), (desktop::RECT{46, 40, 89, 61}));
    EXPECT_EQ(f.Memo1->BoundsRect(), (desktop::RECT{192, 200, 353, 249}));
    EXPECT_TRUE(f.Memo1->ReadOnly());
    ASSERT_EQ(f.Memo1->Lines()->Count(), 3);
    EXPECT_EQ(f.Memo1->Lines()->Strings(0), "la probabilidad de obtener un ");
    EXPECT_EQ(f.Memo1->Lines()->Strings(2), "0,166666");
    EXPECT_EQ(f.GroupBox1->Caption(), "Resultados pares o impares");
    EXPECT_EQ(f.GroupBox1->BoundsRect(), (desktop::RECT{344, 8, 489, 129}));
    EXPECT_EQ(f.Button2->Caption(), "lanzar n veces");
    EXPECT_EQ(f.Button2->BoundsRect(), (desktop::RECT{80, 192, 177, 217}));
    // An empty picture keeps the stored size; a 3 x 2 one sizes its image.
    EXPECT_EQ(f.Image1->BoundsRect(), (desktop::RECT{16, 264, 66, 304}));
    EXPECT_EQ(f.Image2->BoundsRect(), (desktop::RECT{100, 264, 103, 266}));
}

TEST_F(StandardLayoutTest, HandlersAreBoundByName)
{
    TStandardForm& f = *form_;
    f.Show();
    Pump();
    EXPECT_EQ(f.calls, std::vector<std::string>{"FormShow StandardForm"});
    EXPECT_TRUE(f.TabSheet2->Showing());
    EXPECT_EQ(f.Edit1->Height(), 21);

    ClickAt(f.Button3, {10, 10});
    ClickTab(0);
    EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet1);
    ClickAt(f.Button2, {10, 10});
    ClickAt(f.Button1, {10, 10});
    EXPECT_EQ(f.calls,
              (std::vector<std::string>{"FormShow StandardForm", "Button3Click Button3", "TabSheet1Show TabSheet1",
                                        "Button2Click Button2", "Button1Click Button1"}));

    // The stored picture is drawn: white above, blue, green, red below.
    const auto at = [&](int x, int y) { return desktop::headless::ScreenColorAt(f.Image2->ClientToScreen({x, y})); };
    EXPECT_EQ(at(0, 0), desktop::RGB(255, 255, 255));
    EXPECT_EQ(at(0, 1), desktop::RGB(0, 0, 255));
    EXPECT_EQ(at(1, 1), desktop::RGB(0, 255, 0));
    EXPECT_EQ(at(2, 1), desktop::RGB(255, 0, 0));

    // Keyboard: Enter on the focused button, Ctrl+Tab to the other page.
    f.Button1->SetFocus();
    Pump();
    desktop::headless::PressKey(desktop::VK_RETURN);
    Pump();
    desktop::headless::PressKey(desktop::VK_TAB, false, true);
    Pump();
    EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet2);
    EXPECT_TRUE(f.Button3->Focused());
    desktop::headless::PressKey(desktop::VK_RETURN);
    Pump();
    EXPECT_EQ(f.calls.size(), 7u);
    EXPECT_EQ(f.calls[5], "Button1Click Button1");
    EXPECT_EQ(f.calls[6], "Button3Click Button3");
}

}  // namespace
