#include "platform/user32/window_messages.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cstring>

#include "platform/user32/qt_window_handles.h"
#include "platform/user32/qt_x11.h"

namespace tamso {

namespace {

MoveMode g_lastMoveMode = MoveMode::None;
std::function<bool()> g_moveProbe;
std::function<void(HWND, UINT)> g_moveRecorder;

constexpr int kKeyboardStep = 8;
// _NET_WM_MOVERESIZE directions.
constexpr std::uint32_t kMoveResizeMoveKeyboard = 10;
constexpr std::uint32_t kMoveResizeCancel = 11;

// True when a window manager is running and lists _NET_WM_MOVERESIZE among what it supports.
bool X11WindowManagerCanMove() {
  xcb_connection_t* c = X11Connection();
  if (!c) return false;
  const xcb_atom_t supported = InternAtom(c, "_NET_SUPPORTED");
  const xcb_atom_t moveResize = InternAtom(c, "_NET_WM_MOVERESIZE");
  const xcb_atom_t check = InternAtom(c, "_NET_SUPPORTING_WM_CHECK");
  if (supported == XCB_ATOM_NONE || moveResize == XCB_ATOM_NONE || check == XCB_ATOM_NONE) return false;

  auto propertyWords = [c](xcb_atom_t property, xcb_atom_t type) {
    std::vector<std::uint32_t> words;
    auto cookie = xcb_get_property(c, 0, RootWindow(c), property, type, 0, 4096);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (reply && reply->format == 32) {
      const int n = xcb_get_property_value_length(reply) / 4;
      words.resize(static_cast<std::size_t>(n));
      std::memcpy(words.data(), xcb_get_property_value(reply), words.size() * 4);
    }
    std::free(reply);
    return words;
  };
  if (propertyWords(check, XCB_ATOM_WINDOW).empty()) return false;
  for (std::uint32_t atom : propertyWords(supported, XCB_ATOM_ATOM)) {
    if (atom == moveResize) return true;
  }
  return false;
}

bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

// A Wayland compositor always moves its windows: a window cannot place itself there.
bool WindowManagerCanMove() {
  if (g_moveProbe) return g_moveProbe();
  return OnWayland() || X11WindowManagerCanMove();
}

// Sends the window manager a _NET_WM_MOVERESIZE request for `window`.
bool SendMoveResize(QWidget* window, std::uint32_t direction, std::uint32_t button) {
  xcb_connection_t* c = X11Connection();
  if (!c) return false;
  const xcb_atom_t moveResize = InternAtom(c, "_NET_WM_MOVERESIZE");
  if (moveResize == XCB_ATOM_NONE) return false;
  const QPoint cursor = QCursor::pos();
  xcb_client_message_event_t event;
  std::memset(&event, 0, sizeof event);
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = static_cast<xcb_window_t>(window->winId());
  event.type = moveResize;
  event.data.data32[0] = static_cast<std::uint32_t>(cursor.x());
  event.data.data32[1] = static_cast<std::uint32_t>(cursor.y());
  event.data.data32[2] = direction;
  event.data.data32[3] = button;
  event.data.data32[4] = 1;  // a normal application asks
  xcb_send_event(c, 0, RootWindow(c),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(c);
  return true;
}

// Asks the window manager for its keyboard move of `window`.
bool StartWindowManagerKeyboardMove(QWidget* window) {
  return SendMoveResize(window, kMoveResizeMoveKeyboard, 0);
}

// Whether the X server has the left button down now. Qt's own idea of the buttons lags
// behind by the events it has not read yet.
bool LeftButtonHeldOnServer() {
  xcb_connection_t* c = X11Connection();
  if (!c) return QGuiApplication::mouseButtons() & Qt::LeftButton;
  auto cookie = xcb_query_pointer(c, RootWindow(c));
  xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(c, cookie, nullptr);
  const bool held = reply && (reply->mask & XCB_KEY_BUT_MASK_BUTTON_1);
  std::free(reply);
  return held;
}

// A window manager takes the pointer when it starts the move. When the left button comes
// up before it got there, the release reaches us instead and the manager would wait for
// a release that never comes, moving the window with the bare mouse: on that release the
// move is called off. The first press ends the watch (the manager had the pointer in time).
class LateReleaseWatch : public QObject {
 public:
  explicit LateReleaseWatch(QWidget* window) : QObject(window), window_(window) {
    qApp->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool lateRelease = event->type() == QEvent::MouseButtonRelease &&
                             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (lateRelease) SendMoveResize(window_, kMoveResizeCancel, 0);
    if (press || lateRelease) {
      qApp->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }

 private:
  QWidget* window_;
};

// Our own move loops, for a desktop without a window manager. Each runs a local event
// loop that ends when the move ends or the window goes away.
class MoveLoop : public QObject {
 public:
  explicit MoveLoop(QWidget* window)
      : window_(window), startWindow_(window->pos()), startCursor_(QCursor::pos()) {
    connect(window, &QObject::destroyed, &loop_, &QEventLoop::quit);
  }

  void runByMouse() {
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) return;
    byMouse_ = true;
    window_->grabMouse();
    run();
    if (window_) window_->releaseMouse();
  }

  void runByKeyboard() {
    window_->grabKeyboard();
    run();
    if (window_) window_->releaseKeyboard();
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (!window_) return false;
    switch (event->type()) {
      case QEvent::MouseMove:
        if (byMouse_) {
          window_->move(startWindow_ +
                        (static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - startCursor_));
          return true;
        }
        break;
      case QEvent::MouseButtonRelease:
        if (byMouse_ && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
          loop_.quit();
          return true;
        }
        break;
      case QEvent::KeyPress:
        if (!byMouse_) return handleKey(static_cast<QKeyEvent*>(event)->key());
        break;
      default:
        break;
    }
    return false;
  }

 private:
  void run() {
    qApp->installEventFilter(this);
    loop_.exec();
    qApp->removeEventFilter(this);
  }

  bool handleKey(int key) {
    switch (key) {
      case Qt::Key_Left:
        window_->move(window_->pos() + QPoint(-kKeyboardStep, 0));
        return true;
      case Qt::Key_Right:
        window_->move(window_->pos() + QPoint(kKeyboardStep, 0));
        return true;
      case Qt::Key_Up:
        window_->move(window_->pos() + QPoint(0, -kKeyboardStep));
        return true;
      case Qt::Key_Down:
        window_->move(window_->pos() + QPoint(0, kKeyboardStep));
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        loop_.quit();
        return true;
      case Qt::Key_Escape:
        window_->move(startWindow_);
        loop_.quit();
        return true;
      default:
        return true;  // the move owns the keyboard until it ends
    }
  }

  QPointer<QWidget> window_;
  QPoint startWindow_;
  QPoint startCursor_;
  QEventLoop loop_;
  bool byMouse_ = false;
};

LRESULT MoveByMouse(QWidget* window) {
  QWindow* handle = window->windowHandle();
  if (handle && WindowManagerCanMove()) {
    // A click that is already over (press and release read together) moves nothing.
    if (!LeftButtonHeldOnServer()) {
      g_lastMoveMode = MoveMode::None;
      return 0;
    }
    if (handle->startSystemMove()) {
      g_lastMoveMode = MoveMode::WindowManager;
      new LateReleaseWatch(window);
      return 0;
    }
  }
  g_lastMoveMode = MoveMode::OwnMouseLoop;
  MoveLoop(window).runByMouse();
  return 0;
}

LRESULT MoveByKeyboard(QWidget* window) {
  // Wayland has no request for a compositor's keyboard move, and a window cannot move
  // itself: our own loop would only swallow keys, so nothing happens.
  if (OnWayland()) {
    g_lastMoveMode = MoveMode::None;
    return 0;
  }
  if (WindowManagerCanMove() && StartWindowManagerKeyboardMove(window)) {
    g_lastMoveMode = MoveMode::WindowManager;
    return 0;
  }
  g_lastMoveMode = MoveMode::OwnKeyboardLoop;
  MoveLoop(window).runByKeyboard();
  return 0;
}

// Hands a move request to the recorder when one is set; true when it took the request.
bool Recorded(QWidget* window, UINT message) {
  if (!g_moveRecorder) return false;
  g_moveRecorder(HwndForWidget(window), message);
  return true;
}

}  // namespace

MoveMode LastMoveMode() { return g_lastMoveMode; }

void SetWindowManagerMoveProbe(std::function<bool()> probe) { g_moveProbe = std::move(probe); }

void SetMoveRequestRecorder(std::function<void(HWND, UINT)> record) { g_moveRecorder = std::move(record); }

}  // namespace tamso

BOOL ReleaseCapture() {
  QWidget* grabber = QWidget::mouseGrabber();
  if (!grabber) return FALSE;
  grabber->releaseMouse();
  return TRUE;
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM /*lParam*/) {
  QWidget* widget = tamso::WidgetForHwnd(hWnd);
  if (!widget) return 0;
  QWidget* window = widget->window();
  if (Msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION)
    return tamso::Recorded(window, Msg) ? 0 : tamso::MoveByMouse(window);
  if (Msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MOVE)
    return tamso::Recorded(window, Msg) ? 0 : tamso::MoveByKeyboard(window);
  return 0;
}
