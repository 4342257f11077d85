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
  // each is at one of the text's '<', taken in order, where every tag is
  // compared.
  const size_t count = tags_.size();
  QVarLengthArray<qsizetype, 16> opens(static_cast<qsizetype>(count), -1);
  QVarLengthArray<qsizetype, 16> closes(static_cast<qsizetype>(count), -1);
  size_t missing = 2 * count;
  QVarLengthArray<char16_t, 64> folded(longest_);
  for (qsizetype at = text.indexOf(u'<'); at >= 0 && missing > 0; at = text.indexOf(u'<', at + 1)) {
    const qsizetype reach = std::min(longest_, text.size() - at);
    // The text is folded from the '<' only as far as some tag needs: the
    // character after '<' (or after "</") rules out most tags at once.
    qsizetype foldedTo = 0;
    const auto isAt = [&](const FoldedNeedle& tag, qsizetype letter) {
      if (tag.size() > reach) return false;
      for (; foldedTo <= letter; ++foldedTo) folded[foldedTo] = FoldChar(text[at + foldedTo].unicode());
      if (folded[letter] != tag.text()[letter]) return false;
      for (; foldedTo < tag.size(); ++foldedTo) folded[foldedTo] = FoldChar(text[at + foldedTo].unicode());
      return std::memcmp(folded.constData(), tag.text().constData(), static_cast<size_t>(tag.size()) * 2) == 0;
    };
    for (size_t i = 0; i < count; ++i) {
      if (opens[static_cast<qsizetype>(i)] < 0 && isAt(tags_[i].opening(), 1)) {
        opens[static_cast<qsizetype>(i)] = at;
        --missing;
      }
      if (closes[static_cast<qsizetype>(i)] < 0 && isAt(tags_[i].closing(), 2)) {
        closes[static_cast<qsizetype>(i)] = at;
        --missing;
      }
    }
  }
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(count));
  for (size_t i = 0; i < count; ++i) texts << tags_[i].textBetween(text, opens[static_cast<qsizetype>(i)], closes[static_cast<qsizetype>(i)]);
  return texts;
}

QString GetTagText(const QString& tagName, QStringView text) { return TagSearch(tagName).textIn(text); }

}  // namespace tw
