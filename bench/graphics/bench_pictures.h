#pragma once
// The pictures the region benchmarks build regions from.

#include <cmath>
#include <random>

#include "graphics/dib_section.h"

namespace tamso::bench {

inline void Paint(cDIBSection& dib, LONG x, LONG y, BYTE grey) {
  BYTE* p = dib.DIBSectionBitsPtr() +
            static_cast<std::ptrdiff_t>(dib.Height() - 1 - y) * dib.BytesPerScanLine() + 3 * x;
  p[0] = p[1] = p[2] = grey;
}

// A 551 x 502 picture like the window's: black around one large irregular shape that
// nearly fills it, a few small separate marks near its lower-left corner, and a few black
// spots inside.
inline void WindowLikePicture(cDIBSection& dib) {
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
inline void NoisePicture(cDIBSection& dib, LONG side) {
  dib.Create(side, side);
  std::mt19937 random(side);
  for (LONG y = 0; y < side; ++y)
    for (LONG x = 0; x < side; ++x) Paint(dib, x, y, (random() & 1) ? 255 : 0);
}

}  // namespace tamso::bench
