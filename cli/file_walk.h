#pragma once
// The folder walk of a recursive run: which files below a folder are reported.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

struct FolderWalk {
  std::vector<std::string> files;  // sorted by path, byte by byte
  // One "FOLDER: REASON" for each folder that could not be read (REASON is the system's
  // error text), sorted by path.
  std::vector<std::string> unreadable;
};

// Every file below `folder` whose name ends in ".avi" in any letter case. Symbolic links
// to folders are not followed, so a link loop ends the walk rather than repeating it;
// links to files are reported like files. A folder that cannot be read is skipped.
FolderWalk FindAviFiles(const std::string& folder);

// True when `name` ends in ".avi" in any letter case.
bool HasAviExtension(std::string_view name);

}  // namespace tamso
