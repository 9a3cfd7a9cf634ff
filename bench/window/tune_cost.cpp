// What the tune costs the process that plays it: "play NAME" through mciSendStringA with
// the sound going to the desktop's sound server, then the CPU time and resident memory
// while it plays and, once it has ended by itself, over an idle stretch.
// Usage: tune_cost MIDI_FILE [SECONDS [WAV_FILE]]   (SECONDS of each measurement, default
// 10; with WAV_FILE the sound goes there, in real time, instead of to the sound server)
// Prints "phase cpu_s rss_kib threads fluidsynth_loaded" for: before, playing, ended.
#include <dirent.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/winmm/fluidsynth_library.h"
#include "platform/winmm/mci_devices.h"
#include "platform/winmm/mmsystem.h"

namespace {

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

long ResidentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

int Threads() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

void Report(const char* phase, double seconds) {
  const double before = CpuSeconds();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  std::printf("%s %.3f %ld %d %d\n", phase, CpuSeconds() - before, ResidentKib(), Threads(),
              tamso::winmm::FluidSynthLoaded() ? 1 : 0);
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
  if (argc > 3) tamso::winmm::ProcessMciDevices().configure({{"file", argv[3]}});
  Report("before", 1);
  if (mciSendStringA(("open " + name + " alias tune").c_str(), nullptr, 0, 0) != 0 ||
      mciSendStringA("play tune", nullptr, 0, 0) != 0)
    return 1;
  // The first seconds hold the synthesiser's start.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  Report("playing", seconds);
  while (Playing("tune")) std::this_thread::sleep_for(std::chrono::milliseconds(200));
  Report("ended", seconds);
  return 0;
}
