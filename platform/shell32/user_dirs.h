#pragma once
// The XDG user directories file ($XDG_CONFIG_HOME/user-dirs.dirs): shell-style lines
// such as
//   XDG_DOCUMENTS_DIR="$HOME/Documents"
// where a value is either "$HOME/..." or an absolute path, in double quotes.

#include <map>
#include <string>
#include <string_view>

namespace tamso {

// The entries of a user-dirs.dirs text, keyed by their name without the "XDG_" prefix and
// "_DIR" suffix ("DOCUMENTS"), with $HOME replaced by `home`. Comments, blank lines and
// lines that do not follow the format are skipped; for a name given twice the last wins,
// as when the shell reads the file.
std::map<std::string, std::string> ParseUserDirs(std::string_view text, const std::string& home);

}  // namespace tamso
