#include <gtest/gtest.h>

#include <limits>

#include "dialogs/filter_list.h"

namespace tamso {
namespace {

QString L(const char16_t* s, qsizetype n) { return QString(reinterpret_cast<const QChar*>(s), n); }

TEST(FilterList, SeparatorsBecomeNulsAndTwoNulsCloseTheList) {
  EXPECT_EQ(MakeFilterList("AVI|*.avi"), L(u"AVI\0*.avi\0\0", 11));
  EXPECT_EQ(MakeFilterList("AVI:*.avi"), L(u"AVI\0*.avi\0\0", 11));
  EXPECT_EQ(MakeFilterList(""), L(u"\0\0", 2));
  EXPECT_EQ(MakeFilterList("A|*.a|"), L(u"A\0*.a\0\0\0", 8));
}

TEST(FilterList, EntriesCountOnPastTheEndAndStartAgain) {
  const QString list = MakeFilterList("A|*.a|B|*.b;*.c");
  EXPECT_EQ(FilterListEntry(list, 1), L(u"A\0*.a", 5));
  EXPECT_EQ(FilterListEntry(list, 2), L(u"B\0*.b;*.c", 9));
  EXPECT_EQ(FilterListEntry(list, 3), L(u"\0", 1));
  EXPECT_EQ(FilterListEntry(list, 4), L(u"A\0*.a", 5));
  EXPECT_EQ(FilterListEntry(list, 7), L(u"A\0*.a", 5));
  EXPECT_EQ(FilterListEntry(list, 8), L(u"B\0*.b;*.c", 9));
  // The largest index is answered at once, not by counting round the list.
  EXPECT_EQ(FilterListEntry(list, std::numeric_limits<qint32>::max()), L(u"A\0*.a", 5));
}

TEST(FilterList, NoEntryForIndexZeroOrLessAndForListsWithout) {
  const QString list = MakeFilterList("A|*.a|B|*.b");
  for (qint32 index : {0, -1, std::numeric_limits<qint32>::min()}) {
    EXPECT_EQ(FilterListEntry(list, index), "") << index;
    EXPECT_EQ(FilterListEntry(L(u"\0\0\0", 3), index), "") << index;  // the list after a cancel
  }
  EXPECT_EQ(FilterListEntry(L(u"\0", 1), 1), "");
  EXPECT_EQ(FilterListEntry(L(u"\0\0", 2), 1), L(u"\0", 1));  // empty description and pattern
  EXPECT_EQ(FilterListEntry(L(u"\0\0", 2), 2), "");           // the count runs off the list
  EXPECT_EQ(FilterListEntry(L(u"\0\0\0", 3), 2), L(u"\0", 1));
  EXPECT_EQ(FilterListEntry("no separators", 1), "");
}

}  // namespace
}  // namespace tamso
