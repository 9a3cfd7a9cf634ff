// Checks the codec list that ships with the program.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/codec_list.h"

namespace tamso {
namespace {

using namespace std::string_literals;

std::string ShippedList() {
  std::ifstream in(TAMSO_DB_TXT, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of `text`, each without its CR LF; a line end that is not CR LF fails the test.
std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "the last line has no CR LF: " << text.substr(start, 40);
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string KeyOf(const std::string& line) { return line.substr(0, line.find(',')); }

bool IsPrefixKey(const std::string& key) { return key.size() >= 4 && key[3] == '*'; }

// A code that the line's key matches: the key itself, or for a prefix key its three
// characters and a fourth no exact key uses.
std::string CodeFor(const std::string& key) { return IsPrefixKey(key) ? key.substr(0, 3) + "\x7F" : key; }

class ShippedCodecList : public ::testing::Test {
 protected:
  void SetUp() override {
    text_ = ShippedList();
    ASSERT_FALSE(text_.empty()) << "cannot read " << TAMSO_DB_TXT;
    lines_ = CrLfLines(text_);
  }
  std::string Describe(const std::string& code) const {
    std::istringstream in(text_);
    return LookupCodecDescription(in, code);
  }
  std::string text_;
  std::vector<std::string> lines_;
};

TEST_F(ShippedCodecList, EveryLineIsAFourCharacterKeyAndOneDescription) {
  EXPECT_GE(lines_.size(), 400u);
  for (const std::string& line : lines_) {
    SCOPED_TRACE(line);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    const std::size_t comma = line.find(',');
    ASSERT_NE(comma, std::string::npos);
    EXPECT_EQ(comma, 4u);
    EXPECT_EQ(line.find(',', comma + 1), std::string::npos) << "a comma would cut the description";
    EXPECT_GT(line.size(), comma + 1) << "empty description";
  }
}

TEST_F(ShippedCodecList, EveryLineCanBeReached) {
  // No earlier line may match the codes of a later one: a repeated key, or a prefix
  // placed before the exact keys it covers, would make the later line dead.
  std::string earlier;
  for (const std::string& line : lines_) {
    const std::string code = CodeFor(KeyOf(line));
    std::istringstream before(earlier);
    EXPECT_EQ(LookupCodecDescription(before, code), "") << "shadowed: " << line;
    EXPECT_EQ(Describe(code), line.substr(5)) << line;
    earlier += line + "\r\n";
  }
}

TEST_F(ShippedCodecList, DescribesTheCodesFFmpegWritesToAvi) {
  const std::vector<std::string> written = {
      "FMP4", "XVID", "DIVX",      "DX50", "H264", "X264", "avc1", "HEVC", "MJPG", "MJLS",
      "HFYU", "FFVH", "FFV1",      "MP42", "MP43", "MPG4", "WMV1", "WMV2", "dvsd", "mpg1",
      "mpg2", "MSVC", "mrle",      "cvid", "ZMBV", "MPNG", "ULRG", "ULY0", "M8RG", "FLV1",
      "H263", "SNOW", "ASV1",      "ASV2", "v210", "v410", "I420", "YUY2", "UYVY", "YV12",
      "Y800", "DIB ", "\0\0\0\0"s, "VP80", "AV01", "CFHD", "LAGS", "TSCC", "FPS1", "theo",
  };
  for (const std::string& code : written) {
    EXPECT_NE(Describe(code), "") << "no entry for " << code;
  }
}

}  // namespace
}  // namespace tamso
