#include "MarkupBounds.h"

#include "news/MarkupPrepass.h"
#include "news/MarkupTree.h"

namespace tw {
namespace {

// The quick scan before parsing leaves this much room above the bound that
// counts, so that it never touches what a page keeps.
constexpr int kMaxScanDepth = 3 * kMaxMarkupDepth;
// Writing a tree that the parser then builds differently (text hoisted out
// of elements cut for depth into a table, say) settles within a pass or two.
constexpr int kMaxPasses = 4;

QString BoundOnce(QStringView markup, MarkupBounds& bounds) {
  PrepassCuts prepass;
  const QString parsed = PrepareMarkupForParse(markup, kMaxMarkupChars, kMaxMarkupTags, kMaxScanDepth, &prepass);
  TreeCuts tree;
  const QString written =
      WriteMarkupTree(parsed, {kMaxMarkupDepth, kMaxMarkupChars, kMaxMarkupTags}, &tree);
  bounds.tagsTooDeep += prepass.tagsTooDeep + tree.tagsTooDeep;
  bounds.framesDropped += tree.framesDropped;
  bounds.cut = bounds.cut || prepass.cut || tree.cut;
  return written;
}

}  // namespace

QString BoundMarkup(QStringView markup, MarkupBounds* bounds) {
  MarkupBounds local;
  MarkupBounds& b = bounds ? *bounds : local;
  b = {};
  // Done when writing the page once more gives the page itself: then the
  // parser reads it as the tree it was written from, with nothing to leave out.
  QString page = BoundOnce(markup, b);
  for (int pass = 1; pass < kMaxPasses; ++pass) {
    QString again = BoundOnce(page, b);
    if (again == page) return page;
    page = std::move(again);
  }
  // Never seen; an empty page is the one that surely settles.
  b.cut = true;
  MarkupBounds ignored;
  return BoundOnce(QStringView(), ignored);
}

}  // namespace tw
