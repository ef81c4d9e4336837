// An experiment's worth of rolls (the spin edit's upper bound, 100000) on a die with a window:
// every roll changes the face and requests a repaint, which happens once afterwards.
// Set against the bare generator, this is the cost of the control around the random draw.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "desktop/backends/Headless.h"
#include "dice/RandomSource.h"
#include "dice/VoDice.h"
#include "framework/Forms.h"

namespace {

constexpr int kRolls = 100000;

// A shown form with one 146-pixel die, the experiment's first-tab die.
class DieOnScreen {
public:
    DieOnScreen()
    {
        desktop::headless::Install();
        app_ = std::make_unique<fw::TApplication>();
        auto* form = fw::NewForm<fw::TForm>(app_.get(), fw::CreateNew);
        form->SetBounds(100, 100, 300, 300);
        die_ = new dice::TVoDice(form);
        die_->SetParent(form);
        die_->SetAutoSize(false);
        die_->SetBounds(10, 10, 146, 146);
        form->Show();
        app_->ProcessMessages();
        dice::GeneratorSeed = 12345;
    }
    ~DieOnScreen()
    {
        app_.reset();
        desktop::headless::Uninstall();
    }
    DieOnScreen(const DieOnScreen&) = delete;
    DieOnScreen& operator=(const DieOnScreen&) = delete;

    dice::TVoDice& Die() { return *die_; }
    // The one repaint a run leads to, as when the handler returns to the loop.
    void Repaint() { app_->ProcessMessages(); }

private:
    std::unique_ptr<fw::TApplication> app_;
    dice::TVoDice* die_ = nullptr;
};

void BM_DieRoll100000(benchmark::State& state)
{
    DieOnScreen screen;
    for (auto _ : state) {
        for (int i = 0; i < kRolls; ++i) {
            screen.Die().Roll();
        }
        benchmark::DoNotOptimize(screen.Die().Value());
        screen.Repaint();
    }
    state.SetItemsProcessed(state.iterations() * kRolls);
}
BENCHMARK(BM_DieRoll100000)->Unit(benchmark::kMillisecond);

// One roll on its own, the step a regression would show in first.
void BM_DieRollOnce(benchmark::State& state)
{
    DieOnScreen screen;
    for (auto _ : state) {
        screen.Die().Roll();
    }
    benchmark::DoNotOptimize(screen.Die().Value());
    screen.Repaint();
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
