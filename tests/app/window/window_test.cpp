// The window on Qt's offscreen platform: its controls, and the Browse, Quit and tune flows
// with the dialog and the message box answered through their seams (the help box and the
// report of a chosen file are checked on the X server).
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <tuple>

#include "app/frmTamso.h"
#include "app/start_options.h"
#include "platform/comdlg32/file_dialog_seam.h"
#include "platform/runtime/app_paths.h"
#include "platform/user32/message_box.h"
#include "platform/user32/window_messages.h"
#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"
#include "tests/dialogs/dialog_test_support.h"  // ScopedEnvironment
#include "tests/support/avi_writer.h"           // TempDir

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

// Records every message box: owner, text, caption and style.
struct BoxRecorder {
  std::vector<std::tuple<HWND, std::string, std::string, UINT>> boxes;
  tamso::ScopedMessageBoxHandler handler{
      [this](HWND hWnd, const std::string& text, const std::string& caption, UINT type) {
        return boxes.push_back({hWnd, text, caption, type}), 1;
      }};
};

// A good AVI, a missing name and a file that is not an AVI, each with the labels and
// the message box the Browse action shows for it.
struct FileCase {
  std::string path, results;
  bool errorBox;
};
std::vector<FileCase> FileCases(const tamso::test::TempDir& dir) {
  tamso::test::AviLayout layout;
  layout.streams[0].handler = "XVID";
  layout.framesPerForm = {400};
  return {{dir.write("clip.avi", tamso::test::BuildAvi(layout)),
           "Resolution: 320x240 Number of streams: 1\r\nRate:25 Length:400\r\nVideo codec used: XVID\r\n"
           "Infos: Xvid - open-source MPEG-4 Visual video codec",
           false},
          {dir.file("missing.avi"), "Unknown format", true},
          {dir.write("notes.avi", std::vector<std::uint8_t>(6000, 'x')), "Unknown format", true}};
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
  BoxRecorder recorder;
  auto& boxes = recorder.boxes;
  tamso::test::TempDir dir;
  // A typed name that does not exist: the error box, and no report. The path, of some
  // 200 Cyrillic and CJK characters with spaces around the file's name, fits the
  // 255-character buffer and comes back whole.
  std::string folder, name;
  for (int i = 0; i < 100; ++i) folder += "\u0434";
  for (int i = 0; i < 75; ++i) name += "\u6587";
  const std::string missing = dir.file(folder + "/ " + name + ".avi ");
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

TEST(Window, AFileGivenAtTheStartIsReportedAsBrowseReportsIt) {
  frmTamso form;
  BoxRecorder recorder;
  tamso::test::TempDir dir;
  for (const FileCase& c : FileCases(dir)) {
    SCOPED_TRACE(c.path);
    recorder.boxes.clear();
    form.ReportFile(c.path);
    EXPECT_EQ(form.lblTitle->caption().toStdString(), c.path);
    EXPECT_EQ(form.lblResults->caption().toStdString(), c.results);
    ASSERT_EQ(recorder.boxes.size(), c.errorBox ? 1u : 0u);
    if (c.errorBox) {
      EXPECT_EQ(recorder.boxes[0],
                std::tuple(form.hWnd(), "Error with the file:\r\n" + c.path, std::string("Tamso AVI"), 64u));
    }
  }
}

TEST(StartOptions, HelpVersionOneFileAndUsageErrors) {
  using Action = tamso::StartOptions::Action;
  const std::tuple<std::vector<std::string>, Action, std::optional<std::string>, std::string> table[] = {
      {{}, Action::OpenWindow, std::nullopt, ""},
      {{"clip.avi"}, Action::OpenWindow, "clip.avi", ""},
      {{"--", "-odd.avi"}, Action::OpenWindow, "-odd.avi", ""},
      {{"--version"}, Action::PrintVersion, std::nullopt, "tamso-avi 1.00\n"},
      {{"-x", "--help"}, Action::PrintHelp, std::nullopt, "Usage: tamso-avi [--help] [--version] [FILE]\n"},
      {{"-x"}, Action::UsageError, std::nullopt, "tamso-avi: unknown option -x\n"},
      {{"a.avi", "b.avi"}, Action::UsageError, std::nullopt, "tamso-avi: one FILE at most\n"},
      {{"--", "--help"}, Action::OpenWindow, "--help", ""},
  };
  for (const auto& [args, action, file, textStart] : table) {
    const tamso::StartOptions options = tamso::ParseStartOptions(args);
    EXPECT_EQ(std::tuple(options.action, options.file, options.text.substr(0, textStart.size())),
              std::tuple(action, file, textStart))
        << ::testing::PrintToString(args);
  }
}

TEST(StartOptions, ADisplayIsThereOnlyWhenTheChosenPlatformCanReachOne) {
  tamso::test::TempDir dir;
  // A listening socket stands for a Wayland compositor; a plain file is no compositor.
  const int compositor = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = dir.file("wayland-7");
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  ASSERT_EQ(::bind(compositor, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  dir.write("wayland-8", std::vector<std::uint8_t>{1});
  const std::tuple<std::string, std::string, std::string, bool> table[] = {
      // QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY, available
      {"", "", "", false},
      {"", "wayland-7", "", true},
      {"", dir.file("wayland-7"), "", true},
      {"", "wayland-8", "", false},
      {"", "", ":9999", false},
      {"offscreen", "", "", true},
      {"xcb", "wayland-7", "", false},
      {"wayland", "wayland-7", "", true},
      {"xcb;wayland:option", "wayland-7", "", true},
      {"wayland-egl", "wayland-8", "", false},
  };
  for (const auto& [platform, wayland, x11, available] : table) {
    tamso::testing::ScopedEnvironment env;
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"QT_QPA_PLATFORM", platform},
                                      {"WAYLAND_DISPLAY", wayland},
                                      {"DISPLAY", x11},
                                      {"XDG_RUNTIME_DIR", dir.path()}})
      env.set(name, value.empty() ? std::nullopt : std::optional(value));
    EXPECT_EQ(tamso::DisplayAvailable(), available) << platform << " | " << wayland << " | " << x11;
  }
  ::close(compositor);
}

