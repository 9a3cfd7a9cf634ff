// mciSendStringA as the program calls it, with the sound going to a WAV file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/runtime/app_paths.h"
#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"
#include "tests/platform/winmm/test_songs.h"
#include "tests/platform/winmm/wav_reader.h"

namespace tamso::winmm {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

MCIERROR Send(const std::string& command) { return mciSendStringA(command.c_str(), nullptr, 0, 0); }

std::string Status(const std::string& name) {
  char reply[32] = "x";
  const MCIERROR error = mciSendStringA(("status " + name + " mode").c_str(), reply, sizeof reply, 0);
  return error == 0 ? std::string(reply) : "error " + std::to_string(error);
}

// Runs each test in a scratch folder as the current directory, with the sound going to a
// WAV file there, and closes everything afterwards.
class MciSendString : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    fs::current_path(folder_.path());
    SequencerSetup setup;
    setup.output = {"file", folder_.path() / "out.wav"};
    ProcessMciDevices().configure(setup);
    fs::copy_file(testing::KittyTune(), folder_.path() / "kitty.mid");
  }
  void TearDown() override {
    Send("close all");
    ProcessMciDevices().configure({});
    fs::current_path(previous_);
  }
  ScratchFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
  fs::path previous_;
};

TEST_F(MciSendString, PlaysTheTuneAsynchronouslyUntilStopped) {
  ASSERT_EQ(Send("play kitty.mid"), 0u);
  EXPECT_EQ(Status("KITTY.MID"), "playing");  // the name as written is its alias
  EXPECT_EQ(ProcessMciDevices().openCount(), 1u);
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

TEST_F(MciSendString, OpenedDevicesAnswerByAliasAndStayOpen) {
  ASSERT_EQ(Send("open kitty.mid type sequencer alias Tune"), 0u);
  EXPECT_EQ(Status("tune"), "stopped");
  EXPECT_EQ(Send("open kitty.mid"), 0u) << "the file under its own name is another device";
  EXPECT_EQ(Send("open kitty.mid"), MCIERR_DEVICE_OPEN);
  EXPECT_EQ(Send("open kitty.mid alias TUNE"), MCIERR_DUPLICATE_ALIAS);
  ASSERT_EQ(Send("play tune"), 0u);
  EXPECT_EQ(Status("tune"), "playing");
  ASSERT_EQ(Send("stop tune"), 0u);
  EXPECT_EQ(Status("tune"), "stopped");
  EXPECT_EQ(ProcessMciDevices().openCount(), 2u);
  EXPECT_EQ(Send("close tune"), 0u);
  EXPECT_EQ(Send("close tune"), MCIERR_INVALID_DEVICE_NAME);
  EXPECT_EQ(Send("close all"), 0u);
  EXPECT_EQ(ProcessMciDevices().openCount(), 0u);
}

TEST_F(MciSendString, ReplyGoesIntoTheBufferWhenItFits) {
  ASSERT_EQ(Send("open kitty.mid alias t"), 0u);
  char small[7] = "123456";
  EXPECT_EQ(mciSendStringA("status t mode", small, sizeof small, 0), MCIERR_PARAM_OVERFLOW);
  char exact[8] = "";
  EXPECT_EQ(mciSendStringA("status t mode", exact, sizeof exact, 0), 0u);
  EXPECT_STREQ(exact, "stopped");
  // The window's way: a buffer holding "0" and a length of 0; nothing is written.
  char untouched[] = "0";
  EXPECT_EQ(mciSendStringA("stop t", untouched, 0, 0), 0u);
  EXPECT_STREQ(untouched, "0");
  char cleared[] = "old";
  EXPECT_EQ(mciSendStringA("stop t", cleared, sizeof cleared, 0), 0u);
  EXPECT_STREQ(cleared, "");
}

TEST_F(MciSendString, FailuresAreCodesAndLeaveNothingOpen) {
  testing::WriteFile("damaged.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1});
  testing::WriteFile("notes.txt", testing::ShortSong());
  EXPECT_EQ(mciSendStringA(nullptr, nullptr, 0, 0), MCIERR_MISSING_COMMAND_STRING);
  EXPECT_EQ(Send("dance kitty.mid"), MCIERR_UNRECOGNIZED_COMMAND);
  EXPECT_EQ(Send("play missing.mid"), MCIERR_FILE_NOT_FOUND);
  EXPECT_EQ(Send("open missing.mid alias m"), MCIERR_FILE_NOT_FOUND);
  EXPECT_EQ(Send("play damaged.mid"), MCIERR_INVALID_FILE);
  EXPECT_EQ(Send("play notes.txt"), MCIERR_EXTENSION_NOT_FOUND);
  EXPECT_EQ(Send("open notes.txt type sequencer alias n"), 0u) << "a type makes the extension irrelevant";
  EXPECT_EQ(Send("open kitty.mid type waveaudio"), MCIERR_INVALID_DEVICE_NAME);
  EXPECT_EQ(Send("play kitty.mid notify"), MCIERR_NOTIFY_ON_AUTO_OPEN);
  EXPECT_EQ(Send("close kitty.mid"), MCIERR_INVALID_DEVICE_NAME) << "close does not auto-open";
  // Stop and status of a file that is not open open it for the moment and close it again.
  EXPECT_EQ(Send("stop kitty.mid"), 0u);
  EXPECT_EQ(Send("stop missing.mid"), MCIERR_FILE_NOT_FOUND);
  EXPECT_EQ(Status("kitty.mid"), "stopped");
  EXPECT_EQ(ProcessMciDevices().openCount(), 1u) << "only the device opened on purpose";
}

TEST_F(MciSendString, WithoutSoundfontOrAudioOutputThereIsNoSound) {
  SequencerSetup noFont;
  noFont.soundFonts = {folder_.path() / "none.sf2", folder_.path() / "kitty.mid"};
  ProcessMciDevices().configure(noFont);
  EXPECT_EQ(Send("play kitty.mid"), MCIERR_CANNOT_LOAD_DRIVER) << "no file that looks like a soundfont";

  // The right first bytes and nothing behind them: found, but it does not load.
  testing::WriteFile("broken.sf2", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b', 'k'});
  SequencerSetup brokenFont;
  brokenFont.output = {"file", folder_.path() / "out.wav"};
  brokenFont.soundFonts = {folder_.path() / "broken.sf2"};
  ProcessMciDevices().configure(brokenFont);
  EXPECT_EQ(Send("play kitty.mid wait"), MCIERR_CANNOT_LOAD_DRIVER);

  SequencerSetup noOutput;
  noOutput.output = {"no-such-audio-driver", {}};
  ProcessMciDevices().configure(noOutput);
  EXPECT_EQ(Send("play kitty.mid wait"), MCIERR_HARDWARE);
  EXPECT_EQ(ProcessMciDevices().openCount(), 0u);

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
  ScratchFolder here("here"), app("app");
  testing::WriteFile(app.path() / "tune.mid", testing::ShortSong());
  testing::WriteFile(app.path() / "both.mid", testing::ShortSong());
  fs::create_directories(here.path() / "sub");
  testing::WriteFile(here.path() / "both.mid", testing::ShortSong());
  testing::WriteFile(here.path() / "sub" / "deep.mid", testing::ShortSong());
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
