#include "app/codec_list.h"

#include <sstream>
#include <string>

#include "platform/runtime/ansi_text.h"
#include "tests/app/codec/temp_folder.h"

namespace tamso {
namespace {

using namespace std::string_view_literals;

class CodecListTest : public testing::TempFolder {
 protected:
  // The description of `code` in a list made of `lines`.
  std::string Describe(std::string_view lines, std::string_view code) {
    return LookupCodecDescription(Write("db.txt", lines), code);
  }
};

TEST_F(CodecListTest, KeysMatchWholeIgnoringLetterCase) {
  const std::string list = "DIVX,DivX video\r\nxvid,Xvid video\r\nXVI,short key\r\n";
  EXPECT_EQ(Describe(list, "divx"), "DivX video");
  EXPECT_EQ(Describe(list, "XVID"), "Xvid video");
  EXPECT_EQ(Describe(list, "XVI"), "short key");
  EXPECT_EQ(Describe(list, "DIV"), "");
  EXPECT_EQ(Describe(list, "DIVX5"), "");
  EXPECT_EQ(Describe(list, "FMP4"), "");
}

TEST_F(CodecListTest, AStarInTheFourthPlaceMakesAThreeCharacterPrefix) {
  const std::string list = "DX5*,any DX5\r\nMP*,three characters\r\nH26*xyz,rest ignored\r\n";
  EXPECT_EQ(Describe(list, "DX50"), "any DX5");
  EXPECT_EQ(Describe(list, "dx5z"), "any DX5");
  EXPECT_EQ(Describe(list, "Dx5"), "any DX5");
  EXPECT_EQ(Describe(list, "DX4*"), "");
  EXPECT_EQ(Describe(list, "h264"), "rest ignored");
  // A star in third place is an ordinary character of a whole key.
  EXPECT_EQ(Describe(list, "MP*"), "three characters");
  EXPECT_EQ(Describe(list, "MP*4"), "");
  EXPECT_EQ(Describe(list, "MP43"), "");
  // A code of fewer than three characters never matches a prefix.
  EXPECT_EQ(Describe(list, "DX"), "");
}

TEST_F(CodecListTest, TheFirstMatchingLineWins) {
  EXPECT_EQ(Describe("XVID,first\r\nxvid,second\r\n", "XVID"), "first");
  EXPECT_EQ(Describe("XVI*,prefix\r\nXVID,exact\r\n", "XVID"), "prefix");
  EXPECT_EQ(Describe("XVID,exact\r\nXVI*,prefix\r\n", "XVIX"), "prefix");
}

TEST_F(CodecListTest, TheDescriptionIsTheSecondFieldAsWritten) {
  EXPECT_EQ(Describe("XVID, Xvid MPEG-4 ,third,fourth\r\n", "XVID"), " Xvid MPEG-4 ");
  EXPECT_EQ(Describe("XVID,\r\nXVID,later\r\n", "XVID"), "");
  EXPECT_EQ(Describe("XVID,,third\r\n", "XVID"), "");
}

TEST_F(CodecListTest, KeysAreNotTrimmed) {
  const std::string list = " XVID,leading\r\nDIVX ,trailing\r\nY8  ,spaces inside\r\n";
  EXPECT_EQ(Describe(list, "XVID"), "");
  EXPECT_EQ(Describe(list, "DIVX"), "");
  EXPECT_EQ(Describe(list, " XVID"), "leading");
  EXPECT_EQ(Describe(list, "y8  "), "spaces inside");
  EXPECT_EQ(Describe(list, "Y8"), "");
}

TEST_F(CodecListTest, AnEmptyLineOrAMatchWithoutCommaEndsTheSearch) {
  EXPECT_EQ(Describe("DIVX,d\r\n\r\nXVID,x\r\n", "XVID"), "");
  EXPECT_EQ(Describe("XVID,x\r\n\r\nDIVX,d\r\n", "XVID"), "x");
  EXPECT_EQ(Describe("XVID\r\nXVID,x\r\n", "XVID"), "");
  // A line without a comma that does not match is passed over.
  EXPECT_EQ(Describe("DIVX\r\nXVID,x\r\n", "XVID"), "x");
  // A line of one comma has an empty key.
  EXPECT_EQ(Describe(",empty key\r\nXVID,x\r\n", "XVID"), "x");
  EXPECT_EQ(Describe(",empty key\r\n", ""), "empty key");
}

TEST_F(CodecListTest, LinesEndInCrLfOrABareLfOrCr) {
  const std::string list = "AAAA,a\nBBBB,b\rCCCC,c\r\nDDDD,d";
  EXPECT_EQ(Describe(list, "BBBB"), "b");
  EXPECT_EQ(Describe(list, "CCCC"), "c");
  EXPECT_EQ(Describe(list, "DDDD"), "d");
  // CR CR LF is a line end followed by an empty line.
  EXPECT_EQ(Describe("AAAA,a\r\r\nBBBB,b\r\n", "BBBB"), "");
}

TEST_F(CodecListTest, CharactersAreCountedAsUtf8AndOnlyAsciiLettersFoldCase) {
  const std::string list = "\u00C0\u00C9\u00CE*,accented prefix\r\n\u00E9t\u00E91,accented\r\n";
  EXPECT_EQ(Describe(list, "\u00C0\u00C9\u00CEx"), "accented prefix");
  EXPECT_EQ(Describe(list, "\u00E0\u00E9\u00EEx"), "");
  EXPECT_EQ(Describe(list, "\u00E9T\u00E91"), "accented");
  EXPECT_EQ(Describe(list, "\u00C9T\u00C91"), "");
}

TEST_F(CodecListTest, BinaryCodesAreLookedUpLikeAnyOther) {
  EXPECT_EQ(Describe("XVID,x\r\n\0\0\0\0,uncompressed\r\n"sv, "\0\0\0\0"sv), "uncompressed");
  // File bytes reach the lookup as Windows-1252 read into UTF-8: 0x80 is the euro sign.
  EXPECT_EQ(Describe("\u20AC\u20AC\u20AC*,euro prefix\r\n", Cp1252ToUtf8("\x80\x80\x80\x41")), "euro prefix");
}

TEST_F(CodecListTest, AMissingHiddenOrUnreadableListGivesNothing) {
  EXPECT_EQ(LookupCodecDescription(root_ / "db.txt", "XVID"), "");
  EXPECT_EQ(LookupCodecDescription(Write(".db.txt", "XVID,x\r\n"), "XVID"), "");
  std::filesystem::create_directory(root_ / "list");
  EXPECT_EQ(LookupCodecDescription(root_ / "list", "XVID"), "");
  EXPECT_EQ(LookupCodecDescription(Write("db.txt", "XVID,x\r\n") / "db.txt", "XVID"), "");
}

TEST(CodecListStream, HugeLinesAreReadThroughAndLongDescriptionsCut) {
  std::string list(3'000'000, 'K');  // a key line far longer than anything kept
  list += "\r\nXVI*";
  list += std::string(1000, 'x');  // a long prefix key
  list += ",prefix\r\nDIVX,";
  list += std::string(kCodecMaxDescriptionBytes + 10, 'd');
  list += "\r\n";
  std::istringstream in(list);
  EXPECT_EQ(LookupCodecDescription(in, "XVID"), "prefix");
  in.str(list);
  const std::string cut = LookupCodecDescription(in, "DIVX");
  EXPECT_EQ(cut.size(), kCodecMaxDescriptionBytes);
  EXPECT_EQ(cut.find_first_not_of('d'), std::string::npos);
  in.str(list);
  EXPECT_EQ(LookupCodecDescription(in, std::string(3'000'000, 'k')), "");
}

TEST(CodecListStream, ACutDescriptionNeverEndsInHalfACharacter) {
  const std::string letters = "\u00E9\u00E9";  // two bytes each
  std::istringstream in("DIVX," + std::string(kCodecMaxDescriptionBytes - 1, 'd') + letters + "\r\n");
  // The cut falls inside the first accented letter, which is dropped whole.
  EXPECT_TRUE(LookupCodecDescription(in, "DIVX") == std::string(kCodecMaxDescriptionBytes - 1, 'd'));
  // Here the cut falls between the two letters: the first one stays.
  in.str("DIVX," + std::string(kCodecMaxDescriptionBytes - 2, 'd') + letters + "\r\n");
  EXPECT_TRUE(LookupCodecDescription(in, "DIVX") ==
              std::string(kCodecMaxDescriptionBytes - 2, 'd') + "\u00E9");
}

TEST(CodecListStream, AStreamWithoutBytesGivesNothing) {
  std::istringstream empty;
  EXPECT_EQ(LookupCodecDescription(empty, "XVID"), "");
  std::istream detached(nullptr);
  EXPECT_EQ(LookupCodecDescription(detached, "XVID"), "");
}

}  // namespace
}  // namespace tamso
