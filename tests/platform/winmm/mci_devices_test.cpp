// mciSendStringA as a program calls it, with the sound going to a WAV file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"
#include "tests/platform/winmm/winmm_test_support.h"

namespace tamso::winmm {
namespace {

namespace fs = std::filesystem;

using testing::Children;
using testing::Eventually;
using testing::Send;
using testing::Status;
using testing::Threads;

// Runs each test in a scratch folder holding the tune as the current directory, with the
// sound going to a WAV file there, and closes everything afterwards.
class MciSendString : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::current_path(folder_.path());
    ProcessMciDevices().configure(testing::Setup({"file", folder_.path() / "out.wav"}));
    fs::copy_file(testing::KittyTune(), folder_.path() / "kitty.mid");
  }
  void TearDown() override {
    Send("close all");
    ProcessMciDevices().configure(testing::Setup());
    fs::current_path(previous_);
  }
  // Once a song is over, stopped or given up: no tune player is left, nor a thread.
  void expectNothingLeft() {
    EXPECT_TRUE(Eventually([&] { return Threads() == threadsBefore_ && Children().empty(); }))
        << Threads() << " threads, " << threadsBefore_ << " before; " << Children().size() << " players";
  }
  fs::path previous_ = fs::current_path();
  testing::ScratchFolder folder_;
  const std::size_t threadsBefore_ = Threads();
};

TEST_F(MciSendString, PlaysTheTuneAsynchronouslyUntilStopped) {
  ASSERT_EQ(Send("play kitty.mid"), 0u);
  EXPECT_EQ(Status("KITTY.MID"), "playing") << "the name as written is its alias";
  // The output writes in real time; give it half a second of sound (88,200 bytes a second).
  const fs::path out = folder_.path() / "out.wav";
  Eventually([&] { return fs::exists(out) && fs::file_size(out) > 100000; });
  EXPECT_EQ(Send("play kitty.mid"), 0u) << "a second play leaves it playing";
  EXPECT_EQ(Status("kitty.mid"), "playing");
  ASSERT_EQ(Send("stop kitty.mid"), 0u);
  EXPECT_EQ(ProcessMciDevices().openCount(), 0u) << "an auto-opened device closes once stopped";
  expectNothingLeft();
  const auto wav = testing::ReadWav(out);
  ASSERT_TRUE(wav);
  EXPECT_GT(wav->seconds(), 0.5);
  EXPECT_GT(wav->rms(0, wav->seconds()), 0.005) << "the tune was heard";
}

TEST_F(MciSendString, ASongThatEndsLeavesNothingBehindAndPlaysAgainFromItsStart) {
  const auto song = testing::ShortSong();  // one half-second note
  folder_.file("short.mid", std::string(song.begin(), song.end()));
  const fs::path out = folder_.path() / "out.wav";
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(Send("open short.mid alias tune"), 0u);
    ASSERT_EQ(Send("play tune"), 0u);
    EXPECT_EQ(Status("tune"), "playing");
    EXPECT_TRUE(Eventually([] { return Status("tune") == "stopped"; })) << "round " << round;
    expectNothingLeft();
    EXPECT_EQ(ProcessMciDevices().openCount(), 1u) << "an opened device stays open";
    const auto wav = testing::ReadWav(out);
    ASSERT_TRUE(wav);
    EXPECT_GE(wav->seconds(), 0.5);
    EXPECT_GT(wav->rms(0, 0.5), 0.005) << "round " << round << ": the note from the start";
    ASSERT_EQ(Send("close tune"), 0u);
  }
}

