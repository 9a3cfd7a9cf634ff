#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "graphics/dib_section.h"
#include "platform/user32/clipboard.h"
#include "platform/user32/message_box.h"
#include "platform/user32/winuser.h"

namespace {

std::vector<BYTE> AllBytes(const cDIBSection& dib) {
  const BYTE* p = dib.DIBSectionBitsPtr();
  return {p, p + static_cast<std::ptrdiff_t>(dib.BytesPerScanLine()) * dib.Height()};
}

TEST(RandomiseBits, ColouredNoiseHasNoBlueAndKeepsThePadding) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(5, 40));
  for (LONG r = 0; r < 40; ++r) dib.DIBSectionBitsPtr()[r * 16 + 15] = 0xAB;
  dib.RandomiseBits();
  const std::vector<BYTE> bytes = AllBytes(dib);
  std::vector<int> seen(256, 0);
  for (LONG r = 0; r < 40; ++r) {
    EXPECT_EQ(bytes[r * 16 + 15], 0xAB);
    for (LONG x = 0; x < 5; ++x) {
      EXPECT_EQ(bytes[r * 16 + 3 * x], 0);
      ++seen[bytes[r * 16 + 3 * x + 1]];
      ++seen[bytes[r * 16 + 3 * x + 2]];
    }
  }
  // 400 random bytes are not all alike.
  EXPECT_LT(*std::max_element(seen.begin(), seen.end()), 20);
}

TEST(RandomiseBits, GreyNoiseHasEqualChannels) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(7, 30));
  dib.RandomiseBits(true);
  const std::vector<BYTE> bytes = AllBytes(dib);
  std::vector<BYTE> greys;
  for (LONG r = 0; r < 30; ++r)
    for (LONG x = 0; x < 7; ++x) {
      const BYTE* p = &bytes[r * 24 + 3 * x];
      EXPECT_EQ(p[0], p[1]);
      EXPECT_EQ(p[1], p[2]);
      greys.push_back(p[0]);
    }
  std::sort(greys.begin(), greys.end());
  EXPECT_GT(std::unique(greys.begin(), greys.end()) - greys.begin(), 50);
}

TEST(RandomiseBits, CallsAtDifferentTimesGiveDifferentNoise) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(16, 16));
  dib.RandomiseBits();
  const std::vector<BYTE> first = AllBytes(dib);
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  dib.RandomiseBits();
  EXPECT_NE(AllBytes(dib), first);
}

struct RecordingClipboard : tamso::ClipboardTarget {
  bool available = true;
  bool accepts = true;
  int clears = 0;
  std::vector<tamso::ClipboardImage> images;
  bool open() override { return available; }
  void clear() override { ++clears; }
  bool put(const tamso::ClipboardImage& image) override {
    images.push_back(image);
    return accepts;
  }
};

struct RecordedBox {
  std::string text, caption;
  UINT type = 0;
};

class CopyToClipboard : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = tamso::SetClipboardTarget(clipboard_);
    // Start from an empty clipboard that owns no bitmap.
    ASSERT_TRUE(OpenClipboard(0));
    EmptyClipboard();
    CloseClipboard();
    clipboard_->clears = 0;
  }
  void TearDown() override { tamso::SetClipboardTarget(previous_); }

  std::shared_ptr<RecordingClipboard> clipboard_ = std::make_shared<RecordingClipboard>();
  std::vector<RecordedBox> boxes_;
  tamso::ScopedMessageBoxHandler handler_{
      [this](HWND, const std::string& text, const std::string& caption, UINT type) {
        boxes_.push_back({text, caption, type});
        return 1;
      }};

 private:
  std::shared_ptr<tamso::ClipboardTarget> previous_;
};

TEST_F(CopyToClipboard, AsDibOnlySaysItCannot) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(3, 3));
  EXPECT_FALSE(dib.CopyToClipboard());
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");
  EXPECT_EQ(boxes_[0].caption, "Tamso AVI");
  EXPECT_EQ(boxes_[0].type, 0u);  // OK only, no icon
  EXPECT_TRUE(clipboard_->images.empty());
}

TEST_F(CopyToClipboard, AsBitmapPutsThePicture) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(3, 2));
  BYTE* bits = dib.DIBSectionBitsPtr();
  bits[0] = 1, bits[1] = 2, bits[2] = 3;     // bottom-left pixel
  bits[12] = 9, bits[13] = 8, bits[14] = 7;  // top-left pixel
  const std::size_t before = tamso::GdiObjectCount();
  EXPECT_TRUE(dib.CopyToClipboard(false));
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(clipboard_->clears, 1);
  ASSERT_EQ(clipboard_->images.size(), 1u);
  const tamso::ClipboardImage& image = clipboard_->images[0];
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  // Rows from the top, blue, green, red, 0.
  EXPECT_EQ(std::vector<BYTE>(image.pixels.begin(), image.pixels.begin() + 4),
            (std::vector<BYTE>{9, 8, 7, 0}));
  EXPECT_EQ(std::vector<BYTE>(image.pixels.begin() + 12, image.pixels.begin() + 16),
            (std::vector<BYTE>{1, 2, 3, 0}));
  // The clipboard keeps the bitmap it took.
  EXPECT_EQ(tamso::GdiObjectCount(), before + 1);
}

TEST_F(CopyToClipboard, FailsCleanlyWhenTheClipboardCannotBeUsed) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(3, 2));
  const std::size_t before = tamso::GdiObjectCount();
  clipboard_->available = false;
  EXPECT_FALSE(dib.CopyToClipboard(false));
  clipboard_->available = true;
  clipboard_->accepts = false;
  EXPECT_FALSE(dib.CopyToClipboard(false));
  // Nothing was taken, so nothing is left behind.
  EXPECT_EQ(tamso::GdiObjectCount(), before);
  tamso::SetClipboardTarget(nullptr);
  EXPECT_FALSE(dib.CopyToClipboard(false));
  cDIBSection empty;
  EXPECT_FALSE(empty.CopyToClipboard(false));
  EXPECT_TRUE(boxes_.empty());
}

}  // namespace
