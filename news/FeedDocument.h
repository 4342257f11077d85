#pragma once

#include "news/ItemTexts.h"

#include <QByteArray>
#include <QString>

namespace tw {

// More items than this in one feed are left out: a feed is not an archive,
// and every item costs a tree node and a stored key.
inline constexpr qsizetype kMaxFeedItems = 10000;

// The channel fields of a feed's header (the text before the first item).
struct ChannelValues {
  QString title;
  QString link;
  QString description;
  QString lastBuildDate;
  // Only when the header holds an <image> block.
  bool hasImage = false;
  QString imageTitle;
  QString imageUrl;
  QString imageLink;
  QString imageDescription;
  QString imageWidth;
  QString imageHeight;
};

// A feed cut into its channel fields and raw item texts.
struct ParsedFeed {
  // The document holds the item start tag and "</item>"; otherwise nothing
  // else here is filled.
  bool hasItemTags = false;
  // "<item rdf" (RSS 1.0) rather than "<item>".
  bool rdf = false;
  ChannelValues channel;
  // Each text runs from where the previous one ended (its last character is
  // shared) to one character past its "</item>".
  ItemTexts items;
  // An item start tag followed by no "</item>" was left out.
  bool unterminatedItem = false;
  // More than kMaxFeedItems items; the rest were left out.
  bool tooManyItems = false;
};

// The document as the tag searches see it: the bytes in the program's code
// page, or as UTF-8 when they declare encoding="utf-8" (double quotes, any
// case; decoding stops at the first zero byte), with every character
// reference decoded. Without that declaration a zero byte reads as U+FFFD.
// rdf tells whether the undecoded text holds "<item rdf".
QString DecodeFeedDocument(const QByteArray& bytes, bool* rdf);

// Decodes the bytes and cuts them into channel values and item texts. Linear
// in the size of the document.
ParsedFeed SplitFeed(const QByteArray& bytes);

}  // namespace tw
