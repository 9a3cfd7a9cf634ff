// FluidSynth opened at run time rather than linked.
#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "platform/winmm/fluidsynth_library.h"

namespace tamso::winmm {
namespace {

TEST(FluidSynthLibrary, InstalledLibraryOpensOnceWithEveryFunction) {
  // Callers on several threads at once all get the one table.
  std::array<std::shared_ptr<const FluidSynthLibrary>, 4> seen;
  {
    std::array<std::jthread, seen.size()> callers;
    for (std::size_t i = 0; i < seen.size(); ++i)
      callers[i] = std::jthread([&seen, i] { seen[i] = FluidSynth(); });
  }
  const auto fluid = FluidSynth();
  ASSERT_TRUE(fluid) << "libfluidsynth3 is installed";
  for (const auto& table : seen) EXPECT_EQ(table, fluid);
#define TAMSO_EXPECT_FOUND(name) EXPECT_NE(fluid->name, nullptr) << #name;
  TAMSO_FLUIDSYNTH_FUNCTIONS(TAMSO_EXPECT_FOUND)
#undef TAMSO_EXPECT_FOUND

  // The functions are the library's own: a synthesiser is made with them.
  fluid_settings_t* settings = fluid->new_fluid_settings();
  ASSERT_NE(settings, nullptr);
  int periodSize = 0;
  EXPECT_EQ(fluid->fluid_settings_getint(settings, "audio.period-size", &periodSize), FLUID_OK);
  EXPECT_GT(periodSize, 0);
  fluid_synth_t* synth = fluid->new_fluid_synth(settings);
  EXPECT_NE(synth, nullptr);
  if (synth) fluid->delete_fluid_synth(synth);
  fluid->delete_fluid_settings(settings);
}

TEST(FluidSynthLibrary, AMissingLibraryOrFunctionMeansNoSynthesiser) {
  EXPECT_EQ(OpenFluidSynthLibrary("libtamso-no-such-synthesiser.so.3"), nullptr);
  EXPECT_EQ(OpenFluidSynthLibrary("libm.so.6"), nullptr) << "a library, but not FluidSynth";
  const auto again = OpenFluidSynthLibrary("libfluidsynth.so.3");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->new_fluid_synth, FluidSynth()->new_fluid_synth) << "the library is mapped once";
}

}  // namespace
}  // namespace tamso::winmm
