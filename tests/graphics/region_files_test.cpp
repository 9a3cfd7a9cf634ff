#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "graphics/dib_section_region.h"
#include "platform/runtime/app_paths.h"
#include "tests/graphics/test_support.h"
#include "tests/platform/kernel32/pe_writer.h"
#include "tests/support/avi_writer.h"

namespace {

namespace fs = std::filesystem;
using tamso::test::WriteFile;
using tamso::testing::ErrorOf;
using tamso::testing::ScopedTestWindow;
using tamso::testing::Shown;
using Bytes = std::vector<std::uint8_t>;
using Rects = std::vector<RECT>;

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

class RegionFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    // A 4 x 3 bitmap, black but for its top row and one pixel below it.
    ASSERT_TRUE(dib_.Create(4, 3));
    std::fill_n(dib_.DIBSectionBitsPtr() + 24, 12, 200);
    dib_.DIBSectionBitsPtr()[12 + 3] = 200;
    region_.Create(dib_, 0);
  }

  // The error `action` raises, checked for this class's source.
  tamso::Error Raised(const auto& action) {
    const tamso::Error e = ErrorOf(action);
    EXPECT_EQ(e.source(), tamso::ApplicationExeName() + ".cDIBSectionRegion");
    return e;
  }

  const Rects shape_ = {{0, 0, 4, 1}, {1, 1, 2, 2}};
  tamso::test::TempDir dir_;
  const fs::path folder_ = dir_.path();
  cDIBSection dib_;
  cDIBSectionRegion region_;
};

TEST_F(RegionFiles, SaveReplacesTheFileWholeAndLoadGivesTheSameRegionToNoWindow) {
  ASSERT_EQ(Shown(region_), shape_);
  const fs::path file = folder_ / "shape.rgn";
  WriteFile(file, Bytes(500, 0x55));  // a longer old file leaves nothing behind
  // Files of the user's named as a temporary file might be stay as they are.
  const std::set<fs::path> others = {folder_ / "shape.rgn.tamso-new", folder_ / ".rgn-0000000000.tmp",
                                     folder_ / ".rgn-aaaaaaaaaa.tmp", folder_ / "shape.rgn~"};
  for (const fs::path& other : others) WriteFile(other, Bytes{7});
  EXPECT_TRUE(region_.Save(Q(file)));
  EXPECT_EQ(fs::file_size(file), 32u + 2 * 16);
  std::set<fs::path> left{fs::directory_iterator(folder_), fs::directory_iterator()};
  EXPECT_EQ(left.erase(file), 1u);
  EXPECT_EQ(left, others);  // and no temporary file is left
  for (const fs::path& other : others) EXPECT_EQ(ReadFile(other), Bytes{7});

  cDIBSectionRegion loaded;
  ScopedTestWindow w;
  loaded.Applied(w.hWnd, true);
  EXPECT_TRUE(loaded.LoadFromFile(Q(file)) && loaded.AppliedToCount() == 0 && !w.window->region());
  EXPECT_EQ(Shown(loaded), shape_);

  cDIBSection black;
  ASSERT_TRUE(black.Create(3, 3));
  loaded.Create(black, 0);
  EXPECT_TRUE(loaded.Save(Q(file)));
  EXPECT_EQ(fs::file_size(file), 32u);  // an empty region is the header alone
}

