#include "TagText.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

namespace tw {

QStringView TrimSpaces(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == u' ') ++begin;
  while (end > begin && text[end - 1] == u' ') --end;
  return text.sliced(begin, end - begin);
}

TagSearch::TagSearch(const QString& tagName)
    : open_(u'<' + TrimSpaces(tagName) + u'>'), close_(QStringLiteral("</") + TrimSpaces(tagName) + u'>') {}

QString TagSearch::textIn(QStringView text) const {
  const qsizetype open = open_.indexIn(text);
  return open < 0 ? QString() : textBetween(text, open, close_.indexIn(text));
}

QString TagSearch::textBetween(QStringView text, qsizetype open, qsizetype close) const {
  if (open < 0 || close < 0) return {};
  const qsizetype start = open + open_.size();
  if (close < start) return {};
  return TrimSpaces(text.sliced(start, close - start)).toString();
}

TagSetSearch::TagSetSearch(const QStringList& tagNames) {
  tags_.reserve(static_cast<size_t>(tagNames.size()));
  for (const QString& name : tagNames) {
    tags_.emplace_back(name);
    longest_ = std::max(longest_, tags_.back().closing().size());
  }
}

QStringList TagSetSearch::textsIn(QStringView text) const {
  // Every tag starts with '<', which only '<' folds to: the first place of
  // each is at one of the text's '<', taken in order. There the text is
  // folded once, as far as the longest tag reaches, and every tag compared.
  const size_t count = tags_.size();
  std::vector<qsizetype> opens(count, -1);
  std::vector<qsizetype> closes(count, -1);
  size_t missing = 2 * count;
  QVarLengthArray<char16_t, 64> folded(longest_);
  // Every tag is at least "<x>": the character after '<' (or after "</")
  // rules out most tags before a whole comparison.
  const auto isAt = [&folded](const FoldedNeedle& tag, qsizetype reach, qsizetype letter) {
    return tag.size() <= reach && folded[letter] == tag.text()[letter] &&
           std::memcmp(folded.constData(), tag.text().constData(), static_cast<size_t>(tag.size()) * 2) == 0;
  };
  for (qsizetype at = text.indexOf(u'<'); at >= 0 && missing > 0; at = text.indexOf(u'<', at + 1)) {
    const qsizetype reach = std::min(longest_, text.size() - at);
    for (qsizetype k = 0; k < reach; ++k) folded[k] = FoldChar(text[at + k].unicode());
    for (size_t i = 0; i < count; ++i) {
      if (opens[i] < 0 && isAt(tags_[i].opening(), reach, 1)) {
        opens[i] = at;
        --missing;
      }
      if (closes[i] < 0 && isAt(tags_[i].closing(), reach, 2)) {
        closes[i] = at;
        --missing;
      }
    }
  }
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(count));
  for (size_t i = 0; i < count; ++i) texts << tags_[i].textBetween(text, opens[i], closes[i]);
  return texts;
}

QString GetTagText(const QString& tagName, QStringView text) { return TagSearch(tagName).textIn(text); }

}  // namespace tw
