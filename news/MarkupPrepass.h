#pragma once

#include <QString>
#include <QStringView>

namespace tw {

// What PrepareMarkupForParse left out.
struct PrepassCuts {
  int tagsTooDeep = 0;
  bool cut = false;
};

// The markup as the HTML parser should get it. The parser's tree building
// costs time in proportion to the depth of its open elements for every tag
// and for every character under a formatting element, so a page nested
// 200,000 deep would take minutes. Before parsing, then: start tags that a
// quick scan finds nested deeper than maxDepth go with their end tags (their
// text stays), and what is left ends after maxChars characters and after
// maxTags tags. The scan only has to be right for ordinary markup: what the
// page finally gets is decided by the parse that follows, never by this scan.
QString PrepareMarkupForParse(QStringView markup, qsizetype maxChars, int maxTags, int maxDepth,
                              PrepassCuts* cuts);

}  // namespace tw
