#include <gtest/gtest.h>

#include "dialogs/cFileDlg.h"
#include "platform/comdlg32/file_dialog_seam.h"
#include "platform/runtime/tamso_error.h"
#include "platform/shell32/shlobj.h"
#include "platform/user32/window_table.h"
#include "tests/dialogs/dialog_test_support.h"

namespace {

using namespace std::string_literals;
using tamso::ChooseFiles;
using tamso::FileDialogAnswer;
using tamso::FileDialogKind;
using tamso::FileDialogRequest;

QString Q(const std::string& s) { return QString::fromStdString(s); }
const QString kOneNul(QChar(u'\0'));

// What a dialog was given, copied while it was open.
struct SeenDialog {
  FileDialogRequest request;
  OPENFILENAMEA record{};
  std::string filterList;  // up to and including the first pair of NULs
  std::string file;        // all nMaxFile bytes
  std::string fileTitle;   // all nMaxFileTitle bytes
  std::string title, defExt, initialDir;
};

class FileDlg : public ::testing::Test {
 protected:
  // Answers the dialogs with `answer`, remembering what each was given.
  void answerWith(FileDialogAnswer answer) {
    handler_.emplace([this, answer](const FileDialogRequest& request) {
      SeenDialog seen{request, *request.record, {}, {}, {}, {}, {}, {}};
      if (const char* f = request.record->lpstrFilter) {
        std::size_t n = 0;
        while (f[n] || f[n + 1]) ++n;
        seen.filterList.assign(f, n + 2);
      }
      seen.file.assign(request.record->lpstrFile, request.record->nMaxFile);
      seen.fileTitle.assign(request.record->lpstrFileTitle, request.record->nMaxFileTitle);
      seen.title = request.record->lpstrTitle;
      seen.defExt = request.record->lpstrDefExt;
      seen.initialDir = request.record->lpstrInitialDir;
      seen_.push_back(std::move(seen));
      return answer;
    });
  }
  const SeenDialog& last() const { return seen_.back(); }

