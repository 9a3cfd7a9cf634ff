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

TEST(ShippedCodecList, EveryLineIsAReachableKeyWithOneDescriptionAndFFmpegsCodesAreThere) {
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
  // The codes ffmpeg writes to AVI files, four characters each; raw RGB is four zero bytes.
  const std::string codes =
      "FMP4XVIDDIVXDX50H264X264avc1HEVCMJPGMJLSHFYUFFVHFFV1MP42MP43MPG4WMV1WMV2dvsdmpg1mpg2MSVCmrlecvid"
      "ZMBVMPNGULRGULY0M8RGFLV1H263SNOWASV1ASV2v210v410I420YUY2UYVYYV12Y800DIB VP80AV01CFHDLAGSTSCCFPS1theo"
      "Y210Y416Y410y408M4RAM4RGRTV1VMX1evc1RV60"s +
      std::string(4, '\0');
  for (std::size_t i = 0; i < codes.size(); i += 4)
    EXPECT_NE(Describe(text, codes.substr(i, 4)), "") << codes.substr(i, 4);
}

}  // namespace
}  // namespace tamso
