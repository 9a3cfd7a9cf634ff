#include "platform/user32/qt_window_handles.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <vector>

#include "platform/user32/qt_x11.h"
#include "platform/user32/window_table.h"

namespace tamso {

namespace {

constexpr const char* kHandleProperty = "tamsoHwnd";

// Whether a window's outline must come from the alpha of its pixels. An X server without
// a compositing manager draws the SHAPE itself; a compositor (on X11 or Wayland, and
// Wayland's XWayland) draws each window from its pixels and ignores the SHAPE.
bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

bool OutlineNeedsAlpha() {
  const QString platform = QGuiApplication::platformName();
  if (OnWayland()) return true;
  if (platform == QLatin1String("xcb")) return X11CompositingManagerRunning() || X11ServerIsXWayland();
  return false;
}

// Qt's Wayland platform drops a mask given before the window's surface exists, which is
// made when the window first shows: the mask is handed to the window again once it shows.
class WaylandMaskKeeper : public QObject {
 public:
  explicit WaylandMaskKeeper(QWidget* widget) : QObject(widget), widget_(widget) {
    widget->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show)
      QTimer::singleShot(0, this, [this] {
        if (QWindow* window = widget_->windowHandle()) window->setMask(widget_->mask());
      });
    return false;
  }

 private:
  QWidget* widget_;
};

class QtWindow : public Window {
 public:
  explicit QtWindow(QWidget* widget) : widget_(widget) {}
  QWidget* widget() const override { return widget_.data(); }

 protected:
  // The region becomes the widget's mask: on X11 the window's SHAPE (bounding, and so
  // input too), on Wayland the surface's input region. Where a compositor draws the
  // window, the window also gets an alpha channel, so that the pixels outside the mask,
  // which the window's painting leaves alone, stay fully transparent. The alpha channel
  // is chosen when the native window is made: a window already on screen keeps what it has.
  void applyRegion(const Region* region) override {
    if (!widget_) return;
    if (!region) {
      widget_->clearMask();
      return;
    }
    if (widget_->isWindow() && !widget_->testAttribute(Qt::WA_WState_Created) && OutlineNeedsAlpha())
      widget_->setAttribute(Qt::WA_TranslucentBackground);
    if (widget_->isWindow() && OnWayland() && !maskKeeper_) maskKeeper_ = new WaylandMaskKeeper(widget_);
    widget_->setMask(MaskFor(*region));
  }

 private:
  // Window coordinates start at the frame's corner, the mask's at the widget's.
  QRegion MaskFor(const Region& region) const {
    std::vector<QRect> rects;
    rects.reserve(region.rectCount());
    region.forEachRect(
        [&](const RECT& r) { rects.emplace_back(r.left, r.top, r.right - r.left, r.bottom - r.top); });
    QRegion mask;
    // An empty mask would mean no mask at all; a pixel outside the widget hides all of it.
    if (rects.empty())
      mask = QRegion(-1, -1, 1, 1);
    else
      mask.setRects(rects.data(), static_cast<int>(rects.size()));
    if (widget_->isWindow()) {
      const QPoint frameOffset = widget_->geometry().topLeft() - widget_->frameGeometry().topLeft();
      mask.translate(-frameOffset);
    }
    return mask;
  }

  QPointer<QWidget> widget_;
  QPointer<WaylandMaskKeeper> maskKeeper_;  // owned by the widget
};

}  // namespace

HWND HwndForWidget(QWidget* widget) {
  if (!widget) return 0;
  const QVariant known = widget->property(kHandleProperty);
  if (known.isValid()) return known.value<HWND>();
  const HWND hWnd = RegisterWindow(std::make_shared<QtWindow>(widget));
  widget->setProperty(kHandleProperty, QVariant::fromValue<HWND>(hWnd));
  QObject::connect(widget, &QObject::destroyed, [hWnd] { UnregisterWindow(hWnd); });
  return hWnd;
}

QWidget* WidgetForHwnd(HWND hWnd) {
  const auto window = FindWindowObject(hWnd);
  return window ? window->widget() : nullptr;
}

}  // namespace tamso
