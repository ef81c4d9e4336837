// What one message costs on its way through a control: window procedure, Dispatch, the typed
// record the handler reads and the handler itself. An experiment sets an edit's text a few
// times per roll, so these run hundreds of thousands of times before the loop returns.

#include <benchmark/benchmark.h>

#include "desktop/Messages.h"
#include "desktop/backends/Headless.h"
#include "framework/ClassesMessageParams.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

struct Bench {
    Bench()
    {
        desktop::headless::Install();
        app = new fw::TApplication();
        form = fw::NewForm<fw::TForm>(app, fw::CreateNew);
        form->SetBounds(100, 100, 300, 200);
        edit = new fw::TEdit(form);
        edit->SetParent(form);
        form->Show();
        app->ProcessMessages();
    }
    ~Bench()
    {
        delete app;
        desktop::headless::Uninstall();
    }
    fw::TApplication* app = nullptr;
    fw::TForm* form = nullptr;
    fw::TEdit* edit = nullptr;
};

// A record with a pointer parameter, answered by the form's children in turn.
void BM_FocusChangedBroadcast(benchmark::State& state)
{
    Bench bench;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.form->Perform(fw::CM_FOCUSCHANGED, 0, fw::PointerToLParam(bench.edit)));
    }
}
BENCHMARK(BM_FocusChangedBroadcast);

// A key record read by the key pre-check (shortcut hook, child key, dialog code).
void BM_KeyPreCheck(benchmark::State& state)
{
    Bench bench;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.edit->Perform(fw::CN_KEYDOWN, 'A', 0));
    }
}
BENCHMARK(BM_KeyPreCheck);

// The experiment's own step: a new text into an edit, with its change notification.
void BM_EditSetText(benchmark::State& state)
{
    Bench bench;
    bool odd = false;
    for (auto _ : state) {
        bench.edit->SetText(odd ? "12345" : "12346");
        odd = !odd;
    }
}
BENCHMARK(BM_EditSetText);

// The same step as the experiment takes it: the edit has no focus (so no caret to move) and
// the repaint it asks for waits for the loop.
void BM_EditSetTextUnfocused(benchmark::State& state)
{
    Bench bench;
    auto* other = new fw::TEdit(bench.form);
    other->SetParent(bench.form);
    other->SetTop(40);
    other->SetFocus();
    bench.app->ProcessMessages();
    int changes = 0;
    bench.edit->OnChange = [&](fw::TObject*) { ++changes; };
    bool odd = false;
    for (auto _ : state) {
        bench.edit->SetText(odd ? "12345" : "12346");
        odd = !odd;
    }
    benchmark::DoNotOptimize(changes);
}
BENCHMARK(BM_EditSetTextUnfocused);

// One message sent to a control's window: the layer's send, the framework's window procedure
// finding the control, its Dispatch chain and the class procedure under it.
void BM_SendMessageToControl(benchmark::State& state)
{
    Bench bench;
    const desktop::HWND window = bench.edit->Handle();
    for (auto _ : state) {
        benchmark::DoNotOptimize(desktop::SendMessage(window, desktop::WM_GETTEXTLENGTH, 0, 0));
    }
}
BENCHMARK(BM_SendMessageToControl);

}  // namespace

BENCHMARK_MAIN();
