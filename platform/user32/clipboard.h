#pragma once
// The seam behind the clipboard calls: where their data goes (the desktop's clipboard,
// or a test's). Without a target the clipboard cannot be opened.

#include <memory>
#include <vector>

#include "platform/runtime/win_types.h"

namespace tamso {

// A bitmap as it goes on the clipboard: rows from the top, 4 bytes a pixel in the order
// blue, green, red, 0.
struct ClipboardImage {
  LONG width = 0;
  LONG height = 0;
  std::vector<BYTE> pixels;
};

class ClipboardTarget {
 public:
  virtual ~ClipboardTarget() = default;
  // Whether the clipboard can be used now.
  virtual bool open() = 0;
  // Takes everything off the clipboard.
  virtual void clear() = 0;
  // Puts an image on the clipboard; false when it is refused.
  virtual bool put(const ClipboardImage& image) = 0;
};

// Installs `target` (nullptr: no clipboard) and returns the one before.
std::shared_ptr<ClipboardTarget> SetClipboardTarget(std::shared_ptr<ClipboardTarget> target);

}  // namespace tamso
