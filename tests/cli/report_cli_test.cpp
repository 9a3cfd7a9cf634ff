#include "cli/report_cli.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>

#include "app/avi_report.h"
#include "cli/report_json.h"
#include "platform/runtime/byte_reader.h"
#include "tests/support/avi_writer.h"

namespace tamso {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Json = nlohmann::json;

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunReportTool(args, out, err);
  return {status, out.str(), err.str()};
}

// Runs the tool in a child process without the rights of root (as "nobody" when the
// tests run as root), so that permissions apply as they do to a user.
ToolRun RunToolAsUser(const std::vector<std::string>& args) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) throw std::runtime_error("pipe");
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeEnds[0]);
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(99);
    }
    const ToolRun run = RunTool(args);
    const std::string message = Json{run.status, run.out, run.err}.dump();
    FILE* pipe = ::fdopen(pipeEnds[1], "w");
    ::_exit(::fwrite(message.data(), 1, message.size(), pipe) == message.size() && ::fclose(pipe) == 0 ? 0
                                                                                                       : 98);
  }
  ::close(pipeEnds[1]);
  std::string message;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, n);
  ::close(pipeEnds[0]);
  int childStatus = 0;
  ::waitpid(child, &childStatus, 0);
  if (!WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0)
    throw std::runtime_error("the tool's child failed");
  const Json run = Json::parse(message);
  return {run[0], run[1], run[2]};
}

std::vector<Json> JsonLines(const std::string& out) {
  std::vector<Json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
  return lines;
}

TEST(ReportTool, HelpVersionAndUsageErrors) {
  const ToolRun help = RunTool({"--help"});
  EXPECT_TRUE(help.status == 0 && help.out.find("Usage: tamso-avi-report") != std::string::npos);
  EXPECT_EQ(RunTool({"--version"}).out, "tamso-avi-report 1.00\n");
  EXPECT_EQ(RunTool({}).status, 2);
  const std::tuple<std::vector<std::string>, std::string> usageErrors[] = {
      {{"--frobnicate", "a.avi"}, "unknown option --frobnicate"},
      {{"-j", "0", "a.avi"}, "-j takes a number of workers from 1 to 1024, not 0"},
      {{"-jx", "a.avi"}, "-j takes a number of workers from 1 to 1024, not x"},
      {{"a.avi", "-j"}, "-j needs a number of workers"},
  };
  for (const auto& [args, message] : usageErrors) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(std::tuple(run.status, run.err.substr(0, run.err.find('\n')), run.out),
              std::tuple(2, "tamso-avi-report: " + message, ""));
  }
}

