// The file and stream calls as a caller sees them: result codes, stream selection,
// reference counts, and the information record for the layouts real files have.
#include "platform/avifil32/vfw.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/avifil32/avi_objects.h"
#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso::test {
namespace {

// What the report's sequence of calls sees for one file.
struct Report {
  HRESULT open = AVIERR_ERROR;
  HRESULT stream = AVIERR_ERROR;
  LONG start = -1;
  LONG length = -1;
  HRESULT info = AVIERR_ERROR;
  AVIFILEINFO record{};
};

// Opens `path`, takes its first video stream, reads start, length and the record, and
// releases everything, stopping at the first failure as the report does.
Report RunReport(const std::string& path) {
  Report r;
  PAVIFILE file = 0;
  PAVISTREAM stream = 0;
  r.open = AVIFileOpen(&file, path.c_str(), OF_SHARE_DENY_WRITE, nullptr);
  if (r.open == AVIERR_OK) r.stream = AVIFileGetStream(file, &stream, streamtypeVIDEO, 0);
  if (r.stream == AVIERR_OK) {
    r.start = AVIStreamStart(stream);
    r.length = AVIStreamLength(stream);
    r.info = AVIFileInfo(file, &r.record, sizeof r.record);
  }
  if (stream) AVIStreamRelease(stream);
  if (file) AVIFileRelease(file);
  return r;
}

Report RunReport(std::span<const std::uint8_t> bytes) { return RunReport(TempDir().write("t.avi", bytes)); }

// Audio, then two video streams of different sizes and lengths.
AviLayout AudioAndTwoVideos() {
  AviLayout layout;
  layout.streams = {PcmAudioStream(44100, 44100), AviStream{}, AviStream{}};
  layout.streams[1].width = 640;
  layout.streams[1].height = 480;
  layout.streams[1].start = 3;
  layout.streams[1].length = 250;
  layout.streams[2].width = 160;
  layout.streams[2].height = 120;
  layout.streams[2].length = 99;
  return layout;
}

// Checks that every test releases every handle it obtained.
class AviFileCalls : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(avifile::OpenFileCount(), files_) << "a file handle was left open";
    EXPECT_EQ(avifile::OpenStreamCount(), streams_) << "a stream handle was left open";
  }
  PAVIFILE open(const AviLayout& layout) {
    PAVIFILE file = 0;
    EXPECT_EQ(AVIFileOpen(&file, dir_.write("f.avi", BuildAvi(layout)).c_str(), OF_SHARE_DENY_WRITE, nullptr),
              AVIERR_OK);
    return file;
  }
  HRESULT openBytes(std::span<const std::uint8_t> bytes) {
    return RunReport(dir_.write("b.avi", bytes)).open;
  }

  TempDir dir_;
  std::size_t files_ = avifile::OpenFileCount();
  std::size_t streams_ = avifile::OpenStreamCount();
};

TEST_F(AviFileCalls, OpenReportsWhyAFileCannotBeRead) {
  const std::string fifo = dir_.file("pipe.avi");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {dir_.file("missing.avi"), dir_.path(), fifo}) {
    PAVIFILE file = 1234;
    EXPECT_EQ(AVIFileOpen(&file, path.c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_FILEOPEN) << path;
    EXPECT_EQ(file, 0u);
  }
  EXPECT_EQ(openBytes({}), AVIERR_FILEREAD);
  EXPECT_EQ(openBytes(AsBytes("This is not a video.")), AVIERR_FILEREAD);
  std::vector<std::uint8_t> bytes = BuildAvi();
  StoreU32(bytes, FindFourCC(bytes, "avih") + 4, 52);
  EXPECT_EQ(openBytes(bytes), AVIERR_BADFORMAT);
  StoreU32(bytes, FindFourCC(bytes, "avih") + 4, 56);
  StoreU32(bytes, FindFourCC(bytes, "avih") + 8 + 24, 0x10000);
  EXPECT_EQ(openBytes(bytes), AVIERR_UNSUPPORTED);
  PAVIFILE file = 1234;
  EXPECT_EQ(AVIFileOpen(nullptr, fifo.c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_BADPARAM);
  EXPECT_EQ(AVIFileOpen(&file, nullptr, OF_SHARE_DENY_WRITE, nullptr), AVIERR_BADPARAM);
}

TEST_F(AviFileCalls, OpenLeavesTheFileClosedAndUnchanged) {
  const std::vector<std::uint8_t> bytes = BuildAvi();
  const std::string path = dir_.write("kept.avi", bytes);
  const auto before = std::filesystem::last_write_time(path);
  const auto descriptors = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator{});
  };
  const auto openBefore = descriptors();
  PAVIFILE file = 0;
  ASSERT_EQ(AVIFileOpen(&file, path.c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_OK);
  EXPECT_EQ(descriptors(), openBefore);
  EXPECT_EQ(AVIFileRelease(file), 0u);
  EXPECT_EQ(std::filesystem::last_write_time(path), before);
  EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
}

