// The window on Qt's offscreen platform: its controls, its shape, and the Browse, Help and
// Quit flows with the dialog and the message box answered through their seams.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QRegion>
#include <filesystem>

#include "app/frmTamso.h"
#include "platform/comdlg32/file_dialog_seam.h"
#include "platform/runtime/app_paths.h"
#include "platform/user32/message_box.h"
#include "platform/user32/qt_window_handles.h"
#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"
#include "tests/support/avi_writer.h"

namespace {

namespace fs = std::filesystem;

struct ShownBox {
  HWND hWnd;
  std::string text;
  std::string caption;
  UINT type;
};

// Records message boxes instead of showing them.
class BoxRecorder {
 public:
  BoxRecorder()
      : scope_([this](HWND hWnd, const std::string& text, const std::string& caption, UINT type) {
          boxes.push_back({hWnd, text, caption, type});
          return 1;
        }) {}
  std::vector<ShownBox> boxes;

 private:
  tamso::ScopedMessageBoxHandler scope_;
};

QString Q(const std::string& text) { return QString::fromStdString(text); }

TEST(WindowLayout, ControlsSitWhereTheyBelongWithTheirCaptionsAndFonts) {
  frmTamso form;
  EXPECT_EQ(form.size(), QSize(551, 502));
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.windowTitle(), "Tamso AVI");
  EXPECT_FALSE(form.windowIcon().isNull());

  struct Expected {
    QWidget* widget;
    QRect place;
    QString family;
    bool bold;
  };
  const Expected table[] = {
      {form.cmdHelp, {80, 240, 33, 17}, "Arial", false},
      {form.cmdInfos, {216, 88, 57, 21}, "Tahoma", false},
      {form.cmdQuit, {112, 240, 33, 17}, "Arial", false},
      {form.picBackground, {0, 0, 551, 502}, "Tahoma", false},
      {form.Label1, {48, 88, 169, 41}, "Arial", false},
      {form.lblTitle, {48, 128, 225, 25}, "Arial", true},
      {form.lblResults, {48, 152, 217, 73}, "Arial Narrow", false},
  };
  for (const Expected& e : table) {
    SCOPED_TRACE(e.widget->objectName().toStdString());
    EXPECT_EQ(e.widget->geometry(), e.place);
    EXPECT_EQ(e.widget->font().family(), e.family);
    EXPECT_DOUBLE_EQ(e.widget->font().pointSizeF(), 8.25);
    EXPECT_EQ(e.widget->font().bold(), e.bold);
  }
  EXPECT_EQ(form.cmdHelp->text(), "&Help");
  EXPECT_EQ(form.cmdInfos->text(), "&Browse");
  EXPECT_EQ(form.cmdQuit->text(), "&Quit");
  EXPECT_EQ(form.Label1->caption(), "Browse AVI you want to get the informations from:");

  // Labels and lines are drawn on the picture; the buttons lie above it.
  EXPECT_EQ(form.Label1->parentWidget(), form.picBackground);
  EXPECT_EQ(form.lblResults->parentWidget(), form.picBackground);
  EXPECT_EQ(form.cmdInfos->parentWidget(), &form);
  EXPECT_EQ(form.childAt(220, 92), form.cmdInfos);
  EXPECT_EQ(form.childAt(60, 160), form.lblResults);
  EXPECT_EQ(form.childAt(400, 420), form.picBackground);
  ASSERT_EQ(form.picBackground->lines().size(), 2u);
  EXPECT_EQ(form.picBackground->lines()[0], QLine(56, 232, 160, 232));
  EXPECT_EQ(form.picBackground->lines()[1], QLine(40, 80, 264, 80));
}

