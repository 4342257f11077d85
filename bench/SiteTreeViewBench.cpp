// The site tree view with a site of 10,000 items: adding them one by one as
// the item store does, and a site's rebuild (every item removed, from the
// last or from the first, then added again); and a merge of 1,000 items,
// held back by the view until the tree's batch ends or followed item by item.
#include "core/SiteTree.h"
#include "widgets/ImageList.h"
#include "widgets/SiteTreeView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <optional>

namespace {

void AddItems(tw::SiteTree& tree, int count) {
  for (int i = 1; i <= count; ++i) {
    tree.addNode(QStringLiteral("S:ID:"), QStringLiteral("S:ID:%1").arg(i), QStringLiteral("Item %1").arg(i),
                 QStringLiteral("item_unread"));
  }
}

void BM_AddTenThousandItems(benchmark::State& state) {
  const bool expanded = state.range(0) != 0;
  tw::ImageList images;
  for (auto _ : state) {
    state.PauseTiming();
    tw::SiteTree tree;
    tw::SiteTreeView view(tree, images);
    view.resize(300, 600);
    view.show();
    tree.addNode(QString(), QStringLiteral("S:ID:"), QStringLiteral("Site"), QStringLiteral("site"));
    tree.setExpanded(QStringLiteral("S:ID:"), expanded);
    state.ResumeTiming();
    AddItems(tree, 10000);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_AddTenThousandItems)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RebuildTenThousandItems(benchmark::State& state) {
  const bool fromFirst = state.range(0) != 0;
  tw::ImageList images;
  for (auto _ : state) {
    state.PauseTiming();
    tw::SiteTree tree;
    tw::SiteTreeView view(tree, images);
    tree.addNode(QString(), QStringLiteral("S:ID:"), QStringLiteral("Site"), QStringLiteral("site"));
    AddItems(tree, 10000);
    const QStringList children = tree.childKeys(QStringLiteral("S:ID:"));
    state.ResumeTiming();
    if (fromFirst) {
      for (const QString& key : children) tree.removeNode(key);
    } else {
      for (auto it = children.crbegin(); it != children.crend(); ++it) tree.removeNode(*it);
    }
    AddItems(tree, 10000);
  }
}
BENCHMARK(BM_RebuildTenThousandItems)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A site's rebuild as a merge does it: every item removed and added again,
// each marked and dressed, inside one batch of the tree, with the site
// closed (arg 0) or open (arg 1) in a shown view; then the repaint. Arg 2
// and 3: the same without the batch.
void BM_MergeRebuildOfAThousandItems(benchmark::State& state) {
  const bool expanded = state.range(0) % 2 != 0;
  const bool batched = state.range(0) < 2;
  tw::ImageList images;
  tw::SiteTree tree;
  tw::SiteTreeView view(tree, images);
  view.resize(300, 600);
  view.show();
  const QString site = QStringLiteral("S:ID:");
  tree.addNode(QString(), site, QStringLiteral("Site"), QStringLiteral("site"));
  AddItems(tree, 1000);
  tree.setExpanded(site, expanded);
  QApplication::processEvents();
  for (auto _ : state) {
    {
      std::optional<tw::SiteTree::Batch> batch;
      if (batched) batch.emplace(tree);
      for (const QString& key : tree.childKeys(site)) tree.removeNode(key);
      AddItems(tree, 1000);
      for (const QString& key : tree.childKeys(site)) {
        tree.setTag(key, QStringLiteral("<NEW><UNREAD>"));
        tree.setBold(key, true);
      }
      tree.setText(site, QStringLiteral("Site (1000 New, 1000 Unread, 1000 Total)"));
    }
    QApplication::processEvents();
  }
}
BENCHMARK(BM_MergeRebuildOfAThousandItems)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
