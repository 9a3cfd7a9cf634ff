// Tamso AVI: the window is the program; it takes no command line of its own.
#include <QApplication>

#include "app/avi_report.h"
#include "app/codec_list.h"
#include "app/frmTamso.h"
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

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamso AVI"));
  tamso::InstallQtMessageBoxes();
  tamso::InstallQtClipboard();
  tamso::InstallPreviewDescriber(DescribeForPreview);
  frmTamso window;
  window.show();
  return QApplication::exec();
}
