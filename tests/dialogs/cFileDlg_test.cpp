#include <gtest/gtest.h>

#include <tuple>

#include "dialogs/cFileDlg.h"
#include "platform/comdlg32/file_dialog_seam.h"
#include "platform/runtime/tamso_error.h"
#include "platform/shell32/shlobj.h"
#include "platform/user32/window_table.h"
#include "tests/dialogs/dialog_test_support.h"

namespace {

using tamso::ChooseFiles;
using tamso::FileDialogAnswer;
using tamso::FileDialogKind;
using tamso::FileDialogRequest;

QString Q(const std::string& s) { return QString::fromStdString(s); }
// Texts with NULs, written with '|' in their place.
QString N(QString s) { return s.replace('|', QChar(u'\0')); }

// What a dialog was given, with its buffers copied while it was open.
struct SeenDialog {
  FileDialogRequest request;
  std::string file, fileTitle;
};

class FileDlg : public ::testing::Test {
 protected:
  void answerWith(FileDialogAnswer answer) {
    handler_.emplace([this, answer](const FileDialogRequest& request) {
      const OPENFILENAMEA& r = *request.record;
      seen_.push_back(
          {request, std::string(r.lpstrFile, r.nMaxFile), std::string(r.lpstrFileTitle, r.nMaxFileTitle)});
      return answer;
    });
  }
  const FileDialogRequest& last() const { return seen_.back().request; }
  bool open(cFileDlg& dlg) { return dlg.VBGetOpenFileName(name_, title_); }

