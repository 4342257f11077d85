#include "widgets/SiteTreeView.h"

#include "core/SiteTree.h"
#include "news/DisplayText.h"
#include "widgets/FlagScope.h"
#include "widgets/ImageList.h"
#include "widgets/TextContrast.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <functional>
#include <utility>

namespace tw {
namespace {

constexpr Rgb kDefaultBack = RGB(255, 255, 255);

// How long a released key waits for the press that would show it is still
// held. X sends an auto-repeat as a release and a press with the same time,
// and the toolkit tells only some of those releases apart; the press follows
// within milliseconds.
constexpr int kReleaseSettleMs = 100;

// The keyboard's way to a context menu.
bool IsMenuKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_Menu ||
         (event->key() == Qt::Key_F10 && (event->modifiers() & Qt::ShiftModifier));
}

// Keys that move the selection: the arrows, paging, and typing a caption's
// first letters.
bool IsNavigationKey(const QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      return true;
    default:
      break;
  }
  const QString text = event->text();
  return !text.isEmpty() && text.at(0).isPrint() &&
         !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

}  // namespace

SiteTreeView::SiteTreeView(SiteTree& tree, const ImageList& images, QWidget* parent)
    : QTreeWidget(parent), tree_(tree), images_(images) {
  setObjectName(QStringLiteral("tv"));
  setAccessibleName(QStringLiteral("Sites"));
  setColumnCount(1);
  header()->hide();
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  // Expanding follows the program's click rules, not the double click.
  setExpandsOnDoubleClick(false);
  // The main window raises its own menus from the click events.
  setContextMenuPolicy(Qt::PreventContextMenu);
  // Captions are never shortened: a caption wider than the pane scrolls.
  setTextElideMode(Qt::ElideNone);
  header()->setStretchLastSection(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  fitTimer_.setSingleShot(true);
  connect(&fitTimer_, &QTimer::timeout, this, &SiteTreeView::fitColumn);
  releaseTimer_.setSingleShot(true);
  releaseTimer_.setInterval(kReleaseSettleMs);
  connect(&releaseTimer_, &QTimer::timeout, this, &SiteTreeView::keyReleased);

  connect(&tree_, &SiteTree::nodeAdded, this, &SiteTreeView::addNode);
  connect(&tree_, &SiteTree::nodeAboutToBeRemoved, this, &SiteTreeView::removeNode);
  connect(&tree_, &SiteTree::nodeChanged, this, &SiteTreeView::changeNode);
  connect(&tree_, &SiteTree::cleared, this, &SiteTreeView::clearAll);
  connect(&tree_, &SiteTree::sortedChanged, this, &SiteTreeView::orderTopLevel);
  connect(&tree_, &SiteTree::selectionChanged, this, &SiteTreeView::applySelection);
  connect(&tree_, &SiteTree::batchEnded, this, &SiteTreeView::applyHeldChanges);
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    viewExpanded(item, true);
    scheduleFit();
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    viewExpanded(item, false);
    scheduleFit();
  });
  connect(this, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { viewCurrentChanged(current); });

  rebuild();
}

QString SiteTreeView::keyOf(const QTreeWidgetItem* item) {
  return item ? item->data(0, Qt::UserRole).toString() : QString();
}

