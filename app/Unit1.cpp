#include "app/Unit1.h"

#include <array>
#include <string>
#include <utility>

#include "desktop/Codepage.h"
#include "framework/ClassesBuilder.h"
#include "framework/Dialogs.h"
#include "framework/SysUtilsConvert.h"
#include "framework/SysUtilsFloat.h"

namespace app {

TForm1* Form1 = nullptr;

const fw::TClassInfo& TForm1::Info()
{
    static const fw::TClassInfo info = fw::ClassBuilder<TForm1, fw::TForm>("TForm1")
                                           .Field("PageControl1", &TForm1::PageControl1)
                                           .Field("TabSheet1", &TForm1::TabSheet1)
                                           .Field("Label1", &TForm1::Label1)
                                           .Field("Label2", &TForm1::Label2)
                                           .Field("Label3", &TForm1::Label3)
                                           .Field("Label4", &TForm1::Label4)
                                           .Field("Label5", &TForm1::Label5)
                                           .Field("Label6", &TForm1::Label6)
                                           .Field("Label7", &TForm1::Label7)
                                           .Field("Label8", &TForm1::Label8)
                                           .Field("Label9", &TForm1::Label9)
                                           .Field("Label10", &TForm1::Label10)
                                           .Field("VoDice1", &TForm1::VoDice1)
                                           .Field("KelSpinEdit1", &TForm1::KelSpinEdit1)
                                           .Field("Button2", &TForm1::Button2)
                                           .Field("Edit1", &TForm1::Edit1)
                                           .Field("Edit2", &TForm1::Edit2)
                                           .Field("Edit3", &TForm1::Edit3)
                                           .Field("Edit4", &TForm1::Edit4)
                                           .Field("Edit5", &TForm1::Edit5)
                                           .Field("Edit6", &TForm1::Edit6)
                                           .Field("Edit7", &TForm1::Edit7)
                                           .Field("KelMaskEdit1", &TForm1::KelMaskEdit1)
                                           .Field("KelMaskEdit2", &TForm1::KelMaskEdit2)
                                           .Field("KelMaskEdit3", &TForm1::KelMaskEdit3)
                                           .Field("KelMaskEdit4", &TForm1::KelMaskEdit4)
                                           .Field("KelMaskEdit5", &TForm1::KelMaskEdit5)
                                           .Field("KelMaskEdit6", &TForm1::KelMaskEdit6)
                                           .Field("Memo1", &TForm1::Memo1)
                                           .Field("GroupBox1", &TForm1::GroupBox1)
                                           .Field("Label11", &TForm1::Label11)
                                           .Field("Label12", &TForm1::Label12)
                                           .Field("Edit8", &TForm1::Edit8)
                                           .Field("Edit9", &TForm1::Edit9)
                                           .Field("KelMaskEdit7", &TForm1::KelMaskEdit7)
                                           .Field("KelMaskEdit8", &TForm1::KelMaskEdit8)
                                           .Field("Image1", &TForm1::Image1)
                                           .Field("GroupBox2", &TForm1::GroupBox2)
                                           .Field("Label13", &TForm1::Label13)
                                           .Field("Label14", &TForm1::Label14)
                                           .Field("Label15", &TForm1::Label15)
                                           .Field("KelSpinEdit3", &TForm1::KelSpinEdit3)
                                           .Field("KelSpinEdit4", &TForm1::KelSpinEdit4)
                                           .Field("KelMaskEdit9", &TForm1::KelMaskEdit9)
                                           .Field("Edit10", &TForm1::Edit10)
                                           .Field("Button1", &TForm1::Button1)
                                           .Field("TabSheet2", &TForm1::TabSheet2)
                                           .Field("VoDice2", &TForm1::VoDice2)
                                           .Field("VoDice3", &TForm1::VoDice3)
                                           .Field("KelSpinEdit2", &TForm1::KelSpinEdit2)
                                           .Field("Button3", &TForm1::Button3)
                                           .Method("Button2Click", &TForm1::Button2Click)
                                           .Method("FormShow", &TForm1::FormShow)
                                           .Method("Button1Click", &TForm1::Button1Click)
                                           .Method("Button3Click", &TForm1::Button3Click)
                                           .Build();
    return info;
}

void TForm1::Loaded()
{
    fw::TForm::Loaded();
    NameForScreenReaders();
}

// A sighted learner reads a field's meaning from the labels around it (a column heading and a
// row's face, a group's caption): the name says the same in one phrase.
void TForm1::NameForScreenReaders()
{
    const std::array<fw::TEdit*, 6> absolute{Edit1, Edit2, Edit3, Edit4, Edit5, Edit6};
    const std::array<numedit::TKelMaskEdit*, 6> relative{KelMaskEdit1, KelMaskEdit2, KelMaskEdit3,
                                                         KelMaskEdit4, KelMaskEdit5, KelMaskEdit6};
    const std::array<fw::TLabel*, 6> faces{Label2, Label3, Label4, Label5, Label6, Label7};
    for (std::size_t i = 0; i < absolute.size(); ++i) {
        const std::string face = std::to_string(i + 1);
        absolute[i]->SetAccessibleName("f. absoluta del " + face);
        relative[i]->SetAccessibleName("f. relativa del " + face);
        absolute[i]->AddAccessibleLabel(Label10);
        absolute[i]->AddAccessibleLabel(faces[i]);
        relative[i]->AddAccessibleLabel(Label9);
        relative[i]->AddAccessibleLabel(faces[i]);
    }
    const std::array<std::pair<fw::TControl*, const char*>, 17> names{{
        {KelSpinEdit1, "Número de lanzamientos"},
        {KelSpinEdit2, "Número de lanzamientos"},
        {Button2, "lanzar n veces"},
        {Button3, "lanzar n veces"},
        {Button1, "Limpiar datos"},
        {Edit7, "Suma"},
        {KelMaskEdit7, "se obtuvo par"},
        {KelMaskEdit8, "se obtuvo impar"},
        {Edit8, "veces par"},
        {Edit9, "veces impar"},
        {KelSpinEdit3, "primera cara"},
        {KelSpinEdit4, "segunda cara"},
        {Edit10, "f. absoluta de uno u otro"},
        {KelMaskEdit9, "f. relativa de uno u otro"},
        {Memo1, "Nota"},
        {Image1, "P(A) = casos favorables / casos posibles"},
        {VoDice1, "Dado"},
    }};
    for (const auto& [control, name] : names) {
        control->SetAccessibleName(desktop::Utf8ToCp1252(name));
    }
    VoDice2->SetAccessibleName("Primer dado");
    VoDice3->SetAccessibleName("Segundo dado");
    Edit7->AddAccessibleLabel(Label8);
    KelMaskEdit7->AddAccessibleLabel(Label11);
    KelMaskEdit8->AddAccessibleLabel(Label12);
    Edit10->AddAccessibleLabel(Label15);
    KelMaskEdit9->AddAccessibleLabel(Label14);
    VoDice1->AddAccessibleLabel(Label1);
}

void TForm1::Count(fw::TEdit* field)
{
    field->SetTag(field->GetTag() + 1);
    field->SetText(fw::IntegerToText(field->GetTag()));
}

// The frequency fields are always zeroed in this order: the odd field before the even one.
void TForm1::ResetFrequencies()
{
    for (numedit::TKelMaskEdit* field : {KelMaskEdit1, KelMaskEdit2, KelMaskEdit3, KelMaskEdit4, KelMaskEdit5,
                                         KelMaskEdit6, KelMaskEdit8, KelMaskEdit7, KelMaskEdit9}) {
        field->SetText("0");
    }
}

void TForm1::RunReset()
{
    for (fw::TEdit* field : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit8, Edit9, Edit10}) {
        field->SetText("0");
        field->SetTag(0);
    }
    ResetFrequencies();
}

