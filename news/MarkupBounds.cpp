#include "MarkupBounds.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace tw {
namespace {

bool IsNameStart(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsNameChar(QChar c) { return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u':'; }

bool IsOneOf(const QString& name, std::initializer_list<const char16_t*> names) {
  return std::any_of(names.begin(), names.end(), [&](const char16_t* n) { return name == QStringView(n); });
}

// Elements that never hold content.
bool IsVoid(const QString& name) {
  return IsOneOf(name, {u"area", u"base", u"br", u"col", u"embed", u"hr", u"img", u"input", u"link", u"meta",
                        u"param", u"source", u"track", u"wbr"});
}
// Elements whose content is text up to their own end tag.
bool IsRawText(const QString& name) {
  return IsOneOf(name, {u"script", u"style", u"textarea", u"title", u"xmp", u"noembed", u"noframes"});
}
bool IsFrame(const QString& name) { return IsOneOf(name, {u"iframe", u"frame", u"frameset"}); }
// A start tag of these ends an open one of the same name: unclosed
// paragraphs, list items and cells are ordinary markup, not nesting.
bool EndsItsSibling(const QString& name) {
  return IsOneOf(name, {u"p", u"li", u"dt", u"dd", u"tr", u"td", u"th", u"option"});
}

// Just past the ">" of the tag that starts at from, honouring quoted
// attribute values; -1 when the tag never ends.
qsizetype TagEnd(QStringView s, qsizetype from) {
  for (qsizetype i = from + 1; i < s.size(); ++i) {
    if (s[i] == u'>') return i + 1;
    if (s[i] != u'=') continue;
    qsizetype j = i + 1;
    while (j < s.size() && s[j].isSpace()) ++j;
    if (j < s.size() && (s[j] == u'"' || s[j] == u'\'')) {
      i = s.indexOf(s[j], j + 1);
      if (i < 0) return -1;
    }
  }
  return -1;
}

// Where the end tag of the named element starts at or after from; -1 if none.
qsizetype EndTagAt(QStringView s, qsizetype from, const QString& name) {
  for (qsizetype at = s.indexOf(u"</", from); at >= 0; at = s.indexOf(u"</", at + 2)) {
    const QStringView rest = s.sliced(at + 2);
    if (rest.startsWith(name, Qt::CaseInsensitive) &&
        (rest.size() == name.size() || !IsNameChar(rest[name.size()]))) {
      return at;
    }
  }
  return -1;
}

// Element names in nesting order, with a count per name so that an end tag
// whose element is not in it costs nothing to look for.
class ElementStack {
 public:
  qsizetype size() const { return static_cast<qsizetype>(names_.size()); }
  const QString* top() const { return names_.empty() ? nullptr : &names_.back(); }
  void push(const QString& name) {
    names_.push_back(name);
    ++counts_[name];
  }
  void pop() {
    --counts_[names_.back()];
    names_.pop_back();
  }
  // Closes the innermost element of that name and every one inside it.
  bool close(const QString& name) {
    if (counts_.value(name) <= 0) return false;
    while (names_.back() != name) pop();
    pop();
    return true;
  }

 private:
  std::vector<QString> names_;
  QHash<QString, int> counts_;
};

}  // namespace

QString BoundMarkup(QStringView s, MarkupBounds* bounds) {
  MarkupBounds local;
  MarkupBounds& b = bounds ? *bounds : local;
  b = {};
  QString out;
  out.reserve(std::min(s.size(), kMaxMarkupChars));
  const auto put = [&](QStringView piece) {
    if (out.size() + piece.size() > kMaxMarkupChars) {
      b.cut = true;
      return false;
    }
    out += piece;
    return true;
  };

  ElementStack open;
  // Start tags left out for their depth: deeper than everything open, so
  // end tags find them first.
  ElementStack tooDeep;
  qsizetype i = 0;
  while (i < s.size()) {
    const qsizetype lt = s.indexOf(u'<', i);
    const qsizetype textEnd = lt < 0 ? s.size() : lt;
    if (!put(s.sliced(i, textEnd - i))) break;
    if (lt < 0) break;
    i = lt;

    if (s.sliced(i).startsWith(u"<!--")) {
      const qsizetype end = s.indexOf(u"-->", i + 4);
      const qsizetype next = end < 0 ? s.size() : end + 3;
      if (!put(s.sliced(i, next - i))) break;
      i = next;
      continue;
    }
    // A "<" that opens no tag is text, as the browser reads it.
    const QChar next = i + 1 < s.size() ? s[i + 1] : QChar();
    if (!IsNameStart(next) && next != u'/' && next != u'!' && next != u'?') {
      if (!put(u"<")) break;
      ++i;
      continue;
    }
    const qsizetype close = TagEnd(s, i);
    if (close < 0) {
      put(s.sliced(i));
      break;
    }
    const QStringView tag = s.sliced(i, close - i);
    i = close;
    const bool isEnd = tag.size() > 2 && tag[1] == u'/';
    const qsizetype nameStart = isEnd ? 2 : 1;
    qsizetype nameEnd = nameStart;
    while (nameEnd < tag.size() && IsNameChar(tag[nameEnd])) ++nameEnd;
    if (nameEnd == nameStart || !IsNameStart(tag[nameStart])) {
      // <!doctype>, <?xml ...?> and the like.
      if (!put(tag)) break;
      continue;
    }
    const QString name = tag.sliced(nameStart, nameEnd - nameStart).toString().toLower();

    if (IsFrame(name)) {
      if (isEnd) continue;
      ++b.framesDropped;
      if (name == QLatin1String("iframe")) {
        // Its content goes with it (the srcdoc is an attribute, gone already).
        const qsizetype end = EndTagAt(s, i, name);
        const qsizetype endClose = end < 0 ? -1 : TagEnd(s, end);
        i = endClose < 0 ? s.size() : endClose;
      }
      continue;
    }
    if (isEnd) {
      if (tooDeep.close(name)) continue;
      open.close(name);
      if (!put(tag)) break;
      continue;
    }
    if (IsVoid(name) || tag.endsWith(u"/>")) {
      if (!put(tag)) break;
      continue;
    }
    if (tooDeep.size() == 0 && EndsItsSibling(name) && open.top() && *open.top() == name) open.pop();
    if (tooDeep.size() > 0 || open.size() >= kMaxMarkupDepth) {
      ++b.tagsTooDeep;
      tooDeep.push(name);
      continue;
    }
    open.push(name);
    if (!put(tag)) break;
    if (IsRawText(name)) {
      const qsizetype end = EndTagAt(s, i, name);
      const qsizetype stop = end < 0 ? s.size() : end;
      if (!put(s.sliced(i, stop - i))) break;
      i = stop;
    }
  }
  return out;
}

}  // namespace tw
