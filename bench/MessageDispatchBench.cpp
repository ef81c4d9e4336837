// What one message costs on its way through a control: window procedure, Dispatch, the typed
// record the handler reads and the handler itself. An experiment sets an edit's text a few
// times per roll, so these run hundreds of thousands of times before the loop returns.

#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK_MAIN();
