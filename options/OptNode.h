#pragma once

#include <QString>
#include <QTreeWidgetItem>
#include <QVariant>

namespace tw {

class ImageList;
class XTreeOpt;

// What a node is, read from the first six characters of its image key.
enum class OptNodeKind { Other, Folder, Option, Check };
OptNodeKind KindOfImage(const QString& imageKey);
// 1 on ("Y"), 0 off ("N"), 2 partial ("P") from the character after the
// first six; -1 for anything else.
int ValueOfImage(const QString& imageKey);

// A node of the option tree (XTreeOpt): a folder, an option button or a
// check box. Its kind and state are its image key, which only the control
// changes; the node shows the control's picture for that key and gives its
// checked state to whatever reads the model (OptTreeAccessible describes it
// to screen readers).
class OptNode : public QTreeWidgetItem {
 public:
  static constexpr int kType = QTreeWidgetItem::UserType + 1;

  OptNode(XTreeOpt& owner, const QString& key, const QString& text, const QString& image);

  QString Key() const { return key_; }
  QString Text() const { return text(0); }
  QString Image() const { return image_; }
  OptNodeKind Kind() const { return KindOfImage(image_); }
  // The node's place in the control's node collection, from 1.
  int Index() const;
  QVariant Tag() const { return tag_; }
  void setTag(const QVariant& tag) { tag_ = tag; }
  bool Bold() const { return font(0).bold(); }
  void setBold(bool bold);

  OptNode* Parent() const;
  OptNode* Child(int i) const;
  int Children() const { return childCount(); }

  QVariant data(int column, int role) const override;

 private:
  friend class XTreeOpt;
  void setImage(const QString& image);

  XTreeOpt& owner_;
  QString key_;
  QString image_;
  QVariant tag_;
};

}  // namespace tw
