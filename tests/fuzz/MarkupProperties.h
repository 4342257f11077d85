#pragma once

#include <QStringView>

#include <string>

namespace tw::test {

// What every page that BoundMarkup writes must be, whatever it was given:
// parsed again, it holds no frame, plug-in or script and nothing nested
// deeper than kMaxMarkupDepth, and bounding it again changes nothing.
// Empty when all of that holds, else what broke.
std::string CheckMarkupBounds(QStringView markup);

// The tree an HTML5 parser builds from the markup, one node a line, to
// compare pages by what a browser makes of them.
std::string ParsedTree(QStringView markup);

}  // namespace tw::test
