#include "app/codec_code.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso {
namespace {

using namespace std::string_view_literals;

TEST(CodecCode, TheFourBytesAfterTheFirstExactVidsAsTheyAre) {
  const struct {
    std::string_view head;
    std::optional<std::string> code;
  } cases[] = {
      {"RIFF....AVI LIST....strhvidsXVID\0\0\0\0strhvidsDIVX"sv, "XVID"},
      {"strhVIDSDIVXstrhvidsH264", "H264"},
      {"vidsvidsMJPG", "vids"},
      {"VIDSXVIDVidsDIVXvIDSFMP4", std::nullopt},
      {"", std::nullopt},
      {"....vidsDX5", "DX5"},  // cut by the end of the bytes
      {"....vids", ""},
      {"....vid", std::nullopt},
      {"vids\0\0\0\0"sv, std::string(4, '\0')},
      {"vids\x80\xE9\xFF\x01", "\x80\xE9\xFF\x01"},
  };
  for (const auto& c : cases) EXPECT_EQ(FindCodecCode(AsBytes(c.head)), c.code) << c.head;
}

TEST(CodecCode, OnlyTheFirst4096BytesOfFilesOver5000BytesAreSearched) {
  test::TempDir dir;
  const struct {
    std::size_t size, at;
    CodecStatus status;
    const char* code;
  } cases[] = {
      {5000, 200, CodecStatus::kTooShort, ""},        {5001, 200, CodecStatus::kFound, "XVID"},
      {8000, 4090, CodecStatus::kFound, "XV"},        {8000, 4092, CodecStatus::kFound, ""},
      {8000, 4093, CodecStatus::kNoStreamHeader, ""},
  };
  for (const auto& c : cases) {
    std::string bytes(c.size, '.');
    bytes.replace(c.at, 8, "vidsXVID");
    const CodecStepResult result = ReadCodecCode(dir.write("f.avi", AsBytes(bytes)));
    EXPECT_EQ(result.status, c.status) << c.size << " " << c.at;
    EXPECT_EQ(result.code, c.code) << c.size << " " << c.at;
  }
  const std::string fifo = dir.file("pipe.avi");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // never opened, so no wait for a writer
  for (const std::string& path : {dir.file("missing.avi"), dir.path(), fifo}) {
    EXPECT_EQ(ReadCodecCode(path).status, CodecStatus::kReadError) << path;
  }
}

TEST(CodecCode, OnlyAFoundCodeAddsTheTwoLines) {
  std::vector<std::string> asked;
  const auto describe = [&](const std::string& code) {
    asked.push_back(code);
    return std::string("MPEG-4 video");
  };
  for (const CodecStatus status :
       {CodecStatus::kTooShort, CodecStatus::kNoStreamHeader, CodecStatus::kReadError}) {
    EXPECT_EQ(CodecStepLines({status, ""}, describe), "");
  }
  EXPECT_EQ(CodecStepLines({CodecStatus::kFound, "XVID"}, describe),
            "\r\nVideo codec used: XVID\r\nInfos: MPEG-4 video");
  // Bytes of the file are read as Windows-1252 and given to the lookup as UTF-8.
  EXPECT_EQ(CodecStepLines({CodecStatus::kFound, "\x80\xE9"}, describe),
            "\r\nVideo codec used: \u20AC\u00E9\r\nInfos: MPEG-4 video");
  EXPECT_EQ(asked, (std::vector<std::string>{"XVID", "\u20AC\u00E9"}));
}

}  // namespace
}  // namespace tamso
