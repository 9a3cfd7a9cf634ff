// The main window on a real X server with a window manager, used as a person uses it:
// xdotool moves the mouse and presses keys, and the tests look at what the X server and
// the window's labels then show. Run through tests/support/run-x11.sh --wm.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <memory>
#include <optional>

#include "app/frmTamso.h"
#include "platform/user32/qt_desktop.h"
#include "platform/user32/window_messages.h"
#include "tests/app/window_x11/picture_facts.h"
#include "tests/app/window_x11/x11_driver.h"
#include "tests/support/avi_writer.h"

// Points in failure messages as "x,y".
inline void PrintTo(const QPoint& point, std::ostream* out) { *out << point.x() << "," << point.y(); }

namespace tamso::x11test {
namespace {

constexpr QPoint kFormPlace{200, 150};

// Counts the mouse presses that reach each top-level window of this process.
class PressCounter : public QObject {
 public:
  PressCounter() { qApp->installEventFilter(this); }
  ~PressCounter() override { qApp->removeEventFilter(this); }
  int on(const QWidget* window) const {
    return window == form_ ? formPresses_ : window == other_ ? otherPresses_ : 0;
  }
  void watch(const QWidget* form, const QWidget* other) {
    form_ = form;
    other_ = other;
  }
  void clear() { formPresses_ = otherPresses_ = 0; }

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    // Each press reaches the top-level QWindow once, before Qt hands it to a widget.
    if (event->type() == QEvent::MouseButtonPress && receiver->isWindowType()) {
      if (form_ && receiver == static_cast<QObject*>(form_->windowHandle())) ++formPresses_;
      if (other_ && receiver == static_cast<QObject*>(other_->windowHandle())) ++otherPresses_;
    }
    return false;
  }

 private:
  const QWidget* form_ = nullptr;
  const QWidget* other_ = nullptr;
  int formPresses_ = 0;
  int otherPresses_ = 0;
};

class WindowOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<frmTamso>();
    form_->move(kFormPlace);
    form_->show();
    ASSERT_TRUE(WaitExposed(form_.get())) << "the window never showed";
    origin_ = SettledOrigin(form_.get());
  }
  void TearDown() override {
    form_.reset();
    Spin(100);
  }

  // A point of the form on the screen.
  QPoint onScreen(QPoint inForm) const { return ScreenOrigin(form_.get()) + inForm; }

  // Every control's place in the form, and the two lines drawn on the picture.
  std::vector<QRect> controlPlaces() const {
    std::vector<QRect> places;
    for (const QWidget* control :
         {static_cast<QWidget*>(form_->cmdHelp), static_cast<QWidget*>(form_->cmdInfos),
          static_cast<QWidget*>(form_->cmdQuit), static_cast<QWidget*>(form_->Label1),
          static_cast<QWidget*>(form_->lblTitle), static_cast<QWidget*>(form_->lblResults)}) {
      places.push_back(QRect(control->mapTo(form_.get(), QPoint(0, 0)), control->size()));
    }
    for (const QLine& line : form_->picBackground->lines())
      places.push_back(QRect(line.p1(), line.p2()).normalized());
    return places;
  }

  QPoint centreOf(const QWidget* control) const {
    return control->mapTo(form_.get(), QPoint(control->width() / 2, control->height() / 2));
  }

  // Presses `button` at `from` (form coordinates), moves the mouse along `steps` (each
  // relative to the press point) with short pauses, releases, and returns how far the
  // window moved on the screen.
  QPoint drag(QPoint from, const std::vector<QPoint>& steps, const QString& button = "1",
              const QString& heldKey = {}, const QString& heldButton = {}) {
    const QPoint start = onScreen(from);
    const QPoint before = SettledOrigin(form_.get());
    QStringList chain = PointerTo(start) << "sleep"
                                         << "0.3";
    if (!heldKey.isEmpty())
      chain << "keydown" << heldKey << "sleep"
            << "0.1";
    if (!heldButton.isEmpty())
      chain << "mousedown" << heldButton << "sleep"
            << "0.2";
    chain << "mousedown" << button << "sleep"
          << "0.3";
    for (QPoint step : steps) {
      chain << "mousemove"
            << "--sync" << QString::number(start.x() + step.x()) << QString::number(start.y() + step.y())
            << "sleep"
            << "0.15";
    }
    chain << "sleep"
          << "0.2"
          << "mouseup" << button;
    if (!heldButton.isEmpty())
      chain << "sleep"
            << "0.1"
            << "mouseup" << heldButton;
    if (!heldKey.isEmpty()) chain << "keyup" << heldKey;
    const ScriptRun run = Xdotool(chain);
    EXPECT_TRUE(run.finished && run.exitCode == 0) << run.output.toStdString();
    const QPoint after = SettledOrigin(form_.get());
    // The move ended with the release: the bare mouse moving on does not take the window.
    const QPoint end = start + steps.back();
    Xdotool(QStringList{"sleep", "0.2"} << PointerTo(end + QPoint(25, 15)) << "sleep"
                                        << "0.2" << PointerTo(end + QPoint(50, 30)) << "sleep"
                                        << "0.3");
    EXPECT_EQ(SettledOrigin(form_.get()), after) << "the window followed the mouse after the release";
    return after - before;
  }

  QPoint lightPoint() const {
    const std::optional<QPoint> p = LightPoint(picture_, controlPlaces());
    EXPECT_TRUE(p.has_value()) << "no light spot of the picture outside the controls";
    return p.value_or(QPoint(300, 420));
  }

  QImage picture_ = BackgroundPicture();
  std::unique_ptr<frmTamso> form_;
  QPoint origin_;
};

