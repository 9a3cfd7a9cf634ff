#include "platform/runtime/byte_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace tamso {
namespace {

TEST(ByteReader, ReadsLittleEndianValuesWithinItsBytesAndFailsForGoodPastThem) {
  const std::vector<std::uint8_t> data = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF,
                                          1,    0,    0,    0,    2,    0,    0,    0};
  ByteReader r(data);
  EXPECT_EQ(r.u8(), 0x01);
  EXPECT_EQ(r.u16(), 0x1234);
  EXPECT_EQ(r.u32(), 0x12345678u);
  EXPECT_EQ(r.i16(), -1);
  ByteReader inner = r.sub(4);  // bounded to the next four bytes
  EXPECT_EQ(inner.u32(), 1u);
  EXPECT_EQ(inner.u8(), 0u);
  EXPECT_FALSE(inner.ok());
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.u32(), 2u);
  EXPECT_TRUE(r.atEnd());
  EXPECT_TRUE(r.seek(15));
  EXPECT_EQ(r.u32(), 0u);  // two bytes left: nothing is read
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.offset(), 15u);
  EXPECT_EQ(r.u8(), 0u);  // even a read that would fit is refused once failed
  EXPECT_TRUE(r.bytes(1).empty());
  ByteReader s(data);
  EXPECT_FALSE(s.seek(18));
  ByteReader t(data);
  EXPECT_FALSE(t.skip(SIZE_MAX));
  EXPECT_FALSE(t.ok());
}

}  // namespace
}  // namespace tamso
