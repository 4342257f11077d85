#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <utility>
#include <vector>

namespace tw {

// The raw item texts of one parsed feed, in document order: pieces of the
// decoded document, which they share rather than copy (neighbouring pieces
// overlap by one character).
class ItemTexts {
 public:
  ItemTexts() = default;
  // Separate texts, as tests and callers without a document have them.
  explicit ItemTexts(const QStringList& texts);
  // Pieces [start, start + length) of document.
  ItemTexts(QString document, std::vector<std::pair<qsizetype, qsizetype>> pieces);

  qsizetype size() const { return static_cast<qsizetype>(pieces_.size()); }
  bool isEmpty() const { return pieces_.empty(); }
  // 0-based.
  QStringView at(qsizetype index) const;
  QStringList toStringList() const;

 private:
  QString document_;
  std::vector<std::pair<qsizetype, qsizetype>> pieces_;
};

}  // namespace tw