// Steps of a drag: small at first, 60 right and 40 down in all.
const std::vector<QPoint> kDragSteps{{4, 3}, {15, 10}, {30, 20}, {45, 30}, {60, 40}};
constexpr QPoint kDragDistance{60, 40};

TEST_F(WindowOnX11, ShapeOnTheServerIsThePictureWithoutItsBlackPixels) {
  ASSERT_FALSE(picture_.isNull());
  ASSERT_EQ(picture_.size(), QSize(551, 502));
  const QRegion expected = OpaqueRegion(picture_);
  const QRegion shape = BoundingShape(form_.get());
  const long long differing = PixelCount(expected.xored(shape));
  EXPECT_EQ(differing, 0) << "pixels of the shape that differ from the picture's non-black pixels; shape has "
                          << PixelCount(shape) << ", picture " << PixelCount(expected);
  // The picture is mostly shape, and its black border is cut away.
  EXPECT_GT(PixelCount(shape), 551LL * 502 / 2);
  EXPECT_LT(PixelCount(shape), 551LL * 502);
}

TEST_F(WindowOnX11, ClicksOnCutOutPixelsReachTheWindowBehind) {
  // A plain window under the form, larger than it, kept below it by the window manager.
  QWidget behind(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint);
  behind.setWindowTitle(QStringLiteral("Behind"));
  behind.setGeometry(QRect(origin_ - QPoint(40, 40), QSize(640, 590)));
  behind.show();
  ASSERT_TRUE(WaitExposed(&behind));
  form_->raise();
  Spin(300);
  const QPoint behindOrigin = SettledOrigin(&behind);
  ASSERT_TRUE(QRect(behindOrigin, behind.size()).contains(QRect(ScreenOrigin(form_.get()), form_->size())))
      << "the window behind does not cover the form";

  PressCounter presses;
  presses.watch(form_.get(), &behind);
  auto click = [&](QPoint inForm) {
    presses.clear();
    const ScriptRun run = Xdotool(PointerTo(onScreen(inForm)) << "sleep"
                                                              << "0.2"
                                                              << "mousedown"
                                                              << "1"
                                                              << "sleep"
                                                              << "0.1"
                                                              << "mouseup"
                                                              << "1"
                                                              << "sleep"
                                                              << "0.3");
    EXPECT_TRUE(run.finished && run.exitCode == 0) << run.output.toStdString();
    Spin(200);
  };

  const QPoint corner(1, 1);
  ASSERT_TRUE(IsPureBlack(picture_, corner));
  const std::optional<QPoint> pupil = BlackPointInsideShape(picture_);
  ASSERT_TRUE(pupil.has_value()) << "the picture has no black spot inside its shape";
  // Beside the spot, on the shape: the first non-black pixel to its right, two further in.
  QPoint besidePupil = *pupil;
  while (IsPureBlack(picture_, besidePupil)) besidePupil.rx()++;
  besidePupil.rx() += 2;
  const QPoint light = lightPoint();

  click(light);
  EXPECT_EQ(presses.on(form_.get()), 1) << "a click on the picture at " << light.x() << "," << light.y();
  EXPECT_EQ(presses.on(&behind), 0);

  click(corner);
  EXPECT_EQ(presses.on(&behind), 1) << "a click on the picture's black corner";
  EXPECT_EQ(presses.on(form_.get()), 0);

  click(*pupil);
  EXPECT_EQ(presses.on(&behind), 1) << "a click on the black spot at " << pupil->x() << "," << pupil->y();
  EXPECT_EQ(presses.on(form_.get()), 0);

  // The form was above the other window all along: a pixel of the shape next to the spot
  // still belongs to it.
  click(besidePupil);
  EXPECT_EQ(presses.on(form_.get()), 1)
      << "a click next to the black spot, at " << besidePupil.x() << "," << besidePupil.y();
  EXPECT_EQ(presses.on(&behind), 0);

  // None of these clicks moved the form.
  EXPECT_EQ(SettledOrigin(form_.get()), origin_);
}

