#include <gtest/gtest.h>

#include "graphics/dib_section_region.h"
#include "platform/gdi32/wingdi.h"
#include "tests/graphics/test_support.h"

namespace {

using tamso::testing::ErrorNumberOf;

using tamso::testing::ScopedTestWindow;

class AppliedWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dib_.Create(4, 3));
    dib_.DIBSectionBitsPtr()[0] = 1;  // one opaque pixel in a black picture: (0, 2)
    region_.Create(dib_, 0);
  }

  cDIBSection dib_;
  cDIBSectionRegion region_;
  ScopedTestWindow a_, b_, c_;
};

TEST_F(AppliedWindows, ApplyingTwiceListsTheWindowOnce) {
  EXPECT_FALSE(region_.Applied(a_.hWnd));
  region_.Applied(a_.hWnd, true);
  region_.Applied(a_.hWnd, true);
  EXPECT_TRUE(region_.Applied(a_.hWnd));
  EXPECT_EQ(region_.AppliedToCount(), 1);
  EXPECT_EQ(region_.hWndForIndex(1), a_.hWnd);
  EXPECT_EQ(a_.window->changes, 2);
  ASSERT_TRUE(a_.window->region());
  EXPECT_EQ(a_.window->region()->rects(), (std::vector<RECT>{{0, 2, 1, 3}}));
}

TEST_F(AppliedWindows, RemovingAWindowKeepsTheOrderOfTheOthers) {
  region_.Applied(a_.hWnd, true);
  region_.Applied(b_.hWnd, true);
  region_.Applied(c_.hWnd, true);
  region_.Applied(b_.hWnd, false);
  EXPECT_EQ(region_.AppliedToCount(), 2);
  EXPECT_EQ(region_.hWndForIndex(1), a_.hWnd);
  EXPECT_EQ(region_.hWndForIndex(2), c_.hWnd);
  EXPECT_EQ(ErrorNumberOf([&] { region_.hWndForIndex(3); }), tamso::kErrSubscriptOutOfRange);
  EXPECT_FALSE(b_.window->region());
  EXPECT_TRUE(a_.window->region());
  EXPECT_TRUE(c_.window->region());
}

TEST_F(AppliedWindows, TakingOffAnUnlistedWindowClearsItsRegionAndKeepsTheList) {
  region_.Applied(a_.hWnd, true);
  b_.window->setRegion(tamso::Region::FromRect({0, 0, 1, 1}));
  region_.Applied(b_.hWnd, false);
  EXPECT_FALSE(b_.window->region());
  EXPECT_EQ(region_.AppliedToCount(), 1);
  EXPECT_EQ(region_.hWndForIndex(1), a_.hWnd);
}

TEST_F(AppliedWindows, TakingOffTheOnlyWindowReleasesTheList) {
  region_.Applied(a_.hWnd, true);
  region_.Applied(a_.hWnd, false);
  EXPECT_EQ(region_.AppliedToCount(), 0);
  EXPECT_EQ(ErrorNumberOf([&] { region_.hWndForIndex(1); }), tamso::kErrSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { region_.hWndForIndex(0); }), tamso::kErrSubscriptOutOfRange);
}

TEST_F(AppliedWindows, DestroyEmptiesTheListButKeepsItsLength) {
  region_.Applied(a_.hWnd, true);
  region_.Applied(b_.hWnd, true);
  region_.Destroy();
  EXPECT_EQ(region_.AppliedToCount(), 0);
  EXPECT_FALSE(region_.Applied(a_.hWnd));
  EXPECT_FALSE(a_.window->region());
  EXPECT_FALSE(b_.window->region());
  EXPECT_EQ(region_.hWndForIndex(1), 0u);
  EXPECT_EQ(region_.hWndForIndex(2), 0u);
  EXPECT_EQ(ErrorNumberOf([&] { region_.hWndForIndex(3); }), tamso::kErrSubscriptOutOfRange);
  // Without a region, applying gives the window its full rectangle and lists it.
  a_.window->setRegion(tamso::Region());
  region_.Applied(a_.hWnd, true);
  EXPECT_FALSE(a_.window->region());
  EXPECT_EQ(region_.AppliedToCount(), 1);
  EXPECT_EQ(ErrorNumberOf([&] { region_.hWndForIndex(2); }), tamso::kErrSubscriptOutOfRange);
}

TEST_F(AppliedWindows, EachWindowShowsTheRegionAndTheObjectKeepsItsOwn) {
  const std::size_t before = tamso::GdiObjectCount();
  region_.Applied(a_.hWnd, true);
  region_.Applied(b_.hWnd, true);
  EXPECT_EQ(a_.window->region(), b_.window->region());
  // The windows hold copies: no region handle is left over from applying.
  EXPECT_EQ(tamso::GdiObjectCount(), before);
}

TEST_F(AppliedWindows, AWindowThatIsGoneIsListedAllTheSame) {
  HWND gone = 0;
  {
    ScopedTestWindow w;
    gone = w.hWnd;
  }
  const std::size_t before = tamso::GdiObjectCount();
  region_.Applied(gone, true);
  EXPECT_TRUE(region_.Applied(gone));
  EXPECT_EQ(tamso::GdiObjectCount(), before);  // the copy it could not take is freed
  region_.Applied(gone, false);
  EXPECT_EQ(region_.AppliedToCount(), 0);
}

}  // namespace