TEST(WindowLayout, TabOrderRunsQuitPictureBrowseHelp) {
  frmTamso form;
  // The focus chain passes through every widget; Tab stops only at those that take focus.
  std::vector<QWidget*> stops;
  QWidget* w = form.cmdQuit;
  do {
    if (w->focusPolicy() & Qt::TabFocus) stops.push_back(w);
    w = w->nextInFocusChain();
  } while (w != form.cmdQuit && stops.size() < 10);
  EXPECT_EQ(stops, (std::vector<QWidget*>{form.cmdQuit, form.picBackground, form.cmdInfos, form.cmdHelp}));
  EXPECT_EQ(form.lblResults->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(form.Label1->focusPolicy(), Qt::NoFocus);
}

TEST(WindowStart, LabelsAreEmptyAndTheShapeIsThePictureWithoutItsBlackPixels) {
  frmTamso form;
  EXPECT_EQ(form.lblTitle->caption(), "");
  EXPECT_EQ(form.lblResults->caption(), "");

  const QImage picture =
      QImage(QString::fromLatin1(tamso::kBackgroundResource)).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(picture.size(), QSize(551, 502));
  QRegion expected;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if ((picture.pixel(x, y) & 0xFFFFFF) != 0) expected += QRect(x, y, 1, 1);
    }
  }
  const QRegion shape = form.mask();
  EXPECT_FALSE(shape.isEmpty());
  EXPECT_TRUE((shape ^ expected).isEmpty())
      << "pixels that differ: " << (shape ^ expected).rectCount() << " rects";
  EXPECT_FALSE(shape.contains(QPoint(0, 0)));
}

class BrowseAction : public ::testing::Test {
 protected:
  frmTamso form;
  BoxRecorder boxes;
  tamso::test::TempDir dir;
};

