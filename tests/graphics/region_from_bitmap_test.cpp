#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "graphics/dib_section_region.h"
#include "platform/gdi32/wingdi.h"
#include "tests/graphics/test_support.h"

namespace {

using tamso::testing::ErrorOf;
using tamso::testing::ScopedTestWindow;
using tamso::testing::Shown;
using Rects = std::vector<RECT>;

// A bitmap drawn as text, rows from the top: '.' is black, any other character white.
void Draw(cDIBSection& dib, const std::vector<std::string>& rows) {
  const auto height = static_cast<LONG>(rows.size()), width = static_cast<LONG>(rows.front().size());
  ASSERT_TRUE(dib.Create(width, height));
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x) {
      BYTE* p = dib.DIBSectionBitsPtr() +
                static_cast<std::ptrdiff_t>(height - 1 - y) * dib.BytesPerScanLine() + 3 * x;
      p[0] = p[1] = p[2] = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '.' ? 0 : 255;
    }
}

TEST(RegionFromBitmap, TransparentRunsAreCutOutColumnByColumn) {
  const struct {
    std::vector<std::string> picture;
    Rects shown;
  } cases[] = {
      // Column 1 from the top: the strips (1, 0, 2, 2) and (1, 3, 2, 4) leave the rectangle.
      {{"#.#", "#.#", "###", "#.#"}, {{0, 0, 1, 2}, {2, 0, 3, 2}, {0, 2, 3, 3}, {0, 3, 1, 4}, {2, 3, 3, 4}}},
      {{"...", "..."}, {}},  // a region, and an empty one
  };
  for (const auto& c : cases) {
    cDIBSection dib;
    Draw(dib, c.picture);
    cDIBSectionRegion region;
    region.Create(dib, 0);
    EXPECT_EQ(Shown(region), c.shown) << c.picture[0];
  }
  cDIBSection never;
  cDIBSectionRegion region;
  region.Create(never, 0);
  EXPECT_EQ(Shown(region), Rects{});
}

TEST(RegionFromBitmap, NoisePicturesGiveExactlyTheirOpaquePixels) {
  std::mt19937 random(5);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::string> picture(9, std::string(13, '.'));
    for (auto& row : picture)
      for (char& c : row) c = random() % 3 ? '#' : '.';
    cDIBSection dib;
    Draw(dib, picture);
    cDIBSectionRegion region;
    region.Create(dib, 0);
    ScopedTestWindow w;
    region.Applied(w.hWnd, true);
    ASSERT_TRUE(w.window->region());
    for (LONG y = 0; y < 9; ++y)
      for (LONG x = 0; x < 13; ++x)
        ASSERT_EQ(w.window->region()->contains(x, y), picture[y][x] == '#') << round << ": " << x << "," << y;
  }
}

TEST(RegionFromBitmap, OnlyAnExactMatchOfTheColoursLowThreeBytesIsTransparent) {
  cDIBSection dib;
  Draw(dib, {"..", ".."});
  dib.DIBSectionBitsPtr()[0] = 1;  // bottom-left: blue 1
  BYTE* top = dib.DIBSectionBitsPtr() + dib.BytesPerScanLine();
  top[0] = 30, top[1] = 20, top[2] = 10;  // top-left: red 10, green 20, blue 30
  cDIBSectionRegion region;
  region.Create(dib, 0x01000000);  // the top byte is ignored
  EXPECT_EQ(Shown(region), (Rects{{0, 0, 1, 2}}));
  region.Create(dib, RGB(10, 20, 30));
  EXPECT_EQ(Shown(region), (Rects{{1, 0, 2, 1}, {0, 1, 2, 2}}));
}

TEST(RegionFromBitmap, AClearedUpBitmapRaisesErrorNineAndLeavesTheFullRectangle) {
  cDIBSection dib;
  Draw(dib, {"#.", "##"});
  dib.ClearUp();
  cDIBSectionRegion region;
  EXPECT_EQ(ErrorOf([&] { region.Create(dib, 0); }).number(), tamso::kErrSubscriptOutOfRange);
  EXPECT_EQ(Shown(region), (Rects{{0, 0, 2, 2}}));
}

TEST(AppliedWindows, TheListKeepsEachWindowOnceInOrderUntilTakenOffDestroyedOrCreatedAgain) {
  const std::size_t before = tamso::GdiObjectCount();
  ScopedTestWindow a, b, c, outside;
  const auto index = [](cDIBSectionRegion& r, LONG i) {
    return ErrorOf([&] { r.hWndForIndex(i); }).number();
  };
  {
    cDIBSection dib;
    Draw(dib, {"#...", "....", "...."});
    cDIBSectionRegion region;
    region.Create(dib, 0);
    for (HWND h : {a.hWnd, a.hWnd, b.hWnd, c.hWnd}) region.Applied(h, true);
    EXPECT_TRUE(region.Applied(a.hWnd));
    EXPECT_EQ(region.AppliedToCount(), 3);
    ASSERT_TRUE(c.window->region());
    EXPECT_EQ(c.window->region()->rects(), (Rects{{0, 0, 1, 1}}));

    region.Applied(b.hWnd, false);
    EXPECT_FALSE(b.window->region());
    EXPECT_EQ(region.AppliedToCount(), 2);
    EXPECT_EQ(std::pair(region.hWndForIndex(1), region.hWndForIndex(2)), std::pair(a.hWnd, c.hWnd));
    EXPECT_EQ(index(region, 3) + index(region, 0), 2 * tamso::kErrSubscriptOutOfRange);

    // Taking off a window that is not listed clears its region and keeps the list.
    outside.window->setRegion(tamso::Region::FromRect({0, 0, 1, 1}));
    region.Applied(outside.hWnd, false);
    EXPECT_FALSE(outside.window->region());
    EXPECT_EQ(region.AppliedToCount(), 2);

    // Destroy empties the list but keeps its length; applying then shows the full rectangle.
    region.Destroy();
    EXPECT_EQ(region.AppliedToCount(), 0);
    EXPECT_FALSE(a.window->region() || c.window->region());
    EXPECT_EQ(region.hWndForIndex(2), 0u);
    region.Applied(a.hWnd, true);
    EXPECT_FALSE(a.window->region());
    EXPECT_EQ(index(region, 2), tamso::kErrSubscriptOutOfRange);

    // A window that is gone is listed all the same; taking the only one off releases the list.
    region.Create(dib, 0);
    const HWND gone = ScopedTestWindow().hWnd;
    region.Applied(gone, true);
    EXPECT_TRUE(region.Applied(gone));
    region.Applied(gone, false);
    EXPECT_EQ(index(region, 1), tamso::kErrSubscriptOutOfRange);
    region.Applied(c.hWnd, true);
    ASSERT_TRUE(c.window->region());
  }
  EXPECT_FALSE(c.window->region());  // the end of the object frees its windows
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

}  // namespace
