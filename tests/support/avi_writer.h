#pragma once
// Builds AVI files in code for tests: well-formed files with the layouts real writers
// produce (audio before video, several video streams, names, JUNK, odd-sized chunks,
// legacy 'idx1', OpenDML super indexes with 'RIFF AVIX' forms), which a test can then
// cut short or patch to make malformed ones.
//
//   tamso::test::AviLayout layout;                // one 320x240 video stream, 25 fps
//   layout.framesPerForm = {100, 50};              // a RIFF 'AVI ' form and one 'AVIX'
//   tamso::test::TempDir dir;
//   std::string path = dir.write("clip.avi", tamso::test::BuildAvi(layout));

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tamso::test {

// The four characters of a code, first character in the lowest byte ("vids").
std::uint32_t Fcc(std::string_view four);

struct AviStream {
  std::string type = "vids";  // "vids" or "auds" (16-bit stereo PCM at `rate` samples a second)
  std::string handler = "DIB ";
  std::uint32_t scale = 1;
  std::uint32_t rate = 25;
  std::uint32_t start = 0;
  std::optional<std::uint32_t> length{};  // strh dwLength; by default the chunks written in all forms
  std::uint32_t headerSize = 56;          // 48 leaves out the frame rectangle
  // strh rcFrame (left, top, right, bottom); by default (0, 0, width, |height|) for video.
  std::optional<std::array<std::int16_t, 4>> frame{};
  std::int32_t width = 320;  // of the BITMAPINFOHEADER in 'strf'
  std::int32_t height = 240;
  bool writeFormat = true;
  std::vector<std::uint8_t> format{};  // the 'strf' body; by default made from the fields above
  std::string name{};                  // 'strn' when not empty
  std::uint32_t chunkBytes = 16;       // the size of each data chunk in 'movi'
};

struct AviLayout {
  std::vector<AviStream> streams{AviStream{}};
  std::optional<std::uint32_t> declaredStreams;  // avih dwStreams; by default streams.size()
  std::uint32_t mainHeaderSize = 56;             // avih, cut short or padded with zeros
  // Data chunks each stream gets in each RIFF form. More than one form makes an OpenDML
  // file: 'AVIX' forms, LIST 'odml', an 'indx' super index per stream, 'ix##' indexes.
  std::vector<std::uint32_t> framesPerForm{10};
  std::optional<std::uint32_t> grandFrames;  // dmlh; by default the frames written (0 without video)
  bool idx1 = true;                          // legacy index of the first form
  bool junk = false;  // odd-sized JUNK before and inside 'hdrl', inside each 'strl', before 'movi'
};

std::vector<std::uint8_t> BuildAvi(const AviLayout& layout = {});

// A 16-bit stereo PCM stream of `length` samples.
AviStream PcmAudioStream(std::uint32_t samplesPerSec = 44100, std::uint32_t length = 88200);

// The offset of the `nth` (from 0) occurrence of four characters in `bytes`, or npos.
// Handy for patching a field of a built file: the chunk size follows at +4.
std::size_t FindFourCC(std::span<const std::uint8_t> bytes, std::string_view four, int nth = 0);

// `bytes` with the 32-bit value at `delta` from the first `four` replaced.
std::vector<std::uint8_t> Patched(std::string_view four, int delta, std::uint32_t value,
                                  std::vector<std::uint8_t> bytes = BuildAvi());

// `bytes` cut `delta` bytes after the start of the `nth` `four`.
std::vector<std::uint8_t> Cut(std::string_view four, int delta, std::vector<std::uint8_t> bytes = BuildAvi(),
                              int nth = 0);

// Writes `bytes` to `path`, replacing what was there; throws when it cannot.
void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes);

// A directory of its own under the system's temporary directory, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the directory.
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Writes `bytes` to `name` inside the directory and returns its path.
  std::string write(std::string_view name, std::span<const std::uint8_t> bytes) const {
    WriteFile(file(name), bytes);
    return file(name);
  }

 private:
  std::string path_;
};

}  // namespace tamso::test
