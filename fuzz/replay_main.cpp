// Runs a fuzz target's entry point once on every file named on the command line, or on
// every file inside each folder named there, so that the seed corpus and every input that
// once failed are replayed by the ordinary test run without libFuzzer. A fault shows as a
// crash, an abort or a sanitizer report; a folder with no file, or a file that cannot be
// read, fails the run so that a wrong path cannot pass unnoticed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return false;
  // A copy of exactly the file's size, so that the sanitizer sees any read past its end.
  const std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.data(), input.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    if (std::filesystem::is_directory(argv[i], error)) {
      for (const auto& entry : std::filesystem::directory_iterator(argv[i], error))
        if (entry.is_regular_file()) files.push_back(entry.path());
      if (files.empty()) {
        std::fprintf(stderr, "replay: no input in %s\n", argv[i]);
        return 1;
      }
    } else {
      files.emplace_back(argv[i]);
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
      if (!Replay(file)) {
        std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
        return 1;
      }
      ++replayed;
    }
  }
  std::printf("replay: %zu inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
