#include "app/start_options.h"

#include <sys/stat.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <filesystem>
#include <ranges>
#include <string_view>

#include "platform/runtime/app_paths.h"

namespace tamso {

namespace {

constexpr const char* kUsage =
    "Usage: tamso-avi [--help] [--version] [FILE]\n"
    "Shows the resolution, stream count, frame rate, length in frames and video codec of an\n"
    "AVI file in a small window. The file is the FILE named here, one chosen with Browse, or\n"
    "one dropped on the window; Ctrl+C copies the path and the report as text.\n"
    "`tamso-avi-report FILE...` prints the same report on a terminal.\n";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool IsSocket(const std::filesystem::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool WaylandReachable() {
  const std::string display = Env("WAYLAND_DISPLAY");
  if (display.empty()) return false;
  const std::filesystem::path socket(display);
  if (socket.is_absolute()) return IsSocket(socket);
  const std::string runtime = Env("XDG_RUNTIME_DIR");
  return !runtime.empty() && IsSocket(std::filesystem::path(runtime) / socket);
}

bool X11Reachable() {
  const std::string display = Env("DISPLAY");
  if (display.empty()) return false;
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  const bool reached = xcb_connection_has_error(c) == 0;
  xcb_disconnect(c);
  return reached;
}

// Whether Qt's platform plug-in `name` can start here. Only the two window systems are
// looked at; any other plug-in (offscreen, vnc, ...) is Qt's own concern.
bool PlatformReachable(std::string_view name) {
  if (name == "xcb") return X11Reachable();
  if (name.starts_with("wayland")) return WaylandReachable();
  return true;
}

}  // namespace

StartOptions ParseStartOptions(const std::vector<std::string>& args) {
  StartOptions options;
  std::string error;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
      return {StartOptions::Action::PrintHelp, std::nullopt, kUsage};
    } else if (!optionsEnded && arg == "--version") {
      return {StartOptions::Action::PrintVersion, std::nullopt,
              std::string("tamso-avi ") + kAppVersion + "\n"};
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      if (error.empty()) error = "tamso-avi: unknown option " + arg + "\n";
    } else if (options.file) {
      if (error.empty()) error = "tamso-avi: one FILE at most\n";
    } else {
      options.file = arg;
    }
  }
  if (!error.empty()) return {StartOptions::Action::UsageError, std::nullopt, error + kUsage};
  return options;
}

bool DisplayAvailable() {
  // Qt tries the plug-ins of QT_QPA_PLATFORM in turn ("wayland;xcb"), each possibly with
  // arguments after a colon; without it, Wayland and then X11.
  const std::string chosen = Env("QT_QPA_PLATFORM");
  if (chosen.empty()) return WaylandReachable() || X11Reachable();
  for (const auto part : std::views::split(std::string_view(chosen), ';')) {
    const std::string_view entry(part.begin(), part.end());
    if (!entry.empty() && PlatformReachable(entry.substr(0, entry.find(':')))) return true;
  }
  return false;
}

}  // namespace tamso
