// Looks at a screenshot of the Tamso AVI window on a desktop of one plain colour, as a
// person would: the desktop must show through every pixel the picture has pure black,
// and the picture everywhere else (away from the controls, which draw over it). The
// desktop's colour is the screenshot's top-left pixel, which the window must not cover.
//
// Usage: shot_check SHOT.png X Y SCALE [--report] [--outline-tolerance]
//   X, Y   where the window's top-left corner is in the screenshot (device pixels)
//   SCALE  device pixels per window pixel (1 or 2)
//   --report             the results label must show text (a file was reported)
//   --outline-tolerance  pixels next to the outline may be anything (anti-aliasing)
// Prints what it counted; the exit status is 0 when the screenshot looks right.
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <cstring>

#include "app/frmTamso.h"
#include "tests/support/controls_drawn_on.h"

namespace {

struct Counts {
  long cutOut = 0, desktopShown = 0;       // picture pixels that are pure black
  long plain = 0, pictureShown = 0;        // the others, away from the controls
  long resultsArea = 0, resultsDrawn = 0;  // device pixels of the results label
};

bool IsCut(const QImage& picture, int x, int y) { return (picture.pixel(x, y) & 0xFFFFFF) == 0; }

// A pixel whose 3 x 3 neighbourhood holds both cut and kept pixels.
bool OnOutline(const QImage& picture, int x, int y) {
  const bool cut = IsCut(picture, x, y);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int nx = x + dx, ny = y + dy;
      if (nx >= 0 && ny >= 0 && nx < picture.width() && ny < picture.height() &&
          IsCut(picture, nx, ny) != cut)
        return true;
    }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s SHOT.png X Y SCALE [--report] [--outline-tolerance]\n", argv[0]);
    return 2;
  }
  bool wantReport = false, tolerance = false;
  for (int i = 5; i < argc; ++i) {
    wantReport |= std::strcmp(argv[i], "--report") == 0;
    tolerance |= std::strcmp(argv[i], "--outline-tolerance") == 0;
  }
  const int originX = std::atoi(argv[2]), originY = std::atoi(argv[3]), scale = std::atoi(argv[4]);
  char platform[] = "-platform", offscreen[] = "offscreen";
  int qtArgc = 3;
  char* qtArgv[] = {argv[0], platform, offscreen, nullptr};
  QApplication app(qtArgc, qtArgv);

  const QImage shot = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
  const QImage picture = QImage(tamso::kBackgroundResource).convertToFormat(QImage::Format_RGB32);
  if (shot.isNull() || picture.isNull() || scale < 1) {
    std::fprintf(stderr, "shot_check: cannot read the screenshot or the picture\n");
    return 2;
  }
  const QRgb desktop = shot.pixel(0, 0) & 0xFFFFFF;
  if (qGray(desktop) < 40 ||
      QRect(originX, originY, picture.width() * scale, picture.height() * scale).contains(0, 0)) {
    std::fprintf(stderr, "shot_check: the desktop at the top-left corner is too dark or covered\n");
    return 2;
  }
  const frmTamso places;  // not shown: where the controls sit
  const QRegion drawnOn = tamso::test::ControlsDrawnOn(places);
  const QRect results(places.lblResults->mapTo(&places, QPoint()), places.lblResults->size());

  Counts n;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if (tolerance && OnOutline(picture, x, y)) continue;
      const QRgb own = picture.pixel(x, y) & 0xFFFFFF;
      const bool cut = own == 0, plain = !cut && !drawnOn.contains(QPoint(x, y));
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) {
          const QPoint at(originX + x * scale + dx, originY + y * scale + dy);
          const QRgb seen = shot.valid(at) ? shot.pixel(at) & 0xFFFFFF : 0xFFFFFFFF;
          n.cutOut += cut;
          n.desktopShown += cut && seen == desktop;
          n.plain += plain;
          n.pictureShown += plain && seen == own;
          if (results.contains(x, y)) ++n.resultsArea, n.resultsDrawn += seen != own;
        }
      }
    }
  }
  std::printf("cut-out %ld, desktop shown %ld; picture %ld, shown %ld; results label %ld, text %ld\n",
              n.cutOut, n.desktopShown, n.plain, n.pictureShown, n.resultsArea, n.resultsDrawn);
  const bool shapeRight = n.cutOut > 1000 && n.desktopShown == n.cutOut &&
                          n.plain > picture.width() * picture.height() / 2 && n.pictureShown == n.plain;
  // The report's four lines darken a good share of the label.
  const bool reportRight = !wantReport || n.resultsDrawn > n.resultsArea / 20;
  return shapeRight && reportRight ? 0 : 1;
}
