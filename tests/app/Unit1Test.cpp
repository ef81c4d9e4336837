// The main window as read from its layout, and the experiment's handlers driven through it.
#include <array>

#include "AppTestSupport.h"
#include "framework/SysUtilsConvert.h"

namespace app::testing {
namespace {

using Int = std::int32_t;

std::array<fw::TEdit*, 6> FaceFields(TForm1* f) { return {f->Edit1, f->Edit2, f->Edit3, f->Edit4, f->Edit5, f->Edit6}; }
std::array<numedit::TKelMaskEdit*, 9> FrequencyFields(TForm1* f)
{
    return {f->KelMaskEdit1, f->KelMaskEdit2, f->KelMaskEdit3, f->KelMaskEdit4, f->KelMaskEdit5,
            f->KelMaskEdit6, f->KelMaskEdit7, f->KelMaskEdit8, f->KelMaskEdit9};
}
Int Number(fw::TControl* c) { return fw::TextToInteger(c->GetText()); }

// Every count and the total "0" with its counter 0, every frequency zero.
void ExpectAllCleared(TForm1* f)
{
    for (fw::TEdit* e :
         {f->Edit1, f->Edit2, f->Edit3, f->Edit4, f->Edit5, f->Edit6, f->Edit7, f->Edit8, f->Edit9, f->Edit10}) {
        EXPECT_EQ(e->GetText(), "0") << e->Name();
        EXPECT_EQ(e->GetTag(), 0) << e->Name();
    }
    for (numedit::TKelMaskEdit* m : FrequencyFields(f)) {
        EXPECT_EQ(m->Text(), "0,00") << m->Name();
    }
}

TEST_F(ProgramTest, WindowOpensAsStoredWithEveryFieldReset)
{
    EXPECT_EQ(form_->Left(), 631);
    EXPECT_EQ(form_->Top(), 120);
    EXPECT_EQ(form_->Width(), 552);
    EXPECT_EQ(form_->Height(), 503);
    EXPECT_EQ(form_->Caption(), "Experimento aleatorio con dados");
    EXPECT_EQ(form_->ComponentCount(), 51);
    EXPECT_EQ(form_->PageControl1->ActivePage(), form_->TabSheet1);
    EXPECT_EQ(form_->Image1->Width(), 441);
    EXPECT_EQ(form_->Image1->Height(), 126);
    ExpectAllCleared(form_);
    for (numedit::TKelSpinEdit* s :
         {form_->KelSpinEdit1, form_->KelSpinEdit2, form_->KelSpinEdit3, form_->KelSpinEdit4}) {
        EXPECT_EQ(s->Value(), 1) << s->Name();
        EXPECT_EQ(s->Text(), "1") << s->Name();
    }
    EXPECT_EQ(form_->Memo1->Lines()->Count(), 3);
    EXPECT_EQ(form_->Memo1->Lines()->Strings(0), "la probabilidad de obtener un ");
    EXPECT_EQ(form_->VoDice1->Value(), 1);
}

TEST_F(ProgramTest, OneRollCountsOneFaceItsParityAndShowsTheMessage)
{
    EXPECT_EQ(WithMessage([&] { form_->Button2->Click(); }), "dados|se ha lanzado el dado 1");
    const Int face = form_->VoDice1->Value();
    ASSERT_NE(face, 1);  // the die showed 1 and never repeats
    for (int k = 1; k <= 6; ++k) {
        fw::TEdit* field = FaceFields(form_)[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(field->GetText(), k == face ? "1" : "0");
        EXPECT_EQ(FrequencyFields(form_)[static_cast<std::size_t>(k - 1)]->Text(), k == face ? "1,00" : "0,00");
    }
    EXPECT_EQ(form_->Edit7->GetText(), "1");
    EXPECT_EQ(form_->KelMaskEdit7->Text(), face % 2 == 0 ? "1,00" : "0,00");
    EXPECT_EQ(form_->KelMaskEdit8->Text(), face % 2 == 1 ? "1,00" : "0,00");
}

TEST_F(ProgramTest, ManyRollsAddUpAndTheEitherOrEventCountsEachRollOnce)
{
    form_->KelSpinEdit1->SetValue(1000);
    form_->KelSpinEdit3->SetValue(2);
    form_->KelSpinEdit4->SetValue(5);
    EXPECT_EQ(WithMessage([&] { form_->Button2->Click(); }), "dados|se ha lanzado el dado 1000");
    Int sum = 0;
    for (fw::TEdit* e : FaceFields(form_)) {
        EXPECT_EQ(e->GetTag(), Number(e));
        sum += Number(e);
    }
    EXPECT_EQ(sum, 1000);
    EXPECT_EQ(Number(form_->Edit7), 1000);
    EXPECT_EQ(Number(form_->Edit8) + Number(form_->Edit9), 1000);
    EXPECT_EQ(Number(form_->Edit8), Number(form_->Edit2) + Number(form_->Edit4) + Number(form_->Edit6));
    EXPECT_EQ(Number(form_->Edit10), Number(form_->Edit2) + Number(form_->Edit5));

    // Both faces the same: the event counts the face once, not twice.
    form_->KelSpinEdit3->SetValue(3);
    form_->KelSpinEdit4->SetValue(3);
    WithMessage([&] { form_->Button2->Click(); });
    EXPECT_EQ(Number(form_->Edit10), Number(form_->Edit3));
    EXPECT_EQ(Number(form_->Edit7), 1000);  // a new run reports only its own rolls
}

TEST_F(ProgramTest, FrequenciesAreTheCountsOverTheTotalTruncatedToTwoDecimals)
{
    form_->KelSpinEdit1->SetValue(7);
    WithMessage([&] { form_->Button2->Click(); });
    const std::array<fw::TEdit*, 9> counts{form_->Edit1, form_->Edit2, form_->Edit3, form_->Edit4, form_->Edit5,
                                           form_->Edit6, form_->Edit8, form_->Edit9, form_->Edit10};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const Int hundredths = Number(counts[i]) * 100 / 7;  // truncated, as the field shows it
        const std::string expected = fw::IntegerToText(hundredths / 100) + "," + (hundredths % 100 < 10 ? "0" : "") +
                                     fw::IntegerToText(hundredths % 100);
        EXPECT_EQ(FrequencyFields(form_)[i]->Text(), expected) << counts[i]->Name();
    }
}

TEST_F(ProgramTest, ClearingZeroesEverythingButKeepsInputsAndDice)
{
    form_->KelSpinEdit1->SetValue(50);
    WithMessage([&] { form_->Button2->Click(); });
    const Int face = form_->VoDice1->Value();
    form_->Button1->Click();
    ExpectAllCleared(form_);
    EXPECT_EQ(form_->KelSpinEdit1->Value(), 50);
    EXPECT_EQ(form_->VoDice1->Value(), face);
}

TEST_F(ProgramTest, TwoDiceRollClearsTheFirstTabButKeepsItsTotal)
{
    form_->KelSpinEdit1->SetValue(20);
    WithMessage([&] { form_->Button2->Click(); });
    form_->KelSpinEdit2->SetValue(5);
    const Int before2 = form_->VoDice2->Value();
    const Int before3 = form_->VoDice3->Value();
    EXPECT_EQ(WithMessage([&] { form_->Button3->Click(); }), "dados|se ha lanzado el dado 5");
    for (fw::TEdit* e : FaceFields(form_)) {
        EXPECT_EQ(e->GetText(), "0");
    }
    EXPECT_EQ(form_->Edit10->GetText(), "0");
    EXPECT_EQ(form_->KelMaskEdit9->Text(), "0,00");
    EXPECT_EQ(form_->Edit7->GetText(), "20");

    // One roll each: both dice leave the face they showed.
    form_->KelSpinEdit2->SetValue(1);
    const Int shown2 = form_->VoDice2->Value();
    const Int shown3 = form_->VoDice3->Value();
    WithMessage([&] { form_->Button3->Click(); });
    EXPECT_NE(form_->VoDice2->Value(), shown2);
    EXPECT_NE(form_->VoDice3->Value(), shown3);
    (void)before2;
    (void)before3;
}

TEST_F(ProgramTest, ZeroRollsStopAtTheFirstDivisionWithInvalidOp)
{
    // The spin edit keeps n at least 1; a zero can only come from outside its bounds.
    form_->KelSpinEdit1->SetIntegerProperty(numedit::TKelCustomExtSpinEdit::ipMinValue, 0);
    form_->KelSpinEdit1->SetValue(0);
    ASSERT_EQ(form_->KelSpinEdit1->Value(), 0);
    std::string error;
    try {
        form_->Button2Click(nullptr);
    } catch (const fw::EInvalidOp& e) {
        error = e.Message();
    }
    EXPECT_EQ(error, "Invalid floating point operation");
    EXPECT_EQ(form_->Edit7->GetText(), "0");
    EXPECT_EQ(form_->KelMaskEdit1->Text(), "0,00");
}

}  // namespace
}  // namespace app::testing
