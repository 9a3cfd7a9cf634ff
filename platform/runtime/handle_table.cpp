#include "platform/runtime/handle_table.h"

#include <atomic>

namespace tamso {

std::uint32_t NextHandleValue() {
  // Starts well away from small numbers so that a count or an index is not mistaken for one.
  static std::atomic<std::uint32_t> next{0x1000};
  std::uint32_t value = next.fetch_add(4);
  if (value == 0) value = next.fetch_add(4);
  return value;
}

}  // namespace tamso
