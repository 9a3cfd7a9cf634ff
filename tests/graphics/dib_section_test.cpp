#include "graphics/dib_section.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <set>
#include <thread>

#include "graphics/qt_picture.h"
#include "platform/gdi32/wingdi.h"
#include "platform/user32/clipboard.h"
#include "platform/user32/message_box.h"
#include "tests/graphics/test_support.h"

namespace {

using tamso::testing::ErrorOf;
constexpr int kErr9 = tamso::kErrSubscriptOutOfRange;

COLORREF ColourAt(const cDIBSection& dib, LONG x, LONG y) {
  const BYTE* p = tamso::testing::PixelAt(dib, x, y);
  return RGB(p[2], p[1], p[0]);
}

// An image whose pixel (x, y) has red x, green y and blue 7.
QImage Gradient(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x, y, 7));
  return image;
}

TEST(DibSection, ClearUpFailedAndOverflowingCreatesFreeEverythingAndKeepTheAskedSize) {
  const std::size_t before = tamso::GdiObjectCount();
  {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(5, 3));
    dib.ClearUp();
    EXPECT_TRUE(!dib.hdc() && !dib.hDib() && !dib.DIBSectionBitsPtr() &&
                dib.BytesPerScanLine() * dib.Height() == 48);
    for (auto [w, h] : {std::pair{0, 5}, std::pair{-2, 5}}) {
      ASSERT_TRUE(dib.Create(3, 3));
      EXPECT_FALSE(dib.Create(w, h));
      EXPECT_EQ(dib.hdc() + dib.hDib(), 0u);
      EXPECT_EQ(std::pair(dib.Width(), dib.Height()), std::pair(w, h));
    }
    // 3 * width, then stride * height, overflow.
    for (auto [w, h] : {std::pair{800'000'000, 1}, std::pair{100'000, 100'000}})
      EXPECT_EQ(ErrorOf([&] { dib.Create(w, h); }).number(), tamso::kErrOverflow);
    EXPECT_EQ(dib.hDib(), 0u);
    // A refused CreateDIB while the object holds its own bitmap.
    ASSERT_TRUE(dib.Create(4, 4));
    HBITMAP other = 0;
    EXPECT_FALSE(dib.CreateDIB(0, 50, 50, other));
    EXPECT_TRUE(other == 0u && dib.Width() == 4);
  }
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

