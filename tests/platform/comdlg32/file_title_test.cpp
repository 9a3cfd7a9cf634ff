#include <gtest/gtest.h>

#include <string>

#include "platform/comdlg32/commdlg.h"

namespace {

TEST(GetFileTitleA, GivesTheLastComponentAndZero) {
  char title[64] = {};
  EXPECT_EQ(GetFileTitleA("/data/clips/holiday.avi", title, sizeof title), 0);
  EXPECT_STREQ(title, "holiday.avi");
  EXPECT_EQ(GetFileTitleA("bare name.avi", title, sizeof title), 0);
  EXPECT_STREQ(title, "bare name.avi");
  // Backslashes and colons are ordinary characters of a name here.
  EXPECT_EQ(GetFileTitleA("/x/a:b\\c", title, sizeof title), 0);
  EXPECT_STREQ(title, "a:b\\c");
}

TEST(GetFileTitleA, TooSmallABufferGetsTheNeededSizeAndNothingWritten) {
  char title[8] = "keep";
  EXPECT_EQ(GetFileTitleA("/d/holiday.avi", title, 11), 12);
  EXPECT_STREQ(title, "keep");
  EXPECT_EQ(GetFileTitleA("/d/holiday.avi", nullptr, 0), 12);
  char exact[12];
  EXPECT_EQ(GetFileTitleA("/d/holiday.avi", exact, 12), 0);
  EXPECT_STREQ(exact, "holiday.avi");
}

TEST(GetFileTitleA, RejectsNamesWithoutATitle) {
  char title[16] = "keep";
  EXPECT_EQ(GetFileTitleA("", title, sizeof title), -1);
  EXPECT_EQ(GetFileTitleA(nullptr, title, sizeof title), -1);
  EXPECT_EQ(GetFileTitleA("/data/clips/", title, sizeof title), -1);
  EXPECT_EQ(GetFileTitleA("/d/a.avi", nullptr, 16), -1);
  EXPECT_STREQ(title, "keep");
}

}  // namespace