int SiteTreeView::ButtonNumber(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

void SiteTreeView::rebuild() {
  FlagScope guard(mirroring_, true);
  QTreeWidget::clear();
  items_.clear();
  // Depth first, so every parent is there before its children.
  std::function<void(const QString&)> add = [&](const QString& key) {
    addNode(key);
    for (const QString& child : tree_.childKeys(key)) add(child);
  };
  for (const QString& root : tree_.rootKeysInDisplayOrder()) add(root);
  applySelection(tree_.selectedKey());
}

void SiteTreeView::addNode(const QString& key) {
  if (holdBack(key)) return;
  const SiteTreeNode* node = tree_.find(key);
  if (!node || items_.contains(key)) return;
  QTreeWidgetItem* parent = nullptr;
  if (!node->parentKey.isEmpty()) {
    parent = items_.value(node->parentKey, nullptr);
    if (!parent) return;
  }
  FlagScope guard(mirroring_, true);
  // Dressed before it goes in: each change to an item in the view is a
  // change the view has to look at.
  QTreeWidgetItem* item = newItem(*node);
  if (parent) {
    parent->addChild(item);
    // A parent marked open before it had children opens now.
    if (!parent->isExpanded()) {
      const SiteTreeNode* parentNode = tree_.find(node->parentKey);
      if (parentNode && parentNode->expanded) parent->setExpanded(true);
    }
  } else {
    addTopLevelItem(item);
  }
  if (node->expanded) item->setExpanded(true);
  if (!parent && tree_.sorted()) orderTopLevel();
}

void SiteTreeView::removeNode(const QString& key) {
  if (holdBack(key)) return;
  QTreeWidgetItem* item = items_.take(key);
  if (!item) return;
  FlagScope guard(mirroring_, true);
  // The tree removes children first, from the last one: finding the item
  // at the end keeps a site's rebuild linear.
  if (QTreeWidgetItem* parent = item->parent()) {
    const int last = parent->childCount() - 1;
    if (last >= 0 && parent->child(last) == item) {
      parent->takeChild(last);
    } else {
      parent->removeChild(item);
    }
  } else {
    takeTopLevelItem(indexOfTopLevelItem(item));
  }
  forgetChildren(item);
  delete item;
  scheduleFit();
  if (keyOf(currentItem()) != tree_.selectedKey()) applySelection(tree_.selectedKey());
}

void SiteTreeView::changeNode(const QString& key) {
  if (tree_.inBatch()) {
    heldNodes_.insert(key);
    return;
  }
  QTreeWidgetItem* item = items_.value(key, nullptr);
  if (!item) return;
  FlagScope guard(mirroring_, true);
  const QString oldText = item->text(0);
  apply(item, key);
  if (!item->parent() && tree_.sorted() && item->text(0) != oldText) orderTopLevel();
}

bool SiteTreeView::holdBack(const QString& key) {
  if (!tree_.inBatch()) return false;
  const SiteTreeNode* node = tree_.find(key);
  // Sites come and go at once; only branches under a site wait.
  if (!node || node->parentKey.isEmpty() || !items_.contains(node->parentKey)) return false;
  heldBranches_.insert(node->parentKey);
  return true;
}

void SiteTreeView::applyHeldChanges() {
  const QSet<QString> branches = std::exchange(heldBranches_, {});
  const QSet<QString> nodes = std::exchange(heldNodes_, {});
  for (const QString& parentKey : branches) rebuildBranch(parentKey);
  for (const QString& key : nodes) {
    // The items of a rebuilt branch were made from the tree as it is now.
    const SiteTreeNode* node = tree_.find(key);
    if (node && !branches.contains(node->parentKey)) changeNode(key);
  }
  applySelection(tree_.selectedKey());
  // Fitted now rather than on the next turn of the event loop: a width that
  // changes then is painted with the batch's own repaint, not in a second one.
  if (fitTimer_.isActive()) {
    fitTimer_.stop();
    fitColumn();
  }
}

// The branch's children as the tree has them now. Rows that are still there
// are brought up to date where they stand: taking a row out makes the view
// lay out and repaint the whole tree, while a closed site's rows changing in
// place repaint nothing and an open site's repaint only themselves. Rows
// added at the end go in with one insertion.
void SiteTreeView::rebuildBranch(const QString& parentKey) {
  QTreeWidgetItem* parent = items_.value(parentKey, nullptr);
  if (!parent || !tree_.contains(parentKey)) return;
  FlagScope guard(mirroring_, true);
  const QStringList keys = tree_.childKeys(parentKey);
  // Only rows without children of their own are taken over; anything
  // deeper is put in afresh.
  int kept = 0;
  for (int shared = static_cast<int>(std::min<qsizetype>(keys.size(), parent->childCount())); kept < shared; ++kept) {
    if (parent->child(kept)->childCount() > 0 || tree_.childCount(keys[kept]) > 0) break;
  }
  for (int i = 0; i < kept; ++i) {
    QTreeWidgetItem* item = parent->child(i);
    const QString oldKey = keyOf(item);
    if (oldKey != keys[i]) {
      if (items_.value(oldKey) == item) items_.remove(oldKey);
      item->setData(0, Qt::UserRole, keys[i]);
    }
    items_.insert(keys[i], item);
    apply(item, keys[i]);
  }
  // The tree removes from the last child: so does the view, which keeps it
  // linear.
  while (parent->childCount() > kept) {
    QTreeWidgetItem* item = parent->takeChild(parent->childCount() - 1);
    const QString key = keyOf(item);
    if (items_.value(key) == item) items_.remove(key);
    forgetChildren(item);
    delete item;
  }
  QList<QTreeWidgetItem*> fresh;
  for (qsizetype i = kept; i < keys.size(); ++i) fresh << newItem(*tree_.find(keys[i]));
  if (!fresh.isEmpty()) parent->addChildren(fresh);
  apply(parent, parentKey);
  scheduleFit();
}

// A closed branch that gets its first children shows nothing new but its
// expander, yet Qt repaints the whole tree for it: in a first check, the
// whole tree once a site. Only the branch's own row is repainted here.
void SiteTreeView::rowsInserted(const QModelIndex& parent, int start, int end) {
  QWidget* area = viewport();
  const bool firstOfClosed = parent.isValid() && !isExpanded(parent) && area->updatesEnabled() &&
                             model()->rowCount(parent) == end - start + 1;
  if (!firstOfClosed) {
    QTreeWidget::rowsInserted(parent, start, end);
    return;
  }
  // Qt's own updatesEnabled switch would repaint everything when switched
  // back; the flag underneath it only makes update() a no-op meanwhile.
  area->setAttribute(Qt::WA_UpdatesDisabled, true);
  QTreeWidget::rowsInserted(parent, start, end);
  area->setAttribute(Qt::WA_UpdatesDisabled, false);
  const QRect row = visualRect(parent);
  if (row.isValid()) area->update(0, row.top(), area->width(), row.height());
}

void SiteTreeView::forgetChildren(const QTreeWidgetItem* item) {
  for (int i = 0; i < item->childCount(); ++i) {
    items_.remove(keyOf(item->child(i)));
    forgetChildren(item->child(i));
  }
}

QTreeWidgetItem* SiteTreeView::newItem(const SiteTreeNode& node) {
  auto* item = new QTreeWidgetItem;
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  item->setData(0, Qt::UserRole, node.key);
  items_.insert(node.key, item);
  applyLook(item, node);
  return item;
}

void SiteTreeView::apply(QTreeWidgetItem* item, const QString& key) {
  const SiteTreeNode* node = tree_.find(key);
  if (!node) return;
  applyLook(item, *node);
  if (item->isExpanded() != node->expanded) item->setExpanded(node->expanded);
}

void SiteTreeView::applyLook(QTreeWidgetItem* item, const SiteTreeNode& node) {
  // The node keeps the text as stored; what people read is decoded.
  const QString shown = DisplayText(node.text);
  if (item->text(0) != shown) {
    item->setText(0, shown);
    scheduleFit();
  }
  if (item->data(0, Qt::UserRole + 1).toString() != node.image || item->icon(0).isNull()) {
    item->setData(0, Qt::UserRole + 1, node.image);
    item->setIcon(0, images_.icon(node.image));
  }
  if (item->font(0).bold() != node.bold) {
    QFont font = item->font(0);
    font.setBold(node.bold);
    item->setFont(0, font);
    scheduleFit();
  }
  // White is the tree's own background: no brush, so the theme's base and
  // text show.
  if (node.backColor == kDefaultBack) {
    if (item->data(0, Qt::BackgroundRole).isValid()) item->setData(0, Qt::BackgroundRole, QVariant());
    if (item->data(0, Qt::ForegroundRole).isValid()) item->setData(0, Qt::ForegroundRole, QVariant());
  } else {
    const QColor back(RedOf(node.backColor), GreenOf(node.backColor), BlueOf(node.backColor));
    if (item->background(0).color() != back) item->setBackground(0, back);
    applyTextColour(item);
  }
}

void SiteTreeView::applyTextColour(QTreeWidgetItem* item) {
  const QVariant back = item->data(0, Qt::BackgroundRole);
  if (!back.isValid()) return;
  const QColor text = ReadableTextOn(back.value<QBrush>().color(), palette().color(QPalette::Text));
  if (item->foreground(0).color() != text || !item->data(0, Qt::ForegroundRole).isValid()) {
    item->setForeground(0, text);
  }
}

void SiteTreeView::changeEvent(QEvent* event) {
  QTreeWidget::changeEvent(event);
  // The theme's text colour may no longer read on the rows' own colours.
  if (event->type() == QEvent::PaletteChange) {
    for (QTreeWidgetItem* item : std::as_const(items_)) applyTextColour(item);
  }
}

void SiteTreeView::clearAll() {
  FlagScope guard(mirroring_, true);
  QTreeWidget::clear();
  items_.clear();
  heldBranches_.clear();
  heldNodes_.clear();
  scheduleFit();
}

void SiteTreeView::orderTopLevel() {
  const QStringList desired = tree_.rootKeysInDisplayOrder();
  bool same = desired.size() == topLevelItemCount();
  for (int i = 0; same && i < desired.size(); ++i) same = topLevelItem(i) == items_.value(desired[i]);
  if (same) return;

  FlagScope guard(mirroring_, true);
  for (int i = 0; i < desired.size(); ++i) {
    QTreeWidgetItem* item = items_.value(desired[i], nullptr);
    if (!item || topLevelItem(i) == item) continue;
    insertTopLevelItem(i, takeTopLevelItem(indexOfTopLevelItem(item)));
    // Taking an item out forgets whether it (or a child) was open.
    std::function<void(QTreeWidgetItem*)> reopen = [&](QTreeWidgetItem* it) {
      const SiteTreeNode* node = tree_.find(keyOf(it));
      if (node && node->expanded) it->setExpanded(true);
      for (int c = 0; c < it->childCount(); ++c) {
        if (it->child(c)->childCount() > 0) reopen(it->child(c));
      }
    };
    reopen(item);
  }
  applySelection(tree_.selectedKey());
}

void SiteTreeView::applySelection(const QString& key) {
  if (tree_.inBatch()) return;  // the batch's end selects what the tree has then
  FlagScope guard(mirroring_, true);
  QTreeWidgetItem* item = items_.value(key, nullptr);
  if (currentItem() != item) setCurrentItem(item);
  if (!item) clearSelection();
}

void SiteTreeView::viewExpanded(QTreeWidgetItem* item, bool expanded) {
  if (mirroring_) return;
  tree_.setExpanded(keyOf(item), expanded);
}

void SiteTreeView::viewCurrentChanged(QTreeWidgetItem* current) {
  if (mirroring_) return;
  tree_.select(keyOf(current));
}

QString SiteTreeView::nodeKeyAt(const QPoint& viewportPos) const {
  QTreeWidgetItem* item = itemAt(viewportPos);
  if (!item) return {};
  // Left of the item's rectangle lie the indentation and the expander.
  if (viewportPos.x() < visualItemRect(item).left()) return {};
  return keyOf(item);
}

void SiteTreeView::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  Q_EMIT mouseDown(event->button(), event->modifiers(), pos);
  pressKey_ = nodeKeyAt(pos);
  pressButton_ = event->button();
  QTreeWidget::mousePressEvent(event);
}

void SiteTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like any other.
  mousePressEvent(event);
}

void SiteTreeView::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  const QPoint pos = event->position().toPoint();
  if (event->button() == pressButton_) {
    pressButton_ = Qt::NoButton;
    const QString key = nodeKeyAt(pos);
    if (!pressKey_.isEmpty() && key == pressKey_ && items_.contains(key)) Q_EMIT nodeClick(key);
    Q_EMIT click();
  }
  Q_EMIT mouseUp(event->button(), event->modifiers(), pos);
}

QPoint SiteTreeView::menuPoint() {
  QTreeWidgetItem* item = currentItem();
  if (!item) return viewport()->mapToGlobal(QPoint(0, 0));
  scrollToItem(item);
  const QRect row = visualItemRect(item);
  return viewport()->mapToGlobal(QPoint(std::max(row.left(), 0), row.bottom()));
}

void SiteTreeView::keyPressEvent(QKeyEvent* event) {
  if (IsMenuKey(event)) {
    event->accept();
    if (!event->isAutoRepeat()) Q_EMIT menuKey();
    return;
  }
  if (IsNavigationKey(event)) {
    // A press of the key just let go: it is still held, and repeating.
    if (releaseTimer_.isActive() && event->key() == heldKey_) releaseTimer_.stop();
    heldKey_ = event->key();
    Q_EMIT keyDown(event->key(), event->modifiers());
  }
  if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) &&
      !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    event->accept();
    stepSideways(event->key());
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void SiteTreeView::stepSideways(int key) {
  // The toolkit's own rule steps into an open node's first item, which the
  // release would then open and mark read.
  const bool forward = (key == Qt::Key_Right) != isRightToLeft();
  if (QTreeWidgetItem* item = currentItem()) {
    if (forward && item->childCount() > 0 && !item->isExpanded()) {
      item->setExpanded(true);
      return;
    }
    if (!forward && item->isExpanded()) {
      item->setExpanded(false);
      return;
    }
    if (!forward && item->parent()) {
      setCurrentItem(item->parent());
      return;
    }
  }
  QScrollBar* bar = horizontalScrollBar();
  bar->setValue(bar->value() + (key == Qt::Key_Right ? bar->singleStep() : -bar->singleStep()));
}