TEST(DibSection, CreateFromPictureCopiesAnImageFileTopDownAndLeavesThePictureItsBitmap) {
  const std::size_t before = tamso::GdiObjectCount();
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("picture.png"));
  ASSERT_TRUE(Gradient(7, 5).save(path));
  {
    const tamso::Picture picture = tamso::LoadPicture(path);
    cDIBSection dib, none;
    dib.CreateFromPicture(picture);
    ASSERT_EQ(std::pair(dib.Width(), dib.Height()), std::pair(7, 5));
    for (LONG y = 0; y < 5; ++y)
      for (LONG x = 0; x < 7; ++x) ASSERT_EQ(ColourAt(dib, x, y), RGB(x, y, 7)) << x << "," << y;
    EXPECT_EQ(dib.DIBSectionBitsPtr()[21], 0);  // the row's padding byte
    BITMAP record;
    EXPECT_EQ(GetObjectA(picture.Handle(), sizeof record, &record), static_cast<int>(sizeof record));
    // A missing file or a named pipe (refused at once, never waited on) is no picture.
    const QString pipe = folder.filePath(QStringLiteral("pipe.gif"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& nothing : {folder.filePath(QStringLiteral("missing.gif")), pipe}) {
      none.CreateFromPicture(tamso::LoadPicture(nothing));
      EXPECT_EQ(none.hDib(), 0u);
    }
  }
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

TEST(DibSection, BlockTransfersUseTheBitmapSizeOnlyForNegativeSizes) {
  const tamso::Picture picture = tamso::PictureFromImage(Gradient(4, 4));
  const HDC source = CreateCompatibleDC(0);
  const HGDIOBJ kept = SelectObject(source, picture.Handle());
  cDIBSection dib, target;
  ASSERT_TRUE(dib.Create(4, 4));
  ASSERT_TRUE(target.Create(6, 6));
  dib.LoadPictureBlt(source, 0, 0, 0, 0);  // size 0: nothing drawn
  EXPECT_EQ(ColourAt(dib, 0, 0), RGB(0, 0, 0));
  dib.LoadPictureBlt(source, 2, 1, 1, -1);  // one column, the bitmap's height; nothing below its last row
  EXPECT_EQ((std::vector{ColourAt(dib, 0, 2), ColourAt(dib, 0, 3), ColourAt(dib, 1, 0)}),
            (std::vector<COLORREF>{RGB(2, 3, 7), 0, 0}));
  dib.LoadPictureBlt(source);
  dib.PaintPicture(target.hdc(), 3, 2, -1, 1, 1, 0);  // row 0 from column 1, drawn at (3, 2)
  EXPECT_EQ(std::pair(ColourAt(target, 3, 2), ColourAt(target, 3, 3)), std::pair(RGB(1, 0, 7), COLORREF{0}));
  SelectObject(source, kept);
  DeleteDC(source);
}

TEST(DibSection, PaintPictureComputesEveryNamedRasterOperation) {
  const COLORREF p = RGB(0xF0, 0x0F, 0x55), s = RGB(0xCC, 0x33, 0xA5), d = RGB(0xAA, 0x5A, 0x3C);
  const std::pair<DWORD, COLORREF> cases[] = {
      {BLACKNESS, 0},       {NOTSRCERASE, ~(s | d)}, {NOTSRCCOPY, ~s},      {SRCERASE, s & ~d},
      {DSTINVERT, ~d},      {PATINVERT, p ^ d},      {SRCINVERT, s ^ d},    {SRCAND, s & d},
      {MERGEPAINT, ~s | d}, {MERGECOPY, p & s},      {SRCCOPY, s},          {SRCPAINT, s | d},
      {PATCOPY, p},         {PATPAINT, p | ~s | d},  {WHITENESS, 0xFFFFFF},
  };
  cDIBSection source, target;
  ASSERT_TRUE(source.Create(1, 1) && target.Create(1, 1));
  SetPixel(source.hdc(), 0, 0, s);
  const HBRUSH brush = CreateSolidBrush(p);
  const HGDIOBJ oldBrush = SelectObject(target.hdc(), brush);
  for (const auto& [rop, expected] : cases) {
    SetPixel(target.hdc(), 0, 0, d);
    source.PaintPicture(target.hdc(), 0, 0, -1, -1, 0, 0, rop | CAPTUREBLT);
    EXPECT_EQ(ColourAt(target, 0, 0), expected & 0xFFFFFF) << std::hex << rop;
  }
  SelectObject(target.hdc(), oldBrush);
  DeleteObject(brush);
}

TEST(DibSection, PixelAccessWithoutABitmapOfItsOwnOrOutsideItRaisesErrorNine) {
  // Objects whose header gives a size while they hold no bitmap: cleared up; after a
  // CreateDIB for another DC whose caller then freed the bitmap; after a CreateDIB for
  // another DC and then one that overflows.
  const HDC dc = CreateCompatibleDC(0);
  HBITMAP kept = 0;
  for (int state = 0; state < 3; ++state) {
    cDIBSection dib;
    HBITMAP outside = 0;
    if (state == 0) {
      ASSERT_TRUE(dib.Create(4, 4));
      dib.ClearUp();
    } else {
      ASSERT_TRUE(dib.CreateDIB(dc, 4, 4, outside));
      if (state == 1) DeleteObject(outside);
      if (state == 2) {
        kept = outside;
        EXPECT_EQ(ErrorOf([&] { dib.CreateDIB(dc, 10'000, 300'000, outside); }).number(),
                  tamso::kErrOverflow);
        EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
      }
    }
    EXPECT_EQ(ErrorOf([&] { dib.RandomiseBits(); }).number(), kErr9) << state;
    for (auto [h, w] : {std::pair{dib.Height(), dib.Width()}, std::pair{8, 8}, std::pair{0, 0}})
      EXPECT_EQ(ErrorOf([&] { dib.Resample(h, w); }).number(), kErr9) << state << ": " << w << "x" << h;
    cDIBSectionRegion region;
    EXPECT_EQ(ErrorOf([&] { region.Create(dib, 0); }).number(), kErr9) << state;
    EXPECT_EQ(tamso::testing::Shown(region), (std::vector<RECT>{{0, 0, dib.Width(), dib.Height()}}));
    dib.PaintPicture(0);  // no bitmap: nothing to draw
  }
  DeleteObject(kept);
  DeleteDC(dc);

  std::vector<BYTE> memory(8 * 2, 0);
  const tamso::DibByteView view(memory.data(), 8, 2);
  view(7, 1) = 42;
  EXPECT_EQ(memory[15], 42);
  for (auto [column, row] : {std::pair{8, 0}, std::pair{-1, 0}, std::pair{0, 2}, std::pair{0, -1}})
    EXPECT_EQ(ErrorOf([&] { view(column, row); }).number(), kErr9) << column << "," << row;
}

TEST(RandomiseBits, NoiseIsGreyOrColouredWithoutBlueKeepsThePaddingAndDiffersEachTime) {
  for (bool grey : {false, true}) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(5, 40));  // rows of 16 bytes: one of padding
    BYTE* const bits = dib.DIBSectionBitsPtr();
    for (LONG r = 0; r < 40; ++r) bits[r * 16 + 15] = 0xAB;
    dib.RandomiseBits(grey);
    const std::vector<BYTE> first(bits, bits + 16 * 40);
    std::set<int> values;
    for (std::size_t row = 0; row < 40 * 16; row += 16) {
      EXPECT_EQ(first[row + 15], 0xAB);
      for (std::size_t i = row; i < row + 15; i += 3) {
        EXPECT_TRUE(grey ? first[i] == first[i + 1] && first[i] == first[i + 2] : first[i] == 0) << i;
        values.insert(first[i + 1] * 256 + first[i + 2]);
      }
    }
    EXPECT_GT(values.size(), 50u);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    dib.RandomiseBits(grey);
    EXPECT_NE(std::vector<BYTE>(bits, bits + 16 * 40), first);
  }
}

