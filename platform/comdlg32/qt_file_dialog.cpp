#include "platform/comdlg32/qt_file_dialog.h"

#include <QCheckBox>
#include <QGridLayout>

namespace tamso {

namespace {

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QString QtNameFilter(const FileFilter& filter) {
  QStringList patterns;
  for (const QString& pattern : FromUtf8(filter.pattern).split(';', Qt::SkipEmptyParts)) {
    const QString trimmed = pattern.trimmed();
    if (!trimmed.isEmpty()) patterns << (trimmed == "*.*" ? QStringLiteral("*") : trimmed);
  }
  return FromUtf8(filter.description) + " (" + patterns.join(' ') + ")";
}

QtFileDialog::QtFileDialog(const FileDialogRequest& request, QWidget* parent)
    : dialog_(std::make_unique<QFileDialog>(parent)) {
  QFileDialog& d = *dialog_;
  d.setOption(QFileDialog::DontUseNativeDialog);
  d.setOption(QFileDialog::HideNameFilterDetails);
  d.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  d.setWindowTitle(FromUtf8(request.title));

  const bool multi = (request.flags & OFN_ALLOWMULTISELECT) != 0;
  if (request.kind == FileDialogKind::Save) {
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OFN_OVERWRITEPROMPT));
  } else {
    d.setAcceptMode(QFileDialog::AcceptOpen);
    if (multi) {
      d.setFileMode(QFileDialog::ExistingFiles);
    } else {
      d.setFileMode((request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
  }
  if (request.flags & OFN_FORCESHOWHIDDEN) d.setFilter(d.filter() | QDir::Hidden);

  for (const FileFilter& filter : request.filters) {
    nameFilters_ << QtNameFilter(filter);
    shownFilters_ << FromUtf8(filter.description).simplified();
  }
  if (!nameFilters_.isEmpty()) {
    d.setNameFilters(nameFilters_);
    d.selectNameFilter(nameFilters_.value(request.selectedFilter));
  }
  d.setDefaultSuffix(FromUtf8(request.defaultExtension));
  d.setDirectory(FromUtf8(request.initialDirectory));
  if (!request.initialName.empty()) d.selectFile(FromUtf8(request.initialName));

  if (request.readOnlyBoxShown) {
    readOnlyBox_ = new QCheckBox(QObject::tr("Open as &read-only"), &d);
    readOnlyBox_->setObjectName("readOnlyBox");
    readOnlyBox_->setChecked(request.readOnlyBoxChecked);
    if (auto* grid = qobject_cast<QGridLayout*>(d.layout())) {
      grid->addWidget(readOnlyBox_, grid->rowCount(), 0, 1, grid->columnCount());
    }
  }
}

QtFileDialog::~QtFileDialog() = default;

void QtFileDialog::addSidePane(QWidget* pane) {
  pane->setParent(dialog_.get());
  if (auto* grid = qobject_cast<QGridLayout*>(dialog_->layout())) {
    grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
  }
}

FileDialogAnswer QtFileDialog::run() { return answer(dialog_->exec() == QDialog::Accepted); }

FileDialogAnswer QtFileDialog::answer(bool confirmed) const {
  FileDialogAnswer answer;
  answer.confirmed = confirmed;
  if (!confirmed) return answer;
  for (const QString& file : dialog_->selectedFiles()) answer.files.push_back(file.toUtf8().toStdString());
  // With the details hidden Qt names the entry by its description alone.
  const QString selected = dialog_->selectedNameFilter();
  auto index = shownFilters_.indexOf(selected);
  if (index < 0) index = nameFilters_.indexOf(selected);
  answer.filterIndex = static_cast<DWORD>(index + 1);
  if (readOnlyBox_) answer.readOnly = readOnlyBox_->isChecked();
  return answer;
}

}  // namespace tamso
