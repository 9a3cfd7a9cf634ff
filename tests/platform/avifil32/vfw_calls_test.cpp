// The file and stream calls as a caller sees them: result codes for every kind of bad
// file, stream selection and reference counts. What the record says of each file layout
// is checked through the report.
#include "platform/avifil32/vfw.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "platform/avifil32/avi_objects.h"
#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Checks that every test releases every handle it obtained.
class AviFileCalls : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(avifile::OpenFileCount(), files_) << "a file handle was left open";
    EXPECT_EQ(avifile::OpenStreamCount(), streams_) << "a stream handle was left open";
  }
  PAVIFILE open(std::span<const std::uint8_t> bytes, HRESULT expected = AVIERR_OK) {
    PAVIFILE file = 1234;
    EXPECT_EQ(AVIFileOpen(&file, dir_.write("f.avi", bytes).c_str(), OF_SHARE_DENY_WRITE, nullptr), expected);
    return file;
  }

  TempDir dir_;
  std::size_t files_ = avifile::OpenFileCount();
  std::size_t streams_ = avifile::OpenStreamCount();
};

// The bytes this process has read from files so far: rchar, the first line of its io record.
std::uint64_t BytesRead() {
  std::string key;
  std::uint64_t value = 0;
  std::ifstream("/proc/self/io") >> key >> value;
  return value;
}

TEST_F(AviFileCalls, OpenReadsOnlyTheHeadersAndLeavesTheFileClosedAndUnchanged) {
  AviLayout layout;  // 3 GB of frames: the 'movi' list and the form are declared that large
  layout.framesPerForm = {0};
  layout.idx1 = false;
  Bytes bytes = BuildAvi(layout);
  const std::uint64_t frames = 3ull << 30;
  StoreU32(bytes, FindFourCC(bytes, "movi") - 4, static_cast<std::uint32_t>(frames + 4));
  StoreU32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - 8 + frames));
  const std::string path = dir_.write("big.avi", bytes);
  fs::resize_file(path, bytes.size() + frames);  // sparse: no disk space taken
  const auto written = fs::last_write_time(path);
  const auto descriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
  const auto openBefore = descriptors();
  const std::uint64_t readBefore = BytesRead();
  PAVIFILE file = 0;
  ASSERT_EQ(AVIFileOpen(&file, path.c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_OK);
  EXPECT_LT(BytesRead() - readBefore, 1u << 20);
  EXPECT_EQ(descriptors(), openBefore);
  EXPECT_EQ(AVIFileRelease(file), 0u);
  EXPECT_EQ(fs::last_write_time(path), written);
  EXPECT_EQ(fs::file_size(path), bytes.size() + frames);
}

// A file whose header chunks are `mainHeader` and `streamHeader` bytes long, with every
// size and count consistent with that.
Bytes WithHeaderSizes(std::uint32_t mainHeader, std::uint32_t streamHeader) {
  AviLayout layout;
  layout.mainHeaderSize = mainHeader;
  layout.streams[0].headerSize = streamHeader;
  return BuildAvi(layout);
}

Bytes WithStreams(std::size_t count, std::optional<std::uint32_t> declared = {}) {
  AviLayout layout;
  layout.streams.resize(count);
  layout.declaredStreams = declared;
  layout.framesPerForm = {1};
  return BuildAvi(layout);
}