void SiteTreeView::keyReleaseEvent(QKeyEvent* event) {
  QTreeWidget::keyReleaseEvent(event);
  // Only the key pressed here counts (not the Esc that closed a menu), and
  // only its last release, whatever the release says of itself.
  if (event->key() != heldKey_ || event->isAutoRepeat()) return;
  releasedModifiers_ = event->modifiers();
  releaseTimer_.start();
}

void SiteTreeView::keyReleased() {
  const int key = heldKey_;
  heldKey_ = 0;
  Q_EMIT keyUp(key, releasedModifiers_);
}

void SiteTreeView::focusOutEvent(QFocusEvent* event) {
  QTreeWidget::focusOutEvent(event);
  // A key still held goes with the focus: its release will come elsewhere.
  if (heldKey_ != 0 && !releaseTimer_.isActive()) {
    heldKey_ = 0;
    Q_EMIT keyAbandoned();
  }
}

void SiteTreeView::scheduleFit() {
  if (!fitTimer_.isActive()) fitTimer_.start(0);
}

void SiteTreeView::fitColumn() {
  // As wide as the widest caption shown, and never narrower than the pane,
  // so the site colours run across it.
  const int width = std::max(sizeHintForColumn(0), viewport()->width());
  if (columnWidth(0) != width) setColumnWidth(0, width);
}

void SiteTreeView::resizeEvent(QResizeEvent* event) {
  QTreeWidget::resizeEvent(event);
  fitColumn();
}

}  // namespace tw
