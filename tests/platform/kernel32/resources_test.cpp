#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/kernel32/pe_resources.h"
#include "platform/runtime/byte_reader.h"
#include "tests/platform/kernel32/pe_writer.h"

namespace {

using tamso::testing::WritePeFile;
using Bytes = std::vector<std::uint8_t>;
using Name = tamso::ResourceName;

Name N(int id) { return static_cast<std::uint16_t>(id); }
Name N(const char* name) { return std::string(name); }

const std::vector<tamso::testing::PeResource> kResources = {
    {10, 101, {1, 2, 3}}, {10, u"SHAPE", {6, 7, 8, 9}}, {3, 101, {0xAA}}, {u"CUSTOM", 1, {0xBB}}};

TEST(PeResources, FindsResourcesByNumberAndByNameIn32And64BitFiles) {
  const std::tuple<Name, Name, Bytes> cases[] = {// no bytes: not found
                                                 {N(10), N(101), {1, 2, 3}},
                                                 {N(10), N("SHAPE"), {6, 7, 8, 9}},
                                                 {N(3), N(101), {0xAA}},
                                                 {N(10), N(7), {}},
                                                 {N(10), N("SHAP"), {}}};
  for (bool wide : {false, true}) {
    const Bytes file = WritePeFile(kResources, wide);
    const auto pe = tamso::PeResources::Read(file);
    ASSERT_TRUE(pe);
    for (const auto& [type, name, bytes] : cases) {
      const auto data = pe->find(type, name);
      EXPECT_EQ(data ? Bytes(data->begin(), data->end()) : Bytes{}, bytes) << wide << " " << bytes.size();
    }
  }
  EXPECT_EQ(tamso::ParseResourceName("#101"), N(101));
  EXPECT_EQ(tamso::ParseResourceName("shape"), N("SHAPE"));
  for (const char* text : {"#65536", "#1a"}) EXPECT_FALSE(tamso::ParseResourceName(text)) << text;
}

TEST(PeResources, MalformedFilesAreRejectedOrYieldNothingAndNothingIsReadOutsideTheFile) {
  const Bytes good = WritePeFile(kResources);
  const auto corrupt = [&](std::size_t offset, std::uint32_t value) {
    Bytes bad = good;
    tamso::StoreU32(bad, offset, value);
    return bad;
  };
  // Empty, cut in the headers, no "MZ", PE header past the end, no "PE\0\0", unknown optional magic.
  for (const Bytes& bad : {Bytes{}, Bytes(good.begin(), good.begin() + 0x60), corrupt(0, 0),
                           corrupt(0x3C, 0x7FFFFFF0), corrupt(0x40, 0x00004551), corrupt(0x58, 0x0000010C)})
    EXPECT_FALSE(tamso::PeResources::Read(bad));
  const Bytes cutBytes(good.begin(), good.begin() + 0x200 + 40);  // the section cut off
  const auto cut = tamso::PeResources::Read(cutBytes);
  EXPECT_FALSE(cut && cut->find(N(10), N(101)));
  for (std::size_t i = 0; i < good.size(); i += 3) {
    Bytes bad = good;
    bad[i] ^= 0xFF;
    if (const auto pe = tamso::PeResources::Read(bad))
      if (const auto data = pe->find(N(10), N("SHAPE"))) {
        EXPECT_GE(data->data(), bad.data());
        EXPECT_LE(data->data() + data->size(), bad.data() + bad.size());
      }
  }
}

}  // namespace
