#include "platform/user32/message_box.h"

#include <mutex>

#include "platform/user32/winuser.h"

namespace tamso {

namespace {

struct HandlerSlot {
  std::mutex mutex;
  MessageBoxHandler handler;
};

HandlerSlot& Slot() {
  static HandlerSlot slot;
  return slot;
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(Slot().mutex);
  std::swap(Slot().handler, handler);
  return handler;
}

}  // namespace tamso

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  tamso::MessageBoxHandler handler;
  {
    std::lock_guard lock(tamso::Slot().mutex);
    handler = tamso::Slot().handler;
  }
  // The platform's default caption is "Error".
  return handler ? handler(hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType) : 0;
}
