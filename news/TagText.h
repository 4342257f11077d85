#pragma once

#include "news/FoldedSearch.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

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

  const FoldedNeedle& opening() const { return open_; }
  const FoldedNeedle& closing() const { return close_; }
  // The text, given where the first opening and closing tags are (-1: none).
  QString textBetween(QStringView text, qsizetype open, qsizetype close) const;

 private:
  FoldedNeedle open_;
  FoldedNeedle close_;
};

// GetTagText for several tag names at once: the text is walked once for all
// of them, not once a name.
class TagSetSearch {
 public:
  explicit TagSetSearch(const QStringList& tagNames);
  // In the order of the names.
  QStringList textsIn(QStringView text) const;

 private:
  std::vector<TagSearch> tags_;
  qsizetype longest_ = 0;
};

// Without leading and trailing blanks (U+0020 only, not other white space).
QStringView TrimSpaces(QStringView text);

}  // namespace tw
