#include "ItemMatching.h"

#include "core/Windows1252.h"

#include <QHash>

namespace tw {

QString StoredTextForm(const QString& text) {
  QByteArray bytes = EncodeWindows1252(text);
  const qsizetype nul = bytes.indexOf('\0');
  if (nul >= 0) bytes.truncate(nul);
  return DecodeWindows1252(bytes);
}

QString ParsedIdentity(const QString& title, const QString& link) {
  return StoredTextForm(title) + StoredTextForm(link);
}

std::vector<qsizetype> MatchCachedItems(const QStringList& parsed, const QStringList& stored) {
  QHash<QString, qsizetype> firstWith;
  firstWith.reserve(parsed.size());
  // Backwards, so that the first of equal identities is the one kept.
  for (qsizetype j = parsed.size() - 1; j >= 0; --j) firstWith.insert(parsed[j], j);
  std::vector<qsizetype> source(static_cast<size_t>(parsed.size()), -1);
  for (qsizetype i = 0; i < stored.size(); ++i) {
    const auto it = firstWith.constFind(stored[i]);
    if (it != firstWith.constEnd()) source[static_cast<size_t>(*it)] = i;
  }
  return source;
}

}  // namespace tw
