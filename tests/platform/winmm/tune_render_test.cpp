// The synthesiser behind the tune, heard through a WAV file.
#include <gtest/gtest.h>

#include "platform/winmm/midi_file.h"
#include "platform/winmm/midi_synth.h"
#include "platform/winmm/sound_fonts.h"
#include "tests/platform/winmm/winmm_test_support.h"

namespace tamso::winmm {
namespace {

TEST(TuneRender, TheWholeTuneSoundsForItsLength) {
  const auto soundFont = FindSoundFont(DebianSoundFonts());
  ASSERT_TRUE(soundFont) << "a General MIDI soundfont (timgm6mb-soundfont) is installed";
  testing::ScratchFolder folder;
  const auto song = testing::ReadFile(testing::KittyTune());
  const auto facts = ReadMidiFile(song);
  ASSERT_TRUE(facts);
  ASSERT_EQ(RenderMidiToWav(song, *soundFont, folder.path() / "kitty.wav"), 0u);
  const auto wav = testing::ReadWav(folder.path() / "kitty.wav");
  ASSERT_TRUE(wav);
  EXPECT_EQ(wav->channels, 2);
  EXPECT_EQ(wav->sampleRate, 44100);
  // The song's own length, and a few seconds more while the last notes die away.
  EXPECT_GE(wav->seconds(), facts->seconds);
  EXPECT_LE(wav->seconds(), facts->seconds + 10);
  // Music all the way through: no stretch of five seconds is silent; then it ends.
  for (double t = 0; t + 5 <= facts->seconds; t += 5)
    EXPECT_GT(wav->rms(t, t + 5), 0.01) << "at " << t << " s";
  EXPECT_LT(wav->rms(wav->seconds() - 0.5, wav->seconds()), 0.1 * wav->rms(0, facts->seconds));

  EXPECT_EQ(RenderMidiToWav(song, folder.path() / "none.sf2", folder.path() / "a.wav"),
            MCIERR_CANNOT_LOAD_DRIVER);
}

TEST(SongSoundFont, TheSongsPresetsCutIntoMemoryOrElseTheWholeFont) {
  const auto soundFont = FindSoundFont(DebianSoundFonts());
  ASSERT_TRUE(soundFont) << "a General MIDI soundfont (timgm6mb-soundfont) is installed";
  const auto song = testing::ReadFile(testing::KittyTune());
  const std::uintmax_t wholeSize = std::filesystem::file_size(*soundFont);
  {
    const SongSoundFont font(song, *soundFont);
    ASSERT_TRUE(font.cut());
    EXPECT_NE(font.path(), *soundFont);
    EXPECT_TRUE(LooksLikeSoundFont(font.path()));
    EXPECT_LT(std::filesystem::file_size(font.path()), wholeSize / 4);
  }
  testing::ScratchFolder folder;
  const std::string notASong = folder.file("not-a-song.mid", "MThd");
  const std::string notAFont = folder.file("not-a-font.sf2", "RIFF\4\0\0\0sfbk");
  const struct {
    testing::Bytes song;
    std::filesystem::path font;
  } uncut[] = {
      {testing::ReadFile(notASong), *soundFont}, {song, notAFont}, {song, folder.path() / "none.sf2"}};
  for (const auto& c : uncut) {
    const SongSoundFont font(c.song, c.font);
    EXPECT_FALSE(font.cut()) << c.font;
    EXPECT_EQ(font.path(), c.font);
  }
}

}  // namespace
}  // namespace tamso::winmm