TEST_F(AviFileCalls, GetStreamFindsStreamsByTypeAndIndex) {
  const PAVIFILE file = open(AudioAndTwoVideos());
  PAVISTREAM first = 0, second = 0, any = 0;
  ASSERT_EQ(AVIFileGetStream(file, &first, streamtypeVIDEO, 0), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(first), 250);
  EXPECT_EQ(AVIStreamStart(first), 3);
  ASSERT_EQ(AVIFileGetStream(file, &second, streamtypeVIDEO, 1), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(second), 99);
  ASSERT_EQ(AVIFileGetStream(file, &any, 0, 0), AVIERR_OK);  // type 0: by position
  EXPECT_EQ(AVIStreamLength(any), 44100);
  const struct {
    PAVIFILE file;
    DWORD type;
    LONG index;
    HRESULT result;
  } failures[] = {{file, streamtypeVIDEO, 2, AVIERR_NODATA},
                  {file, streamtypeTEXT, 0, AVIERR_NODATA},
                  {file, 0, 3, AVIERR_NODATA},
                  {file, streamtypeVIDEO, -1, AVIERR_BADPARAM},
                  {0, streamtypeVIDEO, 0, AVIERR_BADHANDLE},
                  {file + 1, streamtypeVIDEO, 0, AVIERR_BADHANDLE}};
  for (const auto& f : failures) {
    PAVISTREAM none = 1234;
    EXPECT_EQ(AVIFileGetStream(f.file, &none, f.type, f.index), f.result) << f.type << " " << f.index;
    EXPECT_EQ(none, 0u);
  }
  EXPECT_EQ(AVIFileGetStream(file, nullptr, streamtypeVIDEO, 0), AVIERR_BADPARAM);
  // A bad handle, and a file handle used as a stream handle, give -1.
  for (const PAVISTREAM bad : {PAVISTREAM{0}, PAVISTREAM{0x7777}, file}) {
    EXPECT_EQ(AVIStreamStart(bad), -1);
    EXPECT_EQ(AVIStreamLength(bad), -1);
  }
  for (const PAVISTREAM s : {first, second, any}) AVIStreamRelease(s);
  EXPECT_EQ(AVIFileRelease(file), 0u);
}

TEST_F(AviFileCalls, InfoChecksItsArguments) {
  const PAVIFILE file = open({});
  AVIFILEINFO info{};
  EXPECT_EQ(AVIFileInfo(file, &info, sizeof info - 1), AVIERR_BADSIZE);
  EXPECT_EQ(info.dwStreams, 0u);
  EXPECT_EQ(AVIFileInfo(file, nullptr, sizeof info), AVIERR_BADPARAM);
  EXPECT_EQ(AVIFileInfo(0, &info, sizeof info), AVIERR_BADHANDLE);
  EXPECT_EQ(AVIFileInfo(file, &info, sizeof info + 100), AVIERR_OK);
  EXPECT_EQ(info.dwStreams, 1u);
  EXPECT_EQ(AVIFileRelease(file), 0u);
  EXPECT_EQ(AVIFileInfo(file, &info, sizeof info), AVIERR_BADHANDLE);
}

TEST_F(AviFileCalls, AStreamHoldsItsFileUntilReleased) {
  const PAVIFILE file = open(AudioAndTwoVideos());
  PAVISTREAM stream = 0, again = 0;
  ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
  ASSERT_EQ(AVIFileGetStream(file, &again, streamtypeVIDEO, 0), AVIERR_OK);
  EXPECT_EQ(again, stream);  // one object per stream, with two references
  EXPECT_EQ(AVIFileRelease(file), 2u);
  AVIFILEINFO info{};
  EXPECT_EQ(AVIFileInfo(file, &info, sizeof info), AVIERR_OK);
  EXPECT_EQ(AVIStreamRelease(stream), 1u);
  EXPECT_EQ(AVIStreamLength(stream), 250);
  EXPECT_EQ(AVIStreamRelease(stream), 0u);
  EXPECT_EQ(AVIStreamLength(stream), -1);
  EXPECT_EQ(AVIFileInfo(file, &info, sizeof info), AVIERR_BADHANDLE);
  EXPECT_EQ(AVIFileRelease(file), 0u);
  EXPECT_EQ(AVIStreamRelease(stream), 0u);
}

TEST_F(AviFileCalls, HandlesServeSeveralThreadsAtOnce) {
  const std::string path = dir_.write("shared.avi", BuildAvi(AudioAndTwoVideos()));
  std::atomic<int> good{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) good += RunReport(path).record.dwWidth == 640;
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(good.load(), 800);
}

