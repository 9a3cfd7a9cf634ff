#include "graphics/dib_section.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "graphics/picture.h"
#include "platform/gdi32/wingdi.h"
#include "tests/graphics/test_support.h"

namespace {

using tamso::testing::ErrorNumberOf;

// Picture row y from the top, pixel x: its three bytes in memory order (blue, green, red).
const BYTE* PixelAt(const cDIBSection& dib, LONG x, LONG y) {
  return dib.DIBSectionBitsPtr() +
         static_cast<std::ptrdiff_t>(dib.Height() - 1 - y) * dib.BytesPerScanLine() + 3 * x;
}

COLORREF ColourAt(const cDIBSection& dib, LONG x, LONG y) {
  const BYTE* p = PixelAt(dib, x, y);
  return RGB(p[2], p[1], p[0]);
}

// A picture whose pixel (x, y) has red x, green y and blue 7.
tamso::Picture GradientPicture(LONG width, LONG height) {
  std::vector<BYTE> pixels;
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x)
      pixels.insert(pixels.end(), {7, static_cast<BYTE>(y), static_cast<BYTE>(x), 0});
  return tamso::PictureFromPixels(width, height, pixels);
}

TEST(DibSection, RowsAreThreeBytesAPixelRoundedUpToWholeWords) {
  const LONG expected[] = {0, 4, 8, 12, 12, 16, 20, 24};
  for (LONG width = 0; width <= 7; ++width) {
    cDIBSection dib;
    HBITMAP ignored = 0;
    dib.CreateDIB(0, width, 1, ignored);
    EXPECT_EQ(dib.BytesPerScanLine(), expected[width]) << "width " << width;
    if (ignored) DeleteObject(ignored);
  }
}

TEST(DibSection, CreateHoldsABottomUpBitmapInItsOwnDc) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(2, 2));
  EXPECT_NE(dib.hdc(), 0u);
  EXPECT_NE(dib.hDib(), 0u);
  ASSERT_NE(dib.DIBSectionBitsPtr(), nullptr);
  EXPECT_EQ(dib.BytesPerScanLine(), 8);
  BITMAP record;
  ASSERT_EQ(GetObjectA(dib.hDib(), sizeof record, &record), static_cast<int>(sizeof record));
  EXPECT_EQ(record.bmBitsPixel, 24);
  EXPECT_EQ(record.bmWidthBytes, 8);
  EXPECT_EQ(record.bmBits, dib.DIBSectionBitsPtr());

  // Drawing into the DC changes the pixel bytes: the top-left pixel is bytes 8 to 10,
  // the bottom-left bytes 0 to 2.
  SetPixel(dib.hdc(), 0, 0, RGB(10, 20, 30));
  SetPixel(dib.hdc(), 0, 1, RGB(40, 50, 60));
  const BYTE* bits = dib.DIBSectionBitsPtr();
  EXPECT_EQ(std::vector<BYTE>(bits + 8, bits + 11), (std::vector<BYTE>{30, 20, 10}));
  EXPECT_EQ(std::vector<BYTE>(bits, bits + 3), (std::vector<BYTE>{60, 50, 40}));
}

TEST(DibSection, ClearUpFreesEverythingButKeepsTheSize) {
  const std::size_t before = tamso::GdiObjectCount();
  {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(5, 3));
    dib.ClearUp();
    EXPECT_EQ(dib.hdc(), 0u);
    EXPECT_EQ(dib.hDib(), 0u);
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(dib.Height(), 3);
    EXPECT_EQ(dib.BytesPerScanLine(), 16);
    dib.ClearUp();  // on an empty object: nothing to free
    ASSERT_TRUE(dib.Create(4, 4));
  }
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

TEST(DibSection, AFailedCreateLeavesTheObjectEmptyWithTheAskedSize) {
  const std::size_t before = tamso::GdiObjectCount();
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(3, 3));
  for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-2, 5}, std::pair{5, -2}}) {
    EXPECT_FALSE(dib.Create(w, h));
    EXPECT_EQ(dib.hdc(), 0u);
    EXPECT_EQ(dib.hDib(), 0u);
    EXPECT_EQ(dib.Width(), w);
    EXPECT_EQ(dib.Height(), h);
  }
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

TEST(DibSection, SizesThatOverflowRaiseErrorSixAndCreateNothing) {
  cDIBSection dib;
  // 3 * width does not fit 32 bits.
  EXPECT_EQ(ErrorNumberOf([&] { dib.Create(800'000'000, 1); }), tamso::kErrOverflow);
  EXPECT_EQ(dib.hDib(), 0u);
  // The stride fits, the image size (stride * height) does not; the DC stays until ClearUp.
  EXPECT_EQ(ErrorNumberOf([&] { dib.Create(100'000, 100'000); }), tamso::kErrOverflow);
  EXPECT_NE(dib.hdc(), 0u);
  EXPECT_EQ(dib.hDib(), 0u);
  dib.ClearUp();
  EXPECT_EQ(dib.hdc(), 0u);
  EXPECT_EQ(ErrorNumberOf([&] { (void)dib.BytesPerScanLine(); }), 0);
}

