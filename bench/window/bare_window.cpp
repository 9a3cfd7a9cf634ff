// The yardstick for the window's start: a bare frameless Qt window of the same size with
// a mask made by Qt itself from the same picture's black pixels. With "--texts" it also
// shows the window's three buttons and its label in their fonts, so that the cost of
// finding and drawing fonts is in both.
#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

namespace {

class BareWindow : public QWidget {
 public:
  BareWindow(const QString& picturePath, bool texts)
      : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Bare window"));
    picture_ = QImage(picturePath);
    setFixedSize(551, 502);
    setMask(QBitmap::fromImage(picture_.createMaskFromColor(qRgb(0, 0, 0), Qt::MaskOutColor)));
    if (texts) addTexts();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
  }

 private:
  static QFont Font(const char* family, bool bold = false) {
    QFont font{QString::fromLatin1(family)};
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
  }

  void addTexts() {
    setFont(Font("Tahoma"));
    auto* label = new QLabel(QStringLiteral("Browse AVI you want to get the informations from:"), this);
    label->setGeometry(48, 88, 169, 41);
    label->setWordWrap(true);
    label->setFont(Font("Arial"));
    auto* title = new QLabel(this);
    title->setGeometry(48, 128, 225, 25);
    title->setFont(Font("Arial", true));
    auto* results = new QLabel(this);
    results->setGeometry(48, 152, 217, 73);
    results->setFont(Font("Arial Narrow"));
    const struct {
      const char* caption;
      QRect place;
      const char* family;
    } buttons[] = {{"&Help", {80, 240, 33, 17}, "Arial"},
                   {"&Browse", {216, 88, 57, 21}, "Tahoma"},
                   {"&Quit", {112, 240, 33, 17}, "Arial"}};
    for (const auto& b : buttons) {
      auto* button = new QPushButton(QString::fromLatin1(b.caption), this);
      button->setGeometry(b.place);
      button->setFont(Font(b.family));
    }
  }

  QImage picture_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  BareWindow window(QString::fromLocal8Bit(argv[1]), argc > 2 && QByteArray(argv[2]) == "--texts");
  window.show();
  return QApplication::exec();
}
