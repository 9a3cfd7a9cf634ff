#include "graphics/qt_picture.h"

#include <QImage>

namespace tamso {

Picture PictureFromImage(const QImage& image) {
  if (image.isNull()) return Picture();
  // 32-bit RGB lies in memory as blue, green, red, unused, one row after another with no
  // padding: the pixels a bitmap takes. An image already in that format is not copied.
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  return PictureFromPixels(rgb.width(), rgb.height(),
                           std::span(rgb.constBits(), static_cast<std::size_t>(rgb.sizeInBytes())));
}

Picture LoadPicture(const QString& path) { return PictureFromImage(QImage(path)); }

}  // namespace tamso
