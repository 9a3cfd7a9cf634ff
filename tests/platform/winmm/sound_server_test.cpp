// The tune through a real sound server, as the window plays it: run by
// with-sound-server.sh, whose PulseAudio server sends everything to a null sink "tamso".
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/winmm/mmsystem.h"
#include "tests/platform/winmm/winmm_test_support.h"

namespace tamso::winmm {
namespace {

namespace fs = std::filesystem;

using testing::Send;
using testing::Status;

// Loudness (RMS, 0..1) of what the sink plays over one second, recorded from its monitor.
double SinkLoudness() {
  struct Closer {
    void operator()(FILE* pipe) const { pclose(pipe); }
  };
  std::unique_ptr<FILE, Closer> recording(
      popen("timeout 1 parec -d tamso.monitor --raw --format=s16le --rate=44100 --channels=2", "r"));
  if (!recording) return 0;
  std::vector<std::uint8_t> bytes;
  std::uint8_t block[4096];
  for (std::size_t got; (got = fread(block, 1, sizeof block, recording.get())) > 0;)
    bytes.insert(bytes.end(), block, block + got);
  ByteReader reader(bytes);
  double sum = 0;
  std::size_t count = 0;
  for (; reader.remaining() >= 2; ++count) {
    const double sample = reader.i16();
    sum += sample * sample;
  }
  return count ? std::sqrt(sum / double(count)) / 32768.0 : 0;
}

TEST(TuneThroughTheSoundServer, IsHeardStopsAndEndsLeavingNothingBehind) {
  testing::ScratchFolder folder;
  const fs::path previous = fs::current_path();
  fs::current_path(folder.path());
  fs::copy_file(testing::KittyTune(), "kitty.mid");
  const auto song = testing::ShortSong();
  folder.file("short.mid", std::string(song.begin(), song.end()));
  ProcessMciDevices().configure(testing::Setup());  // the desktop's sound server
  const std::size_t threadsBefore = testing::Threads();

  ASSERT_EQ(Send("play kitty.mid"), 0u);
  EXPECT_EQ(Status("kitty.mid"), "playing");
  bool heard = false;
  for (int second = 0; second < 20 && !heard; ++second) heard = SinkLoudness() > 0.005;
  EXPECT_TRUE(heard) << "the tune reaches the sound server";
  ASSERT_EQ(Send("stop kitty.mid"), 0u);
  EXPECT_EQ(Status("kitty.mid"), "stopped");
  EXPECT_TRUE(testing::Eventually([&] {
    return testing::Threads() == threadsBefore && testing::Children().empty();
  })) << "the player and its waiting thread are gone";
  EXPECT_LT(SinkLoudness(), 0.001) << "silence once stopped";

  // A song that ends by itself, twice.
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(Send("open short.mid alias tune"), 0u);
    ASSERT_EQ(Send("play tune wait"), 0u) << "round " << round;
    EXPECT_EQ(Status("tune"), "stopped");
    EXPECT_TRUE(testing::Eventually(
        [&] { return testing::Threads() == threadsBefore && testing::Children().empty(); }));
    ASSERT_EQ(Send("close tune"), 0u);
  }
  fs::current_path(previous);
}

}  // namespace
}  // namespace tamso::winmm
