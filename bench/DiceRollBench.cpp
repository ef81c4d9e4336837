// An experiment's worth of rolls (the spin edit's upper bound, 100000) on a die with a window:
// every roll reloads the face resource and requests a repaint, which happens once afterwards.
// Set against the bare generator, this is the cost of the control around the random draw.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "desktop/backends/Headless.h"
#include "dice/RandomSource.h"
#include "dice/VoDice.h"
#include "framework/Forms.h"

namespace {

constexpr int kRolls = 100000;

void BM_DieRoll100000(benchmark::State& state)
{
    desktop::headless::Install();
    {
        fw::TApplication app;
        auto* form = fw::NewForm<fw::TForm>(&app, fw::CreateNew);
        form->SetBounds(100, 100, 300, 300);
        auto* die = new dice::TVoDice(form);
        die->SetParent(form);
        die->SetAutoSize(false);
        die->SetBounds(10, 10, 146, 146);
        form->Show();
        app.ProcessMessages();
        dice::GeneratorSeed = 12345;
        for (auto _ : state) {
            for (int i = 0; i < kRolls; ++i) {
                die->Roll();
            }
            benchmark::DoNotOptimize(die->Value());
            // The one repaint the run leads to, as when the handler returns to the loop.
            app.ProcessMessages();
        }
        state.SetItemsProcessed(state.iterations() * kRolls);
    }
    desktop::headless::Uninstall();
}
BENCHMARK(BM_DieRoll100000)->Unit(benchmark::kMillisecond);

// One roll on its own, the step a regression would show in first.
void BM_DieRollOnce(benchmark::State& state)
{
    desktop::headless::Install();
    {
        fw::TApplication app;
        auto* form = fw::NewForm<fw::TForm>(&app, fw::CreateNew);
        form->SetBounds(100, 100, 300, 300);
        auto* die = new dice::TVoDice(form);
        die->SetParent(form);
        form->Show();
        app.ProcessMessages();
        dice::GeneratorSeed = 12345;
        for (auto _ : state) {
            die->Roll();
        }
        benchmark::DoNotOptimize(die->Value());
        app.ProcessMessages();
    }
    desktop::headless::Uninstall();
}
BENCHMARK(BM_DieRollOnce);

void BM_RandomBelowSixAlone100000(benchmark::State& state)
{
    dice::GeneratorSeed = 12345;
    for (auto _ : state) {
        std::int32_t sum = 0;
        for (int i = 0; i < kRolls; ++i) {
            sum += dice::RandomBelow(6);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRolls);
}
BENCHMARK(BM_RandomBelowSixAlone100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
