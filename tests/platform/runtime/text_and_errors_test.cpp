#include <gtest/gtest.h>

#include <set>

#include "platform/runtime/ansi_text.h"
#include "platform/runtime/handle_table.h"
#include "platform/runtime/tamso_error.h"

namespace tamso {
namespace {

TEST(Cp1252, EachByteBecomesOneCharacter) {
  EXPECT_EQ(Cp1252ToUtf8("XVID"), "XVID");
  EXPECT_EQ(Cp1252ToUtf8(std::string("\x80\xE9\x00\x81", 4)), std::string("\u20AC\u00E9\0\u0081", 8));
}

TEST(Errors, StandardErrorsCarryNumberTextAndSource) {
  try {
    RaiseStandardError(kErrOverflow, "cDIBSection");
    FAIL() << "no error raised";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 6);
    EXPECT_EQ(e.description(), "Overflow");
    EXPECT_EQ(e.source(), "cDIBSection");
  }
  EXPECT_EQ(StandardErrorText(9), "Subscript out of range");
  EXPECT_EQ(StandardErrorText(5), "Invalid procedure call or argument");
}

TEST(HandleTable, HandlesAreNonZeroDistinctAndDieWithRemoval) {
  HandleTable<int> ints;
  HandleTable<double> doubles;
  const auto a = ints.add(std::make_unique<int>(1));
  const auto b = doubles.add(std::make_unique<double>(2));
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(*ints.find(a), 1);
  EXPECT_EQ(ints.find(b), nullptr);
  EXPECT_EQ(ints.find(0), nullptr);
  EXPECT_EQ(*ints.remove(a), 1);
  EXPECT_EQ(ints.find(a), nullptr);
  EXPECT_EQ(ints.remove(a), nullptr);
  EXPECT_EQ(ints.add(nullptr), 0u);
}

}  // namespace
}  // namespace tamso