TEST_F(AviFileCalls, OpenTellsWhyAFileCannotBeRead) {
  const std::string fifo = dir_.file("pipe.avi");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {dir_.file("missing.avi"), dir_.path(), fifo}) {
    PAVIFILE file = 1234;
    EXPECT_EQ(AVIFileOpen(&file, path.c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_FILEOPEN) << path;
    EXPECT_EQ(file, 0u);
  }
  PAVIFILE file = 1234;
  EXPECT_EQ(AVIFileOpen(nullptr, fifo.c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_BADPARAM);
  EXPECT_EQ(AVIFileOpen(&file, nullptr, OF_SHARE_DENY_WRITE, nullptr), AVIERR_BADPARAM);

  AviLayout named;
  named.streams[0].name = "x";
  const auto xxxx = Fcc("xxxx");
  const std::tuple<const char*, Bytes, HRESULT> cases[] = {
      {"empty", {}, AVIERR_FILEREAD},
      {"text", Bytes(100, 'a'), AVIERR_FILEREAD},
      {"RIFF WAVE", Patched("AVI ", 0, Fcc("WAVE")), AVIERR_FILEREAD},
      {"lower-case form", Patched("AVI ", 0, Fcc("AVi ")), AVIERR_FILEREAD},
      {"no hdrl", Patched("hdrl", 0, xxxx), AVIERR_FILEREAD},
      {"hdrl without avih", Patched("avih", 0, xxxx), AVIERR_FILEREAD},
      {"cut inside avih", Cut("avih", 30), AVIERR_FILEREAD},
      {"cut inside strl", Cut("strl", 40), AVIERR_FILEREAD},
      {"cut after the first of two strl", Cut("strl", 20, WithStreams(2), 1), AVIERR_FILEREAD},
      // avih has one size, 56; strh is 48 bytes, or 56 with the frame rectangle, or longer.
      {"avih of 52 bytes", WithHeaderSizes(52, 56), AVIERR_BADFORMAT},
      {"avih of 60 bytes", WithHeaderSizes(60, 56), AVIERR_BADFORMAT},
      {"strh of 47 bytes", WithHeaderSizes(56, 47), AVIERR_BADFORMAT},
      {"strh of 48 bytes", WithHeaderSizes(56, 48), AVIERR_OK},
      {"strh of 64 bytes", WithHeaderSizes(56, 64), AVIERR_OK},
      {"strf of 4 GB", Patched("strf", 4, 0xFFFFFFF0), AVIERR_BADFORMAT},
      {"strl past its hdrl", Patched("strl", -4, 0x7FFFFFF0), AVIERR_BADFORMAT},
      {"hdrl smaller than its type", Patched("hdrl", -4, 2), AVIERR_BADFORMAT},
      {"strl without strh", Patched("strh", 0, xxxx), AVIERR_BADFORMAT},
      {"two strf", Patched("strn", 0, Fcc("strf"), BuildAvi(named)), AVIERR_BADFORMAT},
      {"101 streams announced", WithStreams(101), AVIERR_UNSUPPORTED},
      {"101 stream lists, 1 announced", WithStreams(101, 1), AVIERR_UNSUPPORTED},
      {"100 stream lists", WithStreams(100), AVIERR_OK},
      {"cut inside movi", Cut("movi", 30), AVIERR_OK},
      {"hdrl size past the end, streams whole", Patched("hdrl", -4, 0xFFFFFFF0, Cut("movi", -8)), AVIERR_OK},
      {"RIFF size 0", Patched("RIFF", 4, 0), AVIERR_OK},
      {"RIFF size past the end", Patched("RIFF", 4, 0xFFFFFFFF), AVIERR_OK},
      {"movi size 0", Patched("movi", -4, 0), AVIERR_OK},
      {"movi size 2^32-1", Patched("movi", -4, 0xFFFFFFFF), AVIERR_OK},
  };
  for (const auto& [what, bytes, result] : cases) {
    SCOPED_TRACE(what);
    file = open(bytes, result);
    EXPECT_EQ(file != 0, result == AVIERR_OK);
    AVIFileRelease(file);
  }
}

TEST_F(AviFileCalls, GetStreamFindsStreamsByTypeAndIndex) {
  AviLayout layout;  // audio, then two video streams
  layout.streams = {PcmAudioStream(44100, 44100), {.start = 3, .length = 250}, {.length = 99}};
  const PAVIFILE file = open(BuildAvi(layout));
  PAVISTREAM first = 0, second = 0, any = 0;
  ASSERT_EQ(AVIFileGetStream(file, &first, streamtypeVIDEO, 0), AVIERR_OK);
  EXPECT_EQ(std::pair(AVIStreamStart(first), AVIStreamLength(first)), std::pair(3, 250));
  ASSERT_EQ(AVIFileGetStream(file, &second, streamtypeVIDEO, 1), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(second), 99);
  ASSERT_EQ(AVIFileGetStream(file, &any, 0, 0), AVIERR_OK);  // type 0: by position
  EXPECT_EQ(AVIStreamLength(any), 44100);
  const std::tuple<PAVIFILE, DWORD, LONG, HRESULT> failures[] = {
      {file, streamtypeVIDEO, 2, AVIERR_NODATA},
      {file, streamtypeTEXT, 0, AVIERR_NODATA},
      {file, 0, 3, AVIERR_NODATA},
      {file, streamtypeVIDEO, -1, AVIERR_BADPARAM},
      {0, streamtypeVIDEO, 0, AVIERR_BADHANDLE},
      {file + 1, streamtypeVIDEO, 0, AVIERR_BADHANDLE}};
  for (const auto& [handle, type, index, result] : failures) {
    PAVISTREAM none = 1234;
    EXPECT_EQ(AVIFileGetStream(handle, &none, type, index), result) << type << " " << index;
    EXPECT_EQ(none, 0u);
  }
  EXPECT_EQ(AVIFileGetStream(file, nullptr, streamtypeVIDEO, 0), AVIERR_BADPARAM);
  // A bad handle, and a file handle used as a stream handle, give -1.
  for (const PAVISTREAM bad : {PAVISTREAM{0}, PAVISTREAM{0x7777}, file})
    EXPECT_EQ(std::pair(AVIStreamStart(bad), AVIStreamLength(bad)), std::pair(-1, -1));

  // A stream holds its file: one object per stream, each reference holding the file.
  PAVISTREAM again = 0;
  ASSERT_EQ(AVIFileGetStream(file, &again, streamtypeVIDEO, 0), AVIERR_OK);
  EXPECT_EQ(again, first);
  EXPECT_EQ(AVIStreamRelease(second), 0u);
  EXPECT_EQ(AVIStreamRelease(any), 0u);
  EXPECT_EQ(AVIFileRelease(file), 2u);
  AVIFILEINFO info{};
  EXPECT_EQ(AVIFileInfo(file, &info, sizeof info - 1), AVIERR_BADSIZE);
  EXPECT_EQ(AVIFileInfo(file, nullptr, sizeof info), AVIERR_BADPARAM);
  EXPECT_EQ(AVIFileInfo(0, &info, sizeof info), AVIERR_BADHANDLE);
  EXPECT_EQ(AVIFileInfo(file, &info, sizeof info + 100), AVIERR_OK);
  EXPECT_EQ(info.dwStreams, 3u);
  EXPECT_EQ(AVIStreamRelease(first), 1u);
  EXPECT_EQ(AVIStreamLength(first), 250);
  EXPECT_EQ(AVIStreamRelease(first), 0u);
  EXPECT_EQ(AVIStreamLength(first), -1);
  EXPECT_EQ(AVIFileInfo(file, &info, sizeof info), AVIERR_BADHANDLE);
  EXPECT_EQ(AVIFileRelease(file), 0u);
}

}  // namespace
}  // namespace tamso::test
