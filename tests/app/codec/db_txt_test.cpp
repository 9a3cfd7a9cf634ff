// Checks the codec list that ships with the program.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "app/codec_list.h"

namespace tamso {
namespace {

using namespace std::string_literals;

std::string Describe(const std::string& list, const std::string& code) {
  std::istringstream in(list);
  return LookupCodecDescription(in, code);
}

TEST(ShippedCodecList, EveryLineIsAReachableKeyWithOneDescription) {
  std::ifstream in(TAMSO_DB_TXT, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_TRUE(text.ends_with("\r\n")) << "cannot read " << TAMSO_DB_TXT << " or its last line has no CR LF";
  std::string earlier;
  int lines = 0;
  for (std::size_t start = 0, end; start < text.size(); start = end + 2, ++lines) {
    end = text.find("\r\n", start);
    const std::string line = text.substr(start, end - start);
    SCOPED_TRACE(line);
    ASSERT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a line end that is not CR LF";
    ASSERT_EQ(line.find(','), 4u);
    EXPECT_EQ(line.find(',', 5), std::string::npos) << "a comma would cut the description";
    EXPECT_GT(line.size(), 5u) << "empty description";
    // No earlier line may match this line's codes: a repeated key, or a prefix before the
    // exact keys it covers, would make this line dead. 0x7F stands for any fourth character.
    const std::string code = line[3] == '*' ? line.substr(0, 3) + "\x7F" : line.substr(0, 4);
    EXPECT_EQ(Describe(earlier, code), "") << "shadowed";
    EXPECT_EQ(Describe(text, code), line.substr(5));
    earlier += line + "\r\n";
  }
  EXPECT_GE(lines, 400);
}

TEST(ShippedCodecList, DescribesTheCodesFFmpegWritesToAvi) {
  std::ifstream in(TAMSO_DB_TXT, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  for (const std::string& code :
       {"FMP4"s, "XVID"s, "DIVX"s,     "DX50"s, "H264"s, "X264"s, "avc1"s, "HEVC"s, "MJPG"s, "MJLS"s,
        "HFYU"s, "FFVH"s, "FFV1"s,     "MP42"s, "MP43"s, "MPG4"s, "WMV1"s, "WMV2"s, "dvsd"s, "mpg1"s,
        "mpg2"s, "MSVC"s, "mrle"s,     "cvid"s, "ZMBV"s, "MPNG"s, "ULRG"s, "ULY0"s, "M8RG"s, "FLV1"s,
        "H263"s, "SNOW"s, "ASV1"s,     "ASV2"s, "v210"s, "v410"s, "I420"s, "YUY2"s, "UYVY"s, "YV12"s,
        "Y800"s, "DIB "s, "\0\0\0\0"s, "VP80"s, "AV01"s, "CFHD"s, "LAGS"s, "TSCC"s, "FPS1"s, "theo"s}) {
    EXPECT_NE(Describe(text, code), "") << "no entry for " << code;
  }
}

}  // namespace
}  // namespace tamso
