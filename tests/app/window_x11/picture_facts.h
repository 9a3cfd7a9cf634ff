#pragma once
// What the background picture says about the window: the shape it should have and
// points a user would press (a light spot of the picture, a black spot inside the shape).

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <optional>
#include <vector>

namespace tamso::x11test {

// The background picture as shipped with the program, as 32-bit RGB.
QImage BackgroundPicture();

bool IsPureBlack(const QImage& picture, QPoint at);

// Every pixel of the picture that is not pure black.
QRegion OpaqueRegion(const QImage& picture);

// The number of pixels a region covers.
long long PixelCount(const QRegion& region);

// A pixel whose 9 x 9 neighbourhood is light (each channel at least 200) and that lies
// at least 6 pixels away from every rectangle of `avoid`.
std::optional<QPoint> LightPoint(const QImage& picture, const std::vector<QRect>& avoid);

// The middle of a pure black 5 x 5 patch that is enclosed by the shape: from it a
// non-black pixel lies within 40 pixels left, right, up and down.
std::optional<QPoint> BlackPointInsideShape(const QImage& picture);

}  // namespace tamso::x11test
