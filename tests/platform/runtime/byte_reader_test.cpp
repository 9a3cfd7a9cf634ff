#include "platform/runtime/byte_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace tamso {
namespace {

TEST(ByteReader, ReadsLittleEndianValuesInOrder) {
  const std::vector<std::uint8_t> data = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF,
                                          1,    0,    0,    0,    2,    0,    0,    0};
  ByteReader r(data);
  EXPECT_EQ(r.u8(), 0x01);
  EXPECT_EQ(r.u16(), 0x1234);
  EXPECT_EQ(r.u32(), 0x12345678u);
  EXPECT_EQ(r.i16(), -1);
  EXPECT_EQ(r.u64(), 0x0000000200000001ull);
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(r.atEnd());
}

TEST(ByteReader, AReadPastTheEndFailsForGoodAndReadsNothing) {
  const std::vector<std::uint8_t> data = {1, 2, 3};
  ByteReader r(data);
  EXPECT_EQ(r.u32(), 0u);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.offset(), 0u);
  // Even a read that would fit is refused once the reader failed.
  EXPECT_EQ(r.u8(), 0u);
  EXPECT_TRUE(r.bytes(1).empty());
}

TEST(ByteReader, SubReaderIsBoundedToItsBytes) {
  const std::vector<std::uint8_t> data = {1, 0, 2, 0, 3, 0};
  ByteReader r(data);
  ByteReader inner = r.sub(2);
  EXPECT_EQ(inner.u16(), 1);
  EXPECT_EQ(inner.u16(), 0);
  EXPECT_FALSE(inner.ok());
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.u16(), 2);
}

TEST(ByteReader, SkipAndSeekCheckTheBounds) {
  const std::vector<std::uint8_t> data(8, 0);
  ByteReader r(data);
  EXPECT_TRUE(r.skip(8));
  EXPECT_TRUE(r.atEnd());
  EXPECT_TRUE(r.seek(2));
  EXPECT_EQ(r.remaining(), 6u);
  EXPECT_FALSE(r.skip(SIZE_MAX));
  EXPECT_FALSE(r.ok());
  ByteReader s(data);
  EXPECT_FALSE(s.seek(9));
}

}  // namespace
}  // namespace tamso
