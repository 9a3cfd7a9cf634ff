#pragma once
// The main window's two helpers: the file chooser and the file-exists test.

#include <string>

// BrowseForFile(hWndOwner, sTitle, sFilter): the open-file dialog; declared here with
// the window's code.

// True when an ordinary file is present at `sFile`. Hidden entries (a name that starts
// with '.'), directories and special files (pipes, devices, sockets) count as absent; a
// read-only file counts as present. A symbolic link counts as what it points to. The path
// is taken literally (no wildcards). A path the file system cannot look at (a folder
// without permission, a name too long, a file used as a folder) counts as absent: this
// never throws.
bool FileExists(const std::string& sFile);
