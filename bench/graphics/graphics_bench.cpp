// Speed of the bitmap and region components: building a region from a picture shaped
// like the main window and from black-and-white noise, resampling, and noise fill.

#include <benchmark/benchmark.h>

#include "bench/graphics/bench_pictures.h"
#include "graphics/dib_section.h"
#include "graphics/dib_section_region.h"

namespace {

using tamso::bench::NoisePicture;
using tamso::bench::WindowLikePicture;

void BM_CreateRegionWindowLike(benchmark::State& state) {
  cDIBSection dib;
  WindowLikePicture(dib);
  cDIBSectionRegion region;
  for (auto _ : state) region.Create(dib, 0);
}
BENCHMARK(BM_CreateRegionWindowLike)->Unit(benchmark::kMillisecond);

void BM_CreateRegionNoise(benchmark::State& state) {
  cDIBSection dib;
  NoisePicture(dib, static_cast<LONG>(state.range(0)));
  cDIBSectionRegion region;
  for (auto _ : state) region.Create(dib, 0);
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK(BM_CreateRegionNoise)->RangeMultiplier(2)->Range(256, 2048)->Unit(benchmark::kMillisecond);

void BM_Resample(benchmark::State& state) {
  const auto fromW = static_cast<LONG>(state.range(0)), fromH = static_cast<LONG>(state.range(1));
  const auto toW = static_cast<LONG>(state.range(2)), toH = static_cast<LONG>(state.range(3));
  cDIBSection source;
  source.Create(fromW, fromH);
  source.RandomiseBits();
  for (auto _ : state) benchmark::DoNotOptimize(source.Resample(toH, toW));
  state.SetItemsProcessed(state.iterations() * toW * toH);
}
BENCHMARK(BM_Resample)
    ->Args({1920, 1080, 3840, 2160})
    ->Args({3840, 2160, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

void BM_RandomiseBits(benchmark::State& state) {
  cDIBSection dib;
  dib.Create(3840, 2160);
  const bool grey = state.range(0) != 0;
  for (auto _ : state) dib.RandomiseBits(grey);
  state.SetItemsProcessed(state.iterations() * 3840 * 2160);
}
BENCHMARK(BM_RandomiseBits)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
