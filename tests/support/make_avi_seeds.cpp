// Writes small AVI files of the layouts the reader meets, as seeds for its fuzzer:
//   tamso_make_avi_seeds <directory>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/avi_writer.h"

using namespace tamso::test;

namespace {

void Save(const std::filesystem::path& dir, const std::string& name, const std::vector<std::uint8_t>& bytes) {
  WriteFile((dir / name).string(), bytes);
}

AviStream Audio() {
  AviStream s = PcmAudioStream();
  s.chunkBytes = 5;
  s.name = "Sound";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);

  AviLayout plain;
  plain.framesPerForm = {3};
  Save(dir, "plain.avi", BuildAvi(plain));

  AviLayout mixed;
  mixed.streams = {Audio(), AviStream{}, AviStream{}};
  mixed.streams[1].scale = 1001;
  mixed.streams[1].rate = 30000;
  mixed.streams[1].height = -240;
  mixed.streams[1].name = "Main";
  mixed.streams[2].writeFormat = false;
  mixed.framesPerForm = {2};
  mixed.junk = true;
  Save(dir, "audio-first-junk.avi", BuildAvi(mixed));

  AviLayout openDml;
  openDml.streams = {AviStream{}, Audio()};
  openDml.framesPerForm = {3, 2, 1};
  Save(dir, "opendml.avi", BuildAvi(openDml));

  AviLayout cut;
  cut.framesPerForm = {4};
  std::vector<std::uint8_t> bytes = BuildAvi(cut);
  bytes.resize(FindFourCC(bytes, "movi") + 20);
  Save(dir, "cut-after-headers.avi", bytes);
  return 0;
}