TEST_F(RegionFiles, FailedSavesRaiseAndKeepWhatWasThere) {
  const fs::path taken = folder_ / "a-folder";
  fs::create_directories(taken / "inside");
  EXPECT_NE(Raised([&] { region_.Save(Q(taken)); }).number(), 0);
  EXPECT_TRUE(fs::is_directory(taken / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
  EXPECT_EQ(Raised([&] { region_.Save(Q(folder_ / "missing" / "x.rgn")); }).number(), 76);

  // A save whose writing fails (here: the file size limit is below the block's 64 bytes).
  const fs::path file = folder_ / "old.rgn";
  WriteFile(file, Bytes{1, 2, 3});
  rlimit limit{}, small{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  small = {40, limit.rlim_max};
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const tamso::Error tooLarge = Raised([&] { region_.Save(Q(file)); });
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(std::tuple(tooLarge.number(), ReadFile(file),
                       std::distance(fs::directory_iterator(folder_), fs::directory_iterator())),
            std::tuple(75, Bytes{1, 2, 3}, 2));

  region_.Destroy();
  const tamso::Error e = Raised([&] { region_.Save(Q(file)); });
  EXPECT_EQ(std::pair(e.number(), e.description()), std::pair(26010, std::string("No region to save")));
  EXPECT_EQ(ReadFile(file), (Bytes{1, 2, 3}));
}

TEST_F(RegionFiles, UnreadableFilesRaiseAndKeepTheRegionRejectedDataDropsIt) {
  ScopedTestWindow w;
  region_.Applied(w.hWnd, true);
  const fs::path file = folder_ / "bad.rgn";
  WriteFile(file, {});
  EXPECT_EQ(Raised([&] { region_.LoadFromFile(Q(file)); }).number(), tamso::kErrSubscriptOutOfRange);
  const tamso::Error e = Raised([&] { region_.LoadFromFile(Q(folder_ / "missing.rgn")); });
  EXPECT_EQ(std::pair(e.number(), e.description()), std::pair(53, std::string("File not found")));
  // A named pipe or a folder is refused at once; a pipe is never waited on for a writer.
  const fs::path pipe = folder_ / "pipe.rgn";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const fs::path& notAFile : {pipe, folder_})
    EXPECT_EQ(Raised([&] { region_.LoadFromFile(Q(notAFile)); }).number(), 75) << notAFile;
  EXPECT_TRUE(region_.Applied(w.hWnd) && Shown(region_) == shape_);

  std::mt19937 random(3);
  Bytes noise(300);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  noise[0] = 5;  // a header size below 32
  WriteFile(file, noise);
  EXPECT_FALSE(region_.LoadFromFile(Q(file)));
  EXPECT_FALSE(w.window->region());
  EXPECT_EQ(Shown(region_), (Rects{{-1, -1, -1, -1}}));  // no region: the full rectangle
}

TEST_F(RegionFiles, ResourcesOfALibraryOrOfTheProgramBecomeTheRegion) {
  const fs::path saved = folder_ / "saved.rgn", library = folder_ / "shapes.dll";
  region_.Save(Q(saved));
  const Bytes block = ReadFile(saved);
  WriteFile(library,
            tamso::testing::WritePeFile({{10, 101, block}, {10, u"WINDOW", block}, {10, 102, {1, 2, 3}}}));
  for (const ResourceId& id :
       {ResourceId(101), ResourceId(QStringLiteral("window")), ResourceId(QStringLiteral("101"))}) {
    region_.Destroy();
    EXPECT_TRUE(region_.LoadFromResource(id, Q(library)));
    EXPECT_EQ(Shown(region_), shape_);
  }
  EXPECT_FALSE(region_.LoadFromResource(102, Q(library)));  // not a region data block
  ASSERT_TRUE(region_.LoadFromResource(101, Q(library)));
  const auto raised = [&](ResourceId id, const fs::path& from) {
    const tamso::Error e = Raised([&] { region_.LoadFromResource(id, Q(from)); });
    return std::to_string(e.number()) + " " + e.description();
  };
  ASSERT_EQ(mkfifo((folder_ / "pipe.dll").c_str(), 0600), 0);
  for (const fs::path& notALibrary : {folder_ / "none.dll", saved, folder_ / "pipe.dll"})
    EXPECT_EQ(raised(101, notALibrary), "26013 Can't open DLL for Resource Access");
  EXPECT_EQ(raised(QStringLiteral("NOPE"), library), "26014 Resource with ID NOPE could not be found");
  EXPECT_EQ(Shown(region_), shape_);  // kept through the errors

  // The build embeds a 3 x 4 rectangle with the hole (1, 0, 2, 2) as 101 and SHAPE.
  const Rects embedded = {{0, 0, 1, 2}, {2, 0, 3, 2}, {0, 2, 3, 4}};
  for (const ResourceId& id : {ResourceId(101), ResourceId(QStringLiteral("Shape"))}) {
    EXPECT_TRUE(region_.LoadFromResource(id));
    EXPECT_EQ(Shown(region_), embedded);
  }
  EXPECT_EQ(ErrorOf([&] { region_.LoadFromResource(555); }).number(), 326);
}

}  // namespace
