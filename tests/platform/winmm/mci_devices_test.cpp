// mciSendStringA as a program calls it, with the sound going to a WAV file.
#include <gtest/gtest.h>

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

TEST_F(MciSendString, CommandsAnswerWithTheirCodeAndReply) {
  folder_.file("damaged.mid", std::string("MThd\0\0\0\6\0\1", 10));
  folder_.file("notes.txt", testing::Text(testing::ShortSong()));
  folder_.file("my songs/the tune.mid", testing::Text(testing::ShortSong()));
  const struct {
    const char* command;
    MCIERROR error;
    const char* reply = nullptr;  // checked when set; the buffer holds "old" before
    unsigned size = 32;
  } steps[] = {
      {"", MCIERR_MISSING_COMMAND_STRING},
      {" \t ", MCIERR_MISSING_COMMAND_STRING},
      {"dance kitty.mid", MCIERR_UNRECOGNIZED_COMMAND},
      {"pause kitty.mid", MCIERR_UNSUPPORTED_FUNCTION},
      {"seek kitty.mid to start", MCIERR_UNSUPPORTED_FUNCTION},
      {"play", MCIERR_MISSING_DEVICE_NAME},
      {"play \"\"", MCIERR_MISSING_DEVICE_NAME},
      {"play \"kitty.mid", MCIERR_NO_CLOSING_QUOTE},
      {"play kitty.mid from 0", MCIERR_UNRECOGNIZED_KEYWORD},
      {"play kitty.mid alias k", MCIERR_UNRECOGNIZED_KEYWORD},
      {"play kitty.mid wait wait", MCIERR_DUPLICATE_FLAGS},
      {"status kitty.mid", MCIERR_MISSING_PARAMETER},
      {"status kitty.mid length", MCIERR_UNRECOGNIZED_KEYWORD},
      {"status kitty.mid mode mode", MCIERR_DUPLICATE_FLAGS},
      {"open kitty.mid alias", MCIERR_MISSING_STRING_ARGUMENT},
      {"open kitty.mid alias a alias b", MCIERR_DUPLICATE_FLAGS},
      {"open sequencer!kitty.mid type sequencer", MCIERR_DUPLICATE_FLAGS},
      {"open !kitty.mid", MCIERR_MISSING_DEVICE_NAME},
      // Devices opened on purpose answer by alias and stay open until closed.
      {"  OPEN \"my songs/the tune.mid\"\ttype Sequencer ALIAS Tune ", 0},
      {"status tune Mode", 0, "stopped"},
      {"status tune mode", MCIERR_PARAM_OVERFLOW, "", 7},
      {"status tune mode", 0, "stopped", 8},
      {"open kitty.mid", 0},
      {"open kitty.mid", MCIERR_DEVICE_OPEN},
      {"open kitty.mid alias TUNE", MCIERR_DUPLICATE_ALIAS},
      {"open sequencer!kitty.mid alias \"a b\"", 0},
      {"status \"a b\" mode notify", 0, "stopped"},
      {"play tune", 0, ""},
      {"status tune mode", 0, "playing"},
      {"stop tune", 0, "old", 0},
      {"status tune mode", 0, "stopped"},
      {"close tune", 0},
      {"close tune", MCIERR_INVALID_DEVICE_NAME},
      {"close all", 0},
      // Failures leave nothing open.
      {"play missing.mid", MCIERR_FILE_NOT_FOUND},
      {"open missing.mid alias m", MCIERR_FILE_NOT_FOUND},
      {"play damaged.mid", MCIERR_INVALID_FILE},
      {"play notes.txt", MCIERR_EXTENSION_NOT_FOUND},
      {"open notes.txt type sequencer alias n", 0},  // a type makes the extension irrelevant
      {"open kitty.mid type waveaudio", MCIERR_INVALID_DEVICE_NAME},
      {"play kitty.mid notify", MCIERR_NOTIFY_ON_AUTO_OPEN},
      {"close kitty.mid", MCIERR_INVALID_DEVICE_NAME},  // close does not open
      // Stop and status of a file not open open it for the moment only.
      {"stop kitty.mid", 0},
      {"stop missing.mid", MCIERR_FILE_NOT_FOUND},
      {"status kitty.mid mode", 0, "stopped"},
  };
  for (const auto& s : steps) {
    char reply[32] = "old";
    EXPECT_EQ(mciSendStringA(s.command, reply, s.size, 0), s.error) << s.command;
    if (s.reply) {
      EXPECT_STREQ(reply, s.reply) << s.command;
    }
  }
  EXPECT_EQ(mciSendStringA(nullptr, nullptr, 0, 0), MCIERR_MISSING_COMMAND_STRING);
  EXPECT_EQ(ProcessMciDevices().openCount(), 1u) << "only the device opened on purpose";
}

TEST_F(MciSendString, WithoutSoundfontOrAudioOutputThereIsNoSound) {
  folder_.file("broken.sf2", std::string("RIFF\4\0\0\0sfbk", 12));  // found, but does not load
  const struct {
    SequencerSetup setup;
    MCIERROR error;
  } cases[] = {
      {{{"file", "out.wav"}, {folder_.path() / "none.sf2", folder_.path() / "kitty.mid"}},
       MCIERR_CANNOT_LOAD_DRIVER},
      {{{"file", "out.wav"}, {folder_.path() / "broken.sf2"}}, MCIERR_CANNOT_LOAD_DRIVER},
      {{{"no-such-audio-driver", {}}}, MCIERR_HARDWARE},
  };
  for (const auto& c : cases) {
    ProcessMciDevices().configure(c.setup);
    EXPECT_EQ(Send("play kitty.mid wait"), c.error);
    EXPECT_EQ(ProcessMciDevices().openCount(), 0u);
  }
  // Without "wait" the play returns at once; the device then finds it cannot sound and
  // reports itself stopped.
  ASSERT_EQ(Send("open kitty.mid alias t"), 0u);
  ASSERT_EQ(Send("play t"), 0u);
  std::string status = Status("t");
  for (int i = 0; i < 100 && status == "playing"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    status = Status("t");
  }
  EXPECT_EQ(status, "stopped");
}

TEST(MediaFileName, BareNameFallsBackToTheApplicationDirectory) {
  testing::ScratchFolder here, app;
  for (const char* name : {"tune.mid", "both.mid"}) app.file(name, "MThd");
  for (const char* name : {"both.mid", "sub/deep.mid"}) here.file(name, "MThd");
  const fs::path previous = fs::current_path();
  fs::current_path(here.path());
  EXPECT_EQ(ResolveMediaFile("both.mid", app.path()), fs::path("both.mid")) << "the current directory first";
  EXPECT_EQ(ResolveMediaFile("tune.mid", app.path()), app.path() / "tune.mid");
  EXPECT_EQ(ResolveMediaFile("sub\\deep.mid", app.path()), fs::path("sub/deep.mid"));
  EXPECT_FALSE(ResolveMediaFile("sub/tune.mid", app.path()))
      << "a name with a folder is not looked for elsewhere";
  EXPECT_FALSE(ResolveMediaFile("none.mid", app.path()));
  EXPECT_FALSE(ResolveMediaFile("sub", app.path())) << "a folder is not a file";
  fs::current_path(previous);
}

}  // namespace
}  // namespace tamso::winmm
