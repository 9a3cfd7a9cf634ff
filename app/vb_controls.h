#pragma once
// The window's control kinds: a label and a picture box that report mouse input the way
// the window's handlers take it (button 1 left, 2 right, 4 middle; shift state 1 Shift,
// 2 Ctrl, 4 Alt), and a label whose caption keeps its CR LF line breaks.

#include <QLabel>
#include <QLine>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <vector>

namespace tamso {

// Limits `painter`, which paints `widget`, to the window's outline (its mask), when the
// window has one. Where a compositor draws the window from its pixels, the pixels left
// unpainted stay transparent and the desktop shows through them.
void ClipToWindowOutline(QPainter& painter, const QWidget& widget);

// A mouse event as the window's handlers take it.
struct MouseArgs {
  int button;  // the button pressed, or for a move the sum of the buttons held
  int shift;
  float x;
  float y;
};
MouseArgs PressArgs(const QMouseEvent& event);
MouseArgs MoveArgs(const QMouseEvent& event);

// A label. Its caption is the text exactly as set (CR LF breaks lines); it takes the mouse
// presses that land on it, so they do not reach the picture below.
class VbLabel : public QLabel {
  Q_OBJECT
 public:
  explicit VbLabel(QWidget* parent);

  QString caption() const { return caption_; }
  void setCaption(const QString& caption);

 signals:
  void mouseDown(int button, int shift, float x, float y);
  void mouseMove(int button, int shift, float x, float y);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QString caption_;
};

// A picture box: draws its picture at the top left and the lines given to it above the
// picture. Lines take no mouse input, so a press on one is a press on the picture.
class PictureBox : public QWidget {
  Q_OBJECT
 public:
  explicit PictureBox(QWidget* parent);

  const QPixmap& picture() const { return picture_; }
  void setPicture(const QPixmap& picture);
  void addLine(const QLine& line);
  const std::vector<QLine>& lines() const { return lines_; }

 signals:
  void mouseDown(int button, int shift, float x, float y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QPixmap picture_;
  std::vector<QLine> lines_;
};

}  // namespace tamso
