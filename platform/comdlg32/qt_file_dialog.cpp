#include "platform/comdlg32/qt_file_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QSettings>
#include <functional>

#include "platform/comdlg32/file_dialog_record.h"
#include "platform/runtime/qt_disk_name.h"
#include "platform/user32/qt_window_handles.h"
#include "platform/user32/winuser.h"

namespace tamso {

namespace {

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Qt's file dialog reads its history, last folder, sidebar and view from QtProject.conf
// in the user's config folder and writes them back when it goes. The program keeps
// nothing between runs: user-scope settings of this process go under /dev/null, where
// no folder can be made, so every write fails and nothing is read.
void KeepNoDialogState() {
  for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}

// A QFileDialog that asks before it closes with a choice.
class CheckedFileDialog : public QFileDialog {
 public:
  CheckedFileDialog(QWidget* parent, std::function<bool()> refuses)
      : QFileDialog(parent), refuses_(std::move(refuses)) {}

  void done(int result) override {
    if (result == QDialog::Accepted && refuses_()) return;
    QFileDialog::done(result);
  }

 private:
  std::function<bool()> refuses_;
};

QFileDialog* NewDialog(QWidget* parent, std::function<bool()> refuses) {
  KeepNoDialogState();
  return new CheckedFileDialog(parent, std::move(refuses));
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
    : request_(request), dialog_(NewDialog(parent, [this] { return refusesChoice(); })) {
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

// The dialog goes with this object, unless its parent took it first.
QtFileDialog::~QtFileDialog() { delete dialog_.data(); }

void QtFileDialog::addSidePane(QWidget* pane) {
  pane->setParent(dialog_);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog_->layout())) {
    grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
  }
}

FileDialogAnswer QtFileDialog::run() {
  const bool confirmed = dialog_->exec() == QDialog::Accepted;
  return dialog_ ? answer(confirmed) : CancelDialog();
}

bool QtFileDialog::refusesChoice() const {
  const AnswerCheck check = CheckFileDialogAnswer(request_, answer(true));
  if (check.error != FNERR_BUFFERTOOSMALL) return false;
  const QString what = check.titleBuffer ? QObject::tr("This file's name") : QObject::tr("This file's path");
  const QString text = QObject::tr(
                           "%1 is too long: it has %2 characters, and this program takes at most %3.\r\n"
                           "Choose a file with a shorter name, or one in a folder nearer the top.")
                           .arg(what)
                           .arg(check.needed - 1)
                           .arg(check.room - 1);
  MessageBoxA(HwndForWidget(dialog_), text.toUtf8().constData(), dialog_->windowTitle().toUtf8().constData(),
              MB_OK | MB_ICONEXCLAMATION);
  return true;
}

FileDialogAnswer QtFileDialog::answer(bool confirmed) const {
  FileDialogAnswer answer;
  answer.confirmed = confirmed;
  if (!confirmed) return answer;
  // Qt names a file whose name is not UTF-8 by text that does not reach it; the answer
  // holds the bytes that do.
  for (const QString& file : dialog_->selectedFiles()) answer.files.push_back(OnDiskName(file));
  // With the details hidden Qt names the entry by its description alone.
  const QString selected = dialog_->selectedNameFilter();
  auto index = shownFilters_.indexOf(selected);
  if (index < 0) index = nameFilters_.indexOf(selected);
  answer.filterIndex = static_cast<DWORD>(index + 1);
  if (readOnlyBox_) answer.readOnly = readOnlyBox_->isChecked();
  return answer;
}

}  // namespace tamso
