#pragma once
// Pictures from image files (GIF, PNG, BMP, ...) through Qt's image readers.

#include <QString>

#include "graphics/picture.h"

class QImage;

namespace tamso {

// The picture in the regular file at `path`; a picture without a bitmap when it cannot be
// read (missing, not a regular file, larger than 256 MiB, not an image Qt can read).
Picture LoadPicture(const QString& path);

// The picture of `image`; a picture without a bitmap for a null image.
Picture PictureFromImage(const QImage& image);

}  // namespace tamso
