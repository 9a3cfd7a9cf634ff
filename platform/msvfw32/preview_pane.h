#pragma once
// The preview pane of the open dialog: the text that describes the file under the cursor.
//
// The describer is installable: the program installs one that gives an AVI file's report
// and falls back to the default for anything else, e.g.
//
//   tamso::InstallPreviewDescriber([](const QString& path) {
//     return IsAvi(path) ? ReportOf(path) : tamso::DefaultPreviewText(path);
//   });

#include <QWidget>
#include <functional>

class QLabel;

namespace tamso {

using PreviewDescriber = std::function<QString(const QString& path)>;

// The default text: the file's name and its size in bytes ("clip.avi" CR LF
// "Size: 1024 bytes"); the name alone when the size cannot be read; empty for an empty
// path or a folder.
QString DefaultPreviewText(const QString& path);

// Installs `describer` for every preview pane from now on and returns the one it
// replaces. An empty describer brings back DefaultPreviewText.
PreviewDescriber InstallPreviewDescriber(PreviewDescriber describer);

// The installed describer's text for `path`; the default text when the describer throws.
QString DescribeForPreview(const QString& path);

class PreviewPane : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewPane(QWidget* parent = nullptr);

  // The text shown now.
  QString text() const;

 public slots:
  // Shows the description of `path` (the file under the dialog's cursor).
  void showFile(const QString& path);

 private:
  QLabel* text_;  // owned by the pane
};

}  // namespace tamso
