#include "platform/msvfw32/msvfw32.h"

#include <QFileDialog>

#include "platform/comdlg32/file_dialog_runner.h"
#include "platform/msvfw32/preview_pane.h"

BOOL GetOpenFileNamePreviewA(LPOPENFILENAMEA ofn) {
  return tamso::RunFileDialog(ofn, tamso::FileDialogKind::OpenPreview, [](QFileDialog& dialog) {
    auto* pane = new tamso::PreviewPane(&dialog);
    QObject::connect(&dialog, &QFileDialog::currentChanged, pane, &tamso::PreviewPane::showFile);
    return pane;
  });
}
