// What the program's own callers cannot send: damaged records, small buffers, no
// application object. The dialogs as cFileDlg drives them are tested with cFileDlg.
#include <gtest/gtest.h>

#include <string>

#include "platform/comdlg32/commdlg.h"
#include "platform/comdlg32/file_dialog_seam.h"
#include "tests/dialogs/dialog_test_support.h"

namespace tamso {
namespace {

using namespace std::string_literals;

const std::string kUntouched = "start\0"s + std::string(250, 'x');

// A record over a file buffer that holds kUntouched and a title buffer.
struct Record {
  std::string file = kUntouched;
  std::string fileTitle = std::string(64, '\0');
  OPENFILENAMEA ofn{};

  explicit Record(DWORD maxFile = 256, DWORD maxTitle = 64) {
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = maxFile;
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = maxTitle;
  }
};

TEST(FileDialogRecord, DamagedRecordsAndSmallBuffersFailWithoutWritingPastThem) {
  testing::ScratchFolder dir;
  const std::string clip = dir.file(std::string(40, 'n') + ".avi");
  ScopedFileDialogHandler answer([&](const FileDialogRequest&) { return ChooseFiles({clip}); });
  const struct {
    const char* what;
    DWORD structSize, maxFile, maxTitle;
  } cases[] = {{"struct size", 88, 256, 64},
               {"no file buffer", OPENFILENAME_SIZE_VERSION_400A, 0, 64},
               {"file buffer one short", OPENFILENAME_SIZE_VERSION_400A, DWORD(clip.size()), 64},
               {"title buffer", OPENFILENAME_SIZE_VERSION_400A, 256, 5}};
  for (const auto& c : cases) {
    Record r(c.maxFile, c.maxTitle);
    r.ofn.lStructSize = c.structSize;
    EXPECT_FALSE(GetOpenFileNameA(&r.ofn)) << c.what;
    EXPECT_TRUE(c.maxFile < 256 || r.file == kUntouched) << c.what;
  }
  EXPECT_FALSE(GetOpenFileNameA(nullptr));
  Record fits(DWORD(clip.size() + 1));
  EXPECT_TRUE(GetOpenFileNameA(&fits.ofn));
  EXPECT_EQ(fits.file.c_str(), clip);
}

TEST(FileDialogWithoutApplication, FailsInsteadOfShowing) {
  Record r;
  EXPECT_FALSE(GetOpenFileNameA(&r.ofn));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
}

// The title of "/d/holiday.avi" needs 12 bytes.
TEST(GetFileTitleA, FillsABufferThatFitsAndOtherwiseGivesTheSizeNeeded) {
  const struct {
    int size;  // -1: no buffer
    int result;
    const char* title;  // what the buffer then holds
  } cases[] = {{12, 0, "holiday.avi"}, {11, 12, "keep"}, {-1, 12, "keep"}};
  for (const auto& c : cases) {
    char title[64] = "keep";
    EXPECT_EQ(GetFileTitleA("/d/holiday.avi", c.size < 0 ? nullptr : title, WORD(c.size < 0 ? 0 : c.size)),
              c.result);
    EXPECT_STREQ(title, c.title) << c.size;
  }
}

}  // namespace
}  // namespace tamso