struct RecordingClipboard : tamso::ClipboardTarget {
  bool accepts = false;
  std::vector<tamso::ClipboardImage> images;
  bool open() override { return true; }
  void clear() override {}
  bool put(const tamso::ClipboardImage& image) override {
    images.push_back(image);
    return accepts;
  }
};

TEST(CopyToClipboard, PutsTheBitmapOrFailsCleanlyAndAsDibSaysItCannot) {
  const auto clipboard = std::make_shared<RecordingClipboard>();
  const auto previous = tamso::SetClipboardTarget(nullptr);  // no display
  std::vector<std::string> boxes;
  tamso::ScopedMessageBoxHandler handler(
      [&](HWND, const std::string& text, const std::string& caption, UINT type) {
        boxes.push_back(text + "|" + caption + "|" + std::to_string(type));
        return 1;
      });
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(3, 2));
  BYTE* bits = dib.DIBSectionBitsPtr();
  bits[0] = 1, bits[1] = 2, bits[2] = 3;     // bottom-left pixel
  bits[12] = 9, bits[13] = 8, bits[14] = 7;  // top-left pixel
  const std::size_t before = tamso::GdiObjectCount();
  EXPECT_FALSE(dib.CopyToClipboard() || dib.CopyToClipboard(false));
  EXPECT_EQ(boxes,
            std::vector<std::string>{
                "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!|Tamso AVI|0"});
  tamso::SetClipboardTarget(clipboard);
  EXPECT_FALSE(dib.CopyToClipboard(false));    // refused
  EXPECT_EQ(tamso::GdiObjectCount(), before);  // a bitmap not taken is freed

  clipboard->accepts = true;
  EXPECT_TRUE(dib.CopyToClipboard(false));
  ASSERT_EQ(clipboard->images.size(), 2u);
  const tamso::ClipboardImage& image = clipboard->images[1];
  // Rows from the top line: blue, green, red, 0. The clipboard keeps the bitmap it took.
  EXPECT_EQ(
      std::tuple(image.width, image.height,
                 std::vector<BYTE>(image.pixels.begin(), image.pixels.begin() + 16), tamso::GdiObjectCount(),
                 boxes.size()),
      std::tuple(3, 2, std::vector<BYTE>{9, 8, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 0}, before + 1, 1u));
  tamso::SetClipboardTarget(previous);
}

}  // namespace
