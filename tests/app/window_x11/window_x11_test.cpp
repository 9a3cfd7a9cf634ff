// The window on a real X server with a window manager, used as a person uses it: xdotool
// (in its own process, while this process's event loop runs) moves the mouse and presses
// keys, and the tests look at what the X server, the labels and a screenshot then show.
// Run through tests/support/run-x11.sh --wm (the own moves also without --wm); every
// wait here is bounded.
#include <gtest/gtest.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QBitmap>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <memory>

#include "app/frmTamso.h"
#include "platform/user32/qt_desktop.h"
#include "platform/user32/window_messages.h"
#include "tests/support/avi_writer.h"

inline void PrintTo(const QPoint& point, std::ostream* out) { *out << point.x() << "," << point.y(); }

namespace tamso::x11test {
namespace {

// Shell functions for the scripts. find_window NAME [EXCLUDE] [TENTHS]: the first visible
// window titled exactly NAME other than EXCLUDE, waiting up to TENTHS tenths of a second.
// press_until_gone ID KEY: presses KEY in the window until it goes (a completion list may
// take the first press), five times at most.
constexpr const char* kXdoFunctions = R"sh(
find_window() {
  for _ in $(seq 1 "${3:-200}"); do
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
      [ "$id" != "${2:-}" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
visible() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
press_until_gone() {
  for _ in 1 2 3 4 5; do
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key "$2"
    for _ in $(seq 1 10); do visible "$1" || return 0; sleep 0.1; done
  done
  return 1
}
)sh";

bool SpinUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  for (clock.start(); !done(); QThread::msleep(10)) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}
void Spin(int ms) {
  SpinUntil([] { return false; }, ms);
}

// Runs a bash script (with $1... from `args`) for at most `timeoutMs`, processing this
// process's events meanwhile (a modal dialog may run inside). Success: it ended by itself
// with status 0; its output comes with a failure.
::testing::AssertionResult RunScript(const QString& script, const QStringList& args = {},
                                     int timeoutMs = 30000) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start("bash", QStringList{"-c", QString::fromLatin1(kXdoFunctions) + script, "tamso-user"} + args);
  SpinUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
  if (process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit &&
      process.exitCode() == 0)
    return ::testing::AssertionSuccess();
  process.kill(), process.waitForFinished(2000);
  return ::testing::AssertionFailure() << process.readAll().toStdString();
}

// One xdotool command chain, its words separated by spaces.
::testing::AssertionResult Xdotool(const QString& chain) {
  return RunScript("exec xdotool \"$@\"", chain.split(' '), 20000);
}

// Puts the pointer on `screen` and waits until it is there ("mousemove --sync" to where
// the pointer already is waits long, so it goes one pixel off first).
QString PointerTo(QPoint screen) {
  return QString("mousemove %1 %2 mousemove --sync %3 %2")
      .arg(screen.x() + 1)
      .arg(screen.y())
      .arg(screen.x());
}

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;
xcb_connection_t* Connection() {
  return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

// Where the X server has the window's top-left corner on the screen.
QPoint ScreenOrigin(const QWidget* window) {
  xcb_connection_t* c = Connection();
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const XcbReply<xcb_translate_coordinates_reply_t> reply(
      xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window->winId(), root, 0, 0), nullptr),
      &std::free);
  return reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint();
}

// The window's bounding shape as the X server holds it, in window coordinates.
QRegion BoundingShape(const QWidget* window) {
  xcb_connection_t* c = Connection();
  const XcbReply<xcb_shape_get_rectangles_reply_t> reply(
      xcb_shape_get_rectangles_reply(c, xcb_shape_get_rectangles(c, window->winId(), XCB_SHAPE_SK_BOUNDING),
                                     nullptr),
      &std::free);
  QRegion shape;
  for (int i = 0; reply && i < xcb_shape_get_rectangles_rectangles_length(reply.get()); ++i) {
    const xcb_rectangle_t r = xcb_shape_get_rectangles_rectangles(reply.get())[i];
    shape += QRect(r.x, r.y, r.width, r.height);
  }
  return shape;
}

