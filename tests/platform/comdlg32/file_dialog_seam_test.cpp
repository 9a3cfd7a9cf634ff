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
  std::string initialDir, title, defExt;
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
};

class FileDialogSeam : public ::testing::Test {
 protected:
  // Answers every dialog with `answer` and keeps the request it saw.
  void answerWith(FileDialogAnswer answer) {
    handler_.emplace([this, answer](const FileDialogRequest& request) {
      seen_ = request;
      return answer;
    });
  }
  testing::ScratchFolder dir_;
  std::optional<ScopedFileDialogHandler> handler_;
  FileDialogRequest seen_;
};

TEST_F(FileDialogSeam, RequestShowsWhatTheRecordAsks) {
  const std::string sub = dir_.folder("sub"), clip = dir_.file("sub/clip.avi");
  Record r;
  r.filter = "AVI files\0*.avi\0All files\0*.*\0\0"s;
  r.ofn.nFilterIndex = 2;
  r.title = "Select an avi file...";
  r.initialDir = dir_.str();
  r.defExt = ".avi";
  r.file = std::string(254, ' ') + '\0';
  r.ofn.Flags = OFN_READONLY | OFN_FILEMUSTEXIST;
  answerWith({});
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(seen_.kind, FileDialogKind::Open);
  EXPECT_EQ(seen_.title, "Select an avi file...");
  ASSERT_EQ(seen_.filters.size(), 2u);
  EXPECT_EQ(seen_.filters[1].description, "All files");
  EXPECT_EQ(seen_.filters[1].pattern, "*.*");
  EXPECT_EQ(seen_.selectedFilter, 1);
  EXPECT_EQ(seen_.initialDirectory, dir_.str());
  EXPECT_EQ(seen_.initialName, "") << "a buffer of spaces is no name";
  EXPECT_EQ(seen_.defaultExtension, "avi");
  EXPECT_TRUE(seen_.readOnlyBoxShown && seen_.readOnlyBoxChecked);
  EXPECT_EQ(seen_.record, &r.ofn);

  // The start folder: the name's folder, else the initial directory (a file's folder when
  // it names a file), else the current directory.
  const struct {
    std::string name, initialDir, folder;
  } starts[] = {{clip, dir_.str(), sub},
                {"", clip, sub},
                {"", dir_.str() + "/missing", std::filesystem::current_path().string()}};
  for (const auto& s : starts) {
    r.file.assign(260, '\0');
    std::strcpy(r.file.data(), s.name.c_str());
    r.initialDir = s.initialDir;
    GetOpenFileNameA(r.get());
    EXPECT_EQ(seen_.initialDirectory, s.folder) << s.name << " / " << s.initialDir;
  }
  EXPECT_EQ(seen_.initialName, "");

  // A filter index outside the list shows the first entry; an entry without a pattern
  // ends the list; without a title the dialog is "Open" or "Save As".
  r.title.clear();
  r.filter = "A\0*.a\0B\0\0"s;
  for (DWORD index : {0u, 3u, 0xFFFFFFFFu}) {
    r.ofn.nFilterIndex = index;
    GetSaveFileNameA(r.get());
    EXPECT_EQ(seen_.selectedFilter, 0) << index;
    EXPECT_EQ(seen_.filters.size(), 1u);
  }
  EXPECT_EQ(seen_.kind, FileDialogKind::Save);
  EXPECT_EQ(seen_.title, "Save As");
  GetOpenFileNameA(r.get());
  EXPECT_EQ(seen_.title, "Open");
}

// The choice itself, the title and the filter index as cFileDlg reads them back are
// checked through cFileDlg.
TEST_F(FileDialogSeam, ConfirmedChoiceSetsOffsetsReadOnlyBitAndDefaultExtension) {
  const std::string clip = dir_.file("clip.avi", "RIFF");
  Record r;
  answerWith(ChooseFiles({clip}));
  ASSERT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(r.ofn.nFileOffset, clip.size() - 8);
  EXPECT_EQ(r.ofn.nFileExtension, clip.size() - 3);

  // The read-only bit follows the box only when it is shown.
  const struct {
    std::optional<bool> box;
    DWORD before, after;
  } boxes[] = {{false, OFN_READONLY, 0},
               {false, OFN_READONLY | OFN_HIDEREADONLY, OFN_READONLY | OFN_HIDEREADONLY},
               {std::nullopt, OFN_READONLY, OFN_READONLY}};
  for (const auto& b : boxes) {
    answerWith(ChooseFiles({clip}, std::nullopt, b.box));
    r.ofn.Flags = b.before;
    ASSERT_TRUE(GetOpenFileNameA(r.get()));
    EXPECT_EQ(r.ofn.Flags, b.after) << b.before;
  }

  // A bare name is taken in the folder and gets the default extension unless it has one.
  r.initialDir = dir_.str();
  r.defExt = "avi";
  const struct {
    const char* answer;
    std::string path;
    DWORD different;
  } names[] = {{"new", dir_.str() + "/new.avi", 0},
               {"notes.TXT", dir_.str() + "/notes.TXT", OFN_EXTENSIONDIFFERENT}};
  for (const auto& n : names) {
    answerWith(ChooseFiles({n.answer}));
    ASSERT_TRUE(GetSaveFileNameA(r.get()));
    EXPECT_EQ(r.fileText(), n.path);
    EXPECT_EQ(r.ofn.Flags & OFN_EXTENSIONDIFFERENT, n.different);
  }
  answerWith(ChooseFiles({"plain"}));
  r.defExt.clear();
  ASSERT_TRUE(GetSaveFileNameA(r.get()));
  EXPECT_EQ(r.ofn.nFileExtension, r.fileText().size()) << "no extension: the NUL";
}

