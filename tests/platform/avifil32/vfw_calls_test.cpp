// The file and stream calls as a caller sees them: result codes, out values, stream
// selection, start and length, and the reference counts of files and streams.
#include "platform/avifil32/vfw.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "platform/avifil32/avi_objects.h"
#include "platform/runtime/byte_reader.h"
#include "tests/platform/avifil32/vfw_test_util.h"

namespace tamso::test {
namespace {

using avifile::OpenFileCount;
using avifile::OpenStreamCount;

// Audio, then two video streams of different sizes and lengths.
AviLayout AudioAndTwoVideos() {
  AviLayout layout;
  layout.streams.resize(3);
  layout.streams[0].type = "auds";
  layout.streams[0].length = 44100;
  layout.streams[1].width = 640;
  layout.streams[1].height = 480;
  layout.streams[1].start = 3;
  layout.streams[1].length = 250;
  layout.streams[2].width = 160;
  layout.streams[2].height = 120;
  layout.streams[2].length = 99;
  return layout;
}

class AviFileCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    baseFiles_ = OpenFileCount();
    baseStreams_ = OpenStreamCount();
  }
  void TearDown() override {
    EXPECT_EQ(OpenFileCount(), baseFiles_) << "a file handle was left open";
    EXPECT_EQ(OpenStreamCount(), baseStreams_) << "a stream handle was left open";
  }
  PAVIFILE open(const AviLayout& layout) {
    PAVIFILE file = 0;
    EXPECT_EQ(AVIFileOpen(&file, dir_.write("f.avi", BuildAvi(layout)).c_str(), OF_SHARE_DENY_WRITE, nullptr),
              AVIERR_OK);
    return file;
  }

  TempDir dir_;

 private:
  std::size_t baseFiles_ = 0;
  std::size_t baseStreams_ = 0;
};

