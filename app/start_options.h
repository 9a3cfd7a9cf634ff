#pragma once
// The program's command line, `tamso-avi [--help] [--version] [FILE]`, and the check that
// a display is there before Qt is started: without one Qt would abort the process.

#include <optional>
#include <string>
#include <vector>

namespace tamso {

struct StartOptions {
  enum class Action { OpenWindow, PrintHelp, PrintVersion, UsageError };
  Action action = Action::OpenWindow;
  std::optional<std::string> file;  // the file to report at once, as given
  std::string text;                 // what to print for every action but OpenWindow
};

// Reads the arguments after the program name. Options are read up to "--"; one FILE may
// be given. --help and --version win over any error, so that they work before Qt has
// taken its own options (-platform ...) out of the list.
StartOptions ParseStartOptions(const std::vector<std::string>& args);

// True when Qt has a window system to start on: the X server of DISPLAY answers or the
// socket of WAYLAND_DISPLAY exists, for the plug-ins QT_QPA_PLATFORM names (any other
// plug-in, such as offscreen, counts as there).
bool DisplayAvailable();

// The one line said on stderr when there is no display.
inline constexpr const char* kNoDisplayMessage =
    "tamso-avi: no display to show the window on (DISPLAY and WAYLAND_DISPLAY reach none); "
    "`tamso-avi-report FILE` prints the report on a terminal";

}  // namespace tamso
