#include "options/OptNode.h"

#include "options/OptTreeAccessible.h"
#include "options/XTreeOpt.h"
#include "widgets/ImageList.h"

namespace tw {

OptNodeKind KindOfImage(const QString& imageKey) {
  const QStringView kind = QStringView(imageKey).left(6);
  if (kind == QLatin1String("FOLDER")) return OptNodeKind::Folder;
  if (kind == QLatin1String("OPTION")) return OptNodeKind::Option;
  if (kind == QLatin1String("CHECK_")) return OptNodeKind::Check;
  return OptNodeKind::Other;
}

int ValueOfImage(const QString& imageKey) {
  if (imageKey.size() < 7) return -1;
  switch (imageKey.at(6).unicode()) {
    case 'Y': return 1;
    case 'N': return 0;
    case 'P': return 2;
    default: return -1;
  }
}

OptNode::OptNode(XTreeOpt& owner, const QString& key, const QString& text, const QString& image)
    : QTreeWidgetItem(kType), owner_(owner), key_(key), image_(image) {
  setText(0, text);
  Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
  // Checkable to whatever reads the model; the control itself changes the state.
  const OptNodeKind kind = Kind();
  if (kind == OptNodeKind::Option || kind == OptNodeKind::Check) flags |= Qt::ItemIsUserCheckable;
  setFlags(flags);
}

int OptNode::Index() const { return static_cast<int>(owner_.NodesCollection().indexOf(const_cast<OptNode*>(this))) + 1; }

void OptNode::setBold(bool bold) {
  QFont f = font(0);
  f.setBold(bold);
  setFont(0, f);
}

OptNode* OptNode::Parent() const { return static_cast<OptNode*>(parent()); }

OptNode* OptNode::Child(int i) const { return static_cast<OptNode*>(child(i)); }

void OptNode::setImage(const QString& image) {
  if (image == image_) return;
  const bool valued = Kind() == OptNodeKind::Check || Kind() == OptNodeKind::Option;
  const bool valueChanged = valued && ValueOfImage(image) != ValueOfImage(image_);
  image_ = image;
  emitDataChanged();
  if (valueChanged) OptTreeAccessible::CheckedChanged(this);
}

QVariant OptNode::data(int column, int role) const {
  if (column != 0) return QTreeWidgetItem::data(column, role);
  switch (role) {
    case Qt::DecorationRole: return owner_.InternalImageList().icon(image_);
    case Qt::CheckStateRole:
      switch (Kind()) {
        case OptNodeKind::Option:
        case OptNodeKind::Check: {
          const int value = ValueOfImage(image_);
          return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
        }
        default: return {};
      }
    default: return QTreeWidgetItem::data(column, role);
  }
}

}  // namespace tw
