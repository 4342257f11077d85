// 1,000 repaints of a 400 x 300 tree, plain and over a tiled background.
// Every heap allocation is counted while the repaints run (malloc is
// wrapped, so Qt's own buffers count too): the tiles must add no paint
// buffer and the tiling itself must allocate nothing. A buffer of the
// viewport's size would be 480,000 bytes; "big_allocs" counts allocations of
// a quarter of that or more. What the tiled tree allocates beyond the plain
// one is the painter opened on the viewport for the tiles.
#include "widgets/cTVBackground.h"
#include "widgets/cTile.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

constexpr int kRepaints = 1000;
constexpr std::size_t kViewportBytes = 400 * 300 * 4;

std::atomic<bool> gCounting{false};
std::atomic<long long> gAllocations{0};
std::atomic<long long> gBytes{0};
std::atomic<long long> gBig{0};

void Count(std::size_t size) {
  if (!gCounting.load(std::memory_order_relaxed)) return;
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  gBytes.fetch_add(static_cast<long long>(size), std::memory_order_relaxed);
  if (size >= kViewportBytes / 4) gBig.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) {
  Count(size);
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  Count(count * size);
  return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) {
  Count(size);
  return __libc_realloc(pointer, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
  Count(size);
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  Count(size);
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  Count(size);
  *out = __libc_memalign(alignment, size);
  return *out ? 0 : 12;  // ENOMEM
}
void free(void* pointer) { __libc_free(pointer); }
}

namespace {

// Counts the paints that really happen.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(int& paints) : paints_(paints) {}
  bool eventFilter(QObject*, QEvent* event) override {
    paints_ += event->type() == QEvent::Paint;
    return false;
  }

 private:
  int& paints_;
};

QPixmap Tile() {
  QPixmap tile(64, 64);
  tile.fill(QColor(236, 240, 232));
  QPainter p(&tile);
  p.setPen(QColor(200, 210, 196));
  p.drawLine(0, 63, 63, 0);
  return tile;
}

void BM_Repaints(benchmark::State& state) {
  const bool tiled = state.range(0) != 0;
  QTreeWidget tree;
  tree.setHeaderHidden(true);
  for (int i = 0; i < 100; ++i) {
    auto* item = new QTreeWidgetItem(&tree, {QStringLiteral("Site %1").arg(i)});
    new QTreeWidgetItem(item, {QStringLiteral("Item of site %1").arg(i)});
  }
  tree.expandAll();
  tree.resize(400 + 2 * tree.frameWidth(), 300 + 2 * tree.frameWidth());
  tree.show();
  tw::cTVBackground background;
  if (tiled) {
    background.Tile().setPicture(Tile());
    background.Attach(&tree, &tree);
  }
  for (int i = 0; i < 10; ++i) QApplication::processEvents();  // shown and exposed
  QWidget* viewport = tree.viewport();
  int paints = 0;
  PaintCounter counter(paints);
  viewport->installEventFilter(&counter);
  for (int i = 0; i < 10; ++i) viewport->repaint();  // buffers, fonts and caches settle
  if (paints < 10) state.SkipWithError("the tree does not repaint");

  long long allocations = 0, bytes = 0, big = 0;
  paints = 0;
  for (auto _ : state) {
    gAllocations = 0;
    gBytes = 0;
    gBig = 0;
    gCounting = true;
    for (int i = 0; i < kRepaints; ++i) viewport->repaint();
    gCounting = false;
    allocations += gAllocations;
    bytes += gBytes;
    big += gBig;
  }
  const int paintsSeen = paints;
  const double repaints = static_cast<double>(state.iterations()) * kRepaints;
  state.counters["allocs_per_paint"] = static_cast<double>(allocations) / repaints;
  state.counters["bytes_per_paint"] = static_cast<double>(bytes) / repaints;
  state.counters["big_allocs"] = static_cast<double>(big);
  state.counters["paints_per_s"] = benchmark::Counter(repaints, benchmark::Counter::kIsRate);
  state.counters["paints_seen"] = static_cast<double>(paintsSeen);
}
BENCHMARK(BM_Repaints)->ArgName("tiled")->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

// The tiling alone: 1,000 times over the whole 400 x 300 area of an image.
void BM_TileArea(benchmark::State& state) {
  QImage target(400, 300, QImage::Format_ARGB32_Premultiplied);
  tw::cTile tile;
  tile.setPicture(Tile());
  tile.setXOriginOffset(17);
  tile.setYOriginOffset(-5);
  QPainter painter(&target);
  long long allocations = 0;
  for (auto _ : state) {
    gAllocations = 0;
    gCounting = true;
    for (int i = 0; i < kRepaints; ++i) tile.TileArea(painter, 0, 0, 400, 300);
    gCounting = false;
    allocations += gAllocations;
  }
  state.counters["allocs_per_tiling"] = static_cast<double>(allocations) / (static_cast<double>(state.iterations()) * kRepaints);
}
BENCHMARK(BM_TileArea)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
