#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/file_dialog_seam.h"
#include "platform/user32/window_table.h"
#include "tests/dialogs/dialog_test_support.h"

namespace tamso {
namespace {

using namespace std::string_literals;

// A dialog record and the buffers it points into.
struct Record {
  std::string filter;  // dialog form, closing NULs included
  std::string file = std::string(260, '\0');
  std::string fileTitle = std::string(64, '\0');
  std::string initialDir;
  std::string title;
  std::string defExt;
  OPENFILENAMEA ofn{};

  Record() {
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
  }
  OPENFILENAMEA* get() {
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.lpstrInitialDir = initialDir.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = defExt.c_str();
    return &ofn;
  }
  std::string fileText() const { return file.c_str(); }
  std::string titleText() const { return fileTitle.c_str(); }
};

FileDialogAnswer Choose(std::vector<std::string> files) { return ChooseFiles(std::move(files)); }

class FileDialogSeam : public ::testing::Test {
 protected:
  // Answers every dialog with `answer` and keeps the request it saw.
  void answerWith(FileDialogAnswer answer) {
    handler_.emplace([this, answer](const FileDialogRequest& request) {
      seen_ = request;
      seenCount_++;
      return answer;
    });
  }
  testing::ScratchFolder dir_;
  std::optional<ScopedFileDialogHandler> handler_;
  FileDialogRequest seen_;
  int seenCount_ = 0;
};

TEST_F(FileDialogSeam, RequestShowsWhatTheRecordAsks) {
  Record r;
  r.filter = "AVI files\0*.avi\0All files\0*.*\0\0"s;
  r.ofn.nFilterIndex = 2;
  r.title = "Select an avi file...";
  r.initialDir = dir_.str();
  r.defExt = ".avi";
  r.file = std::string(254, ' ') + '\0';
  r.ofn.nMaxFile = 255;
  r.ofn.Flags = OFN_READONLY | OFN_FILEMUSTEXIST;
  answerWith({});

  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  ASSERT_EQ(seenCount_, 1);
  EXPECT_EQ(seen_.kind, FileDialogKind::Open);
  EXPECT_EQ(seen_.title, "Select an avi file...");
  ASSERT_EQ(seen_.filters.size(), 2u);
  EXPECT_EQ(seen_.filters[1].description, "All files");
  EXPECT_EQ(seen_.filters[1].pattern, "*.*");
  EXPECT_EQ(seen_.selectedFilter, 1);
  EXPECT_EQ(seen_.initialDirectory, dir_.str());
  EXPECT_EQ(seen_.initialName, "");  // a buffer of spaces is no name
  EXPECT_EQ(seen_.defaultExtension, "avi");
  EXPECT_TRUE(seen_.readOnlyBoxShown);
  EXPECT_TRUE(seen_.readOnlyBoxChecked);
  EXPECT_EQ(seen_.record, &r.ofn);
}

TEST_F(FileDialogSeam, StartFolderFollowsTheNameThenTheInitialDirectory) {
  const std::string sub = dir_.folder("sub");
  const std::string clip = dir_.file("sub/clip.avi");
  answerWith({});
  Record r;

  r.initialDir = dir_.str();
  std::strcpy(r.file.data(), clip.c_str());
  GetOpenFileNameA(r.get());
  EXPECT_EQ(seen_.initialDirectory, sub);
  EXPECT_EQ(seen_.initialName, "clip.avi");

  // The path of a file as the initial directory opens in that file's folder.
  r.file.assign(260, '\0');
  r.initialDir = clip;
  GetOpenFileNameA(r.get());
  EXPECT_EQ(seen_.initialDirectory, sub);

  r.initialDir = dir_.str() + "/missing";
  GetOpenFileNameA(r.get());
  EXPECT_EQ(seen_.initialDirectory, std::filesystem::current_path().string());
}

TEST_F(FileDialogSeam, FilterIndexOutsideTheListShowsTheFirstEntry) {
  answerWith({});
  Record r;
  r.filter = "A\0*.a\0B\0*.b\0\0"s;
  for (DWORD index : {0u, 3u, 0xFFFFFFFFu}) {
    r.ofn.nFilterIndex = index;
    GetSaveFileNameA(r.get());
    EXPECT_EQ(seen_.selectedFilter, 0) << index;
    EXPECT_EQ(seen_.kind, FileDialogKind::Save);
    EXPECT_EQ(seen_.title, "Save As");
  }
  // An entry without a pattern ends the list: nothing is read past the closing NUL.
  r.filter = "A\0*.a\0B\0\0"s;
  GetOpenFileNameA(r.get());
  EXPECT_EQ(seen_.filters.size(), 1u);
  EXPECT_EQ(seen_.title, "Open");
}

TEST_F(FileDialogSeam, ConfirmedChoiceIsWrittenBackAndTheRestOfTheBufferKept) {
  const std::string clip = dir_.file("clip.avi", "RIFF");
  answerWith(ChooseFiles({clip}, 2, true));
  Record r;
  r.filter = "A\0*.a\0B\0*.b\0\0"s;
  r.file.assign(260, 'x');
  r.file[259] = '\0';
  r.ofn.Flags = OFN_FILEMUSTEXIST;

  ASSERT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(r.fileText(), clip);
  EXPECT_EQ(r.file[clip.size() + 1], 'x');
  EXPECT_EQ(r.titleText(), "clip.avi");
  EXPECT_EQ(r.ofn.nFilterIndex, 2u);
  EXPECT_EQ(r.ofn.Flags, OFN_FILEMUSTEXIST | OFN_READONLY);
  EXPECT_EQ(r.ofn.nFileOffset, clip.size() - 8);
  EXPECT_EQ(r.ofn.nFileExtension, clip.size() - 3);
  EXPECT_EQ(r.filter, "A\0*.a\0B\0*.b\0\0"s);
}

TEST_F(FileDialogSeam, ReadOnlyBitFollowsTheBoxOnlyWhenItIsShown) {
  const std::string clip = dir_.file("clip.avi");
  Record r;
  answerWith(ChooseFiles({clip}, std::nullopt, false));
  r.ofn.Flags = OFN_READONLY;
  ASSERT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(r.ofn.Flags, 0u);

  r.ofn.Flags = OFN_READONLY | OFN_HIDEREADONLY;
  ASSERT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(r.ofn.Flags, OFN_READONLY | OFN_HIDEREADONLY);

  // Untouched box: it stays as it was shown.
  answerWith(Choose({clip}));
  r.ofn.Flags = OFN_READONLY;
  ASSERT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(r.ofn.Flags, OFN_READONLY);
  EXPECT_EQ(r.ofn.nFilterIndex, 0u);  // no filter entries
}

TEST_F(FileDialogSeam, NameIsTakenInTheFolderAndGetsTheDefaultExtension) {
  Record r;
  r.initialDir = dir_.str();
  r.defExt = "avi";
  answerWith(Choose({"new"}));
  ASSERT_TRUE(GetSaveFileNameA(r.get()));
  EXPECT_EQ(r.fileText(), dir_.str() + "/new.avi");
  EXPECT_EQ(r.ofn.Flags & OFN_EXTENSIONDIFFERENT, 0u);

  answerWith(Choose({"notes.TXT"}));
  ASSERT_TRUE(GetSaveFileNameA(r.get()));
  EXPECT_EQ(r.fileText(), dir_.str() + "/notes.TXT");
  EXPECT_EQ(r.ofn.Flags & OFN_EXTENSIONDIFFERENT, OFN_EXTENSIONDIFFERENT);

  answerWith(Choose({"plain"}));
  r.defExt.clear();
  ASSERT_TRUE(GetSaveFileNameA(r.get()));
  EXPECT_EQ(r.ofn.nFileExtension, r.fileText().size());  // no extension: the NUL
}

TEST_F(FileDialogSeam, SeveralFilesClassicAndExplorerForms) {
  const std::string a = dir_.file("a.avi"), b = dir_.file("b c.avi");
  answerWith(Choose({a, b}));
  Record r;
  r.ofn.Flags = OFN_ALLOWMULTISELECT;
  ASSERT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(r.fileText(), dir_.str() + " a.avi \"b c.avi\"");
  EXPECT_EQ(r.ofn.nFileOffset, dir_.str().size() + 1);

  r.ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER;
  ASSERT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(r.file.substr(0, dir_.str().size() + 16), dir_.str() + "\0a.avi\0b c.avi\0\0"s);

  // One file of a multiple selection is a plain path.
  answerWith(Choose({b}));
  ASSERT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(r.fileText(), b);
}

TEST_F(FileDialogSeam, CancelReturnsZeroAndChangesNothing) {
  answerWith({});
  Record r;
  r.file = "start\0"s + std::string(250, 'x');
  const Record before = r;
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(r.file, before.file);
  EXPECT_EQ(r.ofn.Flags, before.ofn.Flags);
  EXPECT_EQ(seen_.initialName, "start");
}

TEST_F(FileDialogSeam, ChoiceTooLongForTheBufferFailsWithTheNeededSize) {
  const std::string clip = dir_.file(std::string(40, 'n') + ".avi");
  answerWith(Choose({clip}));
  Record r;
  r.ofn.nMaxFile = static_cast<DWORD>(clip.size());  // one short: no room for the NUL
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  EXPECT_EQ(static_cast<unsigned char>(r.file[0]) | (static_cast<unsigned char>(r.file[1]) << 8),
            static_cast<int>(clip.size() + 1));
  EXPECT_EQ(r.titleText(), "");

  r.file.assign(260, '\0');
  r.ofn.nMaxFile = 260;
  r.ofn.nMaxFileTitle = 10;
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  EXPECT_EQ(r.fileText(), "");
}

TEST_F(FileDialogSeam, ChoicesTheDialogWouldRefuseFail) {
  const std::string a = dir_.file("a.avi"), b = dir_.file("sub/b.avi");
  Record r;
  const auto refused = [&](FileDialogAnswer answer, DWORD flags, bool save = false) {
    answerWith(std::move(answer));
    r.ofn.Flags = flags;
    const BOOL result = save ? GetSaveFileNameA(r.get()) : GetOpenFileNameA(r.get());
    return !result && CommDlgExtendedError() == FNERR_INVALIDFILENAME && r.fileText().empty();
  };
  EXPECT_TRUE(refused(Choose({dir_.str() + "/missing.avi"}), OFN_FILEMUSTEXIST));
  EXPECT_TRUE(refused(Choose({dir_.str() + "/no/such/x.avi"}), OFN_PATHMUSTEXIST, true));
  EXPECT_TRUE(refused(Choose({dir_.str()}), OFN_FILEMUSTEXIST));  // a folder is no file
  EXPECT_TRUE(refused(Choose({a, a}), 0));                        // several without the flag
  EXPECT_TRUE(refused(Choose({a, a}), OFN_ALLOWMULTISELECT, true));
  EXPECT_TRUE(refused(Choose({a, b}), OFN_ALLOWMULTISELECT));  // two folders
  EXPECT_TRUE(refused(Choose({}), 0));
  // Without the flags a new name is fine.
  answerWith(Choose({dir_.str() + "/missing.avi"}));
  r.ofn.Flags = 0;
  EXPECT_TRUE(GetOpenFileNameA(r.get()));
}

TEST_F(FileDialogSeam, RecordsTheDialogCannotShowFail) {
  answerWith(Choose({"x"}));
  Record r;
  r.ofn.lStructSize = 88;
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);

  r.ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  r.ofn.nMaxFile = 0;
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
  EXPECT_FALSE(GetOpenFileNameA(nullptr));

  r.ofn.nMaxFile = 260;
  r.ofn.hwndOwner = 0x7FFF1234;  // names no window
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_DIALOGFAILURE);

  struct Plain : Window {};
  const HWND owner = RegisterWindow(std::make_shared<Plain>());
  r.ofn.hwndOwner = owner;
  EXPECT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(seen_.owner, owner);
  UnregisterWindow(owner);
  EXPECT_EQ(seenCount_, 1);
}

TEST(FileDialogWithoutApplication, FailsInsteadOfShowing) {
  Record r;
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
}

}  // namespace
}  // namespace tamso