  tamso::testing::ScratchHome home_;
  tamso::testing::ScratchFolder dir_;
  std::optional<tamso::ScopedFileDialogHandler> handler_;
  std::vector<SeenDialog> seen_;
};

TEST_F(FileDlg, NewObjectHoldsTheCreationValues) {
  const cFileDlg dlg;
  EXPECT_EQ(dlg.OwnerHwnd(), -1);
  EXPECT_TRUE(dlg.FileMustExist());
  EXPECT_FALSE(dlg.MultiSelect());
  EXPECT_FALSE(dlg.ReadOnly());
  EXPECT_TRUE(dlg.HideReadOnly());
  EXPECT_EQ(dlg.Filter(), "");
  EXPECT_EQ(dlg.FilterIndex(), 0);
  EXPECT_EQ(dlg.InitDirectory(), Q(home_.documents()));
  EXPECT_EQ(dlg.DlgTitle(), "Tamso AVI");
  EXPECT_EQ(dlg.DefaultExt(), "");
  EXPECT_EQ(dlg.Flags(), 0);
  EXPECT_TRUE(dlg.OverwritePrompt());
}

TEST(FileDlgWithoutDocuments, StartsWithAnEmptyInitDirectory) {
  tamso::testing::ScratchHome home(/*withDocuments=*/false);
  EXPECT_EQ(cFileDlg().InitDirectory(), "");
}

TEST_F(FileDlg, SpecialFolderReplacesInitDirectoryEvenWithNothing) {
  cFileDlg dlg;
  home_.folder().folder("Music");
  dlg.setInitDirectorySpecial(CSIDL_MYMUSIC);
  EXPECT_EQ(dlg.InitDirectory(), Q(home_.folder().str() + "/Music"));
  dlg.setInitDirectorySpecial(CSIDL_DRIVES);  // virtual: no directory
  EXPECT_EQ(dlg.InitDirectory(), "");
  dlg.setInitDirectory("/kept");
  dlg.setInitDirectorySpecial(0x99);  // unknown
  EXPECT_EQ(dlg.InitDirectory(), "");
}

TEST_F(FileDlg, FlagWordsOfEachDialog) {
  answerWith({});
  QString name, title;
  cFileDlg dlg;
  dlg.VBGetOpenFileName(name, title);
  EXPECT_EQ(last().record.Flags, 0x1004u);
  dlg.VBGetOpenFileNamePreview(name, title);
  EXPECT_EQ(last().record.Flags, 0x1004u);
  EXPECT_EQ(last().request.kind, FileDialogKind::OpenPreview);
  dlg.VBGetSaveFileName(name, title);
  EXPECT_EQ(last().record.Flags, 0x6u);
  EXPECT_EQ(last().request.kind, FileDialogKind::Save);

  cFileDlg hooks;
  hooks.setFlags(0x60);
  hooks.VBGetOpenFileName(name, title);
  EXPECT_EQ(last().record.Flags, 0x1004u);
  EXPECT_EQ(hooks.Flags(), 0);  // the cancel resets it

  cFileDlg bits;
  bits.setFlags(0x1000);
  bits.setFileMustExist(false);
  bits.setHideReadOnly(false);
  bits.setMultiSelect(true);
  EXPECT_EQ(bits.Flags(), 0x1000);
  bits.VBGetOpenFileName(name, title);
  EXPECT_EQ(last().record.Flags, 0x1200u);
  EXPECT_TRUE(last().request.readOnlyBoxShown);
  EXPECT_FALSE(last().request.readOnlyBoxChecked);
  // The save dialog hides the box and takes none of the open dialogs' settings.
  bits.setFlags(0);
  bits.setOverwritePrompt(false);
  bits.VBGetSaveFileName(name, title);
  EXPECT_EQ(last().record.Flags, 0x4u);
}

TEST_F(FileDlg, RecordCarriesTheSettingsAndTheBuffers) {
  answerWith({});
  struct Plain : tamso::Window {};
  const HWND owner = tamso::RegisterWindow(std::make_shared<Plain>());
  cFileDlg dlg;
  dlg.setFilter("AVI|*.avi:All|*.*");
  dlg.setFilterIndex(2);
  dlg.setDlgTitle("Pick");
  dlg.setDefaultExt("avi");
  dlg.setInitDirectory(Q(dir_.str()));
  QString name, title = "t";
  dlg.VBGetOpenFileName(name, title);
  const SeenDialog& seen = last();
  EXPECT_EQ(seen.record.lStructSize, 76u);
  EXPECT_EQ(seen.record.hwndOwner, 0u);  // owner -1: none
  EXPECT_EQ(seen.record.hInstance, 0u);
  EXPECT_EQ(seen.filterList, "AVI\0*.avi\0All\0*.*\0\0"s);
  EXPECT_EQ(seen.record.nFilterIndex, 2u);
  EXPECT_EQ(seen.record.nMaxFile, 1024u);
  EXPECT_EQ(seen.file, std::string(1024, '\0'));
  EXPECT_EQ(seen.record.nMaxFileTitle, 512u);
  EXPECT_EQ(seen.fileTitle, "t" + std::string(511, '\0'));
  EXPECT_EQ(seen.title, "Pick");
  EXPECT_EQ(seen.defExt, "avi");
  EXPECT_EQ(seen.initialDir, dir_.str());
  EXPECT_EQ(seen.record.lpstrCustomFilter, nullptr);
  EXPECT_EQ(seen.record.lpfnHook, nullptr);

  cFileDlg owned;
  owned.setOwnerHwnd(static_cast<LONG>(owner));
  owned.VBGetOpenFileName(name, title);
  EXPECT_EQ(last().record.hwndOwner, owner);
  EXPECT_EQ(last().filterList, "\0\0"s);
  tamso::UnregisterWindow(owner);
}

TEST_F(FileDlg, ConfirmedOpenWritesTheChoiceBack) {
  const std::string second = dir_.file("b.bee", "data");
  answerWith(ChooseFiles({second}, 2, true));
  cFileDlg dlg;
  dlg.setFilter("A files|*.a|B files|*.bee");
  dlg.setHideReadOnly(false);
  QString name, title;
  ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));
  EXPECT_EQ(name, Q(second));
  EXPECT_EQ(title, "b.bee");
  EXPECT_EQ(dlg.FilterIndex(), 2);
  EXPECT_EQ(dlg.Filter(), QString("B files") + QChar(u'\0') + "*.bee");
  EXPECT_EQ(dlg.Flags(), 0x1001);
  EXPECT_TRUE(dlg.ReadOnly());
  // The whole returned buffer: the name, then NULs up to 1024 characters.
  EXPECT_EQ(dlg.InitDirectory(), Q(second) + QString(1024 - second.size(), QChar(u'\0')));

  // The next dialog offers only the chosen entry, shown first as index 2 of the old list.
  answerWith(ChooseFiles({second}, std::nullopt, false));
  ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));
  EXPECT_EQ(seen_[0].request.filters.size(), 2u);
  EXPECT_EQ(last().request.filters.size(), 1u);
  EXPECT_EQ(last().request.initialDirectory, dir_.str());  // the folder of the last choice
  EXPECT_TRUE(last().request.readOnlyBoxChecked);
  // Read-only stays true though the box came back cleared.
  EXPECT_TRUE(dlg.ReadOnly());
  EXPECT_EQ(dlg.Flags() & 0x1, 0);
}