// The window's place once it has stayed the same for three tenths of a second.
QPoint SettledOrigin(const QWidget* window) {
  QPoint last = ScreenOrigin(window);
  for (int unchanged = 0, tries = 0; unchanged < 3 && tries < 50; ++tries) {
    Spin(100);
    const QPoint now = ScreenOrigin(window);
    unchanged = now == last ? unchanged + 1 : 0;
    last = now;
  }
  return last;
}

QString XId(const QWidget* window) { return QString::number(window->winId()); }

// Notes the title, text and owner of every modal dialog that shows while it lives, and
// closes any still open after a minute, so that a test which goes wrong fails instead of
// hanging.
struct ModalRecorder {
  ModalRecorder() {
    poll.callOnTimeout([this] {
      const QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal == last) return;
      last = modal;
      titles << modal->windowTitle();
      texts << modal->property("text").toString();
      owners << modal->parentWidget();
    });
    watchdog.callOnTimeout([] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    poll.start(30);
    watchdog.start(60000);
  }
  QTimer poll, watchdog;
  const QWidget* last = nullptr;
  QStringList titles, texts;
  QList<const QWidget*> owners;
};

// The picture as shipped; its pure black pixels are cut out of the window.
QImage Picture() { return QImage(kBackgroundResource).convertToFormat(QImage::Format_RGB32); }

class WindowOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<frmTamso>();
    form_->move(200, 150);
    form_->show();
    ASSERT_TRUE(
        SpinUntil([&] { return form_->windowHandle() && form_->windowHandle()->isExposed(); }, 10000));
    origin_ = SettledOrigin(form_.get());
    light_ = lightPoint();
  }
  void TearDown() override {
    form_.reset();
    Spin(100);
  }
  QPoint onScreen(QPoint inForm) const { return ScreenOrigin(form_.get()) + inForm; }
  QPoint centreOf(const QWidget* control) const {
    return control->mapTo(form_.get(), control->rect().center());
  }

  // A point of the picture whose 13 x 13 neighbourhood is light (each channel 200 or
  // more) and shows no control.
  QPoint lightPoint() const {
    const auto clear = [&](QPoint p) {
      const QRgb c = picture_.pixel(p);
      return std::min({qRed(c), qGreen(c), qBlue(c)}) >= 200 && form_->childAt(p) == form_->picBackground;
    };
    for (int y = 6; y < picture_.height() - 6; y += 2) {
      for (int x = 6; x < picture_.width() - 6; x += 2) {
        int d = 0;
        while (d < 169 && clear({x + d % 13 - 6, y + d / 13 - 6})) ++d;
        if (d == 169) return {x, y};
      }
    }
    ADD_FAILURE() << "no light spot of the picture outside the controls";
    return {300, 420};
  }

  // Presses `button` at `from` (form coordinates), moves the mouse along `steps` (each
  // relative to the press point) with short pauses, releases, and returns how far the
  // window moved. The bare mouse moving on afterwards must not take the window.
  QPoint drag(QPoint from, const std::vector<QPoint>& steps, const QString& button = "1") {
    const QPoint start = onScreen(from), before = SettledOrigin(form_.get());
    QString chain = PointerTo(start) + " sleep 0.3 mousedown " + button + " sleep 0.3";
    for (QPoint step : steps)
      chain +=
          QString(" mousemove --sync %1 %2 sleep 0.15").arg(start.x() + step.x()).arg(start.y() + step.y());
    EXPECT_TRUE(Xdotool(chain + " sleep 0.2 mouseup " + button));
    const QPoint after = SettledOrigin(form_.get()), end = start + steps.back();
    Xdotool("sleep 0.2 " + PointerTo(end + QPoint(25, 15)) + " sleep 0.2 " + PointerTo(end + QPoint(50, 30)) +
            " sleep 0.3");
    EXPECT_EQ(SettledOrigin(form_.get()), after) << "the window followed the mouse after the release";
    return after - before;
  }

  QImage picture_ = Picture();
  std::unique_ptr<frmTamso> form_;
  QPoint origin_, light_;
};

// Counts the mouse presses that reach each top-level window's QWindow (each reaches it once).
struct PressCounter : QObject {
  PressCounter() { qApp->installEventFilter(this); }
  ~PressCounter() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) ++presses[receiver];
    return false;
  }
  std::map<const QObject*, int> presses;
};