void TForm1::FullReset()
{
    for (fw::TEdit* field : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9, Edit10}) {
        field->SetText("0");
        field->SetTag(0);
    }
    ResetFrequencies();
}

void TForm1::Button2Click(fw::TObject*)
{
    RunReset();
    const std::int32_t n = KelSpinEdit1->Value();
    const std::array<fw::TEdit*, 6> faces{Edit1, Edit2, Edit3, Edit4, Edit5, Edit6};
    for (std::int32_t roll = 0; roll < n; ++roll) {
        VoDice1->Roll();
        for (int k = 1; k <= 6; ++k) {
            if (VoDice1->Value() == k) {
                Count(faces[static_cast<std::size_t>(k - 1)]);
            }
        }
        if ((VoDice1->Value() & 1) == 0) {
            Count(Edit8);
        }
        if ((VoDice1->Value() & 1) == 1) {
            Count(Edit9);
        }
        if (KelSpinEdit3->Value() == VoDice1->Value()) {
            Count(Edit10);
        } else if (KelSpinEdit4->Value() == VoDice1->Value()) {
            Count(Edit10);
        }
    }
    // A 32-bit sum, wrapping as the counters' own type does.
    std::uint32_t total = 0;
    for (fw::TEdit* field : faces) {
        total += static_cast<std::uint32_t>(field->GetTag());
    }
    Edit7->SetText(fw::IntegerToText(static_cast<std::int32_t>(total)));

    const std::array<std::pair<fw::TEdit*, numedit::TKelMaskEdit*>, 9> pairs{{{Edit1, KelMaskEdit1},
                                                                              {Edit2, KelMaskEdit2},
                                                                              {Edit3, KelMaskEdit3},
                                                                              {Edit4, KelMaskEdit4},
                                                                              {Edit5, KelMaskEdit5},
                                                                              {Edit6, KelMaskEdit6},
                                                                              {Edit8, KelMaskEdit7},
                                                                              {Edit9, KelMaskEdit8},
                                                                              {Edit10, KelMaskEdit9}}};
    for (const auto& [count, frequency] : pairs) {
        const long double part = fw::TextToInteger(count->GetText());
        const long double whole = fw::TextToInteger(Edit7->GetText());
        const long double q = fw::DivideExtended(part, whole);
        frequency->SetText(fw::FloatToFormattedText(q, fw::TFloatFormat::ffGeneral, 4, 2));
    }
    fw::ShowMessageDialog("se ha lanzado el dado " + fw::IntegerToText(KelSpinEdit1->Value()));
}

void TForm1::FormShow(fw::TObject*) { FullReset(); }

void TForm1::Button1Click(fw::TObject*) { FullReset(); }

void TForm1::Button3Click(fw::TObject*)
{
    RunReset();
    const std::int32_t n = KelSpinEdit2->Value();
    for (std::int32_t roll = 0; roll < n; ++roll) {
        VoDice2->Roll();
        VoDice3->Roll();
    }
    fw::ShowMessageDialog("se ha lanzado el dado " + fw::IntegerToText(KelSpinEdit2->Value()));
}

}  // namespace app
