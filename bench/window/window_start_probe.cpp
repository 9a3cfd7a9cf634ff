// Measures a window program's start: the time from starting the process to the X server
// mapping its top-level window, and the process's resident memory once it is idle.
// Usage: window_start_probe RUNS IDLE_MS PROGRAM [ARG...]   (needs DISPLAY; no window
// manager, so top-level windows are mapped straight on the root window)
// Prints one line a run: "start_ms rss_kib".
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

long ResidentKib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Starts the program and waits for a top-level window of size 551x502 to be mapped.
bool MeasureOnce(xcb_connection_t* c, char** argv, int idleMs, double& startMs, long& rssKib) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[0], argv);
    _exit(127);
  }
  bool mapped = false;
  const auto deadline = start + std::chrono::seconds(20);
  while (!mapped && std::chrono::steady_clock::now() < deadline) {
    xcb_generic_event_t* event = xcb_poll_for_event(c);
    if (!event) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      continue;
    }
    if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
      auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
      auto geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, map->window), nullptr);
      if (geometry && geometry->width == 551 && geometry->height == 502) {
        startMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        mapped = true;
      }
      std::free(geometry);
    }
    std::free(event);
  }
  if (mapped) {
    std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
    rssKib = ResidentKib(pid);
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  return mapped;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s RUNS IDLE_MS PROGRAM [ARG...]\n", argv[0]);
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  const int idleMs = std::atoi(argv[2]);
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(c);
  for (int i = 0; i < runs; ++i) {
    double startMs = 0;
    long rssKib = 0;
    if (!MeasureOnce(c, argv + 3, idleMs, startMs, rssKib)) {
      std::fprintf(stderr, "run %d: no window mapped\n", i);
      return 1;
    }
    std::printf("%.1f %ld\n", startMs, rssKib);
    std::fflush(stdout);
  }
  xcb_disconnect(c);
  return 0;
}
