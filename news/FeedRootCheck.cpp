#include "news/FeedRootCheck.h"

namespace tw {
namespace {

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where the markup construct that opens at `at` ends (one past its close),
// or -1 when the document ends inside it.
qsizetype SkipConstruct(QByteArrayView doc, qsizetype at) {
  const auto past = [&](QByteArrayView open, QByteArrayView close) {
    const qsizetype end = doc.indexOf(close, at + open.size());
    return end < 0 ? -1 : end + close.size();
  };
  if (doc.sliced(at).startsWith("<?")) return past("<?", "?>");
  if (doc.sliced(at).startsWith("<!--")) return past("<!--", "-->");
  // A declaration (DOCTYPE), whose internal subset may hold '>' in brackets.
  int depth = 0;
  for (qsizetype i = at + 2; i < doc.size(); ++i) {
    if (doc[i] == '[') ++depth;
    if (doc[i] == ']') --depth;
    if (doc[i] == '>' && depth <= 0) return i + 1;
  }
  return -1;
}

}  // namespace

bool FeedRootIsClosed(QByteArrayView doc) {
  qsizetype at = doc.startsWith("\xEF\xBB\xBF") ? 3 : 0;
  while (at < doc.size() && IsXmlSpace(doc[at])) ++at;
  if (at >= doc.size() || doc[at] != '<') return true;

  // The prolog, then the root's start tag.
  while (at + 1 < doc.size() && (doc[at + 1] == '?' || doc[at + 1] == '!')) {
    at = SkipConstruct(doc, at);
    if (at < 0) return false;
    while (at < doc.size() && IsXmlSpace(doc[at])) ++at;
    if (at >= doc.size()) return false;
    if (doc[at] != '<') return true;
  }
  qsizetype nameEnd = at + 1;
  while (nameEnd < doc.size() && !IsXmlSpace(doc[nameEnd]) && doc[nameEnd] != '>' && doc[nameEnd] != '/') ++nameEnd;
  const QByteArrayView name = doc.sliced(at + 1, nameEnd - at - 1);
  const qsizetype startEnd = doc.indexOf('>', nameEnd);
  if (name.isEmpty() || startEnd < 0) return false;
  if (doc[startEnd - 1] == '/') return true;

  // From the end: white space, comments and processing instructions, then
  // "</name>" (white space allowed before the '>').
  qsizetype end = doc.size();
  for (;;) {
    while (end > startEnd && IsXmlSpace(doc[end - 1])) --end;
    const QByteArrayView head = doc.first(end);
    qsizetype open = -1;
    if (head.endsWith("-->")) {
      open = head.lastIndexOf("<!--");
    } else if (head.endsWith("?>")) {
      open = head.lastIndexOf("<?");
    }
    if (open <= startEnd) break;
    end = open;
  }
  if (end <= startEnd || doc[end - 1] != '>') return false;
  --end;
  while (end > startEnd && IsXmlSpace(doc[end - 1])) --end;
  const QByteArrayView head = doc.first(end);
  return head.endsWith(name) && doc.first(end - name.size()).endsWith("</");
}

}  // namespace tw
