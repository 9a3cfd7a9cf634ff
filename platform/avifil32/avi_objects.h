#pragma once
// The open AVI files and streams behind their handles, counted like COM objects: a file
// starts with one reference; each stream reference holds one reference to its file, so
// a file lives until its last stream is released. All operations are thread-safe.

#include <cstdint>
#include <memory>

#include "platform/avifil32/avi_headers.h"
#include "platform/avifil32/vfw.h"

namespace tamso::avifile {

// A stream as a caller reaches it: the description of its file and its position there.
struct StreamRef {
  std::shared_ptr<const AviDescription> file;
  std::size_t index = 0;
};

// Registers a parsed file with one reference and returns its handle.
PAVIFILE AddFile(AviDescription description);

// The description behind a file handle, or nullptr for a handle that is not open.
std::shared_ptr<const AviDescription> FindFile(PAVIFILE file);

// Adds a reference to stream `index` of `file` (making its handle on first use) and one
// to the file; 0 when the file is not open or has no such stream.
PAVISTREAM AddStreamReference(PAVIFILE file, std::size_t index);

// The stream behind a handle; an empty `file` when the handle is not open.
StreamRef FindStreamRef(PAVISTREAM stream);

// Each drops one reference and returns the references left; 0 for a handle that is not open.
ULONG ReleaseFile(PAVIFILE file);
ULONG ReleaseStream(PAVISTREAM stream);

// How many files and streams are open; for tests of the reference counting.
std::size_t OpenFileCount();
std::size_t OpenStreamCount();

}  // namespace tamso::avifile
