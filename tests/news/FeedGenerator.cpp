#include "FeedGenerator.h"

#include <QList>

#include <cctype>

namespace tw::test {

QByteArray FeedGenerator::randomCase(const QByteArray& text) {
  if (chance(60)) return text;
  QByteArray out = text;
  for (char& c : out) {
    if (chance(50)) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return out;
}

QByteArray FeedGenerator::openTag(const QByteArray& name) {
  if (chance(8)) return '<' + randomCase(name) + " lang=\"en\">";
  if (chance(3)) return '<' + randomCase(name) + ' ' + '>';
  // A Kelvin sign lower-cases to 'k'.
  if (name == "link" && chance(5)) return "<lin\xE2\x84\xAA>";
  return '<' + randomCase(name) + '>';
}

QByteArray FeedGenerator::closeTag(const QByteArray& name) {
  if (chance(6)) return {};
  return "</" + randomCase(name) + '>';
}

QByteArray FeedGenerator::content() {
  static const QList<QByteArray> pieces = {
      "News",
      "Xbox",
      "skin",
      " ",
      " ",
      "  ",
      "\n",
      "\t",
      "release 1.2",
      "http://x.org/a?b=1&c=2",
      "&amp;",
      "&lt;",
      "&gt;",
      "&quot;",
      "&apos;",
      "&pound;",
      "&#039;",
      "&#39;",
      "&#8217;",
      "&#x27;",
      "&nbsp;",
      "&amp;#039;",
      "&#038;#039;",
      "&#038;#035;",
      "&amp;lt;",
      "&amp;amp;",
      "&amp;quot;",
      "&#&#049;00;",
      "&#100&#059;",
      "&#0&#052;0;",
      "&lt;/item&gt;",
      "&lt;title&gt;T&lt;/title&gt;",
      "&lt;item&gt;",
      "&#060;link&#062;",
      "&lt;image&gt;",
      "<b>bold</b>",
      "<![CDATA[x < y]]>",
      "\xE9t\xE9",
      "\xC3\xA9t\xC3\xA9",
      "\xC4\xB0",
      "\xE2\x84\xAA",
      "\xE2\x80\x99",
      "\xC3",
      "\xFF\xFE",
      "\x80\x81",
      QByteArray(1, '\0'),
      "encoding=\"utf-8\"",
      "ITEM",
      "</ITEM>",
      "<item>",
      "</item>",
      "<title>",
      "</title>",
      "<item rdf:about=\"x\">",
  };
  QByteArray out;
  for (int n = below(6); n > 0; --n) out += pieces[below(static_cast<int>(pieces.size()))];
  return out;
}

QByteArray FeedGenerator::element(const QByteArray& name) {
  return openTag(name) + content() + closeTag(name) + (chance(50) ? "\n" : "");
}

QByteArray FeedGenerator::imageBlock() {
  QByteArray block = openTag("image");
  for (const char* tag : {"title", "url", "link", "description", "width", "height"}) {
    if (chance(70)) block += element(tag);
  }
  return block + closeTag("image");
}

QByteArray FeedGenerator::item() {
  QByteArray out = chance(30) ? randomCase("<item rdf:about=\"") + content() + "\">" : randomCase("<item>");
  static const QList<QByteArray> tags = {"title",    "link",        "description", "pubDate", "author",
                                         "homepage", "releasedate", "thumb",       "title"};
  for (int n = below(7); n > 0; --n) out += element(tags[below(static_cast<int>(tags.size()))]);
  if (chance(10)) out += content();
  if (!chance(8)) out += randomCase("</item>");
  return out + (chance(70) ? "\n" : "");
}

QByteArray FeedGenerator::document() {
  QByteArray doc;
  if (chance(35)) doc += "\xEF\xBB\xBF";
  if (chance(80)) {
    static const QList<QByteArray> encodings = {"\"utf-8\"", "\"UTF-8\"",      "\"Utf-8\"",
                                                "'utf-8'",   "\"ISO-8859-1\"", "\"windows-1252\""};
    doc += "<?xml version=\"1.0\" " + randomCase("encoding=") + encodings[below(static_cast<int>(encodings.size()))] +
           "?>\n";
  }
  doc += randomCase("<rss version=\"2.0\"><channel>\n");
  const bool imageFirst = chance(30);
  const QByteArray image = imageBlock();
  if (imageFirst && chance(70)) doc += image;
  for (const char* tag : {"title", "link", "description", "lastBuildDate"}) {
    if (chance(80)) doc += element(tag);
    if (chance(10)) doc += content();
  }
  if (!imageFirst && chance(40)) doc += image;
  if (chance(15)) doc += image;                                      // the same block again
  if (chance(8)) doc += image.toUpper();                             // again, in other letters
  if (chance(5)) doc += image.left(image.size() - 1) + "x</image>";  // nearly again
  for (int n = below(9); n > 0; --n) doc += item();
  if (chance(10)) doc += content();
  doc += randomCase("</channel></rss>\n");
  return doc;
}

}  // namespace tw::test
