// The information record for the layouts real files have: which stream it describes,
// where the picture size and the length come from, and what odd but valid files give.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/runtime/byte_reader.h"
#include "tests/platform/avifil32/vfw_test_util.h"

namespace tamso::test {
namespace {

TEST(AviRecord, DescribesTheFirstVideoStreamWhereverItIs) {
  AviLayout layout;
  layout.streams = {PcmAudioStream(), AviStream{}, AviStream{}};
  layout.streams[1].scale = 1001;
  layout.streams[1].rate = 30000;
  layout.streams[1].width = 720;
  layout.streams[1].height = 576;
  layout.streams[1].length = 1234;
  layout.streams[2].width = 100;
  layout.streams[2].height = 100;
  const Report r = RunReport(BuildAvi(layout));
  ASSERT_EQ(r.info, AVIERR_OK);
  EXPECT_EQ(r.record.dwStreams, 3u);
  EXPECT_EQ(r.record.dwWidth, 720u);
  EXPECT_EQ(r.record.dwHeight, 576u);
  EXPECT_EQ(r.record.dwScale, 1001u);
  EXPECT_EQ(r.record.dwRate, 30000u);
  EXPECT_EQ(r.record.dwLength, 1234u);
  EXPECT_EQ(r.length, 1234);
  EXPECT_EQ(r.start, 0);
}

TEST(AviRecord, CountsTheStreamListsTheFileHolds) {
  AviLayout layout;
  layout.streams = {AviStream{}, PcmAudioStream()};
  layout.declaredStreams = 5;  // the main header says more than there is
  EXPECT_EQ(RunReport(BuildAvi(layout)).record.dwStreams, 2u);
}

TEST(AviRecord, PictureSizeComesFromTheFormatBeforeTheFrameRectangle) {
  AviLayout layout;
  layout.streams[0].width = 320;
  layout.streams[0].height = 240;
  layout.streams[0].frame = std::array<std::int16_t, 4>{0, 0, 160, 120};
  Report r = RunReport(BuildAvi(layout));
  EXPECT_EQ(r.record.dwWidth, 320u);
  EXPECT_EQ(r.record.dwHeight, 240u);

  layout.streams[0].height = -240;  // a top-down picture
  r = RunReport(BuildAvi(layout));
  EXPECT_EQ(r.record.dwHeight, 240u);

  // Without a usable format the frame rectangle gives the size.
  layout.streams[0].writeFormat = false;
  layout.streams[0].frame = std::array<std::int16_t, 4>{10, 20, 170, 140};
  r = RunReport(BuildAvi(layout));
  ASSERT_EQ(r.info, AVIERR_OK);
  EXPECT_EQ(r.record.dwWidth, 160u);
  EXPECT_EQ(r.record.dwHeight, 120u);
  layout.streams[0].writeFormat = true;
  layout.streams[0].format = std::vector<std::uint8_t>(8, 0);  // too short for a size
  EXPECT_EQ(RunReport(BuildAvi(layout)).record.dwWidth, 160u);

  // Neither: no size rather than a wrong one.
  layout.streams[0].frame = std::array<std::int16_t, 4>{};
  layout.streams[0].headerSize = 48;
  r = RunReport(BuildAvi(layout));
  ASSERT_EQ(r.info, AVIERR_OK);
  EXPECT_EQ(r.record.dwWidth, 0u);
  EXPECT_EQ(r.record.dwHeight, 0u);
}

TEST(AviRecord, OpenDmlLengthCoversEveryRiffForm) {
  AviLayout layout;
  layout.streams = {AviStream{}, PcmAudioStream()};
  layout.framesPerForm = {300, 200, 100};
  Report r = RunReport(BuildAvi(layout));
  ASSERT_EQ(r.info, AVIERR_OK);
  EXPECT_EQ(r.record.dwLength, 600u);
  EXPECT_EQ(r.length, 600);

  // A writer that left only the first form's count in the stream header and never
  // filled in 'dmlh': the super index still covers all forms.
  layout.streams[0].length = 300;
  layout.grandFrames = 0;
  r = RunReport(BuildAvi(layout));
  EXPECT_EQ(r.record.dwLength, 600u);
  EXPECT_EQ(r.length, 600);

  // Without a super index the 'dmlh' total counts for the first video stream.
  layout.grandFrames = 600;
  std::vector<std::uint8_t> bytes = BuildAvi(layout);
  for (int i = 0; i < 2; ++i) std::memcpy(bytes.data() + FindFourCC(bytes, "indx"), "JUNK", 4);
  r = RunReport(bytes);
  EXPECT_EQ(r.record.dwLength, 600u);
}

TEST(AviRecord, OtherFieldsHaveSoundValues) {
  AviLayout layout;
  layout.streams = {AviStream{}, PcmAudioStream()};
  layout.streams[0].suggestedBufferSize = 230400;
  layout.flags = 0x10 | 0x100;
  const Report r = RunReport(BuildAvi(layout));
  EXPECT_EQ(r.record.dwCaps, AVIFILECAPS_CANREAD);
  EXPECT_EQ(r.record.dwFlags, 0x110u);
  EXPECT_EQ(r.record.dwSuggestedBufferSize, 230400u);
  // 230400 bytes at 25 a second, and 4-byte samples at 44100 a second.
  EXPECT_EQ(r.record.dwMaxBytesPerSec, 230400u * 25 + 4 * 44100);
  EXPECT_EQ(r.record.dwEditCount, 0u);
  EXPECT_STREQ(r.record.szFileType, "AVI default file handler");

  // The index flag stays only where an index is present.
  layout.idx1 = false;
  EXPECT_EQ(RunReport(BuildAvi(layout)).record.dwFlags, 0x100u);
}

TEST(AviRecord, ReadsJunkOddChunksAndNamesAnywhere) {
  AviLayout layout;
  layout.streams = {PcmAudioStream(), AviStream{}};
  layout.streams[0].name = "Stereo";  // 7 bytes with its terminator: odd
  layout.streams[0].chunkBytes = 1;
  layout.streams[1].name = "Video #1";
  layout.streams[1].chunkBytes = 15;
  layout.streams[1].length = 10;
  layout.junk = true;
  const Report r = RunReport(BuildAvi(layout));
  ASSERT_EQ(r.info, AVIERR_OK);
  EXPECT_EQ(r.record.dwWidth, 320u);
  EXPECT_EQ(r.record.dwLength, 10u);
  EXPECT_EQ(r.record.dwStreams, 2u);
}

TEST(AviRecord, AZeroScaleIsReportedAsItIs) {
  AviLayout layout;
  layout.streams = {AviStream{}, PcmAudioStream()};
  layout.streams[0].scale = 0;
  layout.streams[1].scale = 0;
  const Report r = RunReport(BuildAvi(layout));
  ASSERT_EQ(r.info, AVIERR_OK);
  EXPECT_EQ(r.record.dwScale, 0u);
  EXPECT_EQ(r.record.dwRate, 25u);
}

TEST(AviRecord, AFileCutShortAfterItsHeadersReportsTheHeaders) {
  AviLayout layout;
  layout.streams[0].length = 500;
  layout.framesPerForm = {500};
  std::vector<std::uint8_t> bytes = BuildAvi(layout);
  bytes.resize(FindFourCC(bytes, "movi") + 100);
  Report r = RunReport(bytes);
  ASSERT_EQ(r.info, AVIERR_OK);
  EXPECT_EQ(r.record.dwLength, 500u);
  EXPECT_EQ(r.record.dwFlags & 0x10, 0u);  // the index is gone

  bytes.resize(FindFourCC(bytes, "strf"));
  r = RunReport(bytes);
  EXPECT_EQ(r.open, AVIERR_FILEREAD);
}

TEST(AviRecord, AFileWithoutStreamsHasAnEmptyRecord) {
  AviLayout layout;
  layout.streams.clear();
  PAVIFILE file = 0;
  TempDir dir;
  ASSERT_EQ(AVIFileOpen(&file, dir.write("none.avi", BuildAvi(layout)).c_str(), OF_SHARE_DENY_WRITE, nullptr),
            AVIERR_OK);
  AVIFILEINFO info{};
  ASSERT_EQ(AVIFileInfo(file, &info, sizeof info), AVIERR_OK);
  EXPECT_EQ(info.dwStreams, 0u);
  EXPECT_EQ(info.dwWidth, 0u);
  EXPECT_EQ(info.dwLength, 0u);
  AVIFileRelease(file);
}

}  // namespace
}  // namespace tamso::test
