#pragma once

// TForm1: the program's one window, read from the layout "TFORM1". It holds no data of its own:
// every count lives in the Tag of the edit that shows it, and every text is rewritten from
// that count. Button2Click rolls one die n times and reports counts and relative frequencies,
// Button3Click rolls the two dice of the second tab, Button1Click and FormShow reset.

#include "dice/VoDice.h"
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "numedit/KelMaskEdit.h"
#include "numedit/KelSpinEdit.h"

namespace app {

class TForm1 : public fw::TForm {
public:
    explicit TForm1(fw::TComponent* owner) : fw::TForm(owner) {}

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    fw::TPageControl* PageControl1 = nullptr;
    fw::TTabSheet* TabSheet1 = nullptr;
    fw::TLabel* Label1 = nullptr;
    fw::TLabel* Label2 = nullptr;
    fw::TLabel* Label3 = nullptr;
    fw::TLabel* Label4 = nullptr;
    fw::TLabel* Label5 = nullptr;
    fw::TLabel* Label6 = nullptr;
    fw::TLabel* Label7 = nullptr;
    fw::TLabel* Label8 = nullptr;
    fw::TLabel* Label9 = nullptr;
    fw::TLabel* Label10 = nullptr;
    dice::TVoDice* VoDice1 = nullptr;
    numedit::TKelSpinEdit* KelSpinEdit1 = nullptr;
    fw::TButton* Button2 = nullptr;
    fw::TEdit* Edit1 = nullptr;
    fw::TEdit* Edit2 = nullptr;
    fw::TEdit* Edit3 = nullptr;
    fw::TEdit* Edit4 = nullptr;
    fw::TEdit* Edit5 = nullptr;
    fw::TEdit* Edit6 = nullptr;
    fw::TEdit* Edit7 = nullptr;
    numedit::TKelMaskEdit* KelMaskEdit1 = nullptr;
    numedit::TKelMaskEdit* KelMaskEdit2 = nullptr;
    numedit::TKelMaskEdit* KelMaskEdit3 = nullptr;
    numedit::TKelMaskEdit* KelMaskEdit4 = nullptr;
    numedit::TKelMaskEdit* KelMaskEdit5 = nullptr;
    numedit::TKelMaskEdit* KelMaskEdit6 = nullptr;
    fw::TMemo* Memo1 = nullptr;
    fw::TGroupBox* GroupBox1 = nullptr;
    fw::TLabel* Label11 = nullptr;
    fw::TLabel* Label12 = nullptr;
    fw::TEdit* Edit8 = nullptr;
    fw::TEdit* Edit9 = nullptr;
    numedit::TKelMaskEdit* KelMaskEdit7 = nullptr;
    numedit::TKelMaskEdit* KelMaskEdit8 = nullptr;
    fw::TImage* Image1 = nullptr;
    fw::TGroupBox* GroupBox2 = nullptr;
    fw::TLabel* Label13 = nullptr;
    fw::TLabel* Label14 = nullptr;
    fw::TLabel* Label15 = nullptr;
    numedit::TKelSpinEdit* KelSpinEdit3 = nullptr;
    numedit::TKelSpinEdit* KelSpinEdit4 = nullptr;
    numedit::TKelMaskEdit* KelMaskEdit9 = nullptr;
    fw::TEdit* Edit10 = nullptr;
    fw::TButton* Button1 = nullptr;
    fw::TTabSheet* TabSheet2 = nullptr;
    dice::TVoDice* VoDice2 = nullptr;
    dice::TVoDice* VoDice3 = nullptr;
    numedit::TKelSpinEdit* KelSpinEdit2 = nullptr;
    fw::TButton* Button3 = nullptr;

    void Button2Click(fw::TObject* sender);
    void FormShow(fw::TObject* sender);
    void Button1Click(fw::TObject* sender);
    void Button3Click(fw::TObject* sender);

protected:
    // After the layout is read: the names a screen reader says where the labels alone do not.
    void Loaded() override;

private:
    void NameForScreenReaders();
    void RunReset();
    void FullReset();
    void ResetFrequencies();
    // Adds one to the field's counter and shows it.
    static void Count(fw::TEdit* field);
};

// The window the application created at start-up; nullptr before and after.
extern TForm1* Form1;

}  // namespace app
