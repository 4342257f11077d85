#pragma once

#include "news/FoldedSearch.h"

#include <QString>
#include <QStringView>

namespace tw {

// The text between the first "<name>" and the first "</name>" of text, both
// found case-insensitively, trimmed of spaces; empty when either is missing or
// the first closing tag comes before the first opening one. Tags with
// attributes are therefore never found, and the first occurrence wins
// wherever it stands. The name is trimmed of spaces first.
QString GetTagText(const QString& tagName, QStringView text);

// GetTagText for one tag name, prepared once for many texts.
class TagSearch {
 public:
  explicit TagSearch(const QString& tagName);
  QString textIn(QStringView text) const;

 private:
  FoldedNeedle open_;
  FoldedNeedle close_;
};

// Without leading and trailing blanks (U+0020 only, not other white space).
QStringView TrimSpaces(QStringView text);

}  // namespace tw
