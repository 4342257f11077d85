#include "widgets/ActivityListView.h"

#include "widgets/ActivityLogModel.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace tw {
namespace {

// Icon, its gap and the cell's own margins, beside the text.
constexpr int kRowChromePx = 16 + 6 + 12;

}  // namespace

ActivityListView::ActivityListView(ActivityLog& log, const ImageList& images, QWidget* parent)
    : QTreeView(parent), log_(log) {
  setObjectName(QStringLiteral("lvLog"));
  setAccessibleName(QStringLiteral("Activity log"));
  // First, so that the row is there when the view follows the new line.
  setModel(new ActivityLogModel(log, images, this));
  header()->hide();
  header()->setStretchLastSection(false);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setIconSize(QSize(16, 16));

  for (const ActivityLine& line : log.lines()) lineAdded(line);
  connect(&log, &ActivityLog::lineAdded, this, &ActivityListView::lineAdded);
  log.setListVisibility(this);
}

ActivityListView::~ActivityListView() { log_.setListVisibility(nullptr); }

bool ActivityListView::isActivityListShown() const {
  const QWidget* top = window();
  return top == this ? !isHidden() : isVisibleTo(top);
}

void ActivityListView::lineAdded(const ActivityLine& line) {
  // Growing the column by the new line alone keeps adding a line cheap,
  // however long the list has grown.
  widestLine_ = std::max(widestLine_, fontMetrics().horizontalAdvance(line.text) + kRowChromePx);
  fitColumn();
  // Scrolling lays the whole list out first: the lines one piece of work
  // adds share one layout and one scroll, on the next pass of the event loop.
  if (!scrollPending_) {
    scrollPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          scrollPending_ = false;
          scrollToBottom();
        },
        Qt::QueuedConnection);
  }
}

void ActivityListView::fitColumn() {
  const int width = std::max(widestLine_, viewport()->width());
  if (columnWidth(0) != width) setColumnWidth(0, width);
}

// Qt asks the display server where the pointer is on every scroll, to move
// the hover highlight: a round trip each time the list follows a new line.
// Only a pointer over the list has a highlight to move.
void ActivityListView::verticalScrollbarValueChanged(int value) {
  if (viewport()->underMouse()) QTreeView::verticalScrollbarValueChanged(value);
}

void ActivityListView::resizeEvent(QResizeEvent* event) {
  QTreeView::resizeEvent(event);
  fitColumn();
}

}  // namespace tw
