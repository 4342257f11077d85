#include "options/OptTreeView.h"

#include "options/OptNode.h"
#include "options/OptTreeAccessible.h"
#include "options/XTreeOpt.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace tw {

// Paints a node as the control's properties ask and reports label edits.
class OptItemDelegate : public QStyledItemDelegate {
 public:
  explicit OptItemDelegate(OptTreeView& view) : QStyledItemDelegate(&view), view_(view) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    // Without full-row selection only the picture and the label are
    // highlighted, as a tree of native controls does.
    if (!view_.fullRowSelect_) opt.rect.setWidth(std::min(opt.rect.width(), sizeHint(option, index).width()));
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) return;
    bool cancel = false;
    QString text = line->text();
    view_.owner_.labelEdited(cancel, text);
    if (!cancel) model->setData(index, text, Qt::EditRole);
  }

  bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override {
    return false;  // the control alone changes a node's state
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    // The state is the picture; the check state is there for the model's readers.
    option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
    if (!(view_.treeStyle_ & 1)) {
      option->features &= ~QStyleOptionViewItem::HasDecoration;
      option->icon = QIcon();
    }
    if (view_.ghosted_) option->state &= ~QStyle::State_Enabled;
    if (view_.hideSelection_ && !view_.hasFocus()) option->state &= ~QStyle::State_Selected;
    if (view_.trackSelect_ && (option->state & QStyle::State_MouseOver) && (option->state & QStyle::State_Enabled)) {
      option->font.setUnderline(true);
      option->palette.setColor(QPalette::Text, option->palette.color(QPalette::Link));
    }
  }

 private:
  OptTreeView& view_;
};

OptTreeView::OptTreeView(XTreeOpt& owner) : QTreeWidget(&owner), owner_(owner) {
  setObjectName(QStringLiteral("tvwOpt"));
  setColumnCount(1);
  header()->hide();
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::EditKeyPressed);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  setItemDelegate(new OptItemDelegate(*this));
  setIconSize(QSize(16, 16));
  viewport()->setAttribute(Qt::WA_Hover, true);
  // Captions are shown whole: the column is as wide as the widest, and the
  // tree scrolls sideways when that is wider than the view.
  setTextElideMode(Qt::ElideNone);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  OptTreeAccessible::Install(*this);
}

void OptTreeView::setTreeStyle(int style) {
  treeStyle_ = style;
  setRootIsDecorated((style & 6) != 0);
  doItemsLayout();
  viewport()->update();
}

void OptTreeView::setGhosted(bool ghosted) {
  ghosted_ = ghosted;
  viewport()->update();
}

void OptTreeView::setFullRowSelect(bool on) {
  fullRowSelect_ = on;
  viewport()->update();
}

void OptTreeView::setTrackSelect(bool on) {
  trackSelect_ = on;
  viewport()->update();
}

void OptTreeView::setHideSelection(bool on) {
  hideSelection_ = on;
  viewport()->update();
}

OptNode* OptTreeView::nodeAt(const QPoint& viewportPos) const {
  QTreeWidgetItem* item = itemAt(viewportPos);
  if (!item || item->type() != OptNode::kType) return nullptr;
  // Left of the item's rectangle lie the indentation and the expander.
  if (viewportPos.x() < visualItemRect(item).left()) return nullptr;
  return static_cast<OptNode*>(item);
}

void OptTreeView::toggleNode(OptNode* node) {
  setCurrentItem(node);
  owner_.treeToggleKey(node);
}

QPoint OptTreeView::toControl(const QPoint& viewportPos) const { return viewport()->mapTo(&owner_, viewportPos); }

void OptTreeView::notePress(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  owner_.treeMouseDown(event->button(), event->modifiers(), toControl(pos));
  OptNode* node = nodeAt(pos);
  pressNode_ = node ? QPersistentModelIndex(indexFromItem(node)) : QPersistentModelIndex();
  pressOnRow_ = itemAt(pos) != nullptr;
  pressButton_ = event->button();
}