// A left drag works the same whether the window manager moves the window or, without
// one, the window follows the mouse itself.
class DragOnX11 : public WindowOnX11, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    const bool windowManagerMoves = GetParam();
    if (!windowManagerMoves) SetWindowManagerMoveProbe([] { return false; });
    WindowOnX11::SetUp();
  }
  void TearDown() override {
    SetWindowManagerMoveProbe({});
    WindowOnX11::TearDown();
  }
  MoveMode expectedMode() const { return GetParam() ? MoveMode::WindowManager : MoveMode::OwnMouseLoop; }
};

TEST_P(DragOnX11, LeftDragOnThePictureMovesTheWindowWithTheMouse) {
  const QPoint light = lightPoint();
  ASSERT_FALSE(IsPureBlack(picture_, light));
  EXPECT_EQ(drag(light, kDragSteps), kDragDistance);
  EXPECT_EQ(LastMoveMode(), expectedMode());
  // With Shift held it still drags.
  EXPECT_EQ(drag(light, kDragSteps, "1", "shift"), kDragDistance) << "with Shift held";
}

TEST_P(DragOnX11, LeftDragOverTheResultsLabelMovesTheWindowFromItsFirstMove) {
  // The drag starts at the first move over the label, so the window follows the mouse
  // from there: the first step is not part of the move.
  EXPECT_EQ(drag(centreOf(form_->lblResults), kDragSteps), kDragDistance - kDragSteps.front());
}

TEST_P(DragOnX11, OtherButtonsAndOtherLabelsDoNotMoveTheWindow) {
  const QPoint light = lightPoint();
  EXPECT_EQ(drag(light, kDragSteps, "3"), QPoint()) << "right drag on the picture";
  EXPECT_EQ(drag(light, kDragSteps, "2"), QPoint()) << "middle drag on the picture";
  EXPECT_EQ(drag(centreOf(form_->lblTitle), kDragSteps), QPoint()) << "left drag from lblTitle";
  EXPECT_EQ(drag(centreOf(form_->Label1), kDragSteps), QPoint()) << "left drag from Label1";
  EXPECT_EQ(drag(centreOf(form_->lblResults), kDragSteps, "1", {}, "3"), QPoint())
      << "left drag over lblResults with the right button held too";
}

TEST_P(DragOnX11, QuickClicksOnThePictureLeaveTheWindowInPlace) {
  // Press and release arrive together: the move ends before it begins. The mouse then
  // moves with no button held, and the window must not follow it.
  const QPoint light = lightPoint();
  for (int i = 0; i < 3; ++i) {
    const ScriptRun run =
        Xdotool(PointerTo(onScreen(light)) << "sleep"
                                           << "0.2"
                                           << "click"
                                           << "1"
                                           << "sleep"
                                           << "0.3" << PointerTo(onScreen(light) + QPoint(40, 30)) << "sleep"
                                           << "0.3");
    ASSERT_TRUE(run.finished && run.exitCode == 0) << run.output.toStdString();
    EXPECT_EQ(SettledOrigin(form_.get()), origin_) << "after quick click " << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Moves, DragOnX11, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("ByWindowManager") : std::string("ByOwnLoop");
                         });

