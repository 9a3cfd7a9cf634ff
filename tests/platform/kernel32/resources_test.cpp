#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/kernel32/pe_resources.h"
#include "platform/kernel32/program_resources.h"
#include "platform/kernel32/winbase.h"
#include "platform/runtime/byte_reader.h"
#include "tests/platform/kernel32/pe_writer.h"

namespace {

using tamso::testing::PeResource;
using tamso::testing::WritePeFile;
using Bytes = std::vector<std::uint8_t>;

const std::vector<PeResource> kResources = {
    {std::uint16_t{10}, std::uint16_t{101}, {1, 2, 3}},
    {std::uint16_t{10}, std::uint16_t{7000}, {4, 5}},
    {std::uint16_t{10}, u"SHAPE", {6, 7, 8, 9}},
    {std::uint16_t{3}, std::uint16_t{101}, {0xAA}},
    {u"CUSTOM", std::uint16_t{1}, {0xBB}},
};

Bytes Find(const tamso::PeResources& pe, tamso::ResourceName type, tamso::ResourceName name) {
  const auto data = pe.find(type, name);
  return data ? Bytes(data->begin(), data->end()) : Bytes{0xDE, 0xAD};
}

TEST(PeResources, FindsResourcesByNumberAndByNameIn32And64BitFiles) {
  for (bool wide : {false, true}) {
    const Bytes file = WritePeFile(kResources, wide);
    const auto pe = tamso::PeResources::Read(file);
    ASSERT_TRUE(pe);
    EXPECT_EQ(Find(*pe, std::uint16_t{10}, std::uint16_t{101}), (Bytes{1, 2, 3}));
    EXPECT_EQ(Find(*pe, std::uint16_t{10}, std::uint16_t{7000}), (Bytes{4, 5}));
    EXPECT_EQ(Find(*pe, std::uint16_t{10}, std::string("SHAPE")), (Bytes{6, 7, 8, 9}));
    EXPECT_EQ(Find(*pe, std::uint16_t{3}, std::uint16_t{101}), (Bytes{0xAA}));
    EXPECT_EQ(Find(*pe, std::string("CUSTOM"), std::uint16_t{1}), (Bytes{0xBB}));
    EXPECT_FALSE(pe->find(std::uint16_t{10}, std::uint16_t{7}));
    EXPECT_FALSE(pe->find(std::uint16_t{11}, std::uint16_t{101}));
    EXPECT_FALSE(pe->find(std::uint16_t{10}, std::string("SHAP")));
  }
}

TEST(PeResources, NamesFollowThePlatformsNotation) {
  EXPECT_EQ(tamso::ParseResourceName("#101"), tamso::ResourceName(std::uint16_t{101}));
  EXPECT_EQ(tamso::ParseResourceName("#65535"), tamso::ResourceName(std::uint16_t{65535}));
  EXPECT_FALSE(tamso::ParseResourceName("#65536"));
  EXPECT_FALSE(tamso::ParseResourceName("#"));
  EXPECT_FALSE(tamso::ParseResourceName("#1a"));
  EXPECT_EQ(tamso::ParseResourceName("shape"), tamso::ResourceName(std::string("SHAPE")));
  EXPECT_EQ(tamso::ParseResourceName("101"), tamso::ResourceName(std::string("101")));
}

TEST(PeResources, MalformedFilesAreRejectedOrYieldNothing) {
  const Bytes good = WritePeFile(kResources);
  const auto corrupt = [&](std::size_t offset, std::uint32_t value) {
    Bytes bad = good;
    tamso::StoreU32(bad, offset, value);
    return bad;
  };
  EXPECT_FALSE(tamso::PeResources::Read(Bytes{}));
  EXPECT_FALSE(tamso::PeResources::Read(Bytes(good.begin(), good.begin() + 0x60)));  // cut in the headers
  EXPECT_FALSE(tamso::PeResources::Read(corrupt(0, 0)));                             // no "MZ"
  EXPECT_FALSE(tamso::PeResources::Read(corrupt(0x3C, 0x7FFFFFF0)));                 // PE header past the end
  EXPECT_FALSE(tamso::PeResources::Read(corrupt(0x40, 0x00004551)));                 // no "PE\0\0"
  EXPECT_FALSE(tamso::PeResources::Read(corrupt(0x58, 0x0000010C)));                 // unknown optional magic

  // Resource data that points past the end of the file, or a cut-off section.
  Bytes cut(good.begin(), good.begin() + 0x200 + 40);
  const auto truncated = tamso::PeResources::Read(cut);
  if (truncated) {
    EXPECT_FALSE(truncated->find(std::uint16_t{10}, std::uint16_t{101}));
  }

  // Every single corrupted byte still gives an answer without reading outside the file.
  for (std::size_t i = 0; i < good.size(); i += 3) {
    Bytes bad = good;
    bad[i] ^= 0xFF;
    if (const auto pe = tamso::PeResources::Read(bad)) {
      if (const auto data = pe->find(std::uint16_t{10}, std::string("SHAPE"))) {
        EXPECT_GE(data->data(), bad.data());
        EXPECT_LE(data->data() + data->size(), bad.data() + bad.size());
      }
    }
  }
}

class LibraryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("kernel32-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".dll");
    const Bytes bytes = WritePeFile(kResources);
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::filesystem::path path_;
};

TEST_F(LibraryFile, ResourcesAreReachedThroughTheirHandles) {
  const HMODULE module = LoadLibraryExA(path_.c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, 0u);
  const HRSRC byNumber = FindResourceA(module, "#101", RT_RCDATA);
  ASSERT_NE(byNumber, 0u);
  EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(101), RT_RCDATA), byNumber);
  EXPECT_EQ(SizeofResource(module, byNumber), 3u);
  const HGLOBAL data = LoadResource(module, byNumber);
  ASSERT_NE(data, 0u);
  const auto* bytes = static_cast<const std::uint8_t*>(LockResource(data));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(Bytes(bytes, bytes + 3), (Bytes{1, 2, 3}));

  const HRSRC byName = FindResourceA(module, "shape", RT_RCDATA);
  EXPECT_EQ(SizeofResource(module, byName), 4u);
  EXPECT_EQ(FindResourceA(module, "#7", RT_RCDATA), 0u);
  EXPECT_EQ(FindResourceA(module, "#101", MAKEINTRESOURCEA(2)), 0u);

  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(module));
  EXPECT_EQ(LockResource(data), nullptr);
  EXPECT_EQ(SizeofResource(module, byNumber), 0u);
  EXPECT_EQ(FindResourceA(module, "#101", RT_RCDATA), 0u);
}