void OptTreeView::mousePressEvent(QMouseEvent* event) {
  if (!inDoubleClick_) notePress(event);
  QTreeWidget::mousePressEvent(event);
}

void OptTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like any other: a check
  // clicked twice quickly is toggled twice, as a check box is.
  notePress(event);
  inDoubleClick_ = true;
  QTreeWidget::mouseDoubleClickEvent(event);
  inDoubleClick_ = false;
}

void OptTreeView::mouseMoveEvent(QMouseEvent* event) {
  owner_.treeMouseMove(event->buttons(), event->modifiers(), toControl(event->position().toPoint()));
  QTreeWidget::mouseMoveEvent(event);
}

void OptTreeView::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  const QPoint pos = event->position().toPoint();
  if (event->button() == pressButton_) {
    pressButton_ = Qt::NoButton;
    OptNode* node = nodeAt(pos);
    const bool sameNode = node && pressNode_.isValid() && indexFromItem(node) == pressNode_;
    if (event->button() == Qt::LeftButton && sameNode) owner_.treeNodeClick(node);
    owner_.treeClick(pressOnRow_ || itemAt(pos) != nullptr);
  }
  owner_.treeMouseUp(event->button(), event->modifiers(), toControl(pos));
}

void OptTreeView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  // Keys the label editor passed on are not the tree's.
  const bool editing = state() == EditingState;
  if (!editing && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
    // Swallowed, so a dialog's default button does not take Enter. A held
    // key toggles once, as a check box does.
    event->accept();
    if (!event->isAutoRepeat()) owner_.treeToggleKey(static_cast<OptNode*>(currentItem()));
    return;
  }
  owner_.treeOtherKey();
  QTreeWidget::keyPressEvent(event);
}

void OptTreeView::focusInEvent(QFocusEvent* event) {
  QTreeWidget::focusInEvent(event);
  viewport()->update();  // the selection shows again
}

void OptTreeView::focusOutEvent(QFocusEvent* event) {
  QTreeWidget::focusOutEvent(event);
  viewport()->update();
}

bool OptTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const bool opensEditor = index.isValid() && (trigger & editTriggers()) && state() != EditingState &&
                           (model()->flags(index) & Qt::ItemIsEditable);
  if (opensEditor && !owner_.labelEditStarting()) return false;
  return QTreeWidget::edit(index, trigger, event);
}

void OptTreeView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
  const bool lines = treeStyle_ & 4;
  const bool buttons = treeStyle_ & 2;
  if (!lines && !buttons) return;
  const int indent = indentation();
  const bool hasChildren = model()->hasChildren(index);
  // The cell of the node's own level is the last one of the branch area.
  const QRect own(rect.right() + 1 - indent, rect.top(), indent, rect.height());
  if (lines) {
    painter->save();
    QPen pen(palette().color(QPalette::Mid), 1, Qt::DotLine);
    painter->setPen(pen);
    const int midY = own.center().y();
    auto midX = [](const QRect& cell) { return cell.left() + cell.width() / 2; };
    const bool hasNext = index.sibling(index.row() + 1, 0).isValid();
    // The lines stop short of an expand button.
    const int gap = buttons && hasChildren ? 5 : 0;
    const int x = midX(own);
    painter->drawLine(x, own.top(), x, midY - gap);
    if (hasNext) painter->drawLine(x, midY + gap, x, own.bottom());
    painter->drawLine(x + gap, midY, own.right(), midY);
    // A line runs on past every ancestor that has a later sibling.
    QRect cell = own;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) {
      cell.translate(-indent, 0);
      if (up.sibling(up.row() + 1, 0).isValid()) painter->drawLine(midX(cell), cell.top(), midX(cell), cell.bottom());
    }
    painter->restore();
  }
  if (buttons && hasChildren) {
    QStyleOption opt;
    opt.initFrom(this);
    opt.rect = own;
    opt.state = QStyle::State_Children | QStyle::State_Enabled;
    if (isExpanded(index)) opt.state |= QStyle::State_Open;
    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &opt, painter, this);
  }
}

}  // namespace tw
