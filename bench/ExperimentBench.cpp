// The experiment as a learner runs it: the main window built from its layout on the headless
// screen, "lanzar n veces" on both tabs with n = 100000 (the message closed as soon as it is
// open), and, in the same run, the bare arithmetic of the one-die run: the draws, the counters
// and their texts, with no window around them. The ratio of the two is the cost of the controls.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/Startup.h"
#include "app/Unit1.h"
#include "desktop/Accessible.h"
#include "desktop/Messages.h"
#include "desktop/backends/Headless.h"
#include "dice/RandomSource.h"
#include "framework/ClassesHooks.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/SysUtilsConvert.h"

namespace {

constexpr int kRolls = 100000;

// The program started as dados starts, its window shown and idle.
class Program {
public:
    Program()
    {
        desktop::headless::Install(desktop::SIZE{1280, 1024});
        application_ = app::InitializeUnits();
        application_->Initialize();
        application_->CreateForm(app::Form1);
        app::Form1->Show();
        application_->ProcessMessages();
        // The message box is closed with Enter as soon as its modal loop goes idle.
        application_->OnIdle = [this](fw::TObject*, bool& done) {
            done = true;
            for (int i = 0; i < application_->ComponentCount(); ++i) {
                auto* dialog = dynamic_cast<fw::TMessageForm*>(application_->Components(i));
                if (dialog != nullptr && dialog->Showing()) {
                    desktop::headless::PressKey(desktop::VK_RETURN);
                }
            }
        };
    }
    ~Program()
    {
        application_.reset();
        app::Form1 = nullptr;
        fw::SetApplicationShuttingDown(false);
        desktop::headless::Uninstall();
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    app::TForm1& Form() { return *app::Form1; }
    void Settle() { application_->ProcessMessages(); }

private:
    std::unique_ptr<fw::TApplication> application_;
};

void BM_Button2Click100000(benchmark::State& state)
{
    Program program;
    app::TForm1& form = program.Form();
    form.KelSpinEdit1->SetValue(kRolls);
    form.KelSpinEdit3->SetValue(2);
    form.KelSpinEdit4->SetValue(5);
    dice::GeneratorSeed = 12345;
    for (auto _ : state) {
        form.Button2Click(&form);
        program.Settle();  // the repaint the run leaves behind
    }
    benchmark::DoNotOptimize(form.Edit7->GetText());
    state.SetItemsProcessed(state.iterations() * kRolls);
}
BENCHMARK(BM_Button2Click100000)->Unit(benchmark::kMillisecond);

// The same click while a screen reader listens: a listener that only counts what it is told,
// so the figure is the model's own cost (gathering per changed object, telling at idle).
class CountingListener : public desktop::AccessibleListener {
public:
    void OnAccessibleEvent(desktop::AccEvent, desktop::Accessible*) override { ++events; }
    void OnAccessibleGone(desktop::Accessible*) override {}
    std::int64_t events = 0;
};

void BM_Button2Click100000Listening(benchmark::State& state)
{
    CountingListener listener;
    {
        Program program;
        app::TForm1& form = program.Form();
        desktop::SetAccessibleListener(&listener);
        form.KelSpinEdit1->SetValue(kRolls);
        form.KelSpinEdit3->SetValue(2);
        form.KelSpinEdit4->SetValue(5);
        dice::GeneratorSeed = 12345;
        program.Settle();
        listener.events = 0;
        for (auto _ : state) {
            form.Button2Click(&form);
            program.Settle();
        }
        state.counters["events"] =
            benchmark::Counter(static_cast<double>(listener.events), benchmark::Counter::kAvgIterations);
    }
    desktop::SetAccessibleListener(nullptr);
    state.SetItemsProcessed(state.iterations() * kRolls);
}
BENCHMARK(BM_Button2Click100000Listening)->Unit(benchmark::kMillisecond);

void BM_Button3Click100000(benchmark::State& state)
{
    Program program;
    app::TForm1& form = program.Form();
    form.KelSpinEdit2->SetValue(kRolls);
    dice::GeneratorSeed = 12345;
    for (auto _ : state) {
        form.Button3Click(&form);
        program.Settle();
    }
    state.SetItemsProcessed(state.iterations() * kRolls);
}
BENCHMARK(BM_Button3Click100000)->Unit(benchmark::kMillisecond);

// The one-die run's arithmetic alone: a draw that never repeats the face, the face, parity
// and either-or counters, and the counter's text for each change, as the run writes them.
void BM_BareOneDieLoop100000(benchmark::State& state)
{
    dice::GeneratorSeed = 12345;
    std::int32_t face = 1;
    for (auto _ : state) {
        std::array<std::int32_t, 10> counts{};  // faces 1..6 at 1..6, even 7, odd 8, either-or 9
        std::array<std::string, 10> texts;
        for (int i = 0; i < kRolls; ++i) {
            std::int32_t next = face;
            while (next == face) {
                next = dice::RandomBelow(6) + 1;
            }
            face = next;
            texts[static_cast<std::size_t>(face)] = fw::IntegerToText(++counts[static_cast<std::size_t>(face)]);
            const std::size_t parity = (face & 1) == 0 ? 7 : 8;
            texts[parity] = fw::IntegerToText(++counts[parity]);
            if (face == 2 || face == 5) {
                texts[9] = fw::IntegerToText(++counts[9]);
            }
        }
        benchmark::DoNotOptimize(texts);
    }
    state.SetItemsProcessed(state.iterations() * kRolls);
}
BENCHMARK(BM_BareOneDieLoop100000)->Unit(benchmark::kMillisecond);

// The two-dice run's bare work: 200000 draws.
void BM_BareDraws200000(benchmark::State& state)
{
    dice::GeneratorSeed = 12345;
    for (auto _ : state) {
        std::int32_t sum = 0;
        for (int i = 0; i < 2 * kRolls; ++i) {
            sum += dice::RandomBelow(6);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 2 * kRolls);
}
BENCHMARK(BM_BareDraws200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
