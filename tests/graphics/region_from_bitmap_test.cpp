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
constexpr int kErr9 = tamso::kErrSubscriptOutOfRange;

// A bitmap drawn as text, rows from the top: '.' is black, any other character white.
void Draw(cDIBSection& dib, const std::vector<std::string>& rows) {
  ASSERT_TRUE(dib.Create(static_cast<LONG>(rows.front().size()), static_cast<LONG>(rows.size())));
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (std::size_t x = 0; x < rows[y].size(); ++x)
      std::fill_n(tamso::testing::PixelAt(dib, x, y), 3, rows[y][x] == '.' ? 0 : 255);
}

TEST(RegionFromBitmap, TransparentRunsAreCutOutColumnByColumnAndAnExactColourMatches) {
  cDIBSection dib;
  cDIBSectionRegion region;
  region.Create(dib, 0);  // never created: an empty region
  EXPECT_EQ(Shown(region), Rects{});
  // Column 1 from the top: the strips (1, 0, 2, 2) and (1, 3, 2, 4) leave the rectangle.
  Draw(dib, {"#.#", "#.#", "###", "#.#"});
  region.Create(dib, 0);
  EXPECT_EQ(Shown(region), (Rects{{0, 0, 1, 2}, {2, 0, 3, 2}, {0, 2, 3, 3}, {0, 3, 1, 4}, {2, 3, 3, 4}}));
  Draw(dib, {"..", ".."});
  region.Create(dib, 0);
  EXPECT_EQ(Shown(region), Rects{});
  // Only the low three bytes of the colour count, and all three must match.
  tamso::testing::PixelAt(dib, 0, 1)[0] = 1;                           // bottom-left: blue 1
  std::copy_n("\x1e\x14\x0a", 3, tamso::testing::PixelAt(dib, 0, 0));  // top-left: red 10, green 20, blue 30
  region.Create(dib, 0x01000000);
  EXPECT_EQ(Shown(region), (Rects{{0, 0, 1, 2}}));
  region.Create(dib, RGB(10, 20, 30));
  EXPECT_EQ(Shown(region), (Rects{{1, 0, 2, 1}, {0, 1, 2, 2}}));
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
    EXPECT_TRUE(region.Applied(a.hWnd) && region.AppliedToCount() == 3);
    ASSERT_TRUE(c.window->region());
    EXPECT_EQ(c.window->region()->rects(), (Rects{{0, 0, 1, 1}}));

    region.Applied(b.hWnd, false);
    EXPECT_TRUE(!b.window->region() && region.AppliedToCount() == 2);
    EXPECT_EQ(std::pair(region.hWndForIndex(1), region.hWndForIndex(2)), std::pair(a.hWnd, c.hWnd));
    EXPECT_EQ(index(region, 3) + index(region, 0), 2 * kErr9);

    // Taking off a window that is not listed clears its region and keeps the list.
    outside.window->setRegion(tamso::Region::FromRect({0, 0, 1, 1}));
    region.Applied(outside.hWnd, false);
    EXPECT_TRUE(!outside.window->region() && region.AppliedToCount() == 2);

    // Destroy empties the list but keeps its length; applying then shows the full rectangle.
    region.Destroy();
    EXPECT_TRUE(region.AppliedToCount() == 0 && region.hWndForIndex(2) == 0u);
    EXPECT_FALSE(a.window->region() || c.window->region());
    region.Applied(a.hWnd, true);
    EXPECT_TRUE(!a.window->region() && index(region, 2) == kErr9);

    // A window that is gone is listed all the same; taking the only one off releases the list.
    region.Create(dib, 0);
    const HWND gone = ScopedTestWindow().hWnd;
    region.Applied(gone, true);
    EXPECT_TRUE(region.Applied(gone));
    region.Applied(gone, false);
    EXPECT_EQ(index(region, 1), kErr9);
    region.Applied(c.hWnd, true);
    ASSERT_TRUE(c.window->region());
  }
  EXPECT_FALSE(c.window->region());  // the end of the object frees its windows
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

}  // namespace