TEST_F(FileDialogSeam, FailuresReturnZeroWithTheirCodeAndWriteNoChoice) {
  const std::string a = dir_.file("a.avi"), b = dir_.file("sub/b.avi");
  const std::string longName = dir_.file(std::string(40, 'n') + ".avi");
  const HWND owner = RegisterWindow(std::make_shared<Window>());
  const struct {
    const char* what;
    FileDialogAnswer answer;
    DWORD flags = 0;
    bool save = false;
    DWORD structSize = OPENFILENAME_SIZE_VERSION_400A, maxFile = 260, maxTitle = 64, owner = 0;
    DWORD error = FNERR_INVALIDFILENAME;
  } cases[] = {
      {.what = "cancel", .answer = CancelDialog(), .error = 0},
      {.what = "missing file",
       .answer = ChooseFiles({dir_.str() + "/missing.avi"}),
       .flags = OFN_FILEMUSTEXIST},
      {.what = "missing path",
       .answer = ChooseFiles({dir_.str() + "/no/x.avi"}),
       .flags = OFN_PATHMUSTEXIST,
       .save = true},
      {.what = "a folder", .answer = ChooseFiles({dir_.str()}), .flags = OFN_FILEMUSTEXIST},
      {.what = "several without the flag", .answer = ChooseFiles({a, a})},
      {.what = "several to save", .answer = ChooseFiles({a, a}), .flags = OFN_ALLOWMULTISELECT, .save = true},
      {.what = "two folders", .answer = ChooseFiles({a, b}), .flags = OFN_ALLOWMULTISELECT},
      {.what = "no file", .answer = ChooseFiles({})},
      {.what = "title buffer", .answer = ChooseFiles({a}), .maxTitle = 5, .error = FNERR_BUFFERTOOSMALL},
      {.what = "struct size", .answer = ChooseFiles({a}), .structSize = 88, .error = CDERR_STRUCTSIZE},
      {.what = "no buffer", .answer = ChooseFiles({a}), .maxFile = 0, .error = CDERR_INITIALIZATION},
      {.what = "unknown owner",
       .answer = ChooseFiles({a}),
       .owner = 0x7FFF1234,
       .error = CDERR_DIALOGFAILURE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    answerWith(c.answer);
    Record r;
    r.file = "start\0"s + std::string(250, 'x');
    r.ofn.Flags = c.flags;
    r.ofn.lStructSize = c.structSize;
    r.ofn.nMaxFile = c.maxFile;
    r.ofn.nMaxFileTitle = c.maxTitle;
    r.ofn.hwndOwner = c.owner;
    EXPECT_FALSE(c.save ? GetSaveFileNameA(r.get()) : GetOpenFileNameA(r.get()));
    EXPECT_EQ(CommDlgExtendedError(), c.error);
    EXPECT_EQ(r.file, "start\0"s + std::string(250, 'x'));
  }
  EXPECT_FALSE(GetOpenFileNameA(nullptr));

  // A choice too long for the buffer: the size needed in its first two bytes.
  answerWith(ChooseFiles({longName}));
  Record r;
  r.ofn.nMaxFile = static_cast<DWORD>(longName.size());
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  EXPECT_EQ(static_cast<unsigned char>(r.file[0]) | (static_cast<unsigned char>(r.file[1]) << 8),
            static_cast<int>(longName.size() + 1));

  // Without the flags a new name is fine, and a known owner is passed on.
  answerWith(ChooseFiles({dir_.str() + "/missing.avi"}));
  r.ofn.nMaxFile = 260;
  r.ofn.hwndOwner = owner;
  EXPECT_TRUE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(seen_.owner, owner);
  UnregisterWindow(owner);
}

TEST(FileDialogWithoutApplication, FailsInsteadOfShowing) {
  Record r;
  EXPECT_FALSE(GetOpenFileNameA(r.get()));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
}

TEST(GetFileTitleA, GivesTheLastComponentOrTheSizeNeeded) {
  const struct {
    const char* path;
    int size;  // of the buffer; -1: no buffer
    int result;
    const char* title;  // what the buffer then holds
  } cases[] = {
      {"/data/clips/holiday.avi", 64, 0, "holiday.avi"},
      {"bare name.avi", 64, 0, "bare name.avi"},
      {"/x/a:b\\c", 64, 0, "a:b\\c"},  // backslashes and colons belong to the name
      {"/d/holiday.avi", 12, 0, "holiday.avi"},
      {"/d/holiday.avi", 11, 12, "keep"},
      {"/d/holiday.avi", -1, 12, "keep"},
      {"", 64, -1, "keep"},
      {nullptr, 64, -1, "keep"},
      {"/data/clips/", 64, -1, "keep"},
  };
  for (const auto& c : cases) {
    char title[64] = "keep";
    EXPECT_EQ(GetFileTitleA(c.path, c.size < 0 ? nullptr : title, static_cast<WORD>(c.size < 0 ? 0 : c.size)),
              c.result)
        << (c.path ? c.path : "null");
    EXPECT_STREQ(title, c.title) << (c.path ? c.path : "null");
  }
  char title[16] = "keep";
  EXPECT_EQ(GetFileTitleA("/d/a.avi", nullptr, 16), -1);
  EXPECT_STREQ(title, "keep");
}

}  // namespace
}  // namespace tamso