TEST_F(WindowOnX11, ShapeIsThePictureWithoutItsBlackPixelsAndClicksThereReachTheWindowBehind) {
  ASSERT_EQ(picture_.size(), QSize(551, 502));
  // Every pixel that is not pure black, as a region.
  const QRegion expected(QBitmap::fromImage(picture_.createMaskFromColor(qRgb(0, 0, 0), Qt::MaskInColor)));
  const QRegion shape = BoundingShape(form_.get());
  EXPECT_TRUE(expected.xored(shape).isEmpty()) << expected.xored(shape).rectCount() << " rectangles differ";
  EXPECT_FALSE(shape.contains(QPoint(1, 1)));
  EXPECT_TRUE(shape.contains(light_));

  // A plain window under the form, larger than it, kept below it by the window manager.
  QWidget behind(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint);
  behind.setGeometry(QRect(origin_ - QPoint(40, 40), QSize(640, 590)));
  behind.show();
  form_->raise();
  ASSERT_TRUE(SpinUntil([&] { return behind.windowHandle()->isExposed(); }, 10000));
  ASSERT_TRUE(QRect(SettledOrigin(&behind), behind.size()).contains(QRect(origin_, form_->size())));
  PressCounter counter;
  for (const QPoint at : {light_, QPoint(1, 1), light_}) {
    counter.presses.clear();
    EXPECT_TRUE(Xdotool(PointerTo(onScreen(at)) + " sleep 0.2 mousedown 1 sleep 0.1 mouseup 1"));
    // The press reaches one of the two windows; a loaded machine only makes it late.
    SpinUntil([&] { return counter.presses.size() > 0; }, 10000);
    SCOPED_TRACE(::testing::PrintToString(at));
    EXPECT_EQ(counter.presses[form_->windowHandle()], at == light_ ? 1 : 0);
    EXPECT_EQ(counter.presses[behind.windowHandle()], at == light_ ? 0 : 1);
  }
  EXPECT_EQ(SettledOrigin(form_.get()), origin_) << "the clicks moved the window";
}

// A move works the same whether the window manager moves the window or, without one, the
// window follows the mouse or the arrow keys itself.
class MoveOnX11 : public WindowOnX11, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    if (!GetParam()) SetWindowManagerMoveProbe([] { return false; });
    WindowOnX11::SetUp();
  }
  void TearDown() override {
    SetWindowManagerMoveProbe({});
    WindowOnX11::TearDown();
  }
};

TEST_P(MoveOnX11, OnlyALeftDragOnThePictureOrTheResultsMovesTheWindow) {
  const std::vector<QPoint> steps{{4, 3}, {15, 10}, {30, 20}, {45, 30}, {60, 40}};
  EXPECT_EQ(drag(light_, steps), QPoint(60, 40));
  EXPECT_EQ(LastMoveMode(), GetParam() ? MoveMode::WindowManager : MoveMode::OwnMouseLoop);
  // Over lblResults the move starts at the first mouse move, so that step is not part of it.
  EXPECT_EQ(drag(centreOf(form_->lblResults), steps), QPoint(60, 40) - steps.front());
  EXPECT_EQ(drag(light_, steps, "3"), QPoint()) << "right drag on the picture";
  EXPECT_EQ(drag(light_, steps, "2"), QPoint()) << "middle drag on the picture";
  EXPECT_EQ(drag(centreOf(form_->lblTitle), steps), QPoint()) << "left drag from lblTitle";

  // A quick click ends the move before it begins: the bare mouse moving on leaves the window.
  const QPoint before = SettledOrigin(form_.get());
  EXPECT_TRUE(Xdotool(PointerTo(onScreen(light_)) + " sleep 0.2 click 1 sleep 0.3 " +
                      PointerTo(onScreen(light_) + QPoint(40, 30)) + " sleep 0.3"));
  EXPECT_EQ(SettledOrigin(form_.get()), before) << "after a quick click";
}

