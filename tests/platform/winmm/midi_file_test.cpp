#include "platform/winmm/midi_file.h"

#include <gtest/gtest.h>

#include "tests/platform/winmm/winmm_test_support.h"

namespace tamso::winmm {
namespace {

using testing::Bytes;
using testing::SingleTrackSong;

TEST(MidiFile, LengthFollowsTempoChangesRunningStatusAndFrameDivision) {
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
  EXPECT_NEAR(facts->seconds, 2.0, 1e-9);
  // 25 frames a second of 40 ticks: 1000 ticks a second, whatever the tempo.
  const auto frames = ReadMidiFile(SingleTrackSong({0x87, 0x68, 0x90, 60, 100}, 0xE728));
  ASSERT_TRUE(frames);
  EXPECT_NEAR(frames->seconds, 1.0, 1e-9);
}

TEST(MidiFile, ReportsProgramsAndBankSelectsOfEveryChannel) {
  const auto facts = ReadMidiFile(SingleTrackSong({
      0x00, 0xC0, 11,         // program 11
      0x00, 33,               // running status: program 33
      0x00, 0xB9, 0x00, 1,    // drum channel: bank select 1 (controller 0)
      0x00, 0x20, 5,          // running status: bank select 5 (controller 32)
      0x00, 0x07, 100,        // running status: volume, not a bank
      0x00, 0xC9, 0x00,       // program 0 on the drum channel
      0x00, 0x90, 60,   100,  // notes are neither
  }));
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->programs, (std::set<int>{0, 11, 33}));
  EXPECT_EQ(facts->bankSelects, (std::set<int>{1, 5}));
  EXPECT_TRUE(ReadMidiFile(testing::ShortSong())->bankSelects.empty());
}

TEST(MidiFile, RefusesDamagedFiles) {
  const Bytes song = testing::ShortSong();
  Bytes badFormat = song;
  badFormat[9] = 3;
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"truncated", Bytes(song.begin(), song.end() - 3)},
      {"format 3", badFormat},
      {"empty", {}},
      {"division 0", SingleTrackSong({}, 0)},
      {"running status before any status", SingleTrackSong({0x00, 60, 100})},
      {"running status after a meta event",
       SingleTrackSong({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x00, 0x00, 62, 100})},
      {"status byte as data", SingleTrackSong({0x00, 0x90, 0x80, 100})},
      {"5-byte delta", SingleTrackSong({0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 100})},
      {"meta past the track", SingleTrackSong({0x00, 0xFF, 0x01, 0x7F, 'a'})},
      {"real-time byte in a file", SingleTrackSong({0x00, 0xF8})},
  };
  for (const auto& c : cases) EXPECT_FALSE(ReadMidiFile(c.bytes)) << c.what;
}

}  // namespace
}  // namespace tamso::winmm
