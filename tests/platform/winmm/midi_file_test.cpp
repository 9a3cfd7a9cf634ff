#include "platform/winmm/midi_file.h"

#include <gtest/gtest.h>

#include "tests/platform/winmm/test_songs.h"

namespace tamso::winmm {
namespace {

using testing::SingleTrackSong;

TEST(MidiFile, TheTuneIsASoundSongOfHalfAMinuteToAMinute) {
  const auto facts = ReadMidiFile(testing::ReadFile(testing::KittyTune()));
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->format, 1);
  EXPECT_GE(facts->tracks, 2);
  EXPECT_GE(facts->seconds, 30.0);
  EXPECT_LE(facts->seconds, 60.0);
}

TEST(MidiFile, TimeFollowsTempoChangesAndRunningStatus) {
  // 480 ticks a quarter. Two quarters at the default 120 a minute (1 s), then tempo 60
  // a minute (1,000,000 us) for one quarter (1 s), with notes in running status.
  const auto facts = ReadMidiFile(SingleTrackSong({
      0x00, 0x90, 60,   100,                           // note on
      0x00, 64,   100,                                 // running status: another note on
      0x87, 0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // at 960: tempo 1,000,000
      0x83, 0x60, 0x80, 60,   0,                       // at 1440: note off
      0x00, 64,   0,                                   // running status: note off
  }));
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->format, 0);
  EXPECT_EQ(facts->tracks, 1);
  EXPECT_EQ(facts->lastTick, 1440u);
  EXPECT_NEAR(facts->seconds, 2.0, 1e-9);
}

TEST(MidiFile, FrameBasedDivisionIgnoresTempo) {
  // 25 frames a second, 40 ticks a frame: 1000 ticks a second.
  const auto facts = ReadMidiFile(SingleTrackSong({0x87, 0x68, 0x90, 60, 100}, 0xE728));
  ASSERT_TRUE(facts);
  EXPECT_NEAR(facts->seconds, 1.0, 1e-9);
}

TEST(MidiFile, RefusesDamagedFiles) {
  std::vector<std::uint8_t> truncated = testing::ShortSong();
  truncated.resize(truncated.size() - 3);
  std::vector<std::uint8_t> badFormat = testing::ShortSong();
  badFormat[9] = 3;
  std::vector<std::uint8_t> noTracks = testing::ShortSong();
  noTracks.resize(14);
  const std::vector<std::uint8_t> notMidi = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};

  EXPECT_FALSE(ReadMidiFile(truncated));
  EXPECT_FALSE(ReadMidiFile(badFormat));
  EXPECT_FALSE(ReadMidiFile(noTracks));
  EXPECT_FALSE(ReadMidiFile(notMidi));
  EXPECT_FALSE(ReadMidiFile({}));
  EXPECT_FALSE(ReadMidiFile(SingleTrackSong({}, 0))) << "division 0";
  EXPECT_FALSE(ReadMidiFile(SingleTrackSong({0x00, 60, 100}))) << "running status before any status";
  EXPECT_FALSE(ReadMidiFile(SingleTrackSong({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x00, 0x00, 62, 100})))
      << "running status after a meta event";
  EXPECT_FALSE(ReadMidiFile(SingleTrackSong({0x00, 0x90, 0x80, 100}))) << "status byte as data";
  EXPECT_FALSE(ReadMidiFile(SingleTrackSong({0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 100})))
      << "5-byte delta";
  EXPECT_FALSE(ReadMidiFile(SingleTrackSong({0x00, 0xFF, 0x01, 0x7F, 'a'}))) << "meta past the track";
  EXPECT_FALSE(ReadMidiFile(SingleTrackSong({0x00, 0xF8}))) << "real-time byte in a file";
}

}  // namespace
}  // namespace tamso::winmm
