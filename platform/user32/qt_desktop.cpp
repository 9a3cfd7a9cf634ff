#include "platform/user32/qt_desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMessageBox>

#include <memory>

#include "platform/user32/clipboard.h"
#include "platform/user32/message_box.h"
#include "platform/user32/qt_window_handles.h"
#include "platform/user32/winuser.h"

namespace tamso {

namespace {

int ShowQtMessageBox(HWND hWnd, const std::string& text, const std::string& caption, UINT type) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
  // The program's boxes have the one OK button, with an information or warning icon or none.
  const UINT icon = type & MB_ICONMASK;
  const QMessageBox::Icon shown = icon == MB_ICONINFORMATION   ? QMessageBox::Information
                                  : icon == MB_ICONEXCLAMATION ? QMessageBox::Warning
                                                               : QMessageBox::NoIcon;
  QMessageBox box(shown, QString::fromStdString(caption),
                  QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                  QMessageBox::Ok, WidgetForHwnd(hWnd));
  // The text is shown as it is, never read as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return IDOK;  // Enter, Esc and closing the box all press its one button
}

class QtClipboard : public ClipboardTarget {
 public:
  bool open() override { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }
  void clear() override { QGuiApplication::clipboard()->clear(); }
  bool put(const ClipboardImage& image) override {
    const QImage view(image.pixels.data(), image.width, image.height, image.width * 4, QImage::Format_RGB32);
    QGuiApplication::clipboard()->setImage(view.copy());
    return true;
  }
};

}  // namespace

void InstallQtMessageBoxes() { SetMessageBoxHandler(ShowQtMessageBox); }

void InstallQtClipboard() { SetClipboardTarget(std::make_shared<QtClipboard>()); }

}  // namespace tamso
