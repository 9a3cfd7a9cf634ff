// A mouse for a headless Wayland compositor that has none: a virtual pointer
// (zwlr_virtual_pointer_v1, offered by wlroots compositors such as sway) that plays the
// steps given on the command line, as a person's hand on a mouse would.
//
// Usage: virtual_pointer --extent W H
// It reads steps from stdin, a line at a time, and answers each line with "done" once the
// compositor has them:
//   to X Y     puts the pointer at X, Y of the W x H layout
//   move DX DY moves it by DX, DY
//   press | release   the left button The pointer exists while the program runs: a
// client sees it only once it has learnt of it, so a test keeps one program running
// from before the client starts.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// The two interfaces of the protocol, as wayland-scanner would write them.
extern const wl_interface kPointerInterface;
const wl_interface* kNoTypes[8] = {};
const wl_interface* kCreateTypes[] = {&wl_seat_interface, &kPointerInterface};
const wl_message kManagerRequests[] = {{"create_virtual_pointer", "?on", kCreateTypes},
                                       {"destroy", "", kNoTypes}};
const wl_interface kManagerInterface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, kManagerRequests, 0, nullptr};
const wl_message kPointerRequests[] = {
    {"motion", "uff", kNoTypes},   {"motion_absolute", "uuuuu", kNoTypes},
    {"button", "uuu", kNoTypes},   {"axis", "uuf", kNoTypes},
    {"frame", "", kNoTypes},       {"axis_source", "u", kNoTypes},
    {"axis_stop", "uu", kNoTypes}, {"axis_discrete", "uufi", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface kPointerInterface = {"zwlr_virtual_pointer_v1", 1, 9, kPointerRequests, 0, nullptr};
enum PointerRequest : std::uint32_t {
  kMotion = 0,
  kMotionAbsolute = 1,
  kButton = 2,
  kFrame = 4,
  kDestroy = 8
};

wl_proxy* g_manager = nullptr;

void OnGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
  if (std::strcmp(interface, kManagerInterface.name) == 0)
    g_manager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kManagerInterface, 1));
}
void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

std::uint32_t Now() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Plays the steps of `line` on `pointer`; false when a step is unknown or the compositor
// went away.
bool Play(wl_display* display, wl_proxy* pointer, std::uint32_t width, std::uint32_t height,
          const std::string& line) {
  std::istringstream words(line);
  for (std::string step; words >> step;) {
    if (step == "to") {
      std::uint32_t x = 0, y = 0;
      words >> x >> y;
      wl_proxy_marshal_flags(pointer, kMotionAbsolute, nullptr, 1, 0, Now(), x, y, width, height);
    } else if (step == "move") {
      int dx = 0, dy = 0;
      words >> dx >> dy;
      wl_proxy_marshal_flags(pointer, kMotion, nullptr, 1, 0, Now(), wl_fixed_from_int(dx),
                             wl_fixed_from_int(dy));
    } else if (step == "press" || step == "release") {
      wl_proxy_marshal_flags(pointer, kButton, nullptr, 1, 0, Now(), std::uint32_t{BTN_LEFT},
                             std::uint32_t{step == "press"});
    } else {
      std::fprintf(stderr, "virtual_pointer: unknown step %s\n", step.c_str());
      return false;
    }
    wl_proxy_marshal_flags(pointer, kFrame, nullptr, 1, 0);
    if (wl_display_roundtrip(display) < 0) return false;
  }
  return true;
}

int Fail(const char* what) {
  std::fprintf(stderr, "virtual_pointer: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || std::strcmp(argv[1], "--extent") != 0) return Fail("usage: --extent W H");
  const auto width = static_cast<std::uint32_t>(std::atoi(argv[2]));
  const auto height = static_cast<std::uint32_t>(std::atoi(argv[3]));
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return Fail("no Wayland display");
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, nullptr);
  wl_display_roundtrip(display);
  if (!g_manager) return Fail("the compositor offers no virtual pointer");
  wl_proxy* pointer = wl_proxy_marshal_flags(g_manager, 0, &kPointerInterface, 1, 0, nullptr, nullptr);
  wl_display_roundtrip(display);

  for (std::string line; std::getline(std::cin, line);) {
    if (!Play(display, pointer, width, height, line)) return Fail("a step failed");
    std::cout << "done" << std::endl;
  }
  wl_proxy_marshal_flags(pointer, kDestroy, nullptr, 1, WL_MARSHAL_FLAG_DESTROY);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
