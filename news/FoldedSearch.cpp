#include "FoldedSearch.h"

namespace tw {

QString FoldText(QStringView text) {
  QString out(text.size(), Qt::Uninitialized);
  QChar* o = out.data();
  for (qsizetype i = 0; i < text.size(); ++i) o[i] = QChar(FoldChar(text[i].unicode()));
  return out;
}

FoldedNeedle::FoldedNeedle(const QString& text) : needle_(FoldText(text)) {
  for (qsizetype i = 0; i < needle_.size(); ++i) {
    const char16_t c = needle_[i].unicode();
    // No other character lower-cases to an ASCII character that is not a letter.
    if (c < 0x80 && !(c >= u'a' && c <= u'z')) {
      anchor_ = i;
      break;
    }
  }
}

bool FoldedNeedle::matchesAt(QStringView haystack, qsizetype start) const {
  const QChar* h = haystack.data() + start;
  const QChar* n = needle_.constData();
  for (qsizetype j = 0; j < needle_.size(); ++j) {
    if (FoldChar(h[j].unicode()) != n[j].unicode()) return false;
  }
  return true;
}

qsizetype FoldedNeedle::indexIn(QStringView haystack, qsizetype from) const {
  const qsizetype m = needle_.size();
  const qsizetype last = haystack.size() - m;  // last possible start
  if (from < 0) from = 0;
  if (m == 0) return from <= haystack.size() ? from : -1;
  if (from > last) return -1;
  if (anchor_ < 0) {
    for (qsizetype s = from; s <= last; ++s) {
      if (matchesAt(haystack, s)) return s;
    }
    return -1;
  }
  const QChar anchor = needle_[anchor_];
  qsizetype pos = from + anchor_;
  for (;;) {
    pos = haystack.indexOf(anchor, pos);
    if (pos < 0) return -1;
    const qsizetype start = pos - anchor_;
    if (start > last) return -1;
    if (matchesAt(haystack, start)) return start;
    ++pos;
  }
}

}  // namespace tw
