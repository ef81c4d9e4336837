// The engine edit's costs: pasting a megabyte into a focused, unlimited edit and moving the
// caret to its end (measuring, scrolling and painting must stay linear in the text's length),
// and one typed character in a four-character field, the size of the window's fields.

#include <benchmark/benchmark.h>

#include <string>

#include "desktop/Clipboard.h"
#include "desktop/backends/Headless.h"
#include "framework/Forms.h"
#include "numedit/KelCustomEdit.h"

namespace {

struct EditOnForm {
    EditOnForm()
    {
        desktop::headless::Install();
        app = std::make_unique<fw::TApplication>();
        auto* form = fw::NewForm<fw::TForm>(app.get(), fw::CreateNew);
        form->SetBounds(100, 100, 300, 100);
        form->Show();
        edit = new numedit::TKelCustomEdit(form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 65, 21);
        edit->SetFocus();
        app->ProcessMessages();
    }
    ~EditOnForm()
    {
        app.reset();
        desktop::headless::Uninstall();
    }
    std::unique_ptr<fw::TApplication> app;
    numedit::TKelCustomEdit* edit = nullptr;
};

void BM_PasteOneMegabyteThenEnd(benchmark::State& state)
{
    EditOnForm f;
    std::string text(1 << 20, 'x');
    for (std::size_t i = 7; i < text.size(); i += 8) {
        text[i] = ' ';
    }
    desktop::OpenClipboard(nullptr);
    desktop::EmptyClipboard();
    desktop::SetClipboardText(text);
    desktop::CloseClipboard();
    for (auto _ : state) {
        state.PauseTiming();
        f.edit->SetText(std::string());
        state.ResumeTiming();
        f.edit->PasteFromClipboard();
        f.edit->SetCaretIndex(1);
        desktop::WORD end = desktop::VK_END;
        f.edit->EditKey(end, 0);
        f.app->ProcessMessages();
        benchmark::DoNotOptimize(f.edit->ScrollOffset());
    }
}
BENCHMARK(BM_PasteOneMegabyteThenEnd)->Unit(benchmark::kMillisecond);

void BM_KeystrokeInFourCharacterField(benchmark::State& state)
{
    EditOnForm f;
    f.edit->SetText("0,16");
    for (auto _ : state) {
        f.edit->SetCaretIndex(4);
        f.edit->SetSelStart(4);
        f.edit->SetSelLength(1);
        f.edit->Perform(desktop::WM_CHAR, '7', 0);
        benchmark::DoNotOptimize(f.edit->CaretIndex());
    }
}
BENCHMARK(BM_KeystrokeInFourCharacterField)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
