#include "MarkupPrepass.h"

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

bool IsVoid(const QString& name) {
  return IsOneOf(name, {u"area", u"base", u"br", u"col", u"embed", u"hr", u"img", u"input", u"link", u"meta",
                        u"param", u"source", u"track", u"wbr", u"frame", u"keygen", u"basefont", u"bgsound"});
}
// Elements whose content is text up to their own end tag.
bool IsRawText(const QString& name) {
  return IsOneOf(name, {u"script", u"style", u"textarea", u"title", u"xmp", u"iframe", u"noembed", u"noframes"});
}
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

// Leaves out the start tags nested deeper than maxDepth, and their end tags.
QString FlattenDeepTags(QStringView s, int maxDepth, int* removed) {
  QString out;
  out.reserve(s.size());
  ElementStack open;
  // Start tags left out for their depth: deeper than everything open, so
  // end tags find them first.
  ElementStack tooDeep;
  qsizetype i = 0;
  while (i < s.size()) {
    const qsizetype lt = s.indexOf(u'<', i);
    if (lt < 0) break;
    out += s.sliced(i, lt - i);
    i = lt;
    if (s.sliced(i).startsWith(u"<!--")) {
      const qsizetype end = s.indexOf(u"-->", i + 4);
      const qsizetype next = end < 0 ? s.size() : end + 3;
      out += s.sliced(i, next - i);
      i = next;
      continue;
    }
    const QChar next = i + 1 < s.size() ? s[i + 1] : QChar();
    if (!IsNameStart(next) && next != u'/') {
      out += u'<';
      ++i;
      continue;
    }
    const qsizetype close = TagEnd(s, i);
    if (close < 0) break;  // a tag that never ends: the rest is its own
    const QStringView tag = s.sliced(i, close - i);
    i = close;
    const bool isEnd = tag[1] == u'/';
    const qsizetype nameStart = isEnd ? 2 : 1;
    qsizetype nameEnd = nameStart;
    while (nameEnd < tag.size() && IsNameChar(tag[nameEnd])) ++nameEnd;
    const QString name = tag.sliced(nameStart, nameEnd - nameStart).toString().toLower();
    if (isEnd) {
      if (!name.isEmpty() && tooDeep.close(name)) continue;
      open.close(name);
      out += tag;
      continue;
    }
    if (IsVoid(name) || tag.endsWith(u"/>")) {
      out += tag;
      continue;
    }
    if (tooDeep.size() == 0 && EndsItsSibling(name) && open.top() && *open.top() == name) open.pop();
    if (tooDeep.size() > 0 || open.size() >= maxDepth) {
      ++*removed;
      tooDeep.push(name);
      continue;
    }
    open.push(name);
    out += tag;
    if (name == QLatin1String("plaintext")) break;
    if (IsRawText(name)) {
      const qsizetype end = EndTagAt(s, i, name);
      const qsizetype stop = end < 0 ? s.size() : end;
      out += s.sliced(i, stop - i);
      i = stop;
    }
  }
  out += s.sliced(std::min(i, s.size()));
  return out;
}

}  // namespace

QString PrepareMarkupForParse(QStringView markup, qsizetype maxChars, int maxTags, int maxDepth,
                              PrepassCuts* cuts) {
  *cuts = {};
  QString flat = FlattenDeepTags(markup, maxDepth, &cuts->tagsTooDeep);
  if (flat.size() > maxChars) {
    cuts->cut = true;
    flat.truncate(flat[maxChars - 1].isHighSurrogate() ? maxChars - 1 : maxChars);
  }
  // Every start tag the parser can see begins with "<" and a letter; past
  // maxTags of them the rest goes, whatever the scan above made of them.
  int tags = 0;
  for (qsizetype i = 0; i + 1 < flat.size(); ++i) {
    if (flat[i] != u'<' || !IsNameStart(flat[i + 1])) continue;
    if (++tags > maxTags) {
      cuts->cut = true;
      flat.truncate(i);
      break;
    }
  }
  return flat;
}

}  // namespace tw
