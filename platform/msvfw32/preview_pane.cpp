#include "platform/msvfw32/preview_pane.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QVBoxLayout>
#include <exception>

namespace tamso {

namespace {

PreviewDescriber& InstalledDescriber() {
  static PreviewDescriber describer;
  return describer;
}

}  // namespace

QString DefaultPreviewText(const QString& path) {
  if (path.isEmpty()) return {};
  const QFileInfo info(path);
  if (info.isDir()) return {};
  if (!info.isFile()) return info.fileName();
  return info.fileName() + "\r\nSize: " + QString::number(info.size()) + " bytes";
}

PreviewDescriber InstallPreviewDescriber(PreviewDescriber describer) {
  std::swap(InstalledDescriber(), describer);
  return describer;
}

QString DescribeForPreview(const QString& path) {
  const PreviewDescriber describer = InstalledDescriber();
  if (!describer) return DefaultPreviewText(path);
  try {
    return describer(path);
  } catch (const std::exception&) {
    // A file the describer cannot read still gets its name and size.
    return DefaultPreviewText(path);
  }
}

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent), text_(new QLabel(this)) {
  setObjectName("previewPane");
  text_->setObjectName("previewText");
  text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text_->setWordWrap(true);
  text_->setTextFormat(Qt::PlainText);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  text_->setMinimumWidth(220);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_);
}

QString PreviewPane::text() const { return text_->text(); }

void PreviewPane::showFile(const QString& path) { text_->setText(DescribeForPreview(path)); }

}  // namespace tamso
