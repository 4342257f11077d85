#pragma once

#include <QString>
#include <QStringView>

namespace tw {

// Elements nested deeper than this are left out of a page (their text stays).
inline constexpr int kMaxMarkupDepth = 100;
// A page is cut after this many characters.
inline constexpr qsizetype kMaxMarkupChars = 1024 * 1024;

// What BoundMarkup changed.
struct MarkupBounds {
  int tagsTooDeep = 0;
  int framesDropped = 0;
  bool cut = false;
};

// A page filled from feed data, made safe for the web view to lay out:
// frames (whose srcdoc the page's policy does not reach) go with their
// content, tags nested deeper than kMaxMarkupDepth go (with their end tags),
// and the page ends after kMaxMarkupChars. Everything else, ordinary markup
// with unclosed paragraphs and list items included, passes unchanged.
// Linear in the length of the markup.
QString BoundMarkup(QStringView markup, MarkupBounds* bounds = nullptr);

}  // namespace tw