TEST(ReportTool, PrintsEachFilesReportWithThePlatformsLineEnds) {
  test::TempDir dir;
  test::AviLayout layout;
  layout.streams[0].handler = "zzzz";  // a code no codec list knows: an empty description
  layout.streams[0].chunkBytes = 200;
  layout.framesPerForm = {50};
  const std::string avi = dir.write("clip.avi", test::BuildAvi(layout));
  const std::string report =
      "Resolution: 320x240 Number of streams: 1\nRate:25 Length:50\nVideo codec used: zzzz\nInfos: \n";
  ToolRun run = RunTool({avi});
  EXPECT_EQ(std::tuple(run.status, run.out, run.err), std::tuple(0, report, ""));

  // A file that fails prints "Unknown format" and its reason, and fails the run.
  const std::string text = dir.write("text.avi", AsBytes("not an AVI file at all"));
  run = RunTool({text, avi, "--", "-odd.avi"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "==> " + text + " <==\nUnknown format\n\n==> " + avi + " <==\n" + report +
                         "\n==> -odd.avi <==\nUnknown format\n");
  EXPECT_EQ(run.err, "tamso-avi-report: " + text +
                         ": not a RIFF AVI file\ntamso-avi-report: -odd.avi: No such file or directory\n");
}

// The tool reads each file's headers once; what it prints is what the window's calls give.
TEST(ReportTool, PrintsWhatTheWindowShows) {
  test::TempDir dir;
  test::AviLayout audioFirst;
  audioFirst.streams = {test::PcmAudioStream(), {.handler = "XVID", .chunkBytes = 700}};
  audioFirst.junk = true;
  test::AviLayout openDml = audioFirst;
  openDml.framesPerForm = {5, 5, 2};
  test::AviLayout zeroScale;
  zeroScale.streams[0].scale = 0;
  test::AviLayout lengthless;
  lengthless.streams[0].length = 0;
  lengthless.streams[0].start = 0xFFFFFFFF;
  for (const test::AviLayout& layout : {test::AviLayout{}, audioFirst, openDml, zeroScale, lengthless}) {
    const std::string path = dir.write("clip.avi", test::BuildAvi(layout));
    const CollectedReport window = CollectReport(path, [](const std::string&) { return std::string(); });
    EXPECT_EQ(RunTool({path}).out, WithPlatformLineEnds(window.results) + "\n");
  }
}

TEST(ReportTool, JsonGivesEveryStreamsFacts) {
  test::TempDir dir;
  test::AviLayout layout;  // OpenDML: two RIFF forms, super indexes and 'idx1'
  layout.streams = {test::PcmAudioStream(22050, 22050),
                    {.handler = "H\\\x01\xE9", .scale = 1001, .rate = 30000, .chunkBytes = 600}};
  layout.streams[1].name = "Camera 1";
  layout.framesPerForm = {6, 4};
  const Bytes bytes = test::BuildAvi(layout);
  const std::string path = dir.write("both.avi", bytes);
  const ToolRun run = RunTool({"--json", path});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<Json> lines = JsonLines(run.out);
  ASSERT_TRUE(lines.size() == 1u && run.out.back() == '\n');
  const Json& file = lines[0];
  EXPECT_EQ(std::tuple(file["file"], file["ok"], file["size"], file.contains("error")),
            std::tuple(path, true, bytes.size(), false));
  EXPECT_EQ(file["report"], Json({"Resolution: 320x240 Number of streams: 2", "Rate:30 Length:10",
                                  "Video codec used: H\\\x01\xC3\xA9", "Infos: "}));
  EXPECT_EQ(std::tuple(file["riff_forms"], file["opendml"], file["index"]), std::tuple(2, true, "both"));
  ASSERT_EQ(file["streams"].size(), 2u);
  EXPECT_EQ(file["streams"][0],
            Json::parse(R"({"index": 0, "type": "audio", "handler": "\\x00\\x00\\x00\\x00",
      "frames": 22050, "duration": 1.0, "rate": 22050, "scale": 1, "start": 0, "format_tag": 1, "format": "PCM",
      "channels": 2, "sample_rate": 22050, "bits_per_sample": 16, "bytes_per_second": 88200, "block_align": 4})"));
  const Json& video = file["streams"][1];
  EXPECT_EQ(
      std::tuple(video["type"], video["handler"], video["compression"], video["name"], video["frames"]),
      std::tuple("video", "H\\\\\\x01\\xE9", "H\\\\\\x01\\xE9", "Camera 1", 10));  // frames over both forms
  EXPECT_DOUBLE_EQ(video["duration"].get<double>(), 10 * 1001 / 30000.0);
  EXPECT_DOUBLE_EQ(video["fps"].get<double>(), 30000 / 1001.0);
  EXPECT_EQ(std::tuple(video["rate"], video["scale"], video["width"], video["height"], video["bit_count"]),
            std::tuple(30000, 1001, 320, 240, 24));
  EXPECT_EQ(video["description"], "");

  // A classic file: one form, 'idx1' only, or no index at all.
  layout.framesPerForm = {3};
  EXPECT_EQ(JsonLines(RunTool({"--json", dir.write("one.avi", test::BuildAvi(layout))}).out)[0]["index"],
            "idx1");
  layout.idx1 = false;
  const Json bare = JsonLines(RunTool({"--json", dir.write("bare.avi", test::BuildAvi(layout))}).out)[0];
  EXPECT_EQ(std::tuple(bare["index"], bare["opendml"], bare["riff_forms"]), std::tuple("none", false, 1));
}

// Formats as writers leave them: the fields a format does not hold are left out.
TEST(ReportTool, JsonLeavesOutWhatAFormatDoesNotHold) {
  const auto wave = [](std::uint16_t tag, std::size_t size) {
    Bytes b(16);
    StoreU16(b, 0, tag);
    StoreU16(b, 2, 6);
    StoreU32(b, 4, 48000);
    StoreU32(b, 8, 384000);
    StoreU16(b, 12, 1536);
    StoreU16(b, 14, 24);
    b.resize(size);
    return b;
  };
  Bytes extensible = wave(0xFFFE, 40);  // sub-format {00000055-0000-0010-8000-00AA00389B71}: MP3
  StoreU16(extensible, 16, 22);
  const std::uint8_t mp3Guid[16] = {0x55, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  std::copy(std::begin(mp3Guid), std::end(mp3Guid), extensible.begin() + 24);
  Bytes otherGuid = extensible;
  otherGuid[39] = 0;
  const Json sound = {
      {"channels", 6}, {"sample_rate", 48000}, {"bytes_per_second", 384000}, {"block_align", 1536}};
  const std::tuple<const char*, Bytes, Json> formats[] = {
      {"AC-3", wave(0x2000, 16), {{"format_tag", 0x2000}, {"format", "AC-3"}, {"bits_per_sample", 24}}},
      {"extensible MP3", extensible, {{"format_tag", 0xFFFE}, {"format", "MP3"}, {"bits_per_sample", 24}}},
      {"extensible, unknown GUID",
       otherGuid,
       {{"format_tag", 0xFFFE}, {"format", "Extensible"}, {"bits_per_sample", 24}}},
      {"WAVEFORMAT", wave(0x0001, 14), {{"format_tag", 1}, {"format", "PCM"}}},
      {"unknown tag", wave(0x7777, 16), {{"format_tag", 0x7777}, {"bits_per_sample", 24}}},
      {"too short", wave(0x0001, 12), {}},
  };
  test::TempDir dir;
  for (const auto& [what, format, expected] : formats) {
    SCOPED_TRACE(what);
    test::AviLayout layout;
    layout.streams.push_back(test::PcmAudioStream());
    layout.streams[1].format = format;
    const Json stream =
        JsonLines(RunTool({"--json", dir.write("a.avi", test::BuildAvi(layout))}).out)[0]["streams"][1];
    Json want = Json::object();  // a format too short for WAVEFORMAT: no sound fields
    if (!expected.is_null()) {
      want = sound;
      want.update(expected);
    }
    for (const char* key : {"format_tag", "format", "channels", "sample_rate", "bits_per_sample",
                            "bytes_per_second", "block_align"}) {
      EXPECT_EQ(stream.contains(key) ? stream[key] : Json(), want.contains(key) ? want[key] : Json()) << key;
    }
  }

  // A picture format cut before biCompression still gives the size; an empty rectangle
  // and no format give 0x0.
  test::AviLayout layout;
  layout.streams[0].format = Bytes(12);
  StoreU32(layout.streams[0].format, 4, 64);
  StoreU32(layout.streams[0].format, 8, 48);
  layout.streams.push_back({.frame = std::array<std::int16_t, 4>{}, .writeFormat = false});
  const Json streams =
      JsonLines(RunTool({"--json", dir.write("v.avi", test::BuildAvi(layout))}).out)[0]["streams"];
  EXPECT_EQ(std::tuple(streams[0]["width"], streams[0]["height"], streams[0].contains("compression"),
                       streams[0].contains("bit_count")),
            std::tuple(64, 48, false, false));
  EXPECT_EQ(std::tuple(streams[1]["width"], streams[1]["height"]), std::tuple(0, 0));
}

// Zero bytes, a backslash and bytes above 0x7F are in JsonGivesEveryStreamsFacts.
TEST(ReportTool, FourCharacterCodesEscapeAllButPrintableAscii) {
  EXPECT_EQ(EscapeFourCC(LoadU32(AsBytes("\x7F\x80 \xFF"), 0)), "\\x7F\\x80 \\xFF");
}

// The reason a user reads on stderr, and in the JSON, for each kind of file that fails.
TEST(ReportTool, TellsWhyAFileIsNotReported) {
  test::TempDir dir;
  const std::string fifo = dir.file("pipe.avi");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  test::AviLayout named;
  named.streams[0].name = "x";
  test::AviLayout audioOnly;
  audioOnly.streams = {test::PcmAudioStream()};
  const Bytes avi = test::BuildAvi();
  const auto at = [&avi](const char* four, int delta) {
    return std::to_string(test::FindFourCC(avi, four) + delta);
  };
  const Bytes cut = test::Cut("strl", 40);
  test::AviLayout lists;  // 101 stream lists, one announced
  lists.streams.resize(101);
  lists.declaredStreams = 1;
  lists.framesPerForm = {1};
  const Bytes manyLists = test::BuildAvi(lists);
  const Bytes twoStrf = test::Patched("strn", 0, test::Fcc("strf"), test::BuildAvi(named));

  const std::tuple<std::string, std::optional<Bytes>, std::string> cases[] = {
      {dir.file("missing.avi"), {}, "No such file or directory"},
      {dir.path(), {}, "Is a directory"},
      {fifo, {}, "not a regular file"},
      {"empty.avi", Bytes{}, "not a RIFF AVI file"},
      {"wave.avi", test::Patched("AVI ", 0, test::Fcc("WAVE")), "not a RIFF AVI file"},
      {"audio.avi", test::BuildAvi(audioOnly), "no video stream"},
      {"cut.avi", cut, "the headers end at byte " + std::to_string(cut.size())},
      {"cut-early.avi", Bytes(avi.begin(), avi.begin() + 20), "the headers end at byte 20"},
      {"overrun.avi", test::Patched("strl", -4, 0x7FFFFFF0),
       "chunk sizes run past the end at byte " + at("strl", -8)},
      {"avih.avi", test::Patched("avih", 4, 52),
       "a main header ('avih') that is not 56 bytes at byte " + at("avih", 0)},
      {"strh.avi", test::Patched("strh", 4, 40),
       "a stream header ('strh') shorter than 48 bytes at byte " + at("strh", 0)},
      {"strf.avi", twoStrf,
       "a second stream format ('strf') at byte " + std::to_string(test::FindFourCC(twoStrf, "strf", 1))},
      {"nostrh.avi", test::Patched("strh", 0, test::Fcc("xxxx")),
       "a stream list without a stream header ('strh') at byte " + at("strl", -8)},
      {"noavih.avi", test::Patched("avih", 0, test::Fcc("xxxx")),
       "a header list without a main header ('avih') at byte " + at("hdrl", -8)},
      {"nohdrl.avi", test::Patched("hdrl", 0, test::Fcc("xxxx")), "no header list ('hdrl')"},
      {"many.avi", test::Patched("avih", 8 + 24, 101),
       "more than 100 streams announced at byte " + at("avih", 0)},
      {"lists.avi", manyLists,
       "more than 100 stream lists at byte " + std::to_string(test::FindFourCC(manyLists, "strl", 100) - 8)},
      {"small.avi", test::Patched("hdrl", -4, 2),
       "a header list smaller than its type at byte " + at("hdrl", -8)},
  };
  for (const auto& [name, bytes, reason] : cases) {
    const std::string path = bytes ? dir.write(name, *bytes) : name;
    const ToolRun text = RunTool({path});
    EXPECT_EQ(std::tuple(text.status, text.out, text.err),
              std::tuple(1, "Unknown format\n", "tamso-avi-report: " + path + ": " + reason + "\n"));
    const ToolRun json = RunTool({"--json", path});
    const Json line = JsonLines(json.out).at(0);
    EXPECT_EQ(std::tuple(line["ok"], line["error"], line["report"]),
              std::tuple(false, reason, Json{"Unknown format"}));
    EXPECT_EQ(json.err, text.err);
  }
}

TEST(ReportTool, WalksFoldersInSortedOrderWhateverTheWorkers) {
  test::TempDir dir;
  ::chmod(dir.path().c_str(), 0755);  // for the walk as an ordinary user
  const std::string root = dir.file("tree");
  for (const char* folder : {"tree", "tree/sub", "tree/sub/deep", "tree/locked", "tree/empty"}) {
    fs::create_directory(dir.file(folder));
  }
  const Bytes avi = test::BuildAvi();
  for (const char* file : {"tree/a.avi", "tree/B.AVI", "tree/sub/deep/c.Avi", "tree/locked/hidden.avi"}) {
    dir.write(file, avi);
  }
  for (const char* file : {"tree/notes.txt", "tree/x.avi.bak", "tree/sub/avi"})
    dir.write(file, AsBytes("text"));
  dir.write("tree/sub/bad.avi", AsBytes("RIFF"));
  fs::create_directory_symlink("..", dir.file("tree/sub/loop"));  // back to the top: a loop
  fs::create_symlink("a.avi", dir.file("tree/link.avi"));
  ::chmod(dir.file("tree/locked").c_str(), 0);
  dir.write("tree/sub/unreadable.avi", avi);
  ::chmod(dir.file("tree/sub/unreadable.avi").c_str(), 0);

  const ToolRun one = RunToolAsUser({"--json", "-r", "-j", "1", root});
  const ToolRun four = RunToolAsUser({"--json", "-r", "-j4", root});
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(std::tie(one.status, one.out, one.err), std::tie(four.status, four.out, four.err));
  std::vector<std::string> files;
  for (const Json& line : JsonLines(one.out)) files.push_back(line["file"]);
  const std::vector<std::string> expected = {root + "/B.AVI",          root + "/a.avi",
                                             root + "/link.avi",       root + "/sub/bad.avi",
                                             root + "/sub/deep/c.Avi", root + "/sub/unreadable.avi"};
  EXPECT_EQ(files, expected);
  EXPECT_EQ(one.err, "tamso-avi-report: " + root + "/locked: Permission denied\ntamso-avi-report: " + root +
                         "/sub/bad.avi: not a RIFF AVI file\ntamso-avi-report: " + root +
                         "/sub/unreadable.avi: Permission denied\n");

  // Files named on the command line are reported whatever their name; a folder with no
  // AVI file in it adds nothing.
  const ToolRun named = RunToolAsUser({"-r", root + "/notes.txt", root + "/empty", root + "/a.avi"});
  EXPECT_EQ(named.status, 1);
  EXPECT_EQ(named.out, "==> " + root + "/notes.txt <==\nUnknown format\n\n==> " + root + "/a.avi <==\n" +
                           "Resolution: 320x240 Number of streams: 1\nRate:25 Length:10\n");
  ::chmod(dir.file("tree/locked").c_str(), 0700);  // for the clean-up
}

}  // namespace
}  // namespace tamso
