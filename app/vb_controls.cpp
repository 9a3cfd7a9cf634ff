#include "app/vb_controls.h"

#include <QMouseEvent>
#include <QPainter>

namespace tamso {

namespace {

int MouseButtonValue(Qt::MouseButtons buttons) {
  return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
         (buttons & Qt::MiddleButton ? 4 : 0);
}

int ShiftStateValue(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
         (modifiers & Qt::AltModifier ? 4 : 0);
}

MouseArgs ArgsOf(const QMouseEvent& event, Qt::MouseButtons buttons) {
  return {MouseButtonValue(buttons), ShiftStateValue(event.modifiers()),
          static_cast<float>(event.position().x()), static_cast<float>(event.position().y())};
}

}  // namespace

void ClipToWindowOutline(QPainter& painter, const QWidget& widget) {
  const QWidget* window = widget.window();
  const QRegion outline = window->mask();
  if (outline.isEmpty()) return;
  painter.setClipRegion(outline.translated(-widget.mapTo(window, QPoint())), Qt::IntersectClip);
}

MouseArgs PressArgs(const QMouseEvent& event) { return ArgsOf(event, event.button()); }

MouseArgs MoveArgs(const QMouseEvent& event) { return ArgsOf(event, event.buttons()); }

VbLabel::VbLabel(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setWordWrap(true);
  setTextFormat(Qt::PlainText);
  setFocusPolicy(Qt::NoFocus);
}

void VbLabel::setCaption(const QString& caption) {
  caption_ = caption;
  QString shown = caption;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  setText(shown);
}

void VbLabel::mousePressEvent(QMouseEvent* event) {
  event->accept();
  const MouseArgs a = PressArgs(*event);
  emit mouseDown(a.button, a.shift, a.x, a.y);
}

void VbLabel::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  const MouseArgs a = MoveArgs(*event);
  emit mouseMove(a.button, a.shift, a.x, a.y);
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::TabFocus); }

void PictureBox::setPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

void PictureBox::addLine(const QLine& line) {
  lines_.push_back(line);
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  ClipToWindowOutline(painter, *this);
  painter.drawPixmap(0, 0, picture_);
  painter.setPen(QPen(Qt::black, 1));
  for (const QLine& line : lines_) painter.drawLine(line);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  event->accept();
  const MouseArgs a = PressArgs(*event);
  emit mouseDown(a.button, a.shift, a.x, a.y);
}

}  // namespace tamso