TEST_F(AviFileCalls, TheRecordDescribesTheFirstVideoStreamOfAnyLayout) {
  AviLayout layout = AudioAndTwoVideos();
  layout.declaredStreams = 5;  // more than the file holds
  layout.junk = true;
  layout.streams[0].name = "Stereo";  // 7 bytes with its terminator: odd
  layout.streams[0].chunkBytes = 1;
  layout.streams[1].name = "Video #1";
  layout.streams[1].chunkBytes = 15;
  layout.streams[1].scale = 1001;
  layout.streams[1].rate = 30000;
  Report r = RunReport(BuildAvi(layout));
  ASSERT_EQ(r.info, AVIERR_OK);
  EXPECT_EQ(r.record.dwStreams, 3u);
  EXPECT_EQ(r.record.dwWidth, 640u);
  EXPECT_EQ(r.record.dwHeight, 480u);
  EXPECT_EQ(r.record.dwScale, 1001u);
  EXPECT_EQ(r.record.dwRate, 30000u);
  EXPECT_EQ(r.record.dwLength, 250u);
  EXPECT_EQ(r.length, 250);
  EXPECT_EQ(r.start, 3);

  // Values beyond LONG are capped, so that they do not read as the failure -1.
  layout.streams[1].length = 0xFFFFFFFF;
  layout.streams[1].start = 0x80000000;
  r = RunReport(BuildAvi(layout));
  EXPECT_EQ(r.length, 0x7FFFFFFF);
  EXPECT_EQ(r.start, 0x7FFFFFFF);
  EXPECT_EQ(r.record.dwLength, 0xFFFFFFFFu);

  // Without a video stream, or any stream, the file opens but has no video.
  layout.streams.erase(layout.streams.begin() + 1, layout.streams.end());
  EXPECT_EQ(RunReport(BuildAvi(layout)).stream, AVIERR_NODATA);
  layout.streams.clear();
  EXPECT_EQ(RunReport(BuildAvi(layout)).stream, AVIERR_NODATA);
}

TEST_F(AviFileCalls, PictureSizeComesFromTheFormatThenTheFrameRectangle) {
  using Rect = std::array<std::int16_t, 4>;
  const struct {
    const char* what;
    std::int32_t height;
    bool format;
    Rect frame;
    std::uint32_t headerSize, width, expectedHeight;
  } cases[] = {
      {"format before rectangle", 240, true, {0, 0, 160, 120}, 56, 320, 240},
      {"top-down picture", -240, true, {0, 0, 160, 120}, 56, 320, 240},
      {"no format: the rectangle", 240, false, {10, 20, 170, 140}, 56, 160, 120},
      {"neither: no size rather than a wrong one", 240, false, {}, 48, 0, 0},
  };
  for (const auto& c : cases) {
    AviLayout layout;
    layout.streams[0].height = c.height;
    layout.streams[0].writeFormat = c.format;
    layout.streams[0].frame = c.frame;
    layout.streams[0].headerSize = c.headerSize;
    const Report r = RunReport(BuildAvi(layout));
    ASSERT_EQ(r.info, AVIERR_OK) << c.what;
    EXPECT_EQ(r.record.dwWidth, c.width) << c.what;
    EXPECT_EQ(r.record.dwHeight, c.expectedHeight) << c.what;
  }
}

TEST_F(AviFileCalls, OpenDmlLengthCoversEveryRiffForm) {
  AviLayout layout;
  layout.streams = {AviStream{}, PcmAudioStream()};
  layout.framesPerForm = {300, 200, 100};
  Report r = RunReport(BuildAvi(layout));
  EXPECT_EQ(r.record.dwLength, 600u);
  EXPECT_EQ(r.length, 600);

  // A writer that left only the first form's count in the stream header and never
  // filled in 'dmlh': the super index still covers all forms.
  layout.streams[0].length = 300;
  layout.grandFrames = 0;
  std::vector<std::uint8_t> bytes = BuildAvi(layout);
  EXPECT_EQ(RunReport(bytes).length, 600);
  // A super index claiming more entries than it holds counts those it holds.
  StoreU32(bytes, FindFourCC(bytes, "indx") + 12, 0xFFFFFFFF);
  EXPECT_EQ(RunReport(bytes).length, 600);

  // Without a super index the 'dmlh' total counts for the first video stream.
  layout.grandFrames = 600;
  bytes = BuildAvi(layout);
  for (int i = 0; i < 2; ++i) std::memcpy(bytes.data() + FindFourCC(bytes, "indx"), "JUNK", 4);
  EXPECT_EQ(RunReport(bytes).record.dwLength, 600u);
}

TEST_F(AviFileCalls, AFileCutShortAfterItsHeadersReportsTheHeaders) {
  AviLayout layout;
  layout.framesPerForm = {500};
  std::vector<std::uint8_t> bytes = BuildAvi(layout);
  bytes.resize(FindFourCC(bytes, "movi") + 100);
  const Report r = RunReport(bytes);
  ASSERT_EQ(r.info, AVIERR_OK);
  EXPECT_EQ(r.record.dwLength, 500u);
  bytes.resize(FindFourCC(bytes, "strf"));
  EXPECT_EQ(RunReport(bytes).open, AVIERR_FILEREAD);
}

}  // namespace
}  // namespace tamso::test
