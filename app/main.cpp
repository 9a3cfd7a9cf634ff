// Tamso AVI: the window is the program; it takes no command line of its own.
#include <QApplication>

#include "app/frmTamso.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamso AVI"));
  QApplication::setQuitOnLastWindowClosed(true);
  frmTamso window;
  window.show();
  return QApplication::exec();
}
