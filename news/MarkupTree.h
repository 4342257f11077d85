#pragma once

#include <QString>
#include <QStringView>

namespace tw {

struct TreeLimits {
  int maxDepth = 0;
  qsizetype maxChars = 0;
  int maxElements = 0;
};

// What WriteMarkupTree left out.
struct TreeCuts {
  int tagsTooDeep = 0;
  int framesDropped = 0;
  bool cut = false;
};

// Parses the markup with an HTML5 parser, as a browser builds it, and writes
// the document back from the tree: frames, plug-ins and scripts go with
// their content, elements deeper than maxDepth go but their text stays, and
// the page ends (every open element closed) before it grows past maxChars
// characters or maxElements elements.
//
// What is written can only tokenize one way: no "<" but the tags and
// comments written here (text and attribute values escape it, raw text that
// holds one is left out, risky comments are left out), so any browser, in
// whatever state its tree building is, meets no start tag that is not in the
// tree written here.
QString WriteMarkupTree(QStringView markup, const TreeLimits& limits, TreeCuts* cuts);

}  // namespace tw