TEST_F(BrowseAction, AChosenAviShowsItsPathAndReport) {
  tamso::test::AviLayout layout;
  layout.streams[0].handler = "XVID";
  layout.streams[0].scale = 1001;
  layout.streams[0].rate = 30000;
  layout.streams[0].chunkBytes = 200;
  layout.framesPerForm = {40};
  const std::string path = dir.write("clip.avi", tamso::test::BuildAvi(layout));

  std::vector<tamso::FileDialogRequest> asked;
  tamso::ScopedFileDialogHandler answer([&](const tamso::FileDialogRequest& request) {
    asked.push_back(request);
    return tamso::ChooseFiles({path});
  });
  form.cmdInfos->click();

  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].title, "Select an avi file...");
  ASSERT_EQ(asked[0].filters.size(), 1u);
  EXPECT_EQ(asked[0].filters[0].description, "AVI File (*.avi)");
  EXPECT_EQ(asked[0].filters[0].pattern, "*.avi");
  EXPECT_EQ(asked[0].owner, form.hWnd());
  EXPECT_EQ(asked[0].flags, 0u);
  EXPECT_EQ(fs::path(asked[0].initialDirectory), fs::current_path());
  EXPECT_EQ(asked[0].initialName, "");

  EXPECT_EQ(form.lblTitle->caption(), Q(path));
  const QString report = form.lblResults->caption();
  EXPECT_TRUE(
      report.startsWith("Resolution: 320x240 Number of streams: 1\r\nRate:30 Length:40\r\n"
                        "Video codec used: XVID\r\nInfos: "))
      << report.toStdString();
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(BrowseAction, CancellingLeavesPleaseWaitAndTheTitle) {
  form.lblTitle->setCaption("earlier.avi");
  tamso::ScopedFileDialogHandler answer(
      [](const tamso::FileDialogRequest&) { return tamso::CancelDialog(); });
  form.cmdInfos->click();
  EXPECT_EQ(form.lblResults->caption(), "Please wait...");
  EXPECT_EQ(form.lblTitle->caption(), "earlier.avi");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(BrowseAction, ATypedMissingNameGivesTheErrorBoxAndUnknownFormat) {
  const std::string missing = dir.file("typed-but-missing.avi");
  tamso::ScopedFileDialogHandler answer(
      [&](const tamso::FileDialogRequest&) { return tamso::ChooseFiles({missing}); });
  form.cmdInfos->click();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Error with the file:\r\n" + missing);
  EXPECT_EQ(boxes.boxes[0].caption, "Tamso AVI");
  EXPECT_EQ(boxes.boxes[0].type, 64u);
  EXPECT_EQ(form.lblTitle->caption(), Q(missing));
  EXPECT_EQ(form.lblResults->caption(), "Unknown format");
}

TEST_F(BrowseAction, APathTooLongForTheDialogBufferChoosesNothing) {
  const std::string longName = dir.file(std::string(250, 'a') + ".avi");
  tamso::ScopedFileDialogHandler answer(
      [&](const tamso::FileDialogRequest&) { return tamso::ChooseFiles({longName}); });
  form.cmdInfos->click();
  EXPECT_EQ(form.lblResults->caption(), "Please wait...");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(HelpButton, ShowsTheHelpLinesAndChangesNoLabel) {
  frmTamso form;
  form.lblTitle->setCaption("a.avi");
  form.lblResults->setCaption("report");
  BoxRecorder boxes;
  form.cmdHelp->click();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  const std::string& text = boxes.boxes[0].text;
  EXPECT_EQ(
      text.rfind("This program allows you gets some informations about a AVI file.\r\n"
                 "Resolution, rate and length of the file are useful. But it also gives you \r\n"
                 "the codec used in the AVI file. The program is limited to the first video stream.\r\n",
                 0),
      0u);
  // Seven lines: the fifth is empty.
  int breaks = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++breaks;
  EXPECT_EQ(breaks, 6);
  EXPECT_NE(text.find("\r\n\r\n"), std::string::npos);
  EXPECT_EQ(boxes.boxes[0].caption, "Tamso AVI");
  EXPECT_EQ(boxes.boxes[0].type, 64u);
  EXPECT_EQ(boxes.boxes[0].hWnd, form.hWnd());
  EXPECT_EQ(form.lblTitle->caption(), "a.avi");
  EXPECT_EQ(form.lblResults->caption(), "report");
}

// The tune plays from kitty.mid beside the executable; here the test's own folder, with
// the synthesiser writing to a file instead of a sound card.
class Tune : public ::testing::Test {
 protected:
  void SetUp() override {
    tamso::winmm::ProcessMciDevices().configure({{"file", fs::path(dir_.file("out.wav"))}});
    tuneBeside_ = tamso::ApplicationFile("kitty.mid");
  }
  void TearDown() override {
    mciSendStringA("close all", nullptr, 0, 0);
    fs::remove(tuneBeside_);
  }
  void putTuneBesideTheProgram() {
    fs::copy_file(fs::path(TAMSO_SOURCE_DIR) / "assets" / "kitty.mid", tuneBeside_,
                  fs::copy_options::overwrite_existing);
  }
  static std::string Mode() {
    char reply[32] = "";
    mciSendStringA("status kitty.mid mode", reply, sizeof reply, 0);
    return reply;
  }
  tamso::test::TempDir dir_;
  fs::path tuneBeside_;
};

TEST_F(Tune, PlaysWhileTheWindowIsOpenAndStopsWhenItCloses) {
  putTuneBesideTheProgram();
  auto form = std::make_unique<frmTamso>();
  EXPECT_EQ(Mode(), "playing");
  form->close();  // the unload step
  EXPECT_EQ(Mode(), "stopped");
}

TEST_F(Tune, QuitStopsTheTune) {
  putTuneBesideTheProgram();
  frmTamso form;
  form.show();
  EXPECT_EQ(Mode(), "playing");
  form.cmdQuit->click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Mode(), "stopped");
}

TEST_F(Tune, WithoutTheTuneNoCommandIsSent) {
  ASSERT_FALSE(fs::exists(tuneBeside_));
  frmTamso form;
  EXPECT_EQ(tamso::winmm::ProcessMciDevices().openCount(), 0u);
  form.close();
  EXPECT_EQ(tamso::winmm::ProcessMciDevices().openCount(), 0u);
}

}  // namespace
