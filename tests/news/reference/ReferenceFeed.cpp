#include "ReferenceFeed.h"

#include "core/Windows1252.h"

namespace tw::reference {

QString Lower(const QString& text) {
  QString out = text;
  for (QChar& c : out) c = QChar(QChar::toLower(c.unicode()));
  return out;
}

QString DecodeEntities(const QString& text) {
  QString out = text;
  out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
  out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
  out.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
  out.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
  out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
  out.replace(QStringLiteral("&pound;"), QStringLiteral("\u00a3"));
  for (int n = 33; n <= 255; ++n) {
    out.replace(QStringLiteral("&#%1;").arg(n, 3, 10, QLatin1Char('0')), QString(Windows1252Char(n)));
  }
  return out;
}

QString DecodeUtf8(const QString& text) {
  if (text.isEmpty()) return {};
  const QByteArray bytes = EncodeWindows1252(text);
  const QByteArray upToZero(bytes.constData());  // the bytes as a zero-terminated string
  return QString::fromUtf8(upToZero);
}

namespace {
QString TrimBlanks(const QString& text) {
  qsizetype b = 0;
  qsizetype e = text.size();
  while (b < e && text[b] == u' ') ++b;
  while (e > b && text[e - 1] == u' ') --e;
  return text.mid(b, e - b);
}
}  // namespace

QString GetTagText(const QString& tagName, const QString& text) {
  const QString lowerText = Lower(text);
  const QString name = Lower(TrimBlanks(tagName));
  const QString open = u'<' + name + u'>';
  const QString close = QStringLiteral("</") + name + u'>';
  if (!lowerText.contains(open) || !lowerText.contains(close)) return {};
  const qsizetype start = lowerText.indexOf(open) + open.size();
  const qsizetype end = lowerText.indexOf(close);
  if (end < start) return {};
  return TrimBlanks(text.mid(start, end - start));
}

Feed ParseFeedText(const QByteArray& bytes, int maxItems) {
  Feed feed;
  QString doc = DecodeWindows1252(bytes);
  QString itemStart = QStringLiteral("<item>");
  if (Lower(doc).contains(QStringLiteral("<item rdf"))) {
    itemStart = QStringLiteral("<item rdf");
    feed.rdf = true;
  }
  if (Lower(doc).contains(QStringLiteral("encoding=\"utf-8"))) {
    doc = DecodeUtf8(doc);
  } else {
    doc.replace(QChar(0), QChar(0xFFFD));
  }
  doc = DecodeEntities(doc);
  const QString itemEnd = QStringLiteral("</item>");
  if (!(Lower(doc).contains(itemStart) && Lower(doc).contains(itemEnd))) return feed;
  feed.hasItemTags = true;

  QString header = doc.left(Lower(doc).indexOf(itemStart));
  const QString lowerHeader = Lower(header);
  const qsizetype imageAt = lowerHeader.indexOf(QStringLiteral("<image>"));
  const qsizetype imageEndAt = imageAt < 0 ? -1 : lowerHeader.indexOf(QStringLiteral("</image>"), imageAt);
  if (imageEndAt >= 0) {
    const QString block = header.mid(imageAt, imageEndAt - imageAt + 8);
    header.replace(block, QString());
    feed.hasImage = true;
    for (const char* tag : {"title", "url", "link", "description", "width", "height"}) {
      feed.image << GetTagText(QString::fromLatin1(tag), block);
    }
  }
  for (const char* tag : {"title", "link", "description", "lastbuilddate"}) {
    feed.channel << GetTagText(QString::fromLatin1(tag), header);
  }

  doc = doc.mid(Lower(doc).indexOf(itemStart));
  while (Lower(doc).contains(itemStart)) {
    const qsizetype p = Lower(doc).indexOf(itemEnd) + 1;  // 1-based, 0 when missing
    if (p == 0) {
      // Without a "</item>" no item can be cut; the rest is left out.
      feed.unterminatedItem = true;
      break;
    }
    if (feed.items.size() == maxItems) {
      feed.tooManyItems = true;
      break;
    }
    const QString item = doc.left(p + 7);
    feed.items << item;
    doc = doc.mid(item.size() - 1);
  }
  return feed;
}

std::vector<qsizetype> MatchCachedItems(const QStringList& parsed, const QStringList& stored) {
  std::vector<qsizetype> source(static_cast<size_t>(parsed.size()), -1);
  for (qsizetype i = 0; i < stored.size(); ++i) {
    for (qsizetype j = 0; j < parsed.size(); ++j) {
      if (parsed[j] == stored[i]) {
        source[static_cast<size_t>(j)] = i;
        break;
      }
    }
  }
  return source;
}

}  // namespace tw::reference
