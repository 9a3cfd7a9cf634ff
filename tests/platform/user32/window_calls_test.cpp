#include <gtest/gtest.h>

#include "platform/gdi32/wingdi.h"
#include "platform/user32/clipboard.h"
#include "platform/user32/message_box.h"
#include "platform/user32/window_table.h"
#include "platform/user32/winuser.h"

namespace {

struct Registered {
  std::shared_ptr<tamso::Window> window = std::make_shared<tamso::Window>();
  HWND hWnd = tamso::RegisterWindow(window);
  ~Registered() { tamso::UnregisterWindow(hWnd); }
};

TEST(SetWindowRgn, TheWindowTakesTheRegionAndItsHandleAMissingWindowLeavesItToTheCaller) {
  Registered w, other;
  const HRGN region = CreateRectRgn(0, 0, 10, 5), copy = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(SetWindowRgn(w.hWnd, region, TRUE), 1);
  ASSERT_TRUE(w.window->region());
  EXPECT_EQ(w.window->region()->rects(), (std::vector<RECT>{{0, 0, 10, 5}}));
  EXPECT_FALSE(DeleteObject(region));  // the window's to free
  EXPECT_EQ(SetWindowRgn(other.hWnd, region, TRUE), 0);
  EXPECT_FALSE(other.window->region());
  EXPECT_EQ(GetWindowRgn(w.hWnd, copy), SIMPLEREGION);
  RECT box;
  GetRgnBox(copy, &box);
  EXPECT_EQ(box, (RECT{0, 0, 10, 5}));
  EXPECT_EQ(SetWindowRgn(w.hWnd, 0, TRUE), 1);
  EXPECT_FALSE(w.window->region());
  EXPECT_EQ(GetWindowRgn(w.hWnd, copy), ERROR);

  HWND gone;
  {
    Registered temporary;
    gone = temporary.hWnd;
  }
  EXPECT_EQ(SetWindowRgn(gone, copy, TRUE), 0);
  EXPECT_TRUE(DeleteObject(copy));
}

TEST(MessageBoxAndClipboard, FailWithoutTheirSeamAndTheClipboardOpensOnceAndTakesOnlyBitmaps) {
  EXPECT_EQ(MessageBoxA(0, "text", "caption", MB_OK), 0);
  std::string seen;
  tamso::ScopedMessageBoxHandler handler(
      [&](HWND, const std::string& text, const std::string& caption, UINT type) {
        seen = text + "|" + caption + "|" + std::to_string(type);
        return IDYES;
      });
  EXPECT_EQ(MessageBoxA(0, "Line 1\r\nLine 2", "Tamso AVI", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(seen, "Line 1\r\nLine 2|Tamso AVI|36");
  EXPECT_EQ(MessageBoxA(0, nullptr, nullptr, MB_OK), IDYES);
  EXPECT_EQ(seen, "|Error|0");

  const auto previous = tamso::SetClipboardTarget(nullptr);
  EXPECT_FALSE(OpenClipboard(0));
  EXPECT_FALSE(EmptyClipboard());
  struct Target : tamso::ClipboardTarget {
    bool open() override { return true; }
    void clear() override {}
    bool put(const tamso::ClipboardImage&) override { return true; }
  };
  tamso::SetClipboardTarget(std::make_shared<Target>());
  ASSERT_TRUE(OpenClipboard(0));
  EXPECT_FALSE(OpenClipboard(0));
  const HBRUSH brush = CreateSolidBrush(0);
  EXPECT_EQ(SetClipboardData(CF_BITMAP, brush), 0u);
  EXPECT_EQ(SetClipboardData(1, brush), 0u);
  DeleteObject(brush);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  tamso::SetClipboardTarget(previous);
}

}  // namespace