TEST(DibSection, CreateDibIsRefusedWhileTheObjectHoldsItsBitmap) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 4));
  BYTE* const bits = dib.DIBSectionBitsPtr();
  HBITMAP other = 0;
  EXPECT_FALSE(dib.CreateDIB(0, 50, 50, other));
  EXPECT_EQ(other, 0u);
  EXPECT_EQ(dib.Width(), 4);
  EXPECT_EQ(dib.DIBSectionBitsPtr(), bits);
}

TEST(DibSection, CreateFromPictureCopiesThePictureTopDown) {
  const tamso::Picture picture = GradientPicture(7, 5);
  cDIBSection dib;
  dib.CreateFromPicture(picture);
  ASSERT_NE(dib.hDib(), 0u);
  EXPECT_EQ(dib.Width(), 7);
  EXPECT_EQ(dib.Height(), 5);
  for (LONG y = 0; y < 5; ++y)
    for (LONG x = 0; x < 7; ++x) ASSERT_EQ(ColourAt(dib, x, y), RGB(x, y, 7)) << x << "," << y;
  // The padding byte at the end of each row is untouched (zero).
  EXPECT_EQ(dib.DIBSectionBitsPtr()[21], 0);
  // The picture keeps its bitmap and can be used again.
  BITMAP record;
  EXPECT_EQ(GetObjectA(picture.Handle(), sizeof record, &record), static_cast<int>(sizeof record));
}

TEST(DibSection, APictureWithoutABitmapGivesNoBitmap) {
  cDIBSection dib;
  dib.CreateFromPicture(tamso::Picture());
  EXPECT_EQ(dib.hDib(), 0u);
  EXPECT_EQ(dib.Width(), 0);
  EXPECT_EQ(dib.Height(), 0);
}

TEST(DibSection, BlockTransfersUseTheBitmapSizeOnlyForNegativeSizes) {
  const tamso::Picture picture = GradientPicture(4, 4);
  const HDC source = CreateCompatibleDC(0);
  const HGDIOBJ kept = SelectObject(source, picture.Handle());

  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 4));
  dib.LoadPictureBlt(source, 0, 0, 0, 0);  // size 0: nothing drawn
  EXPECT_EQ(ColourAt(dib, 0, 0), RGB(0, 0, 0));
  dib.LoadPictureBlt(source, 2, 1, 1, -1);  // one column, the bitmap's height
  EXPECT_EQ(ColourAt(dib, 0, 0), RGB(2, 1, 7));
  EXPECT_EQ(ColourAt(dib, 0, 2), RGB(2, 3, 7));  // source row 3 reaches destination row 2
  EXPECT_EQ(ColourAt(dib, 0, 3), RGB(0, 0, 0));  // below the source's last row: unchanged
  EXPECT_EQ(ColourAt(dib, 1, 0), RGB(0, 0, 0));

  dib.LoadPictureBlt(source);
  cDIBSection target;
  ASSERT_TRUE(target.Create(6, 6));
  dib.PaintPicture(target.hdc(), 3, 2, -1, 1, 1, 0);  // row 0 from column 1, drawn at (3, 2)
  EXPECT_EQ(ColourAt(target, 3, 2), RGB(1, 0, 7));
  EXPECT_EQ(ColourAt(target, 5, 2), RGB(3, 0, 7));
  EXPECT_EQ(ColourAt(target, 3, 3), RGB(0, 0, 0));
  dib.PaintPicture(target.hdc(), 0, 0, -1, -1, 0, 0, NOTSRCCOPY);
  EXPECT_EQ(ColourAt(target, 1, 2), RGB(254, 253, 248));

  SelectObject(source, kept);
  DeleteDC(source);
}

TEST(DibSection, PixelOperationsOnAnObjectWithoutABitmapTouchNoMemory) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 4));
  dib.ClearUp();
  EXPECT_EQ(ErrorNumberOf([&] { dib.RandomiseBits(); }), tamso::kErrSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { dib.Resample(8, 8); }), tamso::kErrSubscriptOutOfRange);
  dib.LoadPictureBlt(0);
  dib.PaintPicture(0);
  EXPECT_EQ(dib.hDib(), 0u);
}

TEST(DibByteView, EveryIndexIsTestedOnItsOwn) {
  std::vector<BYTE> memory(8 * 2, 0);
  const tamso::DibByteView view(memory.data(), 8, 2);
  view(7, 1) = 42;
  EXPECT_EQ(memory[15], 42);
  for (auto [column, row] :
       {std::pair{8, 0}, std::pair{-1, 0}, std::pair{0, 2}, std::pair{0, -1}, std::pair{9, -1}})
    EXPECT_EQ(ErrorNumberOf([&] { view(column, row); }), tamso::kErrSubscriptOutOfRange);
  const tamso::DibByteView none(nullptr, 8, 2);
  EXPECT_EQ(ErrorNumberOf([&] { none(0, 0); }), tamso::kErrSubscriptOutOfRange);
}

}  // namespace
