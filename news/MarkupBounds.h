#pragma once

#include <QString>
#include <QStringView>

namespace tw {

// Elements nested deeper than this are left out of a page (their text stays).
inline constexpr int kMaxMarkupDepth = 100;
// A page is cut after this many characters...
inline constexpr qsizetype kMaxMarkupChars = 1024 * 1024;
// ...or this many tags: what parsing a page costs grows with its tags times
// their nesting.
inline constexpr int kMaxMarkupTags = 10000;

// What BoundMarkup changed.
struct MarkupBounds {
  int tagsTooDeep = 0;
  int framesDropped = 0;
  bool cut = false;
};

// A page filled from feed data, made safe for the web view to lay out. The
// page is parsed as a browser parses it and written again from the tree:
// frames and plug-ins (whose content the page's policy does not reach) and
// scripts go with their content, elements deeper than kMaxMarkupDepth go
// (their text stays), and the page ends after kMaxMarkupChars characters or
// kMaxMarkupTags tags. What comes out parses to exactly what was kept, and
// bounding it again changes nothing.
QString BoundMarkup(QStringView markup, MarkupBounds* bounds = nullptr);

}  // namespace tw
