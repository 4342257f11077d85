#include "Entities.h"

#include "core/Windows1252.h"

#include <cstring>
#include <vector>

namespace tw {
namespace {

// Every reference starts with '&', ends with ';' and holds neither anywhere
// else, so no reference is a suffix of another and none overlaps itself.
// Replacing them one kind at a time is then the same as a single left-to-right
// pass that, whenever its output ends in ';', replaces the reference spelled
// there, provided every character of it already existed when that kind's turn
// came: an original character, or the product of an earlier turn. A product
// of a later turn means the reference did not exist yet when its turn came.
// Each character therefore carries the turn that produced it (0: original).
//
// Turns: the named references 1..6, then &#033; .. &#255; as 7..229.
constexpr quint8 kTurnLt = 1;
constexpr quint8 kTurnGt = 2;
constexpr quint8 kTurnAmp = 3;
constexpr quint8 kTurnApos = 4;
constexpr quint8 kTurnQuot = 5;
constexpr quint8 kTurnPound = 6;
constexpr int kFirstNumeric = 33;
constexpr int kLastNumeric = 255;
constexpr quint8 NumericTurn(int n) { return static_cast<quint8>(7 + n - kFirstNumeric); }

struct Reference {
  int length = 0;  // 0: none
  quint8 turn = 0;
  QChar replacement;
};

bool Is(const QChar* s, const char* ascii) {
  for (int i = 0; ascii[i]; ++i) {
    if (s[i].unicode() != static_cast<unsigned char>(ascii[i])) return false;
  }
  return true;
}

bool IsDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

// The reference that the last `end` characters of out finish with, if any.
Reference ReferenceEndingAt(const QChar* out, qsizetype end) {
  if (end >= 4) {
    const QChar* s = out + end - 4;
    if (Is(s, "&lt;")) return {4, kTurnLt, u'<'};
    if (Is(s, "&gt;")) return {4, kTurnGt, u'>'};
  }
  if (end >= 5 && Is(out + end - 5, "&amp;")) return {5, kTurnAmp, u'&'};
  if (end >= 6) {
    const QChar* s = out + end - 6;
    if (Is(s, "&apos;")) return {6, kTurnApos, u'\''};
    if (Is(s, "&quot;")) return {6, kTurnQuot, u'"'};
    if (s[0] == u'&' && s[1] == u'#' && IsDigit(s[2]) && IsDigit(s[3]) && IsDigit(s[4])) {
      const int n = (s[2].unicode() - u'0') * 100 + (s[3].unicode() - u'0') * 10 + (s[4].unicode() - u'0');
      if (n >= kFirstNumeric && n <= kLastNumeric) return {6, NumericTurn(n), Windows1252Char(n)};
    }
  }
  if (end >= 7 && Is(out + end - 7, "&pound;")) return {7, kTurnPound, QChar(0x00A3)};
  return {};
}

// The output characters that replacements produced, with their turns, in
// output order; every other output character is original. Characters the
// output drops again are dropped here too, so lookups stay at the back.
class Products {
 public:
  // Whether every output character in [start, end) existed before the turn.
  bool allBefore(qsizetype start, qsizetype end, quint8 turn) const {
    for (auto it = entries_.rbegin(); it != entries_.rend() && it->position >= start; ++it) {
      if (it->position < end && it->turn >= turn) return false;
    }
    return true;
  }
  // [start, ...) of the output was replaced by one character made in turn.
  void replaced(qsizetype start, quint8 turn) {
    while (!entries_.empty() && entries_.back().position >= start) entries_.pop_back();
    entries_.push_back({start, turn});
    if (entries_.size() >= 2 * kReach) forgetBefore(start - static_cast<qsizetype>(kReach));
  }

 private:
  // How far back a lookup can still reach. A replacement can only reach into
  // older output through a character that an earlier replacement made and
  // that now becomes part of a later reference; the turns along such a chain
  // rise strictly and only 14 turns make '&', '#', digits or ';', so the
  // output never goes back more than some 90 characters. Products further
  // behind are forgotten, which keeps this list short.
  static constexpr size_t kReach = 4096;

  void forgetBefore(qsizetype position) {
    size_t keep = 0;
    while (keep < entries_.size() && entries_[keep].position < position) ++keep;
    entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(keep));
  }

  struct Entry {
    qsizetype position;
    quint8 turn;
  };
  std::vector<Entry> entries_;
};

}  // namespace

void DecodeEntitiesInPlace(QString& text) {
  const qsizetype size = text.size();
  if (text.indexOf(u'&') < 0) return;
  QChar* buf = text.data();
  Products products;
  qsizetype w = 0;  // output end; never ahead of r, so the text is rewritten in place
  qsizetype r = 0;
  while (r < size) {
    const qsizetype semi = text.indexOf(u';', r);
    const qsizetype stop = semi < 0 ? size : semi + 1;
    const qsizetype run = stop - r;
    if (w != r) std::memmove(static_cast<void*>(buf + w), buf + r, static_cast<size_t>(run) * sizeof(QChar));
    w += run;
    r = stop;
    if (semi < 0) break;
    // The output ends in ';': replace what it finishes, and again while a
    // replacement itself yields the ';' of an enclosing reference.
    for (;;) {
      const Reference ref = ReferenceEndingAt(buf, w);
      if (ref.length == 0) break;
      const qsizetype start = w - ref.length;
      if (!products.allBefore(start, w, ref.turn)) break;
      buf[start] = ref.replacement;
      products.replaced(start, ref.turn);
      w = start + 1;
      if (ref.replacement != u';') break;
    }
  }
  text.truncate(w);
}

QString DecodeEntities(const QString& text) {
  QString out = text;
  DecodeEntitiesInPlace(out);
  return out;
}

}  // namespace tw