TEST_F(AviFileCalls, OpenReportsWhyAFileCannotBeRead) {
  PAVIFILE file = 1234;
  EXPECT_EQ(AVIFileOpen(&file, dir_.file("missing.avi").c_str(), OF_SHARE_DENY_WRITE, nullptr),
            AVIERR_FILEOPEN);
  EXPECT_EQ(file, 0u);
  file = 1234;
  EXPECT_EQ(AVIFileOpen(&file, dir_.path().c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_FILEOPEN);
  EXPECT_EQ(file, 0u);
  const std::string fifo = dir_.file("pipe.avi");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(AVIFileOpen(&file, fifo.c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_FILEOPEN);

  file = 1234;
  EXPECT_EQ(AVIFileOpen(&file, dir_.write("empty.avi", {}).c_str(), OF_SHARE_DENY_WRITE, nullptr),
            AVIERR_FILEREAD);
  EXPECT_EQ(file, 0u);
  const std::string text = "This is not a video.";
  EXPECT_EQ(OpenResult(AsBytes(text)), AVIERR_FILEREAD);

  std::vector<std::uint8_t> shortMain = BuildAvi();
  StoreU32(shortMain, FindFourCC(shortMain, "avih") + 4, 52);
  EXPECT_EQ(OpenResult(shortMain), AVIERR_BADFORMAT);
  std::vector<std::uint8_t> manyStreams = BuildAvi();
  StoreU32(manyStreams, FindFourCC(manyStreams, "avih") + 8 + 24, 0x10000);
  EXPECT_EQ(OpenResult(manyStreams), AVIERR_UNSUPPORTED);

  EXPECT_EQ(AVIFileOpen(nullptr, dir_.file("x.avi").c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_BADPARAM);
  file = 1234;
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
  PAVISTREAM first = 0;
  ASSERT_EQ(AVIFileGetStream(file, &first, streamtypeVIDEO, 0), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(first), 250);
  EXPECT_EQ(AVIStreamStart(first), 3);
  PAVISTREAM second = 0;
  ASSERT_EQ(AVIFileGetStream(file, &second, streamtypeVIDEO, 1), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(second), 99);
  PAVISTREAM any = 0;
  ASSERT_EQ(AVIFileGetStream(file, &any, 0, 0), AVIERR_OK);  // type 0: by position
  EXPECT_EQ(AVIStreamLength(any), 44100);
  PAVISTREAM none = 1234;
  EXPECT_EQ(AVIFileGetStream(file, &none, streamtypeVIDEO, 2), AVIERR_NODATA);
  EXPECT_EQ(none, 0u);
  none = 1234;
  EXPECT_EQ(AVIFileGetStream(file, &none, streamtypeTEXT, 0), AVIERR_NODATA);
  EXPECT_EQ(none, 0u);
  EXPECT_EQ(AVIFileGetStream(file, &none, 0, 3), AVIERR_NODATA);
  EXPECT_EQ(AVIFileGetStream(file, &none, streamtypeVIDEO, -1), AVIERR_BADPARAM);
  EXPECT_EQ(AVIFileGetStream(file, nullptr, streamtypeVIDEO, 0), AVIERR_BADPARAM);
  EXPECT_EQ(AVIFileGetStream(0, &none, streamtypeVIDEO, 0), AVIERR_BADHANDLE);
  EXPECT_EQ(AVIFileGetStream(file + 1, &none, streamtypeVIDEO, 0), AVIERR_BADHANDLE);
  AVIStreamRelease(first);
  AVIStreamRelease(second);
  AVIStreamRelease(any);
  EXPECT_EQ(AVIFileRelease(file), 0u);
}

TEST_F(AviFileCalls, AnAudioOnlyFileHasNoVideoStream) {
  AviLayout layout;
  layout.streams[0].type = "auds";
  const Report r = RunReport(BuildAvi(layout));
  EXPECT_EQ(r.open, AVIERR_OK);
  EXPECT_EQ(r.stream, AVIERR_NODATA);
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

TEST_F(AviFileCalls, StartAndLengthFailWithMinusOneOnABadHandle) {
  EXPECT_EQ(AVIStreamStart(0), -1);
  EXPECT_EQ(AVIStreamLength(0), -1);
  EXPECT_EQ(AVIStreamStart(0x7777), -1);
  const PAVIFILE file = open({});
  // A file handle is not a stream handle.
  EXPECT_EQ(AVIStreamLength(file), -1);
  AVIFileRelease(file);
}

TEST_F(AviFileCalls, LengthsBeyondLongStayDistinctFromFailure) {
  AviLayout layout;
  layout.streams[0].length = 0xFFFFFFFF;
  layout.streams[0].start = 0x80000000;
  const Report r = RunReport(BuildAvi(layout));
  EXPECT_EQ(r.length, 0x7FFFFFFF);
  EXPECT_EQ(r.start, 0x7FFFFFFF);
  EXPECT_EQ(r.record.dwLength, 0xFFFFFFFFu);
}

TEST_F(AviFileCalls, AStreamHoldsItsFileUntilReleased) {
  const PAVIFILE file = open(AudioAndTwoVideos());
  PAVISTREAM stream = 0;
  ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
  PAVISTREAM again = 0;
  ASSERT_EQ(AVIFileGetStream(file, &again, streamtypeVIDEO, 0), AVIERR_OK);
  EXPECT_EQ(again, stream);  // one object per stream, with two references

  EXPECT_EQ(AVIFileRelease(file), 2u);  // the two stream references hold it
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

TEST_F(AviFileCalls, ReleasingInTheReportsOrderFreesEverything) {
  const PAVIFILE file = open({});
  PAVISTREAM stream = 0;
  ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
  EXPECT_EQ(AVIStreamRelease(stream), 0u);
  EXPECT_EQ(AVIFileRelease(file), 0u);
  // A second open of the same file gets a new handle.
  const PAVIFILE reopened = open({});
  EXPECT_NE(reopened, file);
  EXPECT_EQ(AVIFileRelease(reopened), 0u);
}

TEST_F(AviFileCalls, HandlesServeSeveralThreadsAtOnce) {
  const std::string path = dir_.write("shared.avi", BuildAvi(AudioAndTwoVideos()));
  std::vector<std::thread> threads;
  std::atomic<int> good{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        const Report r = RunReport(path);
        if (r.info == AVIERR_OK && r.length == 250 && r.record.dwWidth == 640) ++good;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(good.load(), 800);
}

TEST_F(AviFileCalls, InitAndExitMayBeCalledOrNot) {
  AVIFileInit();
  EXPECT_EQ(RunReport(BuildAvi()).info, AVIERR_OK);
  AVIFileExit();
  EXPECT_EQ(RunReport(BuildAvi()).info, AVIERR_OK);
}

}  // namespace
}  // namespace tamso::test
