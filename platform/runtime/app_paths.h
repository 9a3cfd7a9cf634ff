#pragma once
// The application's directory, title and executable name.
//
// The application directory is where db.txt and kitty.mid are looked for. The rule:
//   an executable in a folder named "bin" whose parent holds share/tamso-avi (an
//   installed program) uses that share/tamso-avi folder; any other executable (one run
//   from its build tree) uses its own folder.

#include <filesystem>
#include <string>

namespace tamso {

inline constexpr const char* kAppTitle = "Tamso AVI";
inline constexpr const char* kAppVersion = "1.00";

// The application title, "Tamso AVI".
std::string ApplicationTitle();

// The running executable's full path, read from the system.
std::filesystem::path ExecutablePath();

// The executable's file name without folder or extension ("tamso-avi").
std::string ApplicationExeName();

// The application directory of the running program, by the rule above.
std::filesystem::path ApplicationDirectory();

// The rule above applied to any executable path; touches the file system only to see
// whether the share folder exists.
std::filesystem::path ApplicationDirectoryFor(const std::filesystem::path& executable);

// ApplicationDirectory() followed by the platform's separator and `fileName`.
std::filesystem::path ApplicationFile(const std::string& fileName);

}  // namespace tamso
