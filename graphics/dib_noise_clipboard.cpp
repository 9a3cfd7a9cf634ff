// cDIBSection: random fill and the copy to the clipboard.

#include <chrono>
#include <cstdint>
#include <limits>

#include "graphics/dib_section.h"
#include "platform/runtime/app_paths.h"
#include "platform/user32/winuser.h"

namespace {

// A small permuted congruential generator (PCG32) giving floats r with 0 <= r < 1.
class NoiseGenerator {
 public:
  explicit NoiseGenerator(std::uint64_t seed) : state_(seed + kIncrement) { next(); }

  // 255 * r, taken exactly and rounded to the nearest integer with halves to even.
  BYTE byte() { return static_cast<BYTE>(tamso::RoundHalfEven(255.0 * unit())); }

 private:
  static constexpr std::uint64_t kMultiplier = 6364136223846793005ULL;
  static constexpr std::uint64_t kIncrement = 1442695040888963407ULL;

  std::uint32_t next() {
    const std::uint64_t old = state_;
    state_ = old * kMultiplier + kIncrement;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18) ^ old) >> 27);
    const auto rot = static_cast<std::uint32_t>(old >> 59);
    return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
  }

  // 24 random bits: every such value is an exact float below 1.
  float unit() { return static_cast<float>(next() >> 8) * 0x1p-24f; }

  std::uint64_t state_;
};

// Seconds since midnight with their fraction, in the clock's resolution.
std::uint64_t TimeOfDaySeed() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto sinceMidnight = now - floor<days>(now);
  return static_cast<std::uint64_t>(duration_cast<nanoseconds>(sinceMidnight).count());
}

}  // namespace

void cDIBSection::RandomiseBits(bool bGray) {
  const tamso::DibByteView view = PixelView();
  NoiseGenerator random(TimeOfDaySeed());
  const std::int64_t last = (std::int64_t{Width()} - 1) * 3;
  if (last > std::numeric_limits<LONG>::max() || last < std::numeric_limits<LONG>::min())
    tamso::RaiseStandardError(tamso::kErrOverflow);
  const LONG height = Height();
  if (bGray) {
    for (LONG y = 0; y < height; ++y) {
      for (std::int64_t c = 0; c <= last; c += 3) {
        const auto at = static_cast<LONG>(c);
        const BYTE grey = random.byte();
        view(at, y) = grey;
        view(at + 1, y) = grey;
        view(at + 2, y) = grey;
      }
    }
    return;
  }
  // Column by column, as the noise has always been laid out: blue 0, then green, then red.
  for (std::int64_t c = 0; c <= last; c += 3) {
    const auto at = static_cast<LONG>(c);
    for (LONG y = 0; y < height; ++y) {
      view(at, y) = 0;
      view(at + 1, y) = random.byte();
      view(at + 2, y) = random.byte();
    }
  }
}

bool cDIBSection::CopyToClipboard(bool bAsDIB) {
  bool result = false;
  const HWND desktop = GetDesktopWindow();
  const HDC screen = GetDC(desktop);
  if (!screen) return false;
  if (const HDC memory = CreateCompatibleDC(screen)) {
    if (bAsDIB) {
      MessageBoxA(0, "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!",
                  tamso::ApplicationTitle().c_str(), MB_OK);
    } else if (m_hDib != 0) {
      if (const HBITMAP bitmap = CreateCompatibleBitmap(screen, Width(), Height())) {
        const HGDIOBJ kept = SelectObject(memory, bitmap);
        PaintPicture(memory);
        SelectObject(memory, kept);
        if (OpenClipboard(0)) {
          EmptyClipboard();
          result = SetClipboardData(CF_BITMAP, bitmap) != 0;
          CloseClipboard();
        }
        // The clipboard owns what it took; what it did not take is freed here.
        if (!result) DeleteObject(bitmap);
      }
    }
    DeleteDC(memory);
  }
  ReleaseDC(desktop, screen);
  return result;
}
