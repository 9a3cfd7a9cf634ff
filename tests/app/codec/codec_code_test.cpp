#include "app/codec_code.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso {
namespace {

using namespace std::string_view_literals;

TEST(CodecCode, TheFourBytesAfterTheFirstExactVidsInTheFirst4096BytesOfFilesOver5000Bytes) {
  test::TempDir dir;
  const struct {
    std::size_t size, at;
    std::string_view text;
    CodecStatus status;
    std::string code;
  } cases[] = {
      {6000, 0, "RIFF....AVI LIST....strhvidsXVID\0\0\0\0strhvidsDIVX"sv, CodecStatus::kFound, "XVID"},
      {6000, 0, "strhVIDSDIVXstrhvidsH264", CodecStatus::kFound, "H264"},
      {6000, 0, "vidsvidsMJPG", CodecStatus::kFound, "vids"},
      {6000, 0, "VIDSXVIDVidsDIVXvIDSFMP4", CodecStatus::kNoStreamHeader, ""},
      {6000, 0, "vids\0\0\0\0"sv, CodecStatus::kFound, std::string(4, '\0')},
      {6000, 0, "vids\x80\xE9\xFF\x01", CodecStatus::kFound, "\x80\xE9\xFF\x01"},
      {5000, 200, "vidsXVID", CodecStatus::kTooShort, ""},
      {5001, 200, "vidsXVID", CodecStatus::kFound, "XVID"},
      // A code cut by the end of the 4096 bytes is read whole, and no byte more.
      {8000, 4090, "vidsXVID....", CodecStatus::kFound, "XVID"},
      {8000, 4092, "vidsXVID....", CodecStatus::kFound, "XVID"},
      // "vids" itself cut: not a header the reader can find in a file that is no AVI.
      {8000, 4093, "vidsXVID", CodecStatus::kNoStreamHeader, ""},
  };
  for (const auto& c : cases) {
    std::string bytes(c.size, '.');
    bytes.replace(c.at, c.text.size(), c.text);
    const CodecStepResult result = ReadCodecCode(dir.write("f.avi", AsBytes(bytes)));
    EXPECT_EQ(result.status, c.status) << c.size << " " << c.text;
    EXPECT_EQ(result.code, c.code) << c.size << " " << c.text;
  }
  const std::string fifo = dir.file("pipe.avi");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // never opened, so no wait for a writer
  for (const std::string& path : {dir.file("missing.avi"), dir.path(), fifo}) {
    EXPECT_EQ(ReadCodecCode(path).status, CodecStatus::kReadError) << path;
  }
}

}  // namespace
}  // namespace tamso
