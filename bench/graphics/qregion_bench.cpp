// The same strip-by-strip region building done with Qt's QRegion, for comparison with the
// region stand-in: each transparent run is taken out with an exclusive-or, as Create does.
// Each exclusive-or rebuilds the whole region, so noise costs grow with the square of the
// strip count; 512 x 512 already takes minutes.

#include <QRegion>

#include <benchmark/benchmark.h>

#include "bench/graphics/bench_pictures.h"

namespace {

QRegion StripRegion(const cDIBSection& dib) {
  const LONG w = dib.Width(), h = dib.Height(), stride = dib.BytesPerScanLine();
  QRegion region(0, 0, w, h);
  for (LONG x = 0; x < w; ++x) {
    LONG top = -1;
    for (LONG r = h - 1; r >= -1; --r) {
      const BYTE* p = r >= 0 ? dib.DIBSectionBitsPtr() + r * stride + 3 * x : nullptr;
      const bool transparent = p && p[0] == 0 && p[1] == 0 && p[2] == 0;
      const LONG y = h - 1 - r;
      if (transparent && top < 0) top = y;
      if (!transparent && top >= 0) {
        region ^= QRegion(x, top, 1, y - top);
        top = -1;
      }
    }
  }
  return region;
}

void BM_QRegionWindowLike(benchmark::State& state) {
  cDIBSection dib;
  tamso::bench::WindowLikePicture(dib);
  for (auto _ : state) benchmark::DoNotOptimize(StripRegion(dib));
}
BENCHMARK(BM_QRegionWindowLike)->Unit(benchmark::kMillisecond);

void BM_QRegionNoise(benchmark::State& state) {
  cDIBSection dib;
  tamso::bench::NoisePicture(dib, static_cast<LONG>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(StripRegion(dib));
}
BENCHMARK(BM_QRegionNoise)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond);

}  // namespace
