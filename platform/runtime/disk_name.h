#pragma once
// A file's name on disk is bytes; a user interface that decodes names to text turns the
// bytes of a name that is not UTF-8 (a Latin-1 "caf\xE9.avi" of an old archive) into
// replacement characters, and the text no longer names the file. This finds the bytes
// back: the entries of each folder on the way are decoded as the interface decodes
// them, and the one whose text is the path's is taken.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tamso {

// A name's bytes as the user interface shows them, written as UTF-8.
using ShownName = std::function<std::string(std::string_view bytes)>;

// The bytes on disk of the path that the interface shows as `shown` (UTF-8). A path
// that names an entry as it stands is its own answer, after a single system call.
// Otherwise each component that names no entry by its bytes is taken as the one entry
// of its folder that shows as it does. A component that names none keeps its bytes (a
// new name in a folder found by its raw name); one that two or more entries show as
// gives no answer, since the path cannot say which is meant.
std::optional<std::string> FindOnDiskName(std::string_view shown, const ShownName& show);

}  // namespace tamso
