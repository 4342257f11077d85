#include "widgets/cTVBackground.h"

#include "hooks/GSubclass.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTreeView>

#include <algorithm>
#include <climits>

namespace tw {

cTVBackground::cTVBackground() = default;

cTVBackground::~cTVBackground() { Detach(); }

void cTVBackground::Attach(QTreeView* tree, QWidget* ownerForm) {
  Detach();
  // A null tree is refused as an invalid window.
  QWidget* viewport = tree ? tree->viewport() : nullptr;
  GSubclass::AttachMessage(this, viewport, QEvent::Paint);
  tree_ = tree;
  viewport_ = viewport;
  owner_ = ownerForm;
  largestRootLeft_ = INT_MIN;
  // A branch that opens or closes moves the items below it, not the tiles:
  // the whole tree is painted again.
  const auto repaint = [this] {
    if (viewport_ && tile_.hasPicture()) viewport_->update();
  };
  expanded_ = QObject::connect(tree, &QTreeView::expanded, repaint);
  collapsed_ = QObject::connect(tree, &QTreeView::collapsed, repaint);
}

void cTVBackground::Detach() {
  QObject::disconnect(expanded_);
  QObject::disconnect(collapsed_);
  if (viewport_) {
    GSubclass::DetachMessage(this, viewport_, QEvent::Paint);
    viewport_->update();
  }
  tree_.clear();
  viewport_.clear();
  owner_.clear();
}

int cTVBackground::MsgResponse() {
  // The tiles go down first, then the tree paints its items over them as
  // usual: Qt paints over what is there, so no buffer has to compose them.
  return kWindowAfter;
}

bool cTVBackground::WindowProc(QObject* hWnd, QEvent* event, bool) {
  if (event->type() != QEvent::Paint || hWnd != viewport_ || !tile_.hasPicture() || painting_) return false;
  painting_ = true;
  placeTiles();
  QPainter painter(viewport_);
  const QRect area = static_cast<QPaintEvent*>(event)->rect();
  tile_.TileArea(painter, area.x(), area.y(), area.width(), area.height());
  painting_ = false;
  return true;
}

void cTVBackground::placeTiles() {
  QAbstractItemModel* model = tree_ ? tree_->model() : nullptr;
  if (!model) return;
  const QModelIndex root = model->index(0, 0, tree_->rootIndex());
  if (!root.isValid()) return;
  const QRect rootRect = tree_->visualRect(root);
  largestRootLeft_ = std::max(largestRootLeft_, rootRect.left());
  tile_.setXOriginOffset(largestRootLeft_ - rootRect.left());
  tile_.setYOriginOffset(-rootRect.top());
}

}  // namespace tw
