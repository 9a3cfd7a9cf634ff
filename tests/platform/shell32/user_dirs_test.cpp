#include <gtest/gtest.h>

#include "platform/shell32/user_dirs.h"

namespace tamso {
namespace {

using Dirs = std::map<std::string, std::string>;

TEST(UserDirs, ReadsTheFileAsXdgUserDirsWritesItSkipsOtherLinesAndKeepsTheLastOfARepeatedName) {
  const std::string text =
      "# This file is written by xdg-user-dirs-update\n"
      "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
      "  XDG_DOCUMENTS_DIR=\"$HOME/My Documents\"  \r\n"
      "\n"
      "XDG_MUSIC_DIR=\"$HOME/first\"\n"
      "XDG_MUSIC_DIR=\"/srv/music\"\n"
      "XDG_PICTURES_DIR=\"$HOME\"\n"
      "XDG_VIDEOS_DIR=\"$HOME/Say \\\"hi\\\"\"\n"
      "XDG_TEMPLATES_DIR=$HOME/Music\n"          // no quotes
      "XDG_TEMPLATES_DIR=\"Videos\"\n"           // relative
      "XDG_TEMPLATES_DIR=\"$HOMEX/Pictures\"\n"  // not $HOME
      "XDG_TEMPLATES_DIR=\"$HOME/a\"b\"\n"       // stray quote
      "XDG_TEMPLATES_DIR=\"/t\\\"\n"             // escape at the end
      "XDG__DIR=\"/x\"\n"                        // no name
      "DOCUMENTS=\"/x\"\n"
      "=\"/x\"\n"
      "XDG_PUBLICSHARE_DIR";
  EXPECT_EQ(ParseUserDirs(text, "/home/ann"), (Dirs{{"DESKTOP", "/home/ann/Desktop"},
                                                    {"DOCUMENTS", "/home/ann/My Documents"},
                                                    {"MUSIC", "/srv/music"},
                                                    {"PICTURES", "/home/ann"},
                                                    {"VIDEOS", "/home/ann/Say \"hi\""}}));
  EXPECT_TRUE(ParseUserDirs("", "/h").empty());
}

}  // namespace
}  // namespace tamso
