// The window on Qt's offscreen platform: its controls, and the Browse, Quit and tune flows
// with the dialog and the message box answered through their seams (the help box and the
// report of a chosen file are checked on the X server).
#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <tuple>

#include "app/frmTamso.h"
#include "platform/comdlg32/file_dialog_seam.h"
#include "platform/runtime/app_paths.h"
#include "platform/user32/message_box.h"
#include "platform/user32/window_messages.h"
#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"
#include "tests/support/avi_writer.h"  // TempDir

namespace {

namespace fs = std::filesystem;

// Answers the file dialog with `files` (none: Cancel).
tamso::ScopedFileDialogHandler Answer(std::vector<std::string> files,
                                      std::vector<tamso::FileDialogRequest>* asked = nullptr) {
  return tamso::ScopedFileDialogHandler([=](const tamso::FileDialogRequest& request) {
    if (asked) asked->push_back(request);
    return files.empty() ? tamso::CancelDialog() : tamso::ChooseFiles(files);
  });
}

TEST(Window, ControlsSitWhereTheyBelongWithTheirCaptionsFontsAndTabOrder) {
  frmTamso form;
  EXPECT_EQ(form.size(), QSize(551, 502));
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.windowTitle(), "Tamso AVI");
  const std::tuple<QWidget*, QRect, QString, QString, bool> table[] = {
      {form.cmdHelp, {80, 240, 33, 17}, "Arial", "&Help", false},
      {form.cmdInfos, {216, 88, 57, 21}, "Tahoma", "&Browse", false},
      {form.cmdQuit, {112, 240, 33, 17}, "Arial", "&Quit", false},
      {form.picBackground, {0, 0, 551, 502}, "Tahoma", "", false},
      {form.Label1, {48, 88, 169, 41}, "Arial", "Browse AVI you want to get the informations from:", false},
      {form.lblTitle, {48, 128, 225, 25}, "Arial", "", true},
      {form.lblResults, {48, 152, 217, 73}, "Arial Narrow", "", false},
  };
  for (const auto& [widget, place, family, caption, bold] : table) {
    auto* label = qobject_cast<tamso::VbLabel*>(widget);
    EXPECT_EQ(
        std::tuple(widget->geometry(), widget->font().family(), widget->font().pointSizeF(),
                   widget->font().bold(), label ? label->caption() : widget->property("text").toString()),
        std::tuple(place, family, 8.25, bold, caption))
        << widget->objectName().toStdString();
  }
  // Lines are drawn on the picture.
  EXPECT_EQ(form.picBackground->lines(), (std::vector<QLine>{{56, 232, 160, 232}, {40, 80, 264, 80}}));

  // Tab stops only at the controls that take focus, in this order.
  std::vector<QWidget*> stops;
  QWidget* w = form.cmdQuit;
  do {
    if (w->focusPolicy() & Qt::TabFocus) stops.push_back(w);
    w = w->nextInFocusChain();
  } while (w != form.cmdQuit && stops.size() < 10);
  EXPECT_EQ(stops, (std::vector<QWidget*>{form.cmdQuit, form.picBackground, form.cmdInfos, form.cmdHelp}));
}

TEST(Window, BrowseAsksForAnAviAndReportsWhatWentWrong) {
  frmTamso form;
  std::vector<std::tuple<HWND, std::string, std::string, UINT>> boxes;  // owner, text, caption, type
  tamso::ScopedMessageBoxHandler recordBoxes(
      [&](HWND hWnd, const std::string& text, const std::string& caption, UINT type) {
        return boxes.push_back({hWnd, text, caption, type}), 1;
      });
  tamso::test::TempDir dir;
  // A typed name that does not exist: the error box, and no report.
  const std::string missing = dir.file("typed-but-missing.avi");
  std::vector<tamso::FileDialogRequest> asked;
  Answer({missing}, &asked), form.cmdInfos->click();
  ASSERT_TRUE(asked.size() == 1u && asked[0].filters.size() == 1u);
  const tamso::FileDialogRequest& r = asked[0];
  EXPECT_EQ(std::tuple(r.title, r.owner, r.filters[0].description, r.filters[0].pattern, r.initialName),
            std::tuple("Select an avi file...", form.hWnd(), "AVI File (*.avi)", "*.avi", ""))
      << "the buffer of spaces is no name";
  EXPECT_EQ(fs::path(r.initialDirectory), fs::current_path());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0],
            std::tuple(form.hWnd(), "Error with the file:\r\n" + missing, std::string("Tamso AVI"), 64u));
  EXPECT_EQ(form.lblTitle->caption().toStdString(), missing);
  EXPECT_EQ(form.lblResults->caption(), "Unknown format");

  // Cancel, or a path too long for the dialog's buffer: nothing chosen, the title kept.
  for (const std::vector<std::string>& files :
       {std::vector<std::string>{}, {dir.file(std::string(1030, 'a'))}}) {
    Answer(files), form.cmdInfos->click();
    EXPECT_EQ(form.lblResults->caption(), "Please wait...");
    EXPECT_EQ(form.lblTitle->caption().toStdString(), missing);
  }
  EXPECT_EQ(boxes.size(), 1u);
}

