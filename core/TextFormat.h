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

}  // namespace tw