  tamso::testing::ScratchHome home_;
  tamso::testing::ScratchFolder dir_;
  std::optional<tamso::ScopedFileDialogHandler> handler_;
  std::vector<SeenDialog> seen_;
  QString name_, title_;
};

TEST_F(FileDlg, FlagWordsOfEachDialog) {
  const struct {
    FileDialogKind kind;
    LONG flags;
    bool mustExist, hideReadOnly, multiSelect, overwritePrompt;
    DWORD expected;
  } cases[] = {{FileDialogKind::Open, 0, true, true, false, true, 0x1004},
               {FileDialogKind::OpenPreview, 0, true, true, false, true, 0x1004},
               {FileDialogKind::Save, 0, true, true, false, true, 0x6},
               {FileDialogKind::Open, 0x1060, false, false, true, true, 0x1200},  // no hooks
               {FileDialogKind::Save, 0, false, false, true, false, 0x4}};        // not the open settings
  answerWith({});
  for (const auto& c : cases) {
    cFileDlg dlg;
    dlg.setFlags(c.flags);
    dlg.setFileMustExist(c.mustExist);
    dlg.setHideReadOnly(c.hideReadOnly);
    dlg.setMultiSelect(c.multiSelect);
    dlg.setOverwritePrompt(c.overwritePrompt);
    c.kind == FileDialogKind::Open          ? open(dlg)
    : c.kind == FileDialogKind::OpenPreview ? dlg.VBGetOpenFileNamePreview(name_, title_)
                                            : dlg.VBGetSaveFileName(name_, title_);
    EXPECT_TRUE(last().flags == c.expected && last().kind == c.kind) << c.expected;
  }
}

TEST_F(FileDlg, RecordCarriesTheCreationValuesAndTheSettings) {
  answerWith({});
  cFileDlg plain;
  title_ = "t";
  open(plain);
  // Owner -1 is none; the title is the program's; the start folder is Documents.
  EXPECT_EQ(std::tuple(last().owner, last().filters.size(), last().title, last().initialDirectory),
            std::tuple(HWND{0}, 0u, "Tamso AVI", home_.documents()));
  EXPECT_EQ(seen_.back().file, std::string(1024, '\0'));
  EXPECT_EQ(seen_.back().fileTitle, "t" + std::string(511, '\0'));

  struct Plain : tamso::Window {};
  const HWND owner = tamso::RegisterWindow(std::make_shared<Plain>());
  cFileDlg dlg;
  dlg.setOwnerHwnd(static_cast<LONG>(owner));
  dlg.setFilter("AVI|*.avi:All|*.*");
  dlg.setFilterIndex(2);
  dlg.setDlgTitle("Pick");
  dlg.setDefaultExt("avi");
  dlg.setInitDirectory(Q(dir_.str()));
  open(dlg);
  ASSERT_EQ(last().filters.size(), 2u);
  EXPECT_EQ(std::tuple(last().owner, last().filters[1].description, last().filters[1].pattern,
                       last().selectedFilter, last().title, last().defaultExtension, last().initialDirectory),
            std::tuple(owner, "All", "*.*", 1, "Pick", "avi", dir_.str()));
  tamso::UnregisterWindow(owner);

  // Special folders replace the start folder, with nothing for virtual ones.
  home_.folder().folder("Music");
  dlg.setInitDirectorySpecial(CSIDL_MYMUSIC);
  EXPECT_EQ(dlg.InitDirectory(), Q(home_.folder().str() + "/Music"));
  dlg.setInitDirectorySpecial(CSIDL_DRIVES);
  EXPECT_EQ(dlg.InitDirectory(), "");
}

TEST(FileDlgWithoutDocuments, StartsWithAnEmptyInitDirectory) {
  tamso::testing::ScratchHome home(/*withDocuments=*/false);
  EXPECT_EQ(cFileDlg().InitDirectory(), "");
}

TEST_F(FileDlg, ConfirmedDialogsWriteTheChoiceBack) {
  const std::string second = dir_.file("b.bee", "data");
  answerWith(ChooseFiles({second}, 2, true));
  cFileDlg dlg;
  dlg.setFilter("A files|*.a|B files|*.bee");
  dlg.setHideReadOnly(false);
  ASSERT_TRUE(open(dlg));
  EXPECT_TRUE(name_ == Q(second) && title_ == "b.bee");
  EXPECT_TRUE(dlg.FilterIndex() == 2 && dlg.Filter() == N("B files|*.bee"));
  EXPECT_TRUE(dlg.Flags() == 0x1001 && dlg.ReadOnly());
  // The whole returned buffer: the name, then NULs up to 1024 characters.
  EXPECT_EQ(dlg.InitDirectory(), Q(second) + QString(1024 - second.size(), QChar(u'\0')));

  // The next dialog offers only the chosen entry and opens in the chosen file's folder.
  answerWith(ChooseFiles({second}, std::nullopt, false));
  ASSERT_TRUE(open(dlg));
  EXPECT_EQ(std::tuple(last().filters.size(), last().readOnlyBoxChecked, last().initialDirectory),
            std::tuple(1u, true, dir_.str()));
  EXPECT_TRUE(dlg.ReadOnly()) << "read-only stays set though the box came back cleared";

  // A bare name typed into the save dialog lands in the folder with the default extension.
  answerWith(ChooseFiles({"new"}));
  cFileDlg save;
  save.setInitDirectory(Q(dir_.str()));
  save.setDefaultExt("avi");
  ASSERT_TRUE(save.VBGetSaveFileName(name_, title_));
  EXPECT_EQ(name_, Q(dir_.str() + "/new.avi"));
}

TEST_F(FileDlg, FilterOfTheReturnedIndexCountsOnPastTheEndAndStartsAgain) {
  const std::string a = dir_.file("a.avi");
  const struct {
    const char* filter;
    DWORD returned;
    const char* entry;  // '|' for NUL
  } cases[] = {{"A|*.a|B|*.b;*.c", 2, "B|*.b;*.c"}, {"A|*.a|B|*.b;*.c", 3, "|"},
               {"A|*.a|B|*.b;*.c", 4, "A|*.a"},     {"A|*.a|B|*.b;*.c", 0x7FFFFFFF, "A|*.a"},
               {"A|*.a|B|*.b;*.c", 0, ""},          {"", 2, ""}};
  cFileDlg dlg;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.filter) + " #" + std::to_string(c.returned));
    answerWith(ChooseFiles({a}, c.returned));
    dlg.setFilter(c.filter);
    ASSERT_TRUE(open(dlg));
    EXPECT_EQ(dlg.Filter(), N(c.entry));
    EXPECT_EQ(dlg.FilterIndex(), static_cast<LONG>(c.returned));
  }
}

TEST_F(FileDlg, CancelledOrFailedDialogsResetTheResults) {
  // Cancel, a missing file that must exist, a new path too long for the 1024-byte buffer.
  const std::pair<FileDialogAnswer, bool> answers[] = {
      {{}, true},
      {ChooseFiles({dir_.str() + "/gone.avi"}), true},
      {ChooseFiles({dir_.str() + "/" + std::string(1100, 'n')}), false}};
  cFileDlg dlg;
  for (const auto& [answer, mustExist] : answers) {
    answerWith(answer);
    dlg.setFileMustExist(mustExist);
    dlg.setFilter("A|*.a");
    dlg.setFilterIndex(1);
    dlg.setFlags(0x8);
    dlg.setInitDirectory("/somewhere");
    name_ = "start", title_ = "t";
    EXPECT_FALSE(open(dlg));
    EXPECT_TRUE(name_ == N("|") && title_ == N("|"));
    EXPECT_TRUE(dlg.Flags() == 0 && dlg.FilterIndex() == -1 && dlg.Filter() == N("|"));
    EXPECT_TRUE(dlg.InitDirectory() == "/somewhere" && !dlg.ReadOnly());
  }
  EXPECT_FALSE(dlg.VBGetSaveFileName(name_, title_));
  EXPECT_TRUE(last().filters.empty()) << "the list after a cancel has no entries";
  EXPECT_EQ(dlg.FilterIndex(), 0);
}

