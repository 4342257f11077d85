#include "FeedDocument.h"

#include "core/Windows1252.h"
#include "news/Entities.h"
#include "news/FoldedSearch.h"
#include "news/TagText.h"
#include "news/Utf8.h"

#include <cstring>
#include <vector>

namespace tw {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Whether the bytes hold the lower-case ASCII needle in any letter case. The
// needle's first character that is no letter is looked for as it is.
bool ContainsAsciiCaseless(QByteArrayView bytes, const char* needle) {
  const qsizetype m = static_cast<qsizetype>(std::strlen(needle));
  qsizetype anchor = 0;
  while (anchor < m && needle[anchor] >= 'a' && needle[anchor] <= 'z') ++anchor;
  Q_ASSERT(anchor < m);
  // Also keeps the pointer arithmetic below off an empty document's null data.
  if (bytes.size() < m) return false;
  const char* data = bytes.data();
  const char* end = data + bytes.size();
  for (const char* p = data + anchor; p < end;) {
    p = static_cast<const char*>(std::memchr(p, needle[anchor], static_cast<size_t>(end - p)));
    if (!p) return false;
    const char* start = p - anchor;
    if (start + m > end) return false;
    qsizetype j = 0;
    while (j < m && AsciiLower(start[j]) == needle[j]) ++j;
    if (j == m) return true;
    ++p;
  }
  return false;
}

const FoldedNeedle& ImageOpen() {
  static const FoldedNeedle needle(QStringLiteral("<image>"));
  return needle;
}
const FoldedNeedle& ImageClose() {
  static const FoldedNeedle needle(QStringLiteral("</image>"));
  return needle;
}

// The header without every copy of its image block (the text from the first
// "<image>" through the first "</image>" after it), as a plain
// replace-by-nothing gives it. A copy starts at an "<image>" and, holding
// "</image>" only at its end, ends at the first "</image>" after that start;
// so each "</image>" ends at most one candidate, the candidates do not
// overlap, and checking them is linear without any table.
QString WithoutBlock(QStringView header, qsizetype blockStart, qsizetype blockLength) {
  const FoldedNeedle& imageOpen = ImageOpen();
  const FoldedNeedle& imageClose = ImageClose();
  const QStringView block = header.sliced(blockStart, blockLength);
  QString out;
  out.reserve(header.size() - blockLength);
  qsizetype kept = 0;  // header before this is in out or removed
  qsizetype close = -1;
  for (qsizetype start = blockStart; start >= 0;) {
    if (close < start) close = imageClose.indexIn(header, start);
    if (close < 0) break;
    qsizetype next = start + 1;
    if (close + imageClose.size() - start == blockLength && header.sliced(start, blockLength) == block) {
      out += header.sliced(kept, start - kept);
      kept = start + blockLength;
      next = kept;
    }
    start = imageOpen.indexIn(header, next);
  }
  out += header.sliced(kept);
  return out;
}

void ReadChannel(QStringView header, ChannelValues& channel) {
  const FoldedNeedle& imageOpen = ImageOpen();
  const FoldedNeedle& imageClose = ImageClose();
  QString withoutImage;
  const qsizetype open = imageOpen.indexIn(header);
  const qsizetype close = open < 0 ? -1 : imageClose.indexIn(header, open);
  if (close >= 0) {
    const QStringView block = header.sliced(open, close - open + imageClose.size());
    // Taken out wherever it occurs, so that the image's title, link and
    // description never become the channel's.
    withoutImage = WithoutBlock(header, open, block.size());
    header = withoutImage;
    channel.hasImage = true;
    channel.imageTitle = GetTagText(QStringLiteral("title"), block);
    channel.imageUrl = GetTagText(QStringLiteral("url"), block);
    channel.imageLink = GetTagText(QStringLiteral("link"), block);
    channel.imageDescription = GetTagText(QStringLiteral("description"), block);
    channel.imageWidth = GetTagText(QStringLiteral("width"), block);
    channel.imageHeight = GetTagText(QStringLiteral("height"), block);
  }
  channel.title = GetTagText(QStringLiteral("title"), header);
  channel.link = GetTagText(QStringLiteral("link"), header);
  channel.description = GetTagText(QStringLiteral("description"), header);
  channel.lastBuildDate = GetTagText(QStringLiteral("lastbuilddate"), header);
}

}  // namespace

QString DecodeFeedDocument(const QByteArray& bytes, bool* rdf) {
  // Both tests look at the text as read in the code page, before any
  // decoding. Only ASCII letters of that code page lower-case to ASCII, so
  // they can run on the bytes themselves.
  if (rdf) *rdf = ContainsAsciiCaseless(bytes, "<item rdf");
  QString text;
  if (ContainsAsciiCaseless(bytes, "encoding=\"utf-8")) {
    text = DecodeUtf8Bytes(bytes);
  } else {
    text = DecodeWindows1252(bytes);
    // A zero byte is no character of a feed, and the store could not keep
    // text past it.
    text.replace(QChar(u'\0'), QChar(QChar::ReplacementCharacter));
  }
  // Before any tag is searched: encoded markup becomes markup.
  DecodeEntitiesInPlace(text);
  return text;
}

ParsedFeed SplitFeed(const QByteArray& bytes) {
  static const FoldedNeedle rssStart(QStringLiteral("<item>"));
  static const FoldedNeedle rdfStart(QStringLiteral("<item rdf"));
  static const FoldedNeedle itemEnd(QStringLiteral("</item>"));

  ParsedFeed feed;
  const QString document = DecodeFeedDocument(bytes, &feed.rdf);
  const FoldedNeedle& itemStart = feed.rdf ? rdfStart : rssStart;
  const QStringView doc(document);

  const qsizetype first = itemStart.indexIn(doc);
  if (first < 0 || !itemEnd.isIn(doc)) return feed;
  feed.hasItemTags = true;
  ReadChannel(doc.first(first), feed.channel);

  // Each item ends one character past its "</item>", and the next one starts
  // at that same character.
  std::vector<std::pair<qsizetype, qsizetype>> pieces;
  qsizetype start = first;
  qsizetype nextItemStart = first;  // an item start tag at or after start
  for (;;) {
    if (nextItemStart < start) {
      nextItemStart = itemStart.indexIn(doc, start);
      if (nextItemStart < 0) break;
    }
    const qsizetype end = itemEnd.indexIn(doc, start);
    if (end < 0) {
      feed.unterminatedItem = true;
      break;
    }
    if (static_cast<qsizetype>(pieces.size()) == kMaxFeedItems) {
      feed.tooManyItems = true;
      break;
    }
    const qsizetype length = std::min(end + itemEnd.size() + 1, doc.size()) - start;
    pieces.emplace_back(start, length);
    start += length - 1;
  }
  feed.items = ItemTexts(document, std::move(pieces));
  return feed;
}

}  // namespace tw
