// What the program's own callers cannot send: damaged records, small buffers, no
// application object. The dialogs as cFileDlg drives them are tested with cFileDlg.
#include <gtest/gtest.h>

#include <string>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/file_dialog_seam.h"
#include "platform/runtime/ansi_text.h"
#include "tests/dialogs/dialog_test_support.h"

namespace tamso {
namespace {

using namespace std::string_literals;

// What a file buffer of 256 characters holds before the call: "start", a NUL, then x's.
const std::string kUntouched =
    ("start\0"s + std::string(AnsiBufferBytes(256), 'x')).substr(0, AnsiBufferBytes(256));

// A record over a file buffer that holds kUntouched and a title buffer.
struct Record {
  std::string file = kUntouched;
  std::string fileTitle = std::string(AnsiBufferBytes(64), '\0');
  OPENFILENAMEA ofn{};

  explicit Record(DWORD maxFile = 256, DWORD maxTitle = 64) {
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = maxFile;
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = maxTitle;
  }
};

// Buffer sizes count characters: a name of 40 two-byte letters needs 45 characters of
// title buffer (with ".avi" and the NUL), not 85 bytes.
TEST(FileDialogRecord, SizesCountCharactersAndAChoiceThatDoesNotFitChangesOnlyTheNeededSize) {
  testing::ScratchFolder dir;
  std::string name;
  for (int i = 0; i < 40; ++i) name += "\u0434";
  const std::string clip = dir.file(name + ".avi");
  const auto chars = static_cast<DWORD>(AnsiCharCount(clip) + 1);
  ScopedFileDialogHandler answer([&](const FileDialogRequest&) { return ChooseFiles({clip}); });
  const struct {
    const char* what;
    DWORD structSize, maxFile, maxTitle;
    bool chosen;
  } cases[] = {{"struct size", 88, 256, 64, false},
               {"no file buffer", OPENFILENAME_SIZE_VERSION_400A, 0, 64, false},
               {"file buffer one short", OPENFILENAME_SIZE_VERSION_400A, chars - 1, 64, false},
               {"title buffer one short", OPENFILENAME_SIZE_VERSION_400A, 256, 44, false},
               {"both just fit", OPENFILENAME_SIZE_VERSION_400A, chars, 45, true}};
  for (const auto& c : cases) {
    Record r(c.maxFile, c.maxTitle);
    r.ofn.lStructSize = c.structSize;
    EXPECT_EQ(GetOpenFileNameA(&r.ofn) != 0, c.chosen) << c.what;
    std::string file = kUntouched;
    if (c.chosen) file.replace(0, clip.size() + 1, clip + '\0');
    if (c.maxFile == chars - 1) file[0] = static_cast<char>(chars), file[1] = static_cast<char>(chars >> 8);
    EXPECT_EQ(r.file, file) << c.what;
    EXPECT_EQ(r.fileTitle.c_str(), c.chosen ? name + ".avi" : "") << c.what;
  }
  EXPECT_FALSE(GetOpenFileNameA(nullptr));
}

TEST(FileDialogWithoutApplication, FailsInsteadOfShowing) {
  Record r;
  EXPECT_FALSE(GetOpenFileNameA(&r.ofn));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
}

// The title of "/d/holiday.avi" needs 12 characters, that of "/d/été.avi" 8 (10 bytes).
TEST(GetFileTitleA, FillsABufferThatFitsAndOtherwiseGivesTheSizeNeeded) {
  const struct {
    const char* file;
    int size;  // -1: no buffer
    int result;
    const char* title;  // what the buffer then holds
  } cases[] = {{"/d/holiday.avi", 12, 0, "holiday.avi"},
               {"/d/holiday.avi", 11, 12, "keep"},
               {"/d/holiday.avi", -1, 12, "keep"},
               {"/d/\u00E9t\u00E9.avi", 8, 0, "\u00E9t\u00E9.avi"},
               {"/d/\u00E9t\u00E9.avi", 7, 8, "keep"}};
  for (const auto& c : cases) {
    char title[64] = "keep";
    EXPECT_EQ(GetFileTitleA(c.file, c.size < 0 ? nullptr : title, WORD(c.size < 0 ? 0 : c.size)), c.result);
    EXPECT_STREQ(title, c.title) << c.file << " " << c.size;
  }
}

}  // namespace
}  // namespace tamso
