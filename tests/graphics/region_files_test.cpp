#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "graphics/dib_section_region.h"
#include "platform/runtime/app_paths.h"
#include "tests/graphics/test_support.h"
#include "tests/platform/kernel32/pe_writer.h"

namespace {

namespace fs = std::filesystem;
using tamso::testing::ScopedTestWindow;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

// The error `action` raises, checked for this class's source.
tamso::Error ErrorOf(const auto& action) {
  try {
    action();
  } catch (const tamso::Error& e) {
    return e;
  }
  return tamso::Error(0, "no error", "");
}

class RegionFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("region-files-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    // A 4 x 3 bitmap, black but for its top row and one pixel below it.
    ASSERT_TRUE(dib_.Create(4, 3));
    BYTE* bits = dib_.DIBSectionBitsPtr();
    for (int i = 0; i < 12; ++i) bits[2 * 12 + i] = 200;
    bits[1 * 12 + 3] = 200;
    region_.Create(dib_, 0);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::vector<RECT> Shown() {
    ScopedTestWindow w;
    region_.Applied(w.hWnd, true);
    std::vector<RECT> rects =
        w.window->region() ? w.window->region()->rects() : std::vector<RECT>{{-1, -1, -1, -1}};
    region_.Applied(w.hWnd, false);
    return rects;
  }

  const std::string source_ = tamso::ApplicationExeName() + ".cDIBSectionRegion";
  fs::path folder_;
  cDIBSection dib_;
  cDIBSectionRegion region_;
};

TEST_F(RegionFiles, ASavedRegionLoadsBackTheSame) {
  const std::vector<RECT> original = Shown();
  ASSERT_EQ(original, (std::vector<RECT>{{0, 0, 4, 1}, {1, 1, 2, 2}}));
  const fs::path file = folder_ / "shape.rgn";
  WriteFile(file, Bytes(500, 0x55));  // a longer old file leaves nothing behind
  EXPECT_TRUE(region_.Save(Q(file)));
  EXPECT_EQ(fs::file_size(file), 32u + 2 * 16);
  EXPECT_EQ(fs::directory_iterator(folder_)->path(), file);  // no temporary file is left

  cDIBSectionRegion loaded;
  ScopedTestWindow w;
  loaded.Applied(w.hWnd, true);
  EXPECT_TRUE(loaded.LoadFromFile(Q(file)));
  EXPECT_EQ(loaded.AppliedToCount(), 0);
  EXPECT_FALSE(w.window->region());
  loaded.Applied(w.hWnd, true);
  ASSERT_TRUE(w.window->region());
  EXPECT_EQ(w.window->region()->rects(), original);
}

TEST_F(RegionFiles, AnEmptyRegionIsTheHeaderAlone) {
  cDIBSection black;
  ASSERT_TRUE(black.Create(3, 3));
  region_.Create(black, 0);
  const fs::path file = folder_ / "empty.rgn";
  EXPECT_TRUE(region_.Save(Q(file)));
  EXPECT_EQ(fs::file_size(file), 32u);
}

TEST_F(RegionFiles, SavingWithoutARegionRaisesAndKeepsTheOldFile) {
  const fs::path file = folder_ / "old.rgn";
  WriteFile(file, Bytes{1, 2, 3});
  region_.Destroy();
  const tamso::Error e = ErrorOf([&] { region_.Save(Q(file)); });
  EXPECT_EQ(e.number(), 26010);
  EXPECT_EQ(e.description(), "No region to save");
  EXPECT_EQ(e.source(), source_);
  EXPECT_EQ(ReadFile(file), (Bytes{1, 2, 3}));
}

TEST_F(RegionFiles, AFailedWriteKeepsWhatWasThereAndLeavesNoTemporaryFile) {
  const fs::path taken = folder_ / "a-folder";
  fs::create_directories(taken / "inside");
  tamso::Error e = ErrorOf([&] { region_.Save(Q(taken)); });
  EXPECT_NE(e.number(), 0);
  EXPECT_EQ(e.source(), source_);
  EXPECT_TRUE(fs::is_directory(taken / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);

  e = ErrorOf([&] { region_.Save(Q(folder_ / "missing" / "x.rgn")); });
  EXPECT_EQ(e.number(), 76);
  EXPECT_EQ(e.source(), source_);
}

TEST_F(RegionFiles, RejectedDataLeavesNoRegionAndFreesTheWindows) {
  const fs::path file = folder_ / "noise.rgn";
  std::mt19937 random(3);
  Bytes noise(300);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  noise[0] = 5;  // a header size below 32
  WriteFile(file, noise);
  ScopedTestWindow w;
  region_.Applied(w.hWnd, true);
  EXPECT_FALSE(region_.LoadFromFile(Q(file)));
  EXPECT_FALSE(w.window->region());
  // With no region, applying one gives the window its full rectangle.
  ScopedTestWindow again;
  region_.Applied(again.hWnd, true);
  EXPECT_FALSE(again.window->region());
}

TEST_F(RegionFiles, FilesThatCannotBeReadRaiseAndKeepTheRegion) {
  ScopedTestWindow w;
  region_.Applied(w.hWnd, true);
  const fs::path empty = folder_ / "empty.rgn";
  WriteFile(empty, {});
  tamso::Error e = ErrorOf([&] { region_.LoadFromFile(Q(empty)); });
  EXPECT_EQ(e.number(), tamso::kErrSubscriptOutOfRange);
  EXPECT_EQ(e.source(), source_);
  e = ErrorOf([&] { region_.LoadFromFile(Q(folder_ / "missing.rgn")); });
  EXPECT_EQ(e.number(), 53);
  EXPECT_EQ(e.description(), "File not found");
  EXPECT_EQ(e.source(), source_);
  EXPECT_TRUE(region_.Applied(w.hWnd));
  EXPECT_TRUE(w.window->region());
  EXPECT_EQ(Shown().size(), 2u);
}

class RegionResources : public RegionFiles {
 protected:
  void SetUp() override {
    RegionFiles::SetUp();
    const fs::path saved = folder_ / "saved.rgn";
    region_.Save(Q(saved));
    block_ = ReadFile(saved);
    library_ = folder_ / "shapes.dll";
    WriteFile(library_, tamso::testing::WritePeFile({
                            {std::uint16_t{10}, std::uint16_t{101}, block_},
                            {std::uint16_t{10}, u"WINDOW", block_},
                            {std::uint16_t{10}, std::uint16_t{102}, Bytes{1, 2, 3}},
                        }));
    region_.Destroy();
  }
  Bytes block_;
  fs::path library_;
};

TEST_F(RegionResources, ALibrarysResourceBecomesTheRegion) {
  EXPECT_TRUE(region_.LoadFromResource(101, Q(library_)));
  EXPECT_EQ(Shown(), (std::vector<RECT>{{0, 0, 4, 1}, {1, 1, 2, 2}}));
  region_.Destroy();
  EXPECT_TRUE(region_.LoadFromResource(QStringLiteral("window"), Q(library_)));
  EXPECT_EQ(Shown().size(), 2u);
  region_.Destroy();
  EXPECT_TRUE(region_.LoadFromResource(QStringLiteral("101"), Q(library_)));
  EXPECT_FALSE(region_.LoadFromResource(102, Q(library_)));  // not a region data block
}

TEST_F(RegionResources, MissingLibrariesAndResourcesRaiseTheirErrors) {
  ASSERT_TRUE(region_.LoadFromResource(101, Q(library_)));
  tamso::Error e = ErrorOf([&] { region_.LoadFromResource(101, Q(folder_ / "none.dll")); });
  EXPECT_EQ(e.number(), 26013);
  EXPECT_EQ(e.description(), "Can't open DLL for Resource Access");
  EXPECT_EQ(e.source(), source_);
  e = ErrorOf([&] { region_.LoadFromResource(7, Q(library_)); });
  EXPECT_EQ(e.number(), 26014);
  EXPECT_EQ(e.description(), "Resource with ID 7 could not be found");
  EXPECT_EQ(e.source(), source_);
  e = ErrorOf([&] { region_.LoadFromResource(QStringLiteral("NOPE"), Q(library_)); });
  EXPECT_EQ(e.description(), "Resource with ID NOPE could not be found");
  // The region loaded before is still there.
  EXPECT_EQ(Shown().size(), 2u);
}

TEST_F(RegionResources, TheProgramsOwnResourcesAreEmbeddedAtBuildTime) {
  // The build embeds a region with a hole (1, 0, 2, 2) in a 3 x 4 rectangle as 101 and SHAPE.
  const std::vector<RECT> expected = {{0, 0, 1, 2}, {2, 0, 3, 2}, {0, 2, 3, 4}};
  EXPECT_TRUE(region_.LoadFromResource(101));
  EXPECT_EQ(Shown(), expected);
  EXPECT_TRUE(region_.LoadFromResource(QStringLiteral("Shape")));
  EXPECT_EQ(Shown(), expected);
  const tamso::Error e = ErrorOf([&] { region_.LoadFromResource(555); });
  EXPECT_EQ(e.number(), 326);
  EXPECT_EQ(Shown(), expected);
}

}  // namespace
