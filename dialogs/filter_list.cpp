#include "dialogs/filter_list.h"

#include <QStringList>

namespace tamso {

namespace {

const QChar kNul(u'\0');

}  // namespace

QString MakeFilterList(const QString& filter) {
  QString list = filter;
  for (QChar& c : list) {
    if (c == u'|' || c == u':') c = kNul;
  }
  return list + kNul + kNul;
}

QString FilterListEntry(const QString& list, qint32 index) {
  if (list == QString(kNul) || index <= 0) return {};

  // The entries met from the start of the list, up to the point where the count either
  // starts again (an entry without a NUL after its pattern) or runs off the list.
  QStringList entries;
  bool startsAgain = false;
  qsizetype start = 0;
  for (;;) {
    const qsizetype first = list.indexOf(kNul, start);
    if (first < 0) break;
    const qsizetype second = list.indexOf(kNul, first + 1);
    if (second < 0) {
      entries << list.mid(start);
      startsAgain = true;
      break;
    }
    entries << list.mid(start, second - start);
    start = second + 1;
  }
  if (index <= entries.size()) return entries[index - 1];
  if (!startsAgain) return {};
  return entries[(index - 1) % entries.size()];
}

}  // namespace tamso
