// Speed of the bitmap and region components: building a region from a picture shaped
// like the main window and from black-and-white noise, resampling, and noise fill.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "graphics/dib_section.h"
#include "graphics/dib_section_region.h"

namespace {

void Paint(cDIBSection& dib, LONG x, LONG y, BYTE grey) {
  BYTE* p = dib.DIBSectionBitsPtr() +
            static_cast<std::ptrdiff_t>(dib.Height() - 1 - y) * dib.BytesPerScanLine() + 3 * x;
  p[0] = p[1] = p[2] = grey;
}

// A 551 x 502 picture like the window's: black around one large irregular shape that
// nearly fills it, a few small separate marks near its lower-left corner, and a few black
// spots inside.
void WindowLikePicture(cDIBSection& dib) {
  const LONG w = 551, h = 502;
  dib.Create(w, h);
  for (LONG y = 0; y < h; ++y) {
    for (LONG x = 0; x < w; ++x) {
      const double dx = (x - 285.0) / 255.0, dy = (y - 240.0) / 230.0;
      const double wobble = 0.06 * std::sin(7 * std::atan2(dy, dx));
      bool inside = dx * dx + dy * dy < (1.0 + wobble) * (1.0 + wobble);
      if (inside && std::hypot(x - 200.0, y - 180.0) < 6) inside = false;
      if (inside && std::hypot(x - 350.0, y - 300.0) < 4) inside = false;
      for (int mark = 0; mark < 4; ++mark)
        if (std::hypot(x - (20.0 + 14 * mark), y - (470.0 - 9 * mark)) < 5) inside = true;
      Paint(dib, x, y, inside ? 200 : 0);
    }
  }
}

// Every pixel black or white at random: the most transparent runs a picture can have
// on average, each a separate strip.
void NoisePicture(cDIBSection& dib, LONG side) {
  dib.Create(side, side);
  std::mt19937 random(side);
  for (LONG y = 0; y < side; ++y)
    for (LONG x = 0; x < side; ++x) Paint(dib, x, y, (random() & 1) ? 255 : 0);
}

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