TEST_F(FileDlg, TooLongArgumentsFailBeforeAnyDialogWithNothingChanged) {
  answerWith({});
  cFileDlg dlg;
  dlg.setFilterIndex(3);
  const struct {
    QString filter, name, title;
    int error;
  } cases[] = {
      {QString(32767, 'f'), "", "", 6}, {"", QString(1025, 'n'), "", 5}, {"", "", QString(513, 't'), 5}};
  for (const auto& c : cases) {
    dlg.setFilter(c.filter);
    name_ = c.name, title_ = c.title;
    int error = 0;
    try {
      open(dlg);
    } catch (const tamso::Error& e) {
      error = e.number();
    }
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(name_ == c.name && title_ == c.title && dlg.Filter() == c.filter && dlg.FilterIndex() == 3);
  }
  EXPECT_TRUE(seen_.empty());
  // At the limits the dialog shows.
  dlg.setFilter(QString(32766, 'f'));
  name_ = QString(1024, 'n'), title_ = QString(512, 't');
  EXPECT_FALSE(open(dlg));
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].request.initialName, std::string(1024, 'n'));
}

TEST_F(FileDlg, SeveralFilesAndNamesBeyondAscii) {
  const std::string a = dir_.file("a.avi"), b = dir_.file("b c.avi");
  answerWith(ChooseFiles({a, b}));
  cFileDlg dlg;
  dlg.setMultiSelect(true);
  ASSERT_TRUE(open(dlg));
  EXPECT_EQ(name_, Q(dir_.str() + " a.avi \"b c.avi\"")) << "names with spaces quoted";
  dlg.setFlags(OFN_EXPLORER);
  ASSERT_TRUE(open(dlg));
  EXPECT_EQ(name_, Q(dir_.str()));
  EXPECT_EQ(dlg.InitDirectory().mid(dir_.str().size() + 1, 15), N("a.avi|b c.avi||"));

  const std::string clip = dir_.file("Été à Zürich.avi");
  answerWith(ChooseFiles({clip}));
  name_ = "Été";
  ASSERT_TRUE(cFileDlg().VBGetOpenFileName(name_, title_));
  EXPECT_TRUE(last().initialName == "Été" && name_ == Q(clip) && title_ == "Été à Zürich.avi");

  // The buffers hold 1024 and 512 characters of any script, and the returned buffer keeps
  // the rest of the initial name character by character.
  const QString folder = Q(dir_.str()) + "/", han(1, QChar(0x6587)), cyrillic(1, QChar(0x0434));
  const QString longest = folder + han.repeated(600) + "/" + han.repeated(1023 - folder.size() - 601);
  const struct {
    QString chosen, initial;
  } cases[] = {{longest, ""}, {folder + han.repeated(511), ""}, {folder + "a.avi", cyrillic.repeated(600)}};
  cFileDlg any;
  for (const auto& c : cases) {
    answerWith(ChooseFiles({c.chosen.toStdString()}));
    any.setFileMustExist(false);
    name_ = c.initial, title_ = "";
    ASSERT_TRUE(open(any)) << c.chosen.size();
    EXPECT_EQ(std::pair(name_, title_), std::pair(c.chosen, c.chosen.mid(c.chosen.lastIndexOf('/') + 1)));
    EXPECT_EQ(any.InitDirectory(),
              N(c.chosen + "|") + c.initial.mid(c.chosen.size() + 1) +
                  QString(1024 - std::max(c.initial.size(), c.chosen.size() + 1), QChar(u'\0')));
  }
}

TEST_F(FileDlg, FileNameHelpers) {
  const cFileDlg dlg;
  EXPECT_EQ(std::tuple(dlg.ExistFile(""), dlg.ExistFile(Q(dir_.file("empty.avi"))),
                       dlg.ExistFile(Q(dir_.str() + "/missing.avi"))),
            std::tuple(false, true, false));
  EXPECT_EQ(dlg.VBGetFileTitle("/clips/Été a:b\\c.avi"), "Été a:b\\c.avi") << "only '/' separates";
  EXPECT_EQ(dlg.VBGetFileTitle("/clips/"), "") << "rejected: empty, not an error";
}

}  // namespace
