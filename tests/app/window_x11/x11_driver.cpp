#include "tests/app/window_x11/x11_driver.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QWindow>
#include <cstdlib>
#include <memory>

namespace tamso::x11test {

namespace {

// Shell functions every script may use.
constexpr const char* kXdoFunctions = R"sh(
# find_window NAME [EXCLUDE] [TENTHS]: prints the first visible window titled exactly NAME
# other than EXCLUDE, waiting up to TENTHS tenths of a second (20 s by default).
find_window() {
  local tries=${3:-200} id
  for _ in $(seq 1 "$tries"); do
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
      [ "$id" != "${2:-}" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
# visible ID: true while the window is mapped.
visible() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
# press_until_gone ID KEY: presses KEY in the window until it goes (a completion list may
# take the first press), five times at most.
press_until_gone() {
  for _ in 1 2 3 4 5; do
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key "$2"
    for _ in $(seq 1 10); do visible "$1" || return 0; sleep 0.1; done
  done
  return 1
}
)sh";

template <typename T>
using XReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* Connection() {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t Root(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

}  // namespace

ScriptRun RunScript(const QString& script, const QStringList& args, int timeoutMs) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(timeoutMs);
  process.start(QStringLiteral("bash"),
                QStringList{QStringLiteral("-c"), QString::fromLatin1(kXdoFunctions) + script,
                            QStringLiteral("tamso-user")} +
                    args);
  if (process.state() != QProcess::NotRunning) loop.exec();

  ScriptRun run;
  run.finished = process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit;
  if (!run.finished) {
    process.kill();
    process.waitForFinished(2000);
  }
  run.exitCode = run.finished ? process.exitCode() : -1;
  run.output = QString::fromLocal8Bit(process.readAll());
  return run;
}

ScriptRun Xdotool(const QStringList& args, int timeoutMs) {
  return RunScript(QStringLiteral("exec xdotool \"$@\""), args, timeoutMs);
}

QStringList PointerTo(QPoint screen) {
  return {QStringLiteral("mousemove"), QString::number(screen.x() + 1), QString::number(screen.y() + 1),
          QStringLiteral("mousemove"), QStringLiteral("--sync"),        QString::number(screen.x()),
          QString::number(screen.y())};
}

bool SpinUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::sendPostedEvents();
    QEventLoop idle;
    QTimer::singleShot(10, &idle, &QEventLoop::quit);
    idle.exec();
  }
  return true;
}

void Spin(int ms) {
  QElapsedTimer clock;
  clock.start();
  SpinUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

bool WaitExposed(const QWidget* window, int timeoutMs) {
  return SpinUntil([window] { return window->windowHandle() && window->windowHandle()->isExposed(); },
                   timeoutMs);
}

QPoint ScreenOrigin(const QWidget* window) {
  xcb_connection_t* c = Connection();
  if (!c) return {};
  auto cookie = xcb_translate_coordinates(c, static_cast<xcb_window_t>(window->winId()), Root(c), 0, 0);
  XReply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(c, cookie, nullptr),
                                                  &std::free);
  return reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint();
}

QRegion BoundingShape(const QWidget* window) {
  xcb_connection_t* c = Connection();
  if (!c) return {};
  auto cookie =
      xcb_shape_get_rectangles(c, static_cast<xcb_window_t>(window->winId()), XCB_SHAPE_SK_BOUNDING);
  XReply<xcb_shape_get_rectangles_reply_t> reply(xcb_shape_get_rectangles_reply(c, cookie, nullptr),
                                                 &std::free);
  QRegion shape;
  if (!reply) return shape;
  const xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(reply.get());
  const int count = xcb_shape_get_rectangles_rectangles_length(reply.get());
  for (int i = 0; i < count; ++i) shape += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
  return shape;
}

QPoint SettledOrigin(const QWidget* window) {
  QPoint last = ScreenOrigin(window);
  int unchanged = 0;
  SpinUntil(
      [&] {
        Spin(100);
        const QPoint now = ScreenOrigin(window);
        unchanged = now == last ? unchanged + 1 : 0;
        last = now;
        return unchanged >= 3;
      },
      5000);
  return last;
}

bool Activate(QWidget* window) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    window->raise();
    window->activateWindow();
    Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), XId(window)}, 5000);
    if (SpinUntil([window] { return QApplication::activeWindow() == window; }, 1000)) return true;
  }
  return false;
}

QString XId(const QWidget* window) { return QString::number(window->winId()); }

ModalWatchdog::ModalWatchdog(int seconds) {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  timer_.start(seconds * 1000);
}

ModalRecorder::ModalRecorder() {
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == last_) return;
    last_ = modal;
    titles_ << modal->windowTitle();
    texts_ << modal->property("text").toString();
  });
  timer_.start(30);
}

}  // namespace tamso::x11test
