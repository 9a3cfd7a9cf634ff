#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/dib_section_region.h"
#include "platform/gdi32/wingdi.h"
#include "tests/graphics/test_support.h"

namespace {

using tamso::testing::ScopedTestWindow;

// A bitmap drawn as text, rows from the top: '.' is black, any other character white.
void Draw(cDIBSection& dib, const std::vector<std::string>& rows) {
  const auto height = static_cast<LONG>(rows.size());
  const auto width = static_cast<LONG>(rows.front().size());
  ASSERT_TRUE(dib.Create(width, height));
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x) {
      BYTE* p = dib.DIBSectionBitsPtr() +
                static_cast<std::ptrdiff_t>(height - 1 - y) * dib.BytesPerScanLine() + 3 * x;
      const BYTE v = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '.' ? 0 : 255;
      p[0] = p[1] = p[2] = v;
    }
}

// The region a window shows once `region` is applied to it.
std::vector<RECT> Shown(cDIBSectionRegion& region) {
  ScopedTestWindow w;
  region.Applied(w.hWnd, true);
  std::vector<RECT> rects =
      w.window->region() ? w.window->region()->rects() : std::vector<RECT>{{-1, -1, -1, -1}};
  region.Applied(w.hWnd, false);
  return rects;
}

TEST(RegionFromBitmap, TransparentRunsAreCutOutColumnByColumn) {
  // Column 1 from the top: transparent, transparent, opaque, transparent: the strips
  // (1, 0, 2, 2) and (1, 3, 2, 4) leave the region.
  cDIBSection dib;
  Draw(dib, {"#.#", "#.#", "###", "#.#"});
  cDIBSectionRegion region;
  region.Create(dib, 0);
  EXPECT_EQ(Shown(region),
            (std::vector<RECT>{{0, 0, 1, 2}, {2, 0, 3, 2}, {0, 2, 3, 3}, {0, 3, 1, 4}, {2, 3, 3, 4}}));
}

TEST(RegionFromBitmap, ARealisticShapeMatchesThePixels) {
  const std::vector<std::string> picture = {
      "..........", "...####...", "..######..", ".###..###.", ".###..###.",
      "..######..", "...####...", "..........", "#........#",
  };
  cDIBSection dib;
  Draw(dib, picture);
  cDIBSectionRegion region;
  region.Create(dib, 0);
  ScopedTestWindow w;
  region.Applied(w.hWnd, true);
  ASSERT_TRUE(w.window->region());
  for (LONG y = 0; y < 9; ++y)
    for (LONG x = 0; x < 10; ++x)
      EXPECT_EQ(w.window->region()->contains(x, y),
                picture[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#')
          << x << "," << y;
  EXPECT_EQ(w.window->region()->extents(), (RECT{0, 1, 10, 9}));
}

TEST(RegionFromBitmap, NoTransparentPixelsGiveTheFullRectangleAndOnlyTransparentOnesNothing) {
  cDIBSection dib;
  Draw(dib, {"###", "###"});
  cDIBSectionRegion region;
  region.Create(dib, 0);
  EXPECT_EQ(Shown(region), (std::vector<RECT>{{0, 0, 3, 2}}));

  Draw(dib, {"...", "..."});
  region.Create(dib, 0);
  EXPECT_EQ(Shown(region), std::vector<RECT>{});  // a region, and an empty one
}

TEST(RegionFromBitmap, OnlyAnExactMatchOfAllThreeBytesIsTransparent) {
  cDIBSection dib;
  Draw(dib, {"..", ".."});
  dib.DIBSectionBitsPtr()[0] = 1;  // bottom-left: blue 1
  cDIBSectionRegion region;
  region.Create(dib, 0);
  EXPECT_EQ(Shown(region), (std::vector<RECT>{{0, 1, 1, 2}}));
  // The top byte of the colour value is ignored.
  region.Create(dib, 0x01000000);
  EXPECT_EQ(Shown(region), (std::vector<RECT>{{0, 1, 1, 2}}));
  // Red is the low byte of the colour value, blue the third.
  BYTE* top = dib.DIBSectionBitsPtr() + dib.BytesPerScanLine();
  top[0] = 30, top[1] = 20, top[2] = 10;  // top-left pixel: red 10, green 20, blue 30
  region.Create(dib, RGB(10, 20, 30));
  EXPECT_EQ(Shown(region), (std::vector<RECT>{{1, 0, 2, 1}, {0, 1, 2, 2}}));
}

TEST(RegionFromBitmap, MemoryRowZeroIsTheBottomLineAndPaddingIsNeverRead) {
  cDIBSection dib;
  Draw(dib, {"###", "###", "..."});
  // Width 3: bytes 9 to 11 of each row are padding; make them look transparent-ish.
  for (LONG r = 0; r < 3; ++r) dib.DIBSectionBitsPtr()[r * 12 + 9] = 0;
  cDIBSectionRegion region;
  region.Create(dib, 0);
  EXPECT_EQ(Shown(region), (std::vector<RECT>{{0, 0, 3, 2}}));
}

TEST(RegionFromBitmap, AnEmptyBitmapGivesAnEmptyRegion) {
  cDIBSection never;
  cDIBSectionRegion region;
  region.Create(never, 0);
  EXPECT_EQ(Shown(region), std::vector<RECT>{});
}

TEST(RegionFromBitmap, ABitmapThatWasClearedUpRaisesErrorNineAndKeepsTheRectangle) {
  cDIBSection dib;
  Draw(dib, {"#.", "##"});
  dib.ClearUp();
  cDIBSectionRegion region;
  try {
    region.Create(dib, 0);
    FAIL() << "no error";
  } catch (const tamso::Error& e) {
    EXPECT_EQ(e.number(), tamso::kErrSubscriptOutOfRange);
  }
  EXPECT_EQ(Shown(region), (std::vector<RECT>{{0, 0, 2, 2}}));
}

TEST(RegionFromBitmap, CreateAgainTakesTheOldRegionOffAndAppliesNothing) {
  cDIBSection dib;
  Draw(dib, {"#.", "##"});
  cDIBSectionRegion region;
  region.Create(dib, 0);
  ScopedTestWindow w;
  region.Applied(w.hWnd, true);
  ASSERT_TRUE(w.window->region());
  region.Create(dib, 0);
  EXPECT_FALSE(w.window->region());
  EXPECT_EQ(region.AppliedToCount(), 0);
  EXPECT_FALSE(region.Applied(w.hWnd));
}

TEST(RegionFromBitmap, NothingLeaksAndTheEndOfTheObjectFreesTheWindows) {
  const std::size_t before = tamso::GdiObjectCount();
  ScopedTestWindow w;
  {
    cDIBSection dib;
    Draw(dib, {"#.#.", "....", "##.#"});
    cDIBSectionRegion region;
    region.Create(dib, 0);
    region.Applied(w.hWnd, true);
    region.Applied(w.hWnd, true);
  }
  EXPECT_FALSE(w.window->region());
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

}  // namespace
