#pragma once

#include <QString>
#include <QtGlobal>

namespace tw {

// A byte count as words: "1023 b", "1.0 kb", "1.5 Mb", "0.5 Gb". The Gb range
// starts at 512 MiB.
QString FormatSize(qint32 bytes);

// Minutes as words: "5 minutes", "1 hour", "2 hours 30 minutes". Like its
// callers expect, the argument is left holding the minutes beyond whole hours.
QString FormatInterval(qint32& minutes);

// The check interval a user typed: the number at the start of the first four
// characters (leading blanks skipped; none counts as 0), rounded half to even
// and kept within 1 to 1,440 minutes. 0 when it is 0 or less: no automatic
// check. "99999" gives 1440, "0.4" gives 1, "abc" gives 0.
qint32 IntervalFromEntry(const QString& text);

}  // namespace tw
