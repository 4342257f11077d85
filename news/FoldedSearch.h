#pragma once

#include <QString>
#include <QStringView>

namespace tw {

// How feed text is lower-cased for tag searches: character by character
// (UTF-16 unit by unit), so that a position in the lower-cased text is the
// same position in the original.
inline char16_t FoldChar(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  return QChar::toLower(c);
}

// FoldChar over the whole text.
QString FoldText(QStringView text);

// A search text, lower-cased and prepared for searching many times: it finds
// where the lower-cased haystack holds it without lower-casing the haystack.
class FoldedNeedle {
 public:
  explicit FoldedNeedle(const QString& text);

  const QString& text() const { return needle_; }
  qsizetype size() const { return needle_.size(); }

  // First position >= from where FoldText(haystack) holds the lower-cased
  // needle; -1 if none.
  qsizetype indexIn(QStringView haystack, qsizetype from = 0) const;
  bool isIn(QStringView haystack) const { return indexIn(haystack) >= 0; }

 private:
  bool matchesAt(QStringView haystack, qsizetype start) const;

  QString needle_;
  // A character of the needle that only it lower-cases to (punctuation,
  // digits): found with a plain character search, then the rest is checked.
  qsizetype anchor_ = -1;
};

}  // namespace tw