// Presses alt+KEY in the form (activating it again when nothing opens), waits for the
// window titled TITLE other than the form, types TEXT there and presses ANSWER until it
// closes.
constexpr const char* kAnswerDialog = R"sh(
form=$1 key=$2 title=$3 text=$4 answer=$5
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
sleep 0.3
press_until_gone "$dialog" "$answer" || { echo "the window stayed open"; exit 4; }
)sh";

class KeysOnX11 : public WindowOnX11 {
 protected:
  void SetUp() override {
    WindowOnX11::SetUp();
    InstallQtMessageBoxes();
    ASSERT_TRUE(Activate(form_.get())) << "the form never became the active window";
  }

  ScriptRun answer(const QString& key, const QString& title, const QString& text, const QString& answerKey) {
    ModalWatchdog watchdog(60);
    return RunScript(QString::fromLatin1(kAnswerDialog), {XId(form_.get()), key, title, text, answerKey},
                     70000);
  }
};

TEST_F(KeysOnX11, AltBATypedPathAndEnterShowTheReport) {
  test::AviLayout layout;
  layout.streams[0].handler = "XVID";
  layout.framesPerForm = {400};
  const std::vector<std::uint8_t> avi = test::BuildAvi(layout);
  ASSERT_GT(avi.size(), 5000u);
  test::TempDir dir;
  const std::string path = dir.write("clip.avi", avi);

  ModalRecorder dialogs;
  const ScriptRun run = answer("b", "Select an avi file...", QString::fromStdString(path), "Return");
  ASSERT_TRUE(run.finished && run.exitCode == 0) << run.output.toStdString();
  ASSERT_TRUE(SpinUntil([&] { return form_->lblResults->caption() != "Please wait..."; }, 5000));

  EXPECT_EQ(dialogs.titles(), QStringList{"Select an avi file..."});
  EXPECT_EQ(form_->lblTitle->caption().toStdString(), path);
  EXPECT_EQ(form_->lblResults->caption().toStdString(),
            "Resolution: 320x240 Number of streams: 1\r\nRate:25 Length:400\r\nVideo codec used: XVID\r\n"
            "Infos: Xvid - open-source MPEG-4 Visual video codec");
}

TEST_F(KeysOnX11, AltBAndEscapeLeaveTheLabelsWaiting) {
  ModalRecorder dialogs;
  const ScriptRun run = answer("b", "Select an avi file...", {}, "Escape");
  ASSERT_TRUE(run.finished && run.exitCode == 0) << run.output.toStdString();
  Spin(300);
  EXPECT_EQ(dialogs.titles(), QStringList{"Select an avi file..."});
  EXPECT_EQ(form_->lblResults->caption(), "Please wait...");
  EXPECT_EQ(form_->lblTitle->caption(), "");
}

TEST_F(KeysOnX11, AltHShowsTheHelpAndEnterClosesIt) {
  form_->lblTitle->setCaption("earlier.avi");
  form_->lblResults->setCaption("Unknown format");
  ModalRecorder boxes;
  const ScriptRun run = answer("h", "Tamso AVI", {}, "Return");
  ASSERT_TRUE(run.finished && run.exitCode == 0) << run.output.toStdString();
  Spin(300);
  ASSERT_EQ(boxes.titles(), QStringList{"Tamso AVI"});
  EXPECT_TRUE(boxes.texts().front().startsWith(
      "This program allows you gets some informations about a AVI file.\n"
      "Resolution, rate and length of the file are useful. But it also gives you \n"
      "the codec used in the AVI file. The program is limited to the first video stream.\n"))
      << boxes.texts().front().toStdString();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(form_->lblTitle->caption(), "earlier.avi");
  EXPECT_EQ(form_->lblResults->caption(), "Unknown format");
}

}  // namespace
}  // namespace tamso::x11test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  if (QGuiApplication::platformName() != QLatin1String("xcb")) {
    fprintf(stderr, "these tests need an X server (run them through tests/support/run-x11.sh --wm)\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
