#pragma once
// Builds AVI files in code for tests: well-formed files with the layouts real writers
// produce (audio before video, several video streams, names, JUNK, odd-sized chunks,
// legacy 'idx1', OpenDML super indexes with 'RIFF AVIX' forms), which a test can then
// cut short or patch to make malformed ones.
//
//   tamso::test::AviLayout layout;                // one 320x240 video stream, 25 fps
//   layout.streams[0].rate = 30000;
//   layout.streams[0].scale = 1001;
//   layout.framesPerForm = {100, 50};              // a RIFF 'AVI ' form and one 'AVIX'
//   std::vector<std::uint8_t> avi = tamso::test::BuildAvi(layout);
//   tamso::test::TempDir dir;
//   std::string path = dir.write("clip.avi", avi);

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

// Writes a RIFF tree in order: chunks, and lists whose sizes are filled in when they end.
class RiffWriter {
 public:
  // A chunk holding `payload`, followed by a pad byte when its size is odd.
  RiffWriter& chunk(std::string_view id, std::span<const std::uint8_t> payload);
  // Opens a "RIFF" or "LIST" of the given type; end() closes the innermost one.
  RiffWriter& begin(std::string_view riffOrList, std::string_view type);
  RiffWriter& end();
  // Bytes as they are, without a chunk header.
  RiffWriter& raw(std::span<const std::uint8_t> bytes);

  std::size_t offset() const { return bytes_.size(); }
  std::vector<std::uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> open_;  // offsets of the size fields of open lists
};

struct AviStream {
  std::string type = "vids";  // "vids", "auds", "mids", "txts"
  std::string handler = "DIB ";
  std::uint32_t scale = 1;
  std::uint32_t rate = 25;
  std::uint32_t start = 0;
  std::optional<std::uint32_t> length;  // strh dwLength; by default the chunks written in all forms
  std::uint32_t sampleSize = 0;
  std::uint32_t suggestedBufferSize = 0;
  std::uint32_t headerSize = 56;  // 48 leaves out the frame rectangle
  // strh rcFrame (left, top, right, bottom); by default (0, 0, width, |height|) for video.
  std::optional<std::array<std::int16_t, 4>> frame;
  // The format: a BITMAPINFOHEADER of this size for video, a PCM WAVEFORMATEX for audio.
  std::int32_t width = 320;
  std::int32_t height = 240;
  std::uint32_t samplesPerSec = 44100;
  std::optional<std::vector<std::uint8_t>> format;  // replaces the 'strf' payload
  bool writeFormat = true;
  std::string name;               // 'strn' when not empty
  std::uint32_t chunkBytes = 16;  // the size of each data chunk in 'movi'
};

struct AviLayout {
  std::vector<AviStream> streams{AviStream{}};
  std::uint32_t flags = 0x10;                    // avih dwFlags (AVIF_HASINDEX)
  std::optional<std::uint32_t> declaredStreams;  // avih dwStreams; by default streams.size()
  std::optional<std::uint32_t> totalFrames;      // avih dwTotalFrames; by default the first form's
  std::uint32_t microSecPerFrame = 40000;
  // Data chunks each stream gets in each RIFF form; forms after the first are 'AVIX'.
  std::vector<std::uint32_t> framesPerForm{10};
  // Writes LIST 'odml' with 'dmlh', an 'indx' super index per stream and an 'ix##'
  // standard index per stream and form. On by itself when there is more than one form.
  bool openDml = false;
  std::optional<std::uint32_t> grandFrames;  // dmlh; by default the frames written (0 without video)
  bool idx1 = true;                          // legacy index of the first form
  bool junk = false;  // odd-sized JUNK before and inside 'hdrl', inside each 'strl', before 'movi'
};

std::vector<std::uint8_t> BuildAvi(const AviLayout& layout = {});

// A 16-bit stereo PCM stream: 4-byte samples at `samplesPerSec`, `length` samples long.
AviStream PcmAudioStream(std::uint32_t samplesPerSec = 44100, std::uint32_t length = 88200);

// Payloads of the single header chunks, for tests that assemble files by hand.
std::vector<std::uint8_t> MainHeaderPayload(const AviLayout& layout);
std::vector<std::uint8_t> StreamHeaderPayload(const AviStream& stream, std::uint32_t length);
std::vector<std::uint8_t> FormatPayload(const AviStream& stream);

// The offset of the `nth` (from 0) occurrence of four characters in `bytes`, or npos.
// Handy for patching a field of a built file: the chunk size follows at +4.
std::size_t FindFourCC(std::span<const std::uint8_t> bytes, std::string_view four, int nth = 0);

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
  std::string file(std::string_view name) const;
  // Writes `bytes` to `name` inside the directory and returns its path.
  std::string write(std::string_view name, std::span<const std::uint8_t> bytes) const;

 private:
  std::string path_;
};

}  // namespace tamso::test