// Which mouse input hands the window to the window system's move, seen as the move
// requests the window sends (the real moves are driven on the X server).
TEST(Window, OnlyTheLeftButtonAloneStartsADrag) {
  frmTamso form;
  std::vector<std::pair<HWND, UINT>> requests;
  tamso::SetMoveRequestRecorder([&](HWND window, UINT message) { requests.push_back({window, message}); });
  constexpr auto L = Qt::LeftButton, R = Qt::RightButton, M = Qt::MiddleButton;
  constexpr auto press = QEvent::MouseButtonPress, move = QEvent::MouseMove;
  const std::tuple<QWidget*, QEvent::Type, Qt::MouseButtons, Qt::KeyboardModifiers, bool> table[] = {
      {&form, press, L, Qt::NoModifier, true},
      {&form, press, R, Qt::NoModifier, false},
      {&form, press, M, Qt::NoModifier, false},
      {form.picBackground, press, L, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, true},
      {form.picBackground, press, R, Qt::NoModifier, false},
      {form.picBackground, press, M, Qt::NoModifier, false},
      {form.lblResults, move, L, Qt::NoModifier, true},
      {form.lblResults, move, L | R, Qt::NoModifier, false},
      {form.lblResults, move, L | M, Qt::NoModifier, false},
      {form.lblResults, move, Qt::NoButton, Qt::NoModifier, false},
      {form.lblResults, press, L, Qt::NoModifier, false},
      {form.lblTitle, press, L, Qt::NoModifier, false},
      {form.Label1, press, L, Qt::NoModifier, false},
  };
  for (const auto& [widget, type, buttons, modifiers, drags] : table) {
    requests.clear();
    // A press names the one button that went down; a move only the buttons held.
    const Qt::MouseButton button = type == press ? Qt::MouseButton(buttons.toInt()) : Qt::NoButton;
    QMouseEvent event(type, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
    EXPECT_EQ(requests, (drags ? decltype(requests){{form.hWnd(), WM_NCLBUTTONDOWN}} : decltype(requests){}))
        << widget->objectName().toStdString() << " " << type << " buttons " << buttons.toInt()
        << " modifiers " << modifiers.toInt();
  }
  requests.clear();
  form.MoveWithKeys();
  EXPECT_EQ(requests, (decltype(requests){{form.hWnd(), WM_SYSCOMMAND}}));
  tamso::SetMoveRequestRecorder({});
}

// The tune plays from kitty.mid beside the executable (the test's own folder), with the
// synthesiser writing to a file instead of a sound card.
TEST(Window, TunePlaysWhileTheWindowIsOpenAndOnlyWhenItIsThere) {
  tamso::test::TempDir dir;
  tamso::winmm::ProcessMciDevices().configure({{"file", fs::path(dir.file("out.wav"))}});
  const fs::path beside = tamso::ApplicationFile("kitty.mid");
  fs::remove(beside);
  const auto mode = [] {
    char reply[32] = "";
    mciSendStringA("status kitty.mid mode", reply, sizeof reply, 0);
    return std::string(reply);
  };
  // A tune in the current directory would play if the window sent "play kitty.mid".
  const fs::path tune = fs::path(TAMSO_SOURCE_DIR) / "assets" / "kitty.mid", previous = fs::current_path();
  fs::copy_file(tune, dir.file("kitty.mid"));
  fs::current_path(dir.path());
  // First without the tune beside the executable (no command may be sent), then with it,
  // closing the window and then pressing Quit.
  const std::string steps[] = {"without the tune", "closing the window", "Quit"};
  for (const std::string& step : steps) {
    SCOPED_TRACE(step);
    if (step != steps[0])
      fs::current_path(previous), fs::copy_file(tune, beside, fs::copy_options::overwrite_existing);
    frmTamso form;
    form.show();
    QCoreApplication::processEvents();  // the tune starts once the window is on screen
    EXPECT_EQ(mode(), step == steps[0] ? "stopped" : "playing");
    step == "Quit" ? form.cmdQuit->click() : (void)form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(mode(), "stopped");
  }
  mciSendStringA("close all", nullptr, 0, 0);
  fs::remove(beside);
  tamso::winmm::ProcessMciDevices().configure({});
}

}  // namespace
