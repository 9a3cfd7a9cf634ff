#include "cli/report_cli.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>
#include <variant>

#include "app/codec_list.h"
#include "cli/file_facts.h"
#include "cli/file_walk.h"
#include "cli/report_json.h"
#include "platform/runtime/app_paths.h"

namespace tamso {

namespace {

constexpr const char* kUsage =
    "Usage: tamso-avi-report [--json] [-r] [-j N] [--help] [--version] FILE...\n"
    "Prints the resolution, stream count, frame rate, length in frames and video codec of\n"
    "each AVI FILE, as Tamso AVI shows them. A file that cannot be read as AVI prints\n"
    "\"Unknown format\", names the reason on stderr and makes the exit status 1.\n"
    "  --json           one JSON object per file and line, with every stream's facts\n"
    "  -r, --recursive  report every *.avi file (any letter case) in the folders given\n"
    "  -j N             read files with N workers (default: one per processor)\n";

constexpr const char* kToolName = "tamso-avi-report";

struct Options {
  bool json = false;
  bool recursive = false;
  unsigned jobs = 0;  // 0: one per processor
  std::vector<std::string> operands;
};

// A job count from 1 to 1024, or nothing.
std::optional<unsigned> ParseJobs(const std::string& text) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value == 0 || value > 1024)
    return std::nullopt;
  return value;
}

// The parsed options, or the usage error's text.
std::variant<Options, std::string> ParseArguments(const std::vector<std::string>& args) {
  Options options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.operands.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "-r" || arg == "--recursive") {
      options.recursive = true;
    } else if (arg.rfind("-j", 0) == 0) {
      const bool separate = arg.size() == 2;
      if (separate && i + 1 == args.size()) return std::string("-j needs a number of workers");
      const std::string count = separate ? args[++i] : arg.substr(2);
      const auto jobs = ParseJobs(count);
      if (!jobs) return "-j takes a number of workers from 1 to 1024, not " + count;
      options.jobs = *jobs;
    } else {
      return "unknown option " + arg;
    }
  }
  return options;
}

// db.txt's descriptions, each code looked up once per run: a folder of files shares a
// handful of codes, and the list is read line by line from the top for each lookup.
class CodecDescriptions {
 public:
  std::string operator()(const std::string& code) {
    const std::lock_guard lock(mutex_);
    const auto found = cache_.find(code);
    if (found != cache_.end()) return found->second;
    return cache_.emplace(code, GetCodecInfo(code)).first->second;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, std::string> cache_;
};

// What the tool prints for one file.
struct Printed {
  std::string out;
  std::string err;
  bool ok = false;
};

Printed ReportOne(const std::string& path, const Options& options, const CodecDescriber& describe,
                  bool banner, bool first) {
  Printed printed;
  const FileFacts facts = InspectFile(path, describe);
  printed.ok = facts.reason.empty();
  if (!printed.ok) printed.err = std::string(kToolName) + ": " + path + ": " + facts.reason + '\n';
  if (options.json) {
    printed.out = JsonLine(facts, describe) + '\n';
  } else {
    if (banner) printed.out.append(first ? "" : "\n").append("==> ").append(path).append(" <==\n");
    printed.out += WithPlatformLineEnds(facts.report.results) + '\n';
  }
  return printed;
}

// Reports `files` with `workers` threads, printing each file's lines in list order as
// soon as it and every file before it are done. Returns true when every file was reported.
bool ReportAll(const std::vector<std::string>& files, const Options& options, unsigned workers,
               std::ostream& out, std::ostream& err) {
  CodecDescriptions descriptions;
  const CodecDescriber describe = [&descriptions](const std::string& code) { return descriptions(code); };
  const bool banner = !options.json && files.size() > 1;
  bool allOk = true;
  // Lines are gathered and written in large pieces: one write a file would cost more
  // than reading the file's headers.
  constexpr std::size_t kOutputPiece = 64 * 1024;
  std::string pending;
  const auto print = [&](const Printed& printed) {
    pending += printed.out;
    if (pending.size() >= kOutputPiece) {
      out << pending;
      pending.clear();
    }
    err << printed.err;
    allOk = allOk && printed.ok;
  };
  workers = static_cast<unsigned>(std::min<std::size_t>(workers, files.size()));
  if (workers <= 1) {
    for (std::size_t i = 0; i < files.size(); ++i) {
      print(ReportOne(files[i], options, describe, banner, i == 0));
    }
    out << pending;
    return allOk;
  }

  std::vector<std::optional<Printed>> done(files.size());
  std::mutex mutex;
  std::condition_variable ready;
  std::size_t next = 0;
  const auto work = [&] {
    for (;;) {
      std::size_t i = 0;
      {
        const std::lock_guard lock(mutex);
        if (next == files.size()) return;
        i = next++;
      }
      Printed printed = ReportOne(files[i], options, describe, banner, i == 0);
      {
        const std::lock_guard lock(mutex);
        done[i] = std::move(printed);
      }
      ready.notify_one();
    }
  };
  std::vector<std::jthread> threads;
  for (unsigned w = 0; w < workers; ++w) threads.emplace_back(work);
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::unique_lock lock(mutex);
    ready.wait(lock, [&] { return done[i].has_value(); });
    const Printed printed = std::move(*done[i]);
    done[i].reset();
    lock.unlock();
    print(printed);
  }
  out << pending;
  return allOk;
}

}  // namespace

int RunReportTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return 0;
    }
    if (arg == "--version") {
      out << kToolName << ' ' << kAppVersion << '\n';
      return 0;
    }
  }
  auto parsed = ParseArguments(args);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    err << kToolName << ": " << *problem << '\n' << kUsage;
    return 2;
  }
  const Options& options = std::get<Options>(parsed);
  if (options.operands.empty()) {
    err << kUsage;
    return 2;
  }

  // Folders are walked in place of their name; files keep the order they were given in.
  bool allRead = true;
  std::vector<std::string> files;
  for (const std::string& operand : options.operands) {
    struct stat info {};
    if (!options.recursive || ::stat(operand.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
      files.push_back(operand);
      continue;
    }
    FolderWalk walk = FindAviFiles(operand);
    for (const std::string& folder : walk.unreadable) err << kToolName << ": " << folder << '\n';
    allRead = allRead && walk.unreadable.empty();
    files.insert(files.end(), std::make_move_iterator(walk.files.begin()),
                 std::make_move_iterator(walk.files.end()));
  }
  const unsigned workers =
      options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  const bool allReported = ReportAll(files, options, workers, out, err);
  return allRead && allReported ? 0 : 1;
}

}  // namespace tamso
