#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tw {

// An item's identity: its title followed directly by its link, compared
// exactly. Parsed texts are taken in the form the store gives them back
// (characters outside the code page become '?', text ends at a NUL), so an
// item that was stored matches itself when it comes again.
QString ParsedIdentity(const QString& title, const QString& link);
QString StoredTextForm(const QString& text);

// For each parsed item j, the cached item whose status it takes over, or -1.
// Each cached item i passes its status to the first parsed item with the same
// identity; when several cached items match the same parsed item, the last
// one wins. Hashes the identities: linear, not parsed x cached comparisons.
std::vector<qsizetype> MatchCachedItems(const QStringList& parsed, const QStringList& stored);

}  // namespace tw
