// The file and stream calls as a caller sees them: result codes, stream selection and
// reference counts. What the record says of each file layout is checked with the report.
#include "platform/avifil32/vfw.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/avifil32/avi_objects.h"
#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso::test {
namespace {

// Audio, then two video streams of different lengths.
AviLayout AudioAndTwoVideos() {
  AviLayout layout;
  layout.streams = {PcmAudioStream(44100, 44100), {.start = 3, .length = 250}, {.length = 99}};
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
    PAVIFILE file = 0;
    const HRESULT result =
        AVIFileOpen(&file, dir_.write("b.avi", bytes).c_str(), OF_SHARE_DENY_WRITE, nullptr);
    if (file) AVIFileRelease(file);
    return result;
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

}  // namespace
}  // namespace tamso::test
