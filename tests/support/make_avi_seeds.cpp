// Writes small AVI files of the layouts the reader meets, as seeds for its fuzzer:
//   tamso_make_avi_seeds <directory>
#include <cstdio>
#include <filesystem>

#include "tests/support/avi_writer.h"

using namespace tamso::test;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  const auto save = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
    WriteFile((dir / name).string(), bytes);
  };
  AviStream audio = PcmAudioStream();
  audio.chunkBytes = 5;
  audio.name = "Sound";

  AviLayout plain;
  plain.framesPerForm = {3};
  save("plain.avi", BuildAvi(plain));

  AviLayout mixed;
  mixed.streams = {audio, AviStream{}, AviStream{}};
  mixed.streams[1].scale = 1001;
  mixed.streams[1].rate = 30000;
  mixed.streams[1].height = -240;
  mixed.streams[1].name = "Main";
  mixed.streams[2].writeFormat = false;
  mixed.framesPerForm = {2};
  mixed.junk = true;
  save("audio-first-junk.avi", BuildAvi(mixed));

  AviLayout openDml;
  openDml.streams = {AviStream{}, audio};
  openDml.framesPerForm = {3, 2, 1};
  save("opendml.avi", BuildAvi(openDml));

  plain.framesPerForm = {4};
  std::vector<std::uint8_t> cut = BuildAvi(plain);
  cut.resize(FindFourCC(cut, "movi") + 20);
  save("cut-after-headers.avi", cut);
  return 0;
}
