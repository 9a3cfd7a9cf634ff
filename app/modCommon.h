#pragma once
// The main window's two helpers: the file chooser and the file-exists test.

#include <string>

#include "platform/runtime/win_types.h"

// Shows the open-file dialog, modal to `hWndOwner`, titled `sTitle`, with the filter list
// `sFilter` (descriptions and patterns, each ended by a NUL, the list by one more),
// starting in the current directory. Returns the chosen path with its folder, as the
// file is named (spaces at the start or end of its name included), or an empty text when
// nothing was chosen: cancelled or closed. The path must fit the dialog's buffer of 255
// characters (of any script); the dialog refuses a longer one and says why. A typed name
// of a missing file is returned like any other.
std::string BrowseForFile(HWND hWndOwner, const std::string& sTitle, const std::string& sFilter);

// True when an ordinary file is present at `sFile`. Hidden entries (a name that starts
// with '.'), directories and special files (pipes, devices, sockets) count as absent; a
// read-only file counts as present. A symbolic link counts as what it points to. The path
// is taken literally (no wildcards). A path the file system cannot look at (a folder
// without permission, a name too long, a file used as a folder) counts as absent: this
// never throws.
bool FileExists(const std::string& sFile);
