// Writes small AVI files of the layouts the reader meets, as seeds for its fuzzer:
//   tamso_make_avi_seeds <directory>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/avi_writer.h"

using namespace tamso::test;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  std::filesystem::create_directories(argv[1]);
  const auto save = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
    WriteFile((std::filesystem::path(argv[1]) / name).string(), bytes);
  };
  AviStream audio = PcmAudioStream();
  audio.chunkBytes = 5;
  audio.name = "Sound";
  AviLayout layout;
  layout.framesPerForm = {3};
  save("plain.avi", BuildAvi(layout));
  layout.framesPerForm = {4};
  std::vector<std::uint8_t> cut = BuildAvi(layout);
  cut.resize(FindFourCC(cut, "movi") + 20);
  save("cut-after-headers.avi", cut);
  layout.streams = {AviStream{}, audio};
  layout.framesPerForm = {3, 2, 1};
  save("opendml.avi", BuildAvi(layout));
  layout.streams = {
      audio, {.scale = 1001, .rate = 30000, .height = -240, .name = "Main"}, {.writeFormat = false}};
  layout.framesPerForm = {2};
  layout.junk = true;
  save("audio-first-junk.avi", BuildAvi(layout));
  // The video stream header past the first 4096 bytes, as behind an audio stream's large
  // reserved index: the codec step then takes the handler from the headers.
  audio.name = std::string(4200, 'a');
  layout.streams = {audio, {.handler = "H264"}};
  layout.junk = false;
  save("video-header-late.avi", BuildAvi(layout));
  return 0;
}
