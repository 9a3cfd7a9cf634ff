#include "platform/winmm/mci_command.h"

#include <gtest/gtest.h>

namespace tamso::winmm {
namespace {

TEST(MciCommandParser, ReadsVerbDeviceAndKeywords) {
  MciParseResult r = ParseMciCommand("PLAY Kitty.MID wait");
  ASSERT_EQ(r.error, 0u);
  EXPECT_EQ(r.command.verb, MciVerb::Play);
  EXPECT_EQ(r.command.device, "Kitty.MID");  // kept as written
  EXPECT_TRUE(r.command.wait);
  EXPECT_FALSE(r.command.notify);

  r = ParseMciCommand("  open \"my songs/the tune.mid\"\ttype Sequencer ALIAS tune ");
  ASSERT_EQ(r.error, 0u);
  EXPECT_EQ(r.command.verb, MciVerb::Open);
  EXPECT_EQ(r.command.device, "my songs/the tune.mid");
  EXPECT_EQ(r.command.type, "Sequencer");
  EXPECT_EQ(r.command.alias, "tune");

  r = ParseMciCommand("open sequencer!tune.mid alias \"a b\"");
  ASSERT_EQ(r.error, 0u);
  EXPECT_EQ(r.command.type, "sequencer");
  EXPECT_EQ(r.command.device, "tune.mid");
  EXPECT_EQ(r.command.alias, "a b");

  r = ParseMciCommand("status tune Mode notify");
  ASSERT_EQ(r.error, 0u);
  EXPECT_EQ(r.command.verb, MciVerb::Status);
  EXPECT_EQ(r.command.statusItem, "mode");
  EXPECT_TRUE(r.command.notify);

  EXPECT_EQ(ParseMciCommand("stop kitty.mid").command.verb, MciVerb::Stop);
  EXPECT_EQ(ParseMciCommand("close all").command.verb, MciVerb::Close);
}

TEST(MciCommandParser, RefusesWhatItCannotRead) {
  const struct {
    const char* text;
    MCIERROR error;
  } cases[] = {
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
  };
  for (const auto& c : cases) EXPECT_EQ(ParseMciCommand(c.text).error, c.error) << c.text;
}

}  // namespace
}  // namespace tamso::winmm
