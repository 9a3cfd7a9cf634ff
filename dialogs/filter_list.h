#pragma once
// The filter list of the file dialogs, in the text form a caller writes and the form the
// dialog takes.
//
// Text form: entries of a description and a pattern ("*.avi", or "*.avi;*.divx"), with
// "|" or ":" (interchangeably) after each description and between entries:
//   "AVI files|*.avi|All files|*.*"
// Dialog form: every separator a NUL, and two NULs at the end:
//   "AVI files\0*.avi\0All files\0*.*\0\0"

#include <QString>

namespace tamso {

// The dialog form of `filter`: each "|" and ":" becomes a NUL, and two NULs follow.
QString MakeFilterList(const QString& filter);

// Entry `index` (1-based) of a list in dialog form: its description, a NUL and its
// pattern. Counting past the last entry reaches the closing NUL and then starts again at
// the first entry ("A\0*.a\0B\0*.b\0\0": 1 and 4 give "A\0*.a", 3 gives "\0"). Empty for
// an index of 0 or less (no entry selected), for a list of one NUL, and when the count
// runs off a list that does not start again.
QString FilterListEntry(const QString& list, qint32 index);

}  // namespace tamso