// A drop from a file manager: the mime data of `urls`, entering the window over the
// picture and dropped there. Returns whether the window took it.
bool Drop(frmTamso& form, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPointF at(300, 420);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
  QCoreApplication::processEvents();  // the report runs once the drop is over
  return drop.isAccepted();
}

TEST(Window, ADroppedFileIsReportedTheFirstOfSeveralAndNothingElseIsTaken) {
  frmTamso form;
  BoxRecorder recorder;
  tamso::test::TempDir dir;
  const std::vector<FileCase> cases = FileCases(dir);
  const QUrl clip = QUrl::fromLocalFile(QString::fromStdString(cases[0].path));
  const QUrl notes = QUrl::fromLocalFile(QString::fromStdString(cases[2].path));
  const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(dir.path()));
  const QUrl remote("https://example.org/clip.avi");

  EXPECT_TRUE(Drop(form, {clip}));
  EXPECT_EQ(form.lblTitle->caption().toStdString(), cases[0].path);
  EXPECT_EQ(form.lblResults->caption().toStdString(), cases[0].results);
  // Several: the first file, past what is not one.
  EXPECT_TRUE(Drop(form, {remote, folder, notes, clip}));
  EXPECT_EQ(form.lblTitle->caption().toStdString(), cases[2].path);
  EXPECT_EQ(form.lblResults->caption(), "Unknown format");
  EXPECT_EQ(recorder.boxes.size(), 1u);
  // Refused, and nothing changes.
  for (const QList<QUrl>& refused : {QList<QUrl>{remote}, {folder}, {}}) {
    EXPECT_FALSE(Drop(form, refused)) << refused.size();
    EXPECT_EQ(form.lblTitle->caption().toStdString(), cases[2].path);
  }
  QMimeData text;
  text.setText(QString::fromStdString(cases[0].path));
  QDragEnterEvent enter(QPoint(300, 420), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  EXPECT_FALSE(enter.isAccepted()) << "a path as plain text is not a file";

  // A name that is not UTF-8: a file manager's URL holds its bytes; a URL made from the
  // name as Qt shows it holds U+FFFD. Either way the report is the file's.
  const std::string latin1 = dir.file("caf\xE9.avi");
  fs::copy_file(cases[0].path, latin1);
  const QString shown = QFile::decodeName(QByteArray::fromStdString(latin1));
  for (const QUrl& url :
       {QUrl::fromEncoded("file://" + QByteArray::fromStdString(latin1).toPercentEncoding("/")),
        QUrl::fromLocalFile(shown)}) {
    EXPECT_TRUE(Drop(form, {url})) << url.toString().toStdString();
    EXPECT_EQ(form.lblTitle->caption().toStdString(), shown.toStdString());
    EXPECT_EQ(form.lblResults->caption().toStdString(), cases[0].results) << url.toString().toStdString();
  }
  EXPECT_EQ(recorder.boxes.size(), 1u);
}

TEST(Window, CtrlCCopiesThePathAndTheReportAsPlainText) {
  frmTamso form;
  form.show();
  QApplication::setActiveWindow(&form);
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText("before");
  QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), "before") << "nothing shown yet, nothing copied";

  tamso::test::TempDir dir;
  const FileCase good = FileCases(dir)[0];
  form.ReportFile(good.path);
  form.cmdInfos->setFocus();  // the focus on a button does not keep the keys from the window
  QTest::keyClick(form.cmdInfos, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text().toStdString(),
            good.path +
                "\nResolution: 320x240 Number of streams: 1\nRate:25 Length:400\nVideo codec used: XVID\n"
                "Infos: Xvid - open-source MPEG-4 Visual video codec");
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
  tamso::winmm::ProcessMciDevices().configure(
      {{"file", fs::path(dir.file("out.wav"))}, tamso::winmm::DebianSoundFonts(), TAMSO_TUNE_PLAYER});
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
