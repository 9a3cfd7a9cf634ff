// The yardstick for the window's start: a bare frameless Qt window of the same size with
// a mask made by Qt itself from the same picture's black pixels.
#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {

class BareWindow : public QWidget {
 public:
  explicit BareWindow(const QString& picturePath) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Bare window"));
    picture_ = QImage(picturePath);
    setFixedSize(551, 502);
    setMask(QBitmap::fromImage(picture_.createMaskFromColor(qRgb(0, 0, 0), Qt::MaskOutColor)));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
  }

 private:
  QImage picture_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  BareWindow window(QString::fromLocal8Bit(argv[1]));
  window.show();
  return QApplication::exec();
}
