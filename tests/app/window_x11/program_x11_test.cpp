// The built program on a real X server with a window manager: Alt+Q ends it, and a
// screenshot of its window shows the picture, cut out where the picture is black, with the
// controls at their places. Run through tests/support/run-x11.sh --wm.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/app/window_x11/picture_facts.h"
#include "tests/app/window_x11/x11_driver.h"

namespace tamso::x11test {
namespace {

const QString kProgram = QStringLiteral(TAMSO_AVI_PROGRAM);
constexpr QRgb kRootColour = 0x3a6ea5;

// Where the controls sit in the window.
const QRect kBrowse(216, 88, 57, 21);
const QRect kHelp(80, 240, 33, 17);
const QRect kQuit(112, 240, 33, 17);
const QRect kLabel1(48, 88, 169, 41);
const QRect kTitle(48, 128, 225, 25);
const QRect kResults(48, 152, 217, 73);
const QLine kLine1(56, 232, 160, 232);
const QLine kLine2(40, 80, 264, 80);

// Waits for the program's window, then presses Alt+Q in it until the window goes.
constexpr const char* kQuitWithKeys = R"sh(
window=$(find_window "Tamso AVI") || { echo "no window"; exit 3; }
for _ in 1 2 3; do
  xdotool windowactivate --sync "$window" 2>/dev/null || true
  sleep 0.3
  xdotool key alt+q
  for _ in $(seq 1 30); do visible "$window" || exit 0; sleep 0.1; done
done
echo "the window stayed"; exit 4
)sh";

TEST(ProgramOnX11, AltQEndsTheProgramWithStatusZero) {
  QProcess program;
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.setWorkingDirectory(QFileInfo(kProgram).absolutePath());
  program.start(kProgram, {});
  ASSERT_TRUE(program.waitForStarted(10000)) << kProgram.toStdString();

  const ScriptRun run = RunScript(QString::fromLatin1(kQuitWithKeys), {}, 40000);
  EXPECT_TRUE(run.finished && run.exitCode == 0) << run.output.toStdString();
  QElapsedTimer sinceQuit;
  sinceQuit.start();
  const bool ended = program.state() == QProcess::NotRunning || program.waitForFinished(5000);
  if (!ended) {
    program.kill();
    program.waitForFinished(2000);
  }
  ASSERT_TRUE(ended) << "the program was still running 5 s after its window went";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  RecordProperty("ms_from_window_gone_to_exit", static_cast<int>(sinceQuit.elapsed()));
}

// Counts the pixels of `rect` where the screenshot differs from the picture.
int DifferingPixels(const QImage& shot, const QImage& picture, const QRect& rect) {
  int count = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x)
      count += (shot.pixel(x, y) ^ picture.pixel(x, y)) & 0xFFFFFF ? 1 : 0;
  }
  return count;
}

TEST(ProgramOnX11, ScreenshotShowsThePictureCutOutWithTheControlsOnIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("window.png"));
  const ScriptRun run = RunScript(QStringLiteral("exec bash \"$1\" \"$2\" \"$3\""),
                                  {TAMSO_SCREENSHOT_SCRIPT, file, kProgram}, 60000);
  ASSERT_TRUE(run.finished && run.exitCode == 0) << run.output.toStdString();

  const QImage shot = QImage(file).convertToFormat(QImage::Format_RGB32);
  const QImage picture = BackgroundPicture();
  ASSERT_EQ(shot.size(), QSize(551, 502));
  ASSERT_EQ(picture.size(), QSize(551, 502));

  const std::vector<QRect> drawnOn{kBrowse,
                                   kHelp,
                                   kQuit,
                                   kLabel1,
                                   kTitle,
                                   kResults,
                                   QRect(kLine1.p1(), kLine1.p2()),
                                   QRect(kLine2.p1(), kLine2.p2())};
  int cutOut = 0, rootShown = 0, plain = 0, plainMatching = 0;
  for (int y = 0; y < 502; ++y) {
    for (int x = 0; x < 551; ++x) {
      const QPoint p(x, y);
      const QRgb seen = shot.pixel(p) & 0xFFFFFF;
      if (IsPureBlack(picture, p)) {
        ++cutOut;
        rootShown += seen == kRootColour ? 1 : 0;
        continue;
      }
      bool nearControl = false;
      for (const QRect& rect : drawnOn) nearControl = nearControl || rect.adjusted(-2, -2, 2, 2).contains(p);
      if (nearControl) continue;
      ++plain;
      plainMatching += seen == (picture.pixel(p) & 0xFFFFFF) ? 1 : 0;
    }
  }
  EXPECT_GT(cutOut, 1000);
  EXPECT_EQ(rootShown, cutOut) << "cut-out pixels that do not show the desktop behind";
  EXPECT_GT(plain, 551 * 502 / 2);
  EXPECT_EQ(plainMatching, plain) << "pixels of the picture away from the controls that differ from it";

  // The buttons are drawn over the picture, and Label1's text is on it.
  for (const QRect& button : {kBrowse, kHelp, kQuit}) {
    EXPECT_GT(DifferingPixels(shot, picture, button), button.width() * button.height() / 2)
        << "button at " << button.x() << "," << button.y();
  }
  EXPECT_GT(DifferingPixels(shot, picture, kLabel1), kLabel1.width() * kLabel1.height() / 20);
  // The two lines are drawn in black along their whole length.
  for (const QLine& line : {kLine1, kLine2}) {
    for (int x = line.x1(); x < line.x2(); ++x) {
      ASSERT_EQ(shot.pixel(x, line.y1()) & 0xFFFFFF, 0u) << "line at " << x << "," << line.y1();
    }
  }
}

}  // namespace
}  // namespace tamso::x11test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