TEST_F(MciSendString, ACloseWhileTheSynthesiserStartsIsNotHeldUp) {
  // The output is a FIFO nobody reads yet: opening it holds the starting synthesiser.
  const fs::path out = folder_.path() / "out.wav";
  ASSERT_EQ(mkfifo(out.c_str(), 0600), 0);
  ASSERT_EQ(Send("play kitty.mid"), 0u);
  // The player is inside openat, as a writer opening a FIFO nobody reads is.
  ASSERT_TRUE(Eventually([] { return !Children(std::to_string(SYS_openat).c_str()).empty(); }));
  auto closed = std::async(std::launch::async, [] { return Send("close all"); });
  const bool returned =
      Eventually([&] { return closed.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
  EXPECT_TRUE(returned) << "the close waited for the start";
  // The player was ended: no writer holds the FIFO any more.
  const int reader = open(out.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  char buffer[65536];
  EXPECT_TRUE(Eventually([&] { return read(reader, buffer, sizeof buffer) == 0; })) << "the writer let go";
  close(reader);
  EXPECT_EQ(closed.get(), 0u);
  EXPECT_EQ(ProcessMciDevices().openCount(), 0u);
  expectNothingLeft();
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
  ProcessMciDevices().configure(testing::Setup({"file", "out.wav"}, {folder_.path() / "none.sf2"}));
  EXPECT_EQ(Send("play kitty.mid"), MCIERR_CANNOT_LOAD_DRIVER);
  EXPECT_EQ(ProcessMciDevices().openCount(), 0u);
  // The play returns at once; the device then finds it cannot sound.
  ProcessMciDevices().configure(testing::Setup({"no-such-audio-driver", {}}));
  ASSERT_EQ(Send("play kitty.mid"), 0u);
  EXPECT_TRUE(Eventually([] { return Status("kitty.mid") != "playing"; }));
  EXPECT_EQ(Status("kitty.mid"), "stopped");
  EXPECT_EQ(Send("play kitty.mid wait"), MCIERR_HARDWARE);
  // Nor without the tune player.
  SequencerSetup noPlayer = testing::Setup({"file", "out.wav"});
  noPlayer.player = folder_.path() / "tamso-avi-tune";
  ProcessMciDevices().configure(noPlayer);
  EXPECT_EQ(Send("play kitty.mid wait"), MCIERR_CANNOT_LOAD_DRIVER);
  EXPECT_EQ(Status("kitty.mid"), "stopped");
  expectNothingLeft();
}

TEST_F(MciSendString, APlayerThatHangsOrDiesLeavesTheDeviceStopped) {
  const fs::path out = folder_.path() / "out.wav";
  const auto sounding = [&] { return fs::exists(out) && fs::file_size(out) > 100000; };
  // A player that no longer answers (as one waiting on a hung sound server) does not hold
  // up the stop: it is ended.
  ASSERT_EQ(Send("play kitty.mid"), 0u);
  ASSERT_TRUE(Eventually(sounding));
  ASSERT_EQ(Children().size(), 1u);
  kill(Children().front(), SIGSTOP);
  auto stopped = std::async(std::launch::async, [] { return Send("stop kitty.mid"); });
  EXPECT_TRUE(
      Eventually([&] { return stopped.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_EQ(stopped.get(), 0u);
  expectNothingLeft();
  // A player that dies in the middle of the song leaves the device stopped.
  fs::remove(out);
  ASSERT_EQ(Send("open kitty.mid alias tune"), 0u);
  ASSERT_EQ(Send("play tune"), 0u);
  ASSERT_TRUE(Eventually(sounding));
  kill(Children().front(), SIGKILL);
  EXPECT_TRUE(Eventually([] { return Status("tune") == "stopped"; }));
  expectNothingLeft();
  EXPECT_EQ(Send("play tune"), 0u) << "and it plays again";
  EXPECT_EQ(Status("tune"), "playing");
}

TEST_F(MciSendString, TheTuneStopsWhenTheProgramPlayingItDies) {
  // Orphans of this process's children become its own, so the player can be watched.
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  const fs::path out = folder_.path() / "out.wav";
  const pid_t program = fork();
  if (program == 0) {
    // A program that plays the tune and ends without closing anything, as a crash would.
    if (Send("play kitty.mid") != 0) _exit(1);
    Eventually([&] { return fs::exists(out) && fs::file_size(out) > 100000; });
    _exit(fs::exists(out) && fs::file_size(out) > 100000 ? 0 : 2);
  }
  ASSERT_GT(program, 0);
  int status = -1;
  ASSERT_EQ(waitpid(program, &status, 0), program);
  EXPECT_EQ(status, 0) << "the tune played";
  // The player, reaped here once it has ended.
  EXPECT_TRUE(Eventually([] {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    return Children().empty();
  })) << "the player ended with its program";
  prctl(PR_SET_CHILD_SUBREAPER, 0);
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

TEST(TunePlayer, BesideTheProgramOrInTheLibexecFolderOfAnInstalledOne) {
  testing::ScratchFolder prefix;
  prefix.folder("bin");
  EXPECT_EQ(TunePlayerFor(prefix.path() / "bin/tamso-avi"), prefix.path() / "bin/tamso-avi-tune")
      << "a build tree's bin folder, no libexec beside it";
  prefix.folder("libexec/tamso-avi");
  prefix.file("libexec/tamso-avi/tamso-avi-tune", "");
  EXPECT_EQ(TunePlayerFor(prefix.path() / "bin/tamso-avi"),
            prefix.path() / "libexec/tamso-avi/tamso-avi-tune");
  EXPECT_EQ(TunePlayerFor(prefix.path() / "build/tamso-avi"), prefix.path() / "build/tamso-avi-tune");
}

}  // namespace
}  // namespace tamso::winmm