// Presses KEY until the window WINDOW moves (the move may begin late), then each key of
// THEN, each time waiting for the window to move, and then END.
constexpr const char* kKeyboardMove = R"sh(
window=$1 key=$2 then=$3 end=$4
place() { xwininfo -id "$window" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x","y}'; }
moved_from() { for _ in $(seq 1 30); do [ "$(place)" != "$1" ] && return 0; sleep 0.1; done; return 1; }
start=$(place)
for _ in 1 2 3 4 5; do xdotool key "$key"; moved_from "$start" && break; done
[ "$(place)" != "$start" ] || { echo "$key did not move the window"; exit 3; }
for k in $then; do
  at=$(place)
  xdotool key "$k"
  moved_from "$at" || { echo "$k did not move the window"; exit 4; }
done
xdotool key "$end"
)sh";

TEST_P(MoveOnX11, ArrowKeysMoveTheWindowEnterKeepsThePlaceEscPutsItBack) {
  const QPoint start = SettledOrigin(form_.get());
  // The own keyboard move runs its loop inside the call, so the call comes from the loop.
  QTimer::singleShot(0, form_.get(), [&] { form_->MoveWithKeys(); });
  ASSERT_TRUE(RunScript(kKeyboardMove, {XId(form_.get()), "Right", "Down", "Return"}));
  EXPECT_EQ(LastMoveMode(), GetParam() ? MoveMode::WindowManager : MoveMode::OwnKeyboardLoop);
  const QPoint kept = SettledOrigin(form_.get());
  EXPECT_GT(kept.x(), start.x());
  EXPECT_GT(kept.y(), start.y());
  // Enter ended the move: an arrow key now leaves the window where it is.
  EXPECT_TRUE(Xdotool("key Right sleep 0.5"));
  EXPECT_EQ(SettledOrigin(form_.get()), kept);

  QTimer::singleShot(0, form_.get(), [&] { form_->MoveWithKeys(); });
  ASSERT_TRUE(RunScript(kKeyboardMove, {XId(form_.get()), "Left", "Up", "Escape"}));
  EXPECT_EQ(SettledOrigin(form_.get()), kept) << "Esc puts the window back";
}

INSTANTIATE_TEST_SUITE_P(Moves, MoveOnX11, ::testing::Values(true, false), [](const auto& info) {
  return std::string(info.param ? "ByWindowManager" : "ByOwnLoop");
});

// Presses alt+KEY in the form (activating it again when nothing opens), waits for the
// window titled TITLE other than the form, types TEXT there and presses Return until it
// closes.
constexpr const char* kAnswerDialog = R"sh(
form=$1 key=$2 title=$3 text=$4
dialog=
for _ in 1 2 3; do
  xdotool windowactivate --sync "$form" 2>/dev/null || true
  sleep 0.2
  xdotool key "alt+$key"
  dialog=$(find_window "$title" "$form" 50) && break
done
[ -n "$dialog" ] || { echo "no window titled $title"; exit 3; }
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
sleep 0.5
[ -z "$text" ] || xdotool type --delay 30 "$text"
press_until_gone "$dialog" Return || { echo "the window stayed open"; exit 4; }
)sh";

TEST_F(WindowOnX11, AltHShowsTheHelpAndAltBATypedPathAndEnterShowTheReport) {
  InstallQtMessageBoxes();
  for (int attempt = 0; attempt < 5 && QApplication::activeWindow() != form_.get(); ++attempt) {
    form_->activateWindow();
    Xdotool("windowactivate --sync " + XId(form_.get()));
    SpinUntil([&] { return QApplication::activeWindow() == form_.get(); }, 1000);
  }
  ASSERT_EQ(QApplication::activeWindow(), form_.get());
  test::AviLayout layout;
  layout.streams[0].handler = "XVID";
  layout.framesPerForm = {400};
  test::TempDir dir;
  const std::string path = dir.write("clip.avi", test::BuildAvi(layout));

  ModalRecorder dialogs;
  ASSERT_TRUE(RunScript(kAnswerDialog, {XId(form_.get()), "h", "Tamso AVI", ""}, 70000));
  SpinUntil([] { return QApplication::activeModalWidget() == nullptr; }, 5000);
  ASSERT_EQ(dialogs.titles, QStringList{"Tamso AVI"});
  const QString help = dialogs.texts.front();
  EXPECT_TRUE(
      help.startsWith("This program allows you gets some informations about a AVI file.\n"
                      "Resolution, rate and length of the file are useful. But it also gives you \n"
                      "the codec used in the AVI file. The program is limited to the first video stream.\n"))
      << help.toStdString();
  EXPECT_TRUE(help.count('\n') == 6 && help.contains("\n\n")) << "seven lines, the fifth empty";
  EXPECT_EQ(dialogs.owners.front(), form_.get());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(form_->lblResults->caption(), "") << "the help changes no label";

  ASSERT_TRUE(RunScript(
      kAnswerDialog, {XId(form_.get()), "b", "Select an avi file...", QString::fromStdString(path)}, 70000));
  ASSERT_TRUE(SpinUntil([&] { return form_->lblResults->caption() != "Please wait..."; }, 5000));
  EXPECT_EQ(dialogs.titles, (QStringList{"Tamso AVI", "Select an avi file..."}));
  EXPECT_EQ(form_->lblTitle->caption().toStdString(), path);
  EXPECT_EQ(form_->lblResults->caption().toStdString(),
            "Resolution: 320x240 Number of streams: 1\r\nRate:25 Length:400\r\nVideo codec used: XVID\r\n"
            "Infos: Xvid - open-source MPEG-4 Visual video codec");
}

