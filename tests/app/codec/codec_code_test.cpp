#include "app/codec_code.h"

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/runtime/byte_reader.h"
#include "tests/app/codec/temp_folder.h"

namespace tamso {
namespace {

using namespace std::string_view_literals;

// `size` filler bytes with `text` written at `at`.
std::string BytesWith(std::size_t size, std::size_t at, std::string_view text) {
  std::string bytes(size, '.');
  bytes.replace(at, text.size(), text);
  return bytes;
}

TEST(FindCodecCode, TakesTheFourBytesAfterTheFirstExactVids) {
  EXPECT_EQ(FindCodecCode(AsBytes("RIFF....AVI LIST....strhvidsXVID\0\0\0\0strhvidsDIVX"sv)), "XVID");
  EXPECT_EQ(FindCodecCode(AsBytes("strhVIDSDIVXstrhvidsH264")), "H264");
  EXPECT_EQ(FindCodecCode(AsBytes("vidsvidsMJPG")), "vids");
  EXPECT_EQ(FindCodecCode(AsBytes("VIDSXVIDVidsDIVXvIDSFMP4")), std::nullopt);
  EXPECT_EQ(FindCodecCode(AsBytes("")), std::nullopt);
}

TEST(FindCodecCode, ACodeCutByTheEndOfTheBytesIsShorter) {
  EXPECT_EQ(FindCodecCode(AsBytes("....vidsDX5")), "DX5");
  EXPECT_EQ(FindCodecCode(AsBytes("....vidsD")), "D");
  EXPECT_EQ(FindCodecCode(AsBytes("....vids")), "");
  EXPECT_EQ(FindCodecCode(AsBytes("....vid")), std::nullopt);
}

TEST(FindCodecCode, KeepsEveryByteOfTheCode) {
  EXPECT_EQ(FindCodecCode(AsBytes("vids\0\0\0\0"sv)), std::string(4, '\0'));
  EXPECT_EQ(FindCodecCode(AsBytes("vids\x80\xE9\xFF\x01")), "\x80\xE9\xFF\x01");
}

using ReadCodecCodeTest = testing::TempFolder;

TEST_F(ReadCodecCodeTest, OnlyFilesLongerThan5000BytesGetACode) {
  const CodecStepResult exact = ReadCodecCode(Write("5000.avi", BytesWith(5000, 200, "strhvidsXVID")));
  EXPECT_EQ(exact.status, CodecStatus::kTooShort);
  EXPECT_EQ(exact.code, "");

  const CodecStepResult longer = ReadCodecCode(Write("5001.avi", BytesWith(5001, 200, "strhvidsXVID")));
  EXPECT_EQ(longer.status, CodecStatus::kFound);
  EXPECT_EQ(longer.code, "XVID");
}

TEST_F(ReadCodecCodeTest, OnlyTheFirst4096BytesAreSearched) {
  // "vids" ends exactly at byte 4096: the code would be the next bytes, which are not read.
  const CodecStepResult atEnd = ReadCodecCode(Write("end.avi", BytesWith(8000, 4092, "vidsXVID")));
  EXPECT_EQ(atEnd.status, CodecStatus::kFound);
  EXPECT_EQ(atEnd.code, "");

  const CodecStepResult cut = ReadCodecCode(Write("cut.avi", BytesWith(8000, 4090, "vidsXVID")));
  EXPECT_EQ(cut.code, "XV");

  const CodecStepResult beyond = ReadCodecCode(Write("beyond.avi", BytesWith(8000, 4093, "vidsXVID")));
  EXPECT_EQ(beyond.status, CodecStatus::kNoStreamHeader);
  EXPECT_EQ(beyond.code, "");
}

TEST_F(ReadCodecCodeTest, AFileWithoutTheStreamTypeHasNoCode) {
  const CodecStepResult result =
      ReadCodecCode(Write("other.avi", BytesWith(6000, 0, "RIFF\x10\x20\x30\x00VIDSXVID"sv)));
  EXPECT_EQ(result.status, CodecStatus::kNoStreamHeader);
  EXPECT_EQ(result.code, "");
}

TEST_F(ReadCodecCodeTest, FilesThatCannotBeReadAreReadErrors) {
  EXPECT_EQ(ReadCodecCode(root_ / "missing.avi").status, CodecStatus::kReadError);
  EXPECT_EQ(ReadCodecCode(root_).status, CodecStatus::kReadError);
  // A pipe is never opened, so this returns at once instead of waiting for a writer.
  ASSERT_EQ(mkfifo((root_ / "pipe.avi").c_str(), 0600), 0);
  EXPECT_EQ(ReadCodecCode(root_ / "pipe.avi").status, CodecStatus::kReadError);
}

TEST(CodecStepLines, AFoundCodeAddsTheTwoLines) {
  std::vector<std::string> asked;
  const auto describe = [&](const std::string& code) {
    asked.push_back(code);
    return std::string("MPEG-4 video");
  };
  EXPECT_EQ(CodecStepLines({CodecStatus::kFound, "XVID"}, describe),
            "\r\nVideo codec used: XVID\r\nInfos: MPEG-4 video");
  // Bytes of the file are read as Windows-1252 and given to the lookup as UTF-8.
  EXPECT_EQ(
      CodecStepLines({CodecStatus::kFound, "\x80\xE9"}, [](const std::string&) { return std::string(); }),
      "\r\nVideo codec used: \u20AC\u00E9\r\nInfos: ");
  EXPECT_EQ(asked, std::vector<std::string>{"XVID"});
}

TEST(CodecStepLines, NoCodeAddsNothing) {
  int asked = 0;
  const auto describe = [&](const std::string&) {
    ++asked;
    return std::string("x");
  };
  EXPECT_EQ(CodecStepLines({CodecStatus::kTooShort, ""}, describe), "");
  EXPECT_EQ(CodecStepLines({CodecStatus::kNoStreamHeader, ""}, describe), "");
  EXPECT_EQ(CodecStepLines({CodecStatus::kReadError, ""}, describe), "");
  EXPECT_EQ(asked, 0);
}

}  // namespace
}  // namespace tamso
