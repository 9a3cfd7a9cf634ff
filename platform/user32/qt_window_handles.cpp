#include "platform/user32/qt_window_handles.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include "platform/user32/window_table.h"

namespace tamso {

namespace {

constexpr const char* kHandleProperty = "tamsoHwnd";

class QtWindow : public Window {
 public:
  explicit QtWindow(QWidget* widget) : widget_(widget) {}
  QWidget* widget() const override { return widget_.data(); }

 private:
  QPointer<QWidget> widget_;
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