TEST_F(FileDlg, InitialNameLongerThanTheChoiceLeavesItsTailInInitDirectory) {
  const std::string a = dir_.file("a.avi");
  const std::string initial = dir_.str() + "/a-much-longer-initial-name.avi";
  answerWith(ChooseFiles({a}));
  cFileDlg dlg;
  QString name = Q(initial), title;
  ASSERT_TRUE(dlg.VBGetSaveFileName(name, title));
  EXPECT_EQ(name, Q(a));
  const QString init = dlg.InitDirectory();
  EXPECT_EQ(init.size(), 1024);
  EXPECT_EQ(init.left(a.size() + 1), Q(a) + QChar(u'\0'));
  EXPECT_EQ(init.mid(a.size() + 1, initial.size() - a.size() - 1), Q(initial.substr(a.size() + 1)));
}

TEST_F(FileDlg, CancelledDialogsResetTheResults) {
  answerWith({});
  cFileDlg dlg;
  dlg.setFilter("A|*.a");
  dlg.setFilterIndex(1);
  dlg.setFlags(0x8);
  dlg.setInitDirectory("/somewhere");
  QString name = "start", title = "t";
  EXPECT_FALSE(dlg.VBGetOpenFileName(name, title));
  EXPECT_EQ(name, kOneNul);
  EXPECT_EQ(title, kOneNul);
  EXPECT_EQ(dlg.Flags(), 0);
  EXPECT_EQ(dlg.FilterIndex(), -1);
  EXPECT_EQ(dlg.Filter(), kOneNul);
  EXPECT_EQ(dlg.InitDirectory(), "/somewhere");
  EXPECT_FALSE(dlg.ReadOnly());

  // The list after a cancel has no entries.
  EXPECT_FALSE(dlg.VBGetSaveFileName(name, title));
  EXPECT_TRUE(last().request.filters.empty());
  EXPECT_EQ(dlg.FilterIndex(), 0);
}

TEST_F(FileDlg, FailedDialogEndsLikeACancel) {
  // A path that does not fit the 1024-byte buffer.
  answerWith(ChooseFiles({dir_.str() + "/" + std::string(1100, 'n')}));
  cFileDlg dlg;
  dlg.setFileMustExist(false);
  QString name, title;
  EXPECT_FALSE(dlg.VBGetOpenFileName(name, title));
  EXPECT_EQ(name, kOneNul);
  EXPECT_EQ(dlg.FilterIndex(), -1);
}

