#include "app/codec_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "platform/runtime/ansi_text.h"
#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso {
namespace {

using namespace std::string_view_literals;

std::string Describe(std::string_view list, std::string_view code) {
  std::istringstream in{std::string(list)};
  return LookupCodecDescription(in, code);
}

TEST(CodecList, MatchingRules) {
  const std::string_view keys = "DIVX,DivX video\r\nxvid,Xvid video\r\nXVI,short key\r\n";
  const std::string_view stars = "DX5*,any DX5\r\nMP*,three characters\r\nH26*xyz,rest ignored\r\n";
  const std::string_view spaced = " XVID,leading\r\nDIVX ,trailing\r\nY8  ,spaces inside\r\n";
  const std::string_view ends = "AAAA,a\nBBBB,b\rCCCC,c\r\nDDDD,d";
  const std::string_view accents = "\u00C0\u00C9\u00CE*,accented prefix\r\n\u00E9t\u00E91,accented\r\n";
  const std::string euros = Cp1252ToUtf8("\x80\x80\x80\x41"), carons = Cp1252ToUtf8("\x9a\x9c\x9e\xff");
  const struct {
    std::string_view list, code, description;
  } cases[] = {
      // Whole keys, ignoring the case of the letters of Windows-1252.
      {keys, "divx", "DivX video"},
      {keys, "XVI", "short key"},
      {keys, "DIV", ""},
      {accents, "\u00C9T\u00C91", "accented"},
      {"\u0160\u0152\u017D\u0178,caron\r\n", carons, "caron"},
      {"\u00D7\u00DF\u00B5,no case\r\n", "\u00F7\u00DF\u00B5", ""},  // the sign of division is no letter
      {"\u00D7SS\u00B5,no case\r\n", "\u00D7\u00DF\u00B5", ""},      // nor has sharp s a capital here
      // A star in fourth place makes a prefix of three characters, counted in UTF-8.
      {stars, "dx5z", "any DX5"},
      {stars, "Dx5", "any DX5"},
      {stars, "h264", "rest ignored"},
      {stars, "MP*", "three characters"},  // a star in third place is an ordinary character
      {stars, "MP43", ""},
      {stars, "DX", ""},
      {accents, "\u00C0\u00C9\u00CEx", "accented prefix"},
      {accents, "\u00E0\u00E9\u00EEx", "accented prefix"},
      // The first matching line wins.
      {"XVID,first\r\nxvid,second\r\n", "XVID", "first"},
      {"XVI*,prefix\r\nXVID,exact\r\n", "XVID", "prefix"},
      // The description is the second field as written; keys are not trimmed.
      {"XVID, Xvid MPEG-4 ,third\r\n", "XVID", " Xvid MPEG-4 "},
      {"XVID,\r\nXVID,later\r\n", "XVID", ""},
      {spaced, "XVID", ""},
      {spaced, " XVID", "leading"},
      {spaced, "y8  ", "spaces inside"},
      // An empty line, or a matching line without a comma, ends the search.
      {"DIVX,d\r\n\r\nXVID,x\r\n", "XVID", ""},
      {"XVID\r\nXVID,x\r\n", "XVID", ""},
      {"DIVX\r\nXVID,x\r\n", "XVID", "x"},
      {",empty key\r\nXVID,x\r\n", "XVID", "x"},
      {",empty key\r\n", "", "empty key"},
      {"", "XVID", ""},
      // Lines end in CR LF, LF or CR; CR CR LF is a line end and an empty line.
      {ends, "BBBB", "b"},
      {ends, "DDDD", "d"},
      {"AAAA,a\r\r\nBBBB,b\r\n", "BBBB", ""},
      // Binary codes, and file bytes read as Windows-1252 (0x80 is the euro sign).
      {"XVID,x\r\n\0\0\0\0,uncompressed\r\n"sv, "\0\0\0\0"sv, "uncompressed"},
      {"\u20AC\u20AC\u20AC*,euro\r\n", euros, "euro"},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(c.list, c.code), c.description) << c.list << " / " << c.code;
}

TEST(CodecList, HugeLinesAreReadThroughAndLongDescriptionsCutAtACharacter) {
  std::string list(3'000'000, 'K');
  list += "\r\nXVI*" + std::string(1000, 'x') + ",prefix\r\nDIVX," +
          std::string(kCodecMaxDescriptionBytes + 10, 'd');
  EXPECT_EQ(Describe(list, "XVID"), "prefix");
  EXPECT_EQ(Describe(list, "DIVX"), std::string(kCodecMaxDescriptionBytes, 'd'));
  EXPECT_EQ(Describe(list, std::string(3'000'000, 'k')), "");
  // A cut inside a two-byte letter drops it whole.
  const std::string letters = "\u00E9\u00E9";
  EXPECT_EQ(Describe("DIVX," + std::string(kCodecMaxDescriptionBytes - 1, 'd') + letters, "DIVX"),
            std::string(kCodecMaxDescriptionBytes - 1, 'd'));
  EXPECT_EQ(Describe("DIVX," + std::string(kCodecMaxDescriptionBytes - 2, 'd') + letters, "DIVX"),
            std::string(kCodecMaxDescriptionBytes - 2, 'd') + "\u00E9");
  std::istream detached(nullptr);
  EXPECT_EQ(LookupCodecDescription(detached, "XVID"), "");
}

TEST(CodecList, AMissingHiddenOrUnreadableListGivesNothing) {
  test::TempDir dir;
  const std::string list = dir.write("db.txt", AsBytes("XVID,x\r\n"));
  EXPECT_EQ(LookupCodecDescription(list, "XVID"), "x");
  const std::string pipe = dir.file("pipe.txt");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {dir.file("none.txt"), dir.write(".db.txt", AsBytes("XVID,x\r\n")),
                                  dir.path(), list + "/db.txt", pipe}) {
    EXPECT_EQ(LookupCodecDescription(path, "XVID"), "") << path;
  }
}

}  // namespace
}  // namespace tamso
