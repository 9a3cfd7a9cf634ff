#include "graphics/qt_picture.h"

#include <QFile>
#include <QImage>

#include "platform/runtime/regular_file.h"

namespace tamso {

namespace {

// The largest image file read; Qt takes the bytes with an int count.
constexpr std::uint64_t kLargestPictureFile = 256u << 20;

}  // namespace

Picture PictureFromImage(const QImage& image) {
  if (image.isNull()) return Picture();
  // 32-bit RGB lies in memory as blue, green, red, unused, one row after another with no
  // padding: the pixels a bitmap takes. An image already in that format is not copied.
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  return PictureFromPixels(rgb.width(), rgb.height(),
                           std::span(rgb.constBits(), static_cast<std::size_t>(rgb.sizeInBytes())));
}

Picture LoadPicture(const QString& path) {
  // Read through the program's file reader, so that a pipe or device named here is turned
  // away at once; the image format is then told from the bytes.
  std::error_code error;
  const auto bytes = ReadWholeFile(QFile::encodeName(path).toStdString(), kLargestPictureFile, error);
  if (!bytes) return Picture();
  return PictureFromImage(QImage::fromData(bytes->data(), static_cast<int>(bytes->size())));
}

}  // namespace tamso
