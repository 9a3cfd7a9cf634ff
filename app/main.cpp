// Tamso AVI: the window is the program. `tamso-avi FILE` opens it with FILE's report.
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/avi_report.h"
#include "app/codec_list.h"
#include "app/frmTamso.h"
#include "app/start_options.h"
#include "platform/msvfw32/preview_pane.h"
#include "platform/user32/qt_desktop.h"

namespace {

// The open dialog with a preview shows an AVI file's report; other files, name and size.
QString DescribeForPreview(const QString& path) {
  if (!path.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive)) return tamso::DefaultPreviewText(path);
  const tamso::CollectedReport report = tamso::CollectReport(
      path.toStdString(), [](const std::string& code) { return tamso::GetCodecInfo(code); });
  QString text = QString::fromStdString(report.results);
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A named file is shown with its folder, as the file dialog gives it; the name is kept
// as typed (no links resolved), and a missing file keeps its name for the error box.
std::string WithFolder(const std::string& file) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(file, ec);
  return ec ? file : full.lexically_normal().string();
}

}  // namespace

int main(int argc, char** argv) {
  using Action = tamso::StartOptions::Action;
  const std::vector<std::string> given(argv + 1, argv + argc);
  // Help and version need no display; Qt is not started for them.
  const tamso::StartOptions early = tamso::ParseStartOptions(given);
  if (early.action == Action::PrintHelp || early.action == Action::PrintVersion) {
    std::fputs(early.text.c_str(), stdout);
    return 0;
  }
  const bool platformOption = std::ranges::find(given, "-platform") != given.end();
  if (!platformOption && !tamso::DisplayAvailable()) {
    std::fprintf(stderr, "%s\n", tamso::kNoDisplayMessage);
    return 1;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamso AVI"));
  // What is left once Qt took its own options.
  const tamso::StartOptions options =
      tamso::ParseStartOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (options.action == Action::UsageError) {
    std::fputs(options.text.c_str(), stderr);
    return 2;
  }
  tamso::InstallQtMessageBoxes();
  tamso::InstallQtClipboard();
  tamso::InstallPreviewDescriber(DescribeForPreview);
  frmTamso window;
  window.show();
  // The report runs once the window is up, as after a choice in Browse: its message box
  // then has the window as its owner.
  if (options.file)
    QTimer::singleShot(0, &window, [&window, file = WithFolder(*options.file)] { window.ReportFile(file); });
  return QApplication::exec();
}
