// mciSendStringA as a program calls it, with the sound going to a WAV file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"
#include "tests/platform/winmm/winmm_test_support.h"

namespace tamso::winmm {
namespace {

namespace fs = std::filesystem;

MCIERROR Send(const std::string& command) { return mciSendStringA(command.c_str(), nullptr, 0, 0); }

std::string Status(const std::string& name) {
  char reply[32] = "x";
  const MCIERROR error = mciSendStringA(("status " + name + " mode").c_str(), reply, sizeof reply, 0);
  return error == 0 ? std::string(reply) : "error " + std::to_string(error);
}

// Runs each test in a scratch folder holding the tune as the current directory, with the
// sound going to a WAV file there, and closes everything afterwards.
class MciSendString : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::current_path(folder_.path());
    ProcessMciDevices().configure({{"file", folder_.path() / "out.wav"}});
    fs::copy_file(testing::KittyTune(), folder_.path() / "kitty.mid");
  }
  void TearDown() override {
    Send("close all");
    ProcessMciDevices().configure({});
    fs::current_path(previous_);
  }
  fs::path previous_ = fs::current_path();
  testing::ScratchFolder folder_;
};

TEST_F(MciSendString, PlaysTheTuneAsynchronouslyUntilStopped) {
  ASSERT_EQ(Send("play kitty.mid"), 0u);
  EXPECT_EQ(Status("KITTY.MID"), "playing") << "the name as written is its alias";
  // The output writes in real time; give it half a second of sound (88,200 bytes a second).
  const fs::path out = folder_.path() / "out.wav";
  for (int i = 0; i < 400 && !(fs::exists(out) && fs::file_size(out) > 100000); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Send("play kitty.mid"), 0u) << "a second play leaves it playing";
  EXPECT_EQ(Status("kitty.mid"), "playing");
  ASSERT_EQ(Send("stop kitty.mid"), 0u);
  EXPECT_EQ(ProcessMciDevices().openCount(), 0u) << "an auto-opened device closes once stopped";
  const auto wav = testing::ReadWav(out);
  ASSERT_TRUE(wav);
  EXPECT_GT(wav->seconds(), 0.5);
  EXPECT_GT(wav->rms(0, wav->seconds()), 0.005) << "the tune was heard";
}

// The window sends "play kitty.mid" and "stop kitty.mid" with a reply buffer of size 0.
TEST_F(MciSendString, FailuresLeaveNothingOpenAndRepliesFitTheirBuffer) {
  folder_.file("damaged.mid", std::string("MThd\0\0\0\6\0\1", 10));
  ASSERT_EQ(mkfifo((folder_.path() / "pipe.mid").c_str(), 0600), 0);
  const struct {
    const char* command;
    MCIERROR error;
    const char* reply = nullptr;  // checked when set; the buffer holds "old" before
    unsigned size = 32;
  } steps[] = {
      {"play missing.mid", MCIERR_FILE_NOT_FOUND},
      {"play pipe.mid", MCIERR_FILE_NOT_FOUND},  // never waited on for a writer
      {"play damaged.mid", MCIERR_INVALID_FILE},
      {"stop kitty.mid", 0, "old", 0},
      {"status kitty.mid mode", MCIERR_PARAM_OVERFLOW, "", 7},
      {"status kitty.mid mode", 0, "stopped", 8},
  };
  for (const auto& s : steps) {
    char reply[32] = "old";
    EXPECT_EQ(mciSendStringA(s.command, reply, s.size, 0), s.error) << s.command;
    if (s.reply) {
      EXPECT_STREQ(reply, s.reply) << s.command;
    }
  }
  EXPECT_EQ(mciSendStringA(nullptr, nullptr, 0, 0), MCIERR_MISSING_COMMAND_STRING);
  EXPECT_EQ(ProcessMciDevices().openCount(), 0u);
}

TEST_F(MciSendString, WithoutSoundfontOrAudioOutputThereIsNoSound) {
  ProcessMciDevices().configure({{"file", "out.wav"}, {folder_.path() / "none.sf2"}});
  EXPECT_EQ(Send("play kitty.mid"), MCIERR_CANNOT_LOAD_DRIVER);
  EXPECT_EQ(ProcessMciDevices().openCount(), 0u);
  // The play returns at once; the device then finds it cannot sound.
  ProcessMciDevices().configure({{"no-such-audio-driver", {}}});
  ASSERT_EQ(Send("play kitty.mid"), 0u);
  std::string status = Status("kitty.mid");
  for (int i = 0; i < 100 && status == "playing"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    status = Status("kitty.mid");
  }
  EXPECT_EQ(status, "stopped");
}

TEST(MediaFileName, BareNameFallsBackToTheApplicationDirectory) {
  testing::ScratchFolder here, app;
  for (const char* name : {"tune.mid", "both.mid"}) app.file(name, "MThd");
  here.file("both.mid", "MThd");
  here.folder("sub");
  const fs::path previous = fs::current_path();
  fs::current_path(here.path());
  EXPECT_EQ(ResolveMediaFile("both.mid", app.path()), fs::path("both.mid")) << "the current directory first";
  EXPECT_EQ(ResolveMediaFile("tune.mid", app.path()), app.path() / "tune.mid");
  EXPECT_FALSE(ResolveMediaFile("sub/tune.mid", app.path()))
      << "a name with a folder is not looked for elsewhere";
  EXPECT_FALSE(ResolveMediaFile("sub", app.path())) << "a folder is not a file";
  fs::current_path(previous);
}

}  // namespace
}  // namespace tamso::winmm