TEST_F(LibraryFile, OnlyDataFilesThatExistAndArePeFilesOpen) {
  EXPECT_EQ(LoadLibraryExA(path_.c_str(), 0, 0), 0u);  // would have to run it
  EXPECT_EQ(LoadLibraryExA((path_.string() + ".missing").c_str(), 0, LOAD_LIBRARY_AS_DATAFILE), 0u);
  EXPECT_EQ(LoadLibraryExA(path_.parent_path().c_str(), 0, LOAD_LIBRARY_AS_DATAFILE), 0u);
  EXPECT_EQ(LoadLibraryExA("", 0, LOAD_LIBRARY_AS_DATAFILE), 0u);
  std::ofstream(path_, std::ios::binary) << "not a library";
  EXPECT_EQ(LoadLibraryExA(path_.c_str(), 0, LOAD_LIBRARY_AS_DATAFILE), 0u);
}

TEST(ProgramResources, ModuleZeroIsTheProgram) {
  static const std::uint8_t data[] = {9, 8, 7};
  tamso::RegisterProgramResource(std::uint16_t{10}, std::uint16_t{4242}, data);
  const HRSRC resource = FindResourceA(0, "#4242", RT_RCDATA);
  ASSERT_NE(resource, 0u);
  EXPECT_EQ(SizeofResource(0, resource), 3u);
  EXPECT_EQ(LockResource(LoadResource(0, resource)), data);
  EXPECT_EQ(FindResourceA(0, "#4243", RT_RCDATA), 0u);
}

}  // namespace
