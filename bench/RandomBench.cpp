#include "dice/RandomSource.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// One experiment's worth of rolls at the spin edit's upper bound.
void BM_RandomBelowSix100000(benchmark::State& state)
{
    dice::GeneratorSeed = 12345;
    for (auto _ : state) {
        std::int32_t sum = 0;
        for (int i = 0; i < 100000; ++i) {
            sum += dice::RandomBelow(6);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_RandomBelowSix100000);

}  // namespace

BENCHMARK_MAIN();
