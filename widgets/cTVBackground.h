#pragma once

#include "hooks/ISubclass.h"
#include "widgets/cTile.h"

#include <QMetaObject>
#include <QPointer>

class QTreeView;
class QWidget;

namespace tw {

// Paints a tiled picture behind the items of a tree view, fixed to the
// tree's content: the tiles move with horizontal and vertical scrolling. It
// takes part in the paint events of the tree's viewport through the event
// hooks: the tiles are drawn first, then the tree draws its items over them
// as usual (it draws nothing where its background would be). Without a
// picture the tree paints as usual.
//
// Qt draws into the window's own back buffer, which is kept across paints
// and grows only with the window, so a paint allocates no buffer of ours;
// and Qt paints nothing while a branch expands, then the tree once.
class cTVBackground : public ISubclass {
 public:
  cTVBackground();
  ~cTVBackground() override;

  // Hooks the tree (after letting go of any tree before); ownerForm is the
  // window that holds it.
  void Attach(QTreeView* tree, QWidget* ownerForm);
  void Detach();
  cTile& Tile() { return tile_; }
  QTreeView* tree() const { return tree_; }
  QWidget* ownerForm() const { return owner_; }

  int MsgResponse() override;
  bool WindowProc(QObject* hWnd, QEvent* event, bool windowResult) override;

 private:
  void placeTiles();

  cTile tile_;
  QPointer<QTreeView> tree_;
  QPointer<QWidget> viewport_;
  QPointer<QWidget> owner_;
  QMetaObject::Connection expanded_;
  QMetaObject::Connection collapsed_;
  // The root item's left edge when the tree was scrolled furthest left.
  int largestRootLeft_ = 0;
  bool painting_ = false;
};

}  // namespace tw
