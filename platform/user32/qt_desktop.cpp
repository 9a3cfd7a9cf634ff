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

QMessageBox::Icon IconFor(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons ButtonsFor(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_ABORTRETRYIGNORE:
      return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MB_YESNOCANCEL:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
      return QMessageBox::Yes | QMessageBox::No;
    case MB_RETRYCANCEL:
      return QMessageBox::Retry | QMessageBox::Cancel;
    default:
      return QMessageBox::Ok;
  }
}

int ResultFor(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return IDOK;
    case QMessageBox::Cancel:
      return IDCANCEL;
    case QMessageBox::Abort:
      return IDABORT;
    case QMessageBox::Retry:
      return IDRETRY;
    case QMessageBox::Ignore:
      return IDIGNORE;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return IDCANCEL;
  }
}

int ShowQtMessageBox(HWND hWnd, const std::string& text, const std::string& caption, UINT type) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
  QMessageBox box(IconFor(type), QString::fromStdString(caption),
                  QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                  ButtonsFor(type), WidgetForHwnd(hWnd));
  // The text is shown as it is, never read as markup.
  box.setTextFormat(Qt::PlainText);
  return ResultFor(box.exec());
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
