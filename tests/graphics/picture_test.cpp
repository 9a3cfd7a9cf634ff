#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "graphics/dib_section.h"
#include "graphics/qt_picture.h"
#include "platform/gdi32/wingdi.h"

namespace {

TEST(Picture, AnImageFileBecomesAScreenFormatBitmap) {
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(Qt::black);
  image.setPixel(2, 0, qRgb(10, 20, 30));
  image.setPixel(0, 1, qRgb(255, 0, 128));
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  for (const char* format : {"png", "bmp"}) {
    const QString path = folder.filePath(QStringLiteral("picture.") + QLatin1String(format));
    ASSERT_TRUE(image.save(path, format));
    const tamso::Picture picture = tamso::LoadPicture(path);
    ASSERT_NE(picture.Handle(), 0u) << format;
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    BITMAP record;
    GetObjectA(picture.Handle(), sizeof record, &record);
    EXPECT_EQ(record.bmBitsPixel, 32);

    cDIBSection dib;
    dib.CreateFromPicture(picture);
    ASSERT_NE(dib.hDib(), 0u);
    const BYTE* bottom = dib.DIBSectionBitsPtr();
    const BYTE* top = bottom + dib.BytesPerScanLine();
    EXPECT_EQ(std::vector<BYTE>(top + 6, top + 9), (std::vector<BYTE>{30, 20, 10}));
    EXPECT_EQ(std::vector<BYTE>(bottom, bottom + 3), (std::vector<BYTE>{128, 0, 255}));
  }
}

TEST(Picture, AFileThatIsNoImageGivesNoBitmapAndAPictureFreesItsOwn) {
  EXPECT_EQ(tamso::LoadPicture(QStringLiteral("/nonexistent/picture.gif")).Handle(), 0u);
  const std::size_t before = tamso::GdiObjectCount();
  {
    tamso::Picture picture = tamso::PictureFromImage(QImage(4, 4, QImage::Format_RGB32));
    tamso::Picture moved = std::move(picture);
    EXPECT_EQ(picture.Handle(), 0u);
    EXPECT_NE(moved.Handle(), 0u);
  }
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

}  // namespace
