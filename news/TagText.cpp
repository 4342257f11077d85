#include "TagText.h"

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
  if (open < 0) return {};
  const qsizetype close = close_.indexIn(text);
  if (close < 0) return {};
  const qsizetype start = open + open_.size();
  if (close < start) return {};
  return TrimSpaces(text.sliced(start, close - start)).toString();
}

QString GetTagText(const QString& tagName, QStringView text) { return TagSearch(tagName).textIn(text); }

}  // namespace tw
