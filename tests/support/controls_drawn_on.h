#pragma once
// Where the window's controls and lines are drawn over its picture, with a margin of two
// pixels for anti-aliased edges: screenshot checks compare the picture everywhere else.

#include <QRect>
#include <QRegion>

#include "app/frmTamso.h"

namespace tamso::test {

inline QRegion ControlsDrawnOn(const frmTamso& places) {
  QRegion drawnOn;
  for (const QWidget* c : places.findChildren<QWidget*>())
    if (c != places.picBackground)
      drawnOn += QRect(c->mapTo(&places, QPoint()), c->size()).adjusted(-2, -2, 2, 2);
  for (const QLine& line : places.picBackground->lines())
    drawnOn += QRect(line.p1(), line.p2()).adjusted(-2, -2, 2, 2);
  return drawnOn;
}

}  // namespace tamso::test
