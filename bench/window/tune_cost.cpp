// What the tune costs the process that plays it: "play NAME" through mciSendStringA with
// the sound going to the desktop's sound server, then the CPU time and resident memory
// while it plays and, once it has ended by itself, over an idle stretch.
// Usage: tune_cost MIDI_FILE [SECONDS [WAV_FILE]]   (SECONDS of each measurement, default
// 10; with WAV_FILE the sound goes there, in real time, instead of to the sound server)
// Prints "phase cpu_s rss_kib threads players" for: before, playing, ended, where CPU and
// memory are this process's and its tune player's together; then how long a stop takes.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"

namespace {

// CPU seconds and resident KiB of one process, read from /proc.
struct Usage {
  double cpu = 0;
  long rssKib = 0;
};

Usage ProcessUsage(const std::string& pid) {
  Usage usage;
  std::ifstream statFile("/proc/" + pid + "/stat");
  std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
  const auto afterName = stat.rfind(')');
  if (afterName == std::string::npos) return usage;
  std::istringstream fields(stat.substr(afterName + 2));
  std::string field;
  long ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i == 14 || i == 15) ticks += std::stol(field);  // utime, stime
  usage.cpu = double(ticks) / double(sysconf(_SC_CLK_TCK));
  std::ifstream status("/proc/" + pid + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) usage.rssKib = std::strtol(line.c_str() + 6, nullptr, 10);
  return usage;
}

// This process's children: the tune player while a song plays.
std::vector<std::string> Children() {
  std::vector<std::string> children;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream list(task.path() / "children");
    for (std::string pid; list >> pid;) children.push_back(pid);
  }
  return children;
}

// This process and its children together.
Usage TotalUsage() {
  Usage total = ProcessUsage(std::to_string(getpid()));
  for (const std::string& child : Children()) {
    const Usage usage = ProcessUsage(child);
    total.cpu += usage.cpu;
    total.rssKib += usage.rssKib;
  }
  return total;
}

int Threads() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

// CPU over `seconds` and the resident memory at their end, of this process and its tune
// player together; a player that ends meanwhile takes its CPU time with it.
void Report(const char* phase, double seconds) {
  const double before = TotalUsage().cpu;
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const Usage after = TotalUsage();
  std::printf("%s %.3f %ld %d %zu\n", phase, after.cpu - before, after.rssKib, Threads(), Children().size());
  std::fflush(stdout);
}

bool Playing(const std::string& name) {
  char reply[32] = "";
  return mciSendStringA(("status " + name + " mode").c_str(), reply, sizeof reply, 0) == 0 &&
         std::string(reply) == "playing";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s MIDI_FILE [SECONDS]\n", argv[0]);
    return 2;
  }
  const std::string name = argv[1];
  const double seconds = argc > 2 ? std::atof(argv[2]) : 10;
  tamso::winmm::SequencerSetup setup;
  setup.player = TAMSO_TUNE_PLAYER;
  if (argc > 3) setup.output = {"file", argv[3]};
  tamso::winmm::ProcessMciDevices().configure(setup);
  Report("before", 1);
  if (mciSendStringA(("open " + name + " alias tune").c_str(), nullptr, 0, 0) != 0 ||
      mciSendStringA("play tune", nullptr, 0, 0) != 0)
    return 1;
  // The first seconds hold the synthesiser's start.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  Report("playing", seconds);
  while (Playing("tune")) std::this_thread::sleep_for(std::chrono::milliseconds(200));
  Report("ended", seconds);
  // How long "stop" keeps its caller (the window's thread, when it closes), soon after
  // the start, when the sound server has barely taken the first buffers, and later.
  for (const auto after : {std::chrono::milliseconds(300), std::chrono::milliseconds(3000)}) {
    if (mciSendStringA("play tune", nullptr, 0, 0) != 0) return 1;
    std::this_thread::sleep_for(after);
    const auto before = std::chrono::steady_clock::now();
    mciSendStringA("stop tune", nullptr, 0, 0);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - before;
    std::printf("stop-after-%lldms %.1f ms\n", static_cast<long long>(after.count()), took.count());
  }
  return 0;
}