const QString kProgram = TAMSO_AVI_PROGRAM;

TEST(ProgramOnX11, AltQEndsTheProgramWithStatusZero) {
  QProcess program;
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.setWorkingDirectory(QFileInfo(kProgram).absolutePath());
  program.start(kProgram, {});
  ASSERT_TRUE(program.waitForStarted(10000)) << kProgram.toStdString();
  // The main window takes the access key once the window manager has made it active.
  EXPECT_TRUE(RunScript(R"sh(window=$(find_window "Tamso AVI") || exit 3
for _ in 1 2 3; do
  xdotool windowactivate --sync "$window" 2>/dev/null && sleep 0.3 && xdotool key alt+q
  for _ in $(seq 1 30); do visible "$window" || exit 0; sleep 0.1; done
done
exit 4)sh",
                        {}, 40000));
  EXPECT_TRUE(program.state() == QProcess::NotRunning || program.waitForFinished(5000))
      << "the program was still running 5 s after its window went";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
}

// The README's screenshot as screenshot.sh takes it: the controls drawn at their places
// and the lines on the picture. (The desktop through the cut-out pixels and the picture
// everywhere else are shot_check's, on each desktop.)
TEST(ProgramOnX11, ScreenshotShowsTheControlsOnThePicture) {
  QTemporaryDir dir;
  const QString file = dir.filePath("window.png");
  ASSERT_TRUE(RunScript("exec bash \"$1\" \"$2\" \"$3\"", {TAMSO_SCREENSHOT_SCRIPT, file, kProgram}, 60000));
  const QImage shot = QImage(file).convertToFormat(QImage::Format_RGB32), picture = Picture();
  ASSERT_EQ(shot.size(), QSize(551, 502));
  const frmTamso places;  // not shown: where the controls sit
  // Controls drawn over the picture, with the share of their pixels that must differ from it.
  const std::pair<const QWidget*, int> drawn[] = {
      {places.cmdInfos, 2}, {places.cmdHelp, 2}, {places.cmdQuit, 2}, {places.Label1, 20}};
  for (const auto& [control, share] : drawn) {
    int differing = 0;
    for (int y = control->y(); y <= control->geometry().bottom(); ++y)
      for (int x = control->x(); x <= control->geometry().right(); ++x)
        differing += (shot.pixel(x, y) & 0xFFFFFF) != (picture.pixel(x, y) & 0xFFFFFF);
    EXPECT_GT(differing, control->width() * control->height() / share)
        << control->objectName().toStdString() << " is not drawn";
  }
  for (const QLine& line : places.picBackground->lines())
    for (int x = line.x1(); x < line.x2(); ++x)
      EXPECT_EQ(shot.pixel(x, line.y1()) & 0xFFFFFF, 0u) << "line at " << x;
}

}  // namespace
}  // namespace tamso::x11test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  if (QGuiApplication::platformName() != "xcb") {
    fprintf(stderr, "these tests need an X server (run them through tests/support/run-x11.sh --wm)\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
