// Files made by ffmpeg, read through the file calls and compared with what ffprobe says
// of the same files. Skipped where ffmpeg or ffprobe is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "tests/platform/avifil32/vfw_test_util.h"

namespace tamso::test {
namespace {

bool HaveTool(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Capture(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) out.append(buffer, n);
  return out;
}

// ffprobe's view of the first video stream and the stream count.
struct Probe {
  int streams = 0;
  long width = 0;
  long height = 0;
  long rateNum = 0;
  long rateDen = 0;
  long frames = 0;
};

Probe RunProbe(const std::string& path) {
  // "flat" output: streams.stream.N.key=value, one a line.
  const std::string text = Capture(
      "ffprobe -v error -show_entries stream=codec_type,width,height,r_frame_rate,"
      "nb_frames -of flat '" +
      path + "'");
  std::map<int, std::map<std::string, std::string>> streams;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    int index = 0;
    char key[64] = {};
    char value[64] = {};
    if (std::sscanf(line.c_str(), "streams.stream.%d.%63[^=]=%63s", &index, key, value) == 3) {
      std::string v = value;
      if (v.size() >= 2 && v.front() == '"') v = v.substr(1, v.size() - 2);
      streams[index][key] = v;
    }
  }
  Probe p;
  p.streams = static_cast<int>(streams.size());
  for (auto& [index, s] : streams) {
    if (s["codec_type"] != "video") continue;
    p.width = std::atol(s["width"].c_str());
    p.height = std::atol(s["height"].c_str());
    std::sscanf(s["r_frame_rate"].c_str(), "%ld/%ld", &p.rateNum, &p.rateDen);
    p.frames = std::atol(s["nb_frames"].c_str());
    break;
  }
  return p;
}

class AviFfmpegOracle : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTool("ffmpeg") || !HaveTool("ffprobe")) GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
  }

  // Makes `name` with ffmpeg from the given arguments (inputs, maps, codecs).
  std::string make(const std::string& name, const std::string& arguments) {
    const std::string path = dir_.file(name);
    const int status = std::system(("ffmpeg -nostdin -v error -y " + arguments + " '" + path + "'").c_str());
    EXPECT_EQ(status, 0) << arguments;
    return path;
  }

  // The report's calls agree with ffprobe on the file.
  void expectAgreement(const std::string& path) {
    const Probe p = RunProbe(path);
    ASSERT_GT(p.streams, 0) << "ffprobe could not read " << path;
    const Report r = RunReport(path);
    ASSERT_EQ(r.info, AVIERR_OK);
    EXPECT_EQ(static_cast<long>(r.record.dwStreams), p.streams);
    EXPECT_EQ(static_cast<long>(r.record.dwWidth), p.width);
    EXPECT_EQ(static_cast<long>(r.record.dwHeight), p.height);
    // The same rate as a fraction, whatever its terms.
    EXPECT_EQ(std::int64_t{r.record.dwRate} * p.rateDen, std::int64_t{p.rateNum} * r.record.dwScale)
        << r.record.dwRate << "/" << r.record.dwScale << " against " << p.rateNum << "/" << p.rateDen;
    EXPECT_EQ(static_cast<long>(r.record.dwLength), p.frames);
    EXPECT_EQ(r.length, p.frames);
  }

  TempDir dir_;
};

const std::string kSound = "-f lavfi -i sine=frequency=440:duration=2 ";

TEST_F(AviFfmpegOracle, Mpeg4WithAudioBeforeVideoAtNtscRate) {
  expectAgreement(make("mpeg4.avi", kSound + "-f lavfi -i testsrc=size=320x240:rate=30000/1001:duration=2 "
                                             "-map 0:a -map 1:v -c:v mpeg4 -c:a pcm_s16le"));
}

TEST_F(AviFfmpegOracle, MjpegAtTwelveAndAHalfFrames) {
  expectAgreement(make("mjpeg.avi", "-f lavfi -i testsrc=size=176x144:rate=12.5:duration=3 -c:v mjpeg"));
}

TEST_F(AviFfmpegOracle, RawVideoTopDownWithTwoAudioStreams) {
  expectAgreement(
      make("raw.avi", kSound + kSound +
                          "-f lavfi -i testsrc=size=64x48:rate=25:duration=1 "
                          "-map 0:a -map 2:v -map 1:a -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le"));
}

TEST_F(AviFfmpegOracle, TwoVideoStreamsReportTheFirst) {
  expectAgreement(make("two.avi",
                       "-f lavfi -i testsrc=size=96x64:rate=10:duration=2 "
                       "-f lavfi -i testsrc=size=32x32:rate=5:duration=1 -map 0:v -map 1:v -c:v mpeg4"));
}

// More than 1 GB, so that ffmpeg goes on in 'RIFF AVIX' forms and the main header
// counts only the frames of the first form.
TEST_F(AviFfmpegOracle, OpenDmlFileOverOneGigabyte) {
  const std::string path = make("big.avi",
                                "-f lavfi -i color=size=1920x1080:rate=25 -frames:v 200 "
                                "-c:v rawvideo -pix_fmt bgr24");
  ASSERT_GT(std::filesystem::file_size(path), 1ull << 30);
  expectAgreement(path);
  EXPECT_EQ(RunReport(path).record.dwLength, 200u);
}

}  // namespace
}  // namespace tamso::test
