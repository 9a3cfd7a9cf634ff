#include "tests/app/window_x11/picture_facts.h"

namespace tamso::x11test {

namespace {

bool Inside(const QImage& picture, QPoint at) { return picture.rect().contains(at); }

bool Light(QRgb colour) { return qRed(colour) >= 200 && qGreen(colour) >= 200 && qBlue(colour) >= 200; }

// True when every pixel of the square of half-side `radius` around `at` passes `test`.
template <typename Test>
bool SquareIs(const QImage& picture, QPoint at, int radius, Test test) {
  for (int y = at.y() - radius; y <= at.y() + radius; ++y) {
    for (int x = at.x() - radius; x <= at.x() + radius; ++x) {
      if (!Inside(picture, {x, y}) || !test(picture.pixel(x, y))) return false;
    }
  }
  return true;
}

// True when a non-black pixel lies within `reach` pixels of `at` in direction `step`.
bool ShapeWithin(const QImage& picture, QPoint at, QPoint step, int reach) {
  for (int i = 1; i <= reach; ++i) {
    const QPoint p = at + step * i;
    if (!Inside(picture, p)) return false;
    if (!IsPureBlack(picture, p)) return true;
  }
  return false;
}

}  // namespace

QImage BackgroundPicture() {
  return QImage(QStringLiteral(TAMSO_TEST_BACKGROUND)).convertToFormat(QImage::Format_RGB32);
}

bool IsPureBlack(const QImage& picture, QPoint at) { return (picture.pixel(at) & 0xFFFFFFu) == 0; }

QRegion OpaqueRegion(const QImage& picture) {
  QRegion region;
  for (int y = 0; y < picture.height(); ++y) {
    QRegion row;
    int x = 0;
    while (x < picture.width()) {
      while (x < picture.width() && IsPureBlack(picture, {x, y})) ++x;
      const int start = x;
      while (x < picture.width() && !IsPureBlack(picture, {x, y})) ++x;
      if (x > start) row += QRect(start, y, x - start, 1);
    }
    region += row;
  }
  return region;
}

long long PixelCount(const QRegion& region) {
  long long count = 0;
  for (const QRect& rect : region) count += static_cast<long long>(rect.width()) * rect.height();
  return count;
}

std::optional<QPoint> LightPoint(const QImage& picture, const std::vector<QRect>& avoid) {
  for (int y = 4; y < picture.height() - 4; y += 2) {
    for (int x = 4; x < picture.width() - 4; x += 2) {
      const QPoint p(x, y);
      bool clear = true;
      for (const QRect& rect : avoid) clear = clear && !rect.adjusted(-6, -6, 6, 6).contains(p);
      if (clear && SquareIs(picture, p, 4, Light)) return p;
    }
  }
  return std::nullopt;
}

std::optional<QPoint> BlackPointInsideShape(const QImage& picture) {
  auto black = [](QRgb colour) { return (colour & 0xFFFFFFu) == 0; };
  for (int y = 2; y < picture.height() - 2; ++y) {
    for (int x = 2; x < picture.width() - 2; ++x) {
      const QPoint p(x, y);
      if (!SquareIs(picture, p, 2, black)) continue;
      if (ShapeWithin(picture, p, {-1, 0}, 40) && ShapeWithin(picture, p, {1, 0}, 40) &&
          ShapeWithin(picture, p, {0, -1}, 40) && ShapeWithin(picture, p, {0, 1}, 40)) {
        return p;
      }
    }
  }
  return std::nullopt;
}

}  // namespace tamso::x11test
