#pragma once
// Driving a Qt window on a real X server as a user would: xdotool runs in its own process
// while this process's event loop keeps running, and the X server is asked where a
// window is and what shape it has. Every wait here is bounded.

#include <QPoint>
#include <QRegion>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace tamso::x11test {

struct ScriptRun {
  bool finished = false;  // ended by itself within the time allowed
  int exitCode = -1;
  QString output;
};

// Runs a bash script (with $1... from `args`) to its end or for at most `timeoutMs`,
// processing this process's events meanwhile (a modal dialog may run inside).
// The script can use the functions of kXdoFunctions.
ScriptRun RunScript(const QString& script, const QStringList& args = {}, int timeoutMs = 30000);

// xdotool with `args` (one command chain), the same way.
ScriptRun Xdotool(const QStringList& args, int timeoutMs = 20000);

// xdotool commands that put the pointer on `screen` and wait until it is there. (xdotool's
// "mousemove --sync" to where the pointer already is waits many seconds, so it goes
// one pixel off first.)
QStringList PointerTo(QPoint screen);

// Processes events until `done` says yes or `timeoutMs` passes; returns `done()`.
bool SpinUntil(const std::function<bool()>& done, int timeoutMs);
void Spin(int ms);

// Waits until the window is mapped and exposed.
bool WaitExposed(const QWidget* window, int timeoutMs = 10000);

// Where the X server has the window's top-left corner on the screen.
QPoint ScreenOrigin(const QWidget* window);

// The window's bounding shape as the X server holds it, in window coordinates.
QRegion BoundingShape(const QWidget* window);

// Waits until the window's place on the screen stops changing and returns it.
QPoint SettledOrigin(const QWidget* window);

// Makes `window` the active window, asking both Qt and the window manager, a few times.
bool Activate(QWidget* window);

// The X window id as xdotool prints it.
QString XId(const QWidget* window);

// Closes any modal dialog still open when it fires, so that a test which goes wrong fails
// instead of waiting for ever.
class ModalWatchdog {
 public:
  explicit ModalWatchdog(int seconds);

 private:
  QTimer timer_;
};

// Notes the title and text of every modal dialog that shows while it lives.
class ModalRecorder {
 public:
  ModalRecorder();
  const QStringList& titles() const { return titles_; }
  const QStringList& texts() const { return texts_; }

 private:
  QTimer timer_;
  const QWidget* last_ = nullptr;
  QStringList titles_;
  QStringList texts_;
};

}  // namespace tamso::x11test
