#include "graphics/qt_picture.h"

#include <QImage>

namespace tamso {

Picture PictureFromImage(const QImage& image) {
  if (image.isNull()) return Picture();
  // 32-bit RGB lies in memory as blue, green, red, unused: the pixels a bitmap takes.
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  std::vector<BYTE> pixels;
  pixels.reserve(static_cast<std::size_t>(rgb.width()) * static_cast<std::size_t>(rgb.height()) * 4);
  for (int y = 0; y < rgb.height(); ++y) {
    const uchar* line = rgb.constScanLine(y);
    pixels.insert(pixels.end(), line, line + static_cast<std::ptrdiff_t>(rgb.width()) * 4);
  }
  return PictureFromPixels(rgb.width(), rgb.height(), pixels);
}

Picture LoadPicture(const QString& path) { return PictureFromImage(QImage(path)); }

}  // namespace tamso