TEST_F(FileDlg, FilterIndexOfZeroOrLessEndsWithNoEntry) {
  const std::string a = dir_.file("a.avi");
  cFileDlg dlg;
  for (DWORD returned : {0u, 0xFFFFFFFFu}) {
    answerWith(ChooseFiles({a}, returned));
    dlg.setFilter("A|*.a|B|*.b");
    QString name, title;
    ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));
    EXPECT_EQ(dlg.Filter(), "");
    EXPECT_EQ(dlg.FilterIndex(), static_cast<LONG>(returned));
  }
  // Past the end: the closing NUL, then the first entry again.
  answerWith(ChooseFiles({a}, 3));
  dlg.setFilter("A|*.a|B|*.b");
  QString name, title;
  ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));
  EXPECT_EQ(dlg.Filter(), kOneNul);
}

TEST_F(FileDlg, TooLongArgumentsFailBeforeAnyDialogWithNothingChanged) {
  answerWith({});
  cFileDlg dlg;
  dlg.setFilterIndex(3);
  const auto raises = [&](const QString& filter, QString name, QString title, int number) {
    dlg.setFilter(filter);
    const QString nameBefore = name, titleBefore = title;
    try {
      dlg.VBGetOpenFileName(name, title);
    } catch (const tamso::Error& e) {
      return e.number() == number && name == nameBefore && title == titleBefore && dlg.Filter() == filter &&
             dlg.FilterIndex() == 3 && seen_.empty();
    }
    return false;
  };
  EXPECT_TRUE(raises(QString(32767, 'f'), "", "", 6));
  EXPECT_TRUE(raises("", QString(1025, 'n'), "", 5));
  EXPECT_TRUE(raises("", "", QString(513, 't'), 5));

  // At the limits the dialog shows.
  dlg.setFilter(QString(32766, 'f'));
  QString name(1024, 'n'), title(512, 't');
  EXPECT_FALSE(dlg.VBGetOpenFileName(name, title));
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].file, std::string(1024, 'n'));
  EXPECT_EQ(seen_[0].request.initialName, std::string(1024, 'n'));
}

TEST_F(FileDlg, SeveralFilesStayInOneTextAsTheDialogWroteThem) {
  const std::string a = dir_.file("a.avi"), b = dir_.file("b.avi");
  answerWith(ChooseFiles({a, b}));
  cFileDlg dlg;
  dlg.setMultiSelect(true);
  QString name, title;
  ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));
  EXPECT_EQ(name, Q(dir_.str() + " a.avi b.avi"));

  dlg.setFlags(OFN_EXPLORER);
  ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));
  EXPECT_EQ(name, Q(dir_.str()));
  const QString names = QString("a.avi") + QChar(u'\0') + "b.avi" + QChar(u'\0') + QChar(u'\0');
  EXPECT_EQ(dlg.InitDirectory().mid(dir_.str().size() + 1, names.size()), names);
}

TEST_F(FileDlg, NamesBeyondAsciiRoundTrip) {
  const std::string clip = dir_.file("Été à Zürich.avi");
  answerWith(ChooseFiles({clip}));
  cFileDlg dlg;
  QString name = "Été", title;
  ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));
  EXPECT_EQ(last().request.initialName, "Été");
  EXPECT_EQ(name, Q(clip));
  EXPECT_EQ(title, QString::fromUtf8("Été à Zürich.avi"));
}

TEST_F(FileDlg, FileNameHelpers) {
  const cFileDlg dlg;
  EXPECT_FALSE(dlg.ExistFile(""));
  EXPECT_TRUE(dlg.ExistFile(Q(dir_.file("empty.avi"))));
  EXPECT_FALSE(dlg.ExistFile(Q(dir_.str() + "/missing.avi")));
  EXPECT_FALSE(dlg.ExistFile(Q(dir_.str() + "/no/such/dir/a.avi")));
  EXPECT_EQ(dlg.VBGetFileTitle(QString::fromUtf8("/clips/Été.avi")), QString::fromUtf8("Été.avi"));
  EXPECT_EQ(dlg.VBGetFileTitle("/clips/"), "");  // rejected: empty, not an error
}

}  // namespace
