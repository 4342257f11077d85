#pragma once

#include "SiteRecord.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <list>
#include <memory>

namespace tw {

// What a tree node holds: the fields the program reads and writes.
struct SiteTreeNode {
  QString key;
  QString text;
  QString image;
  QString tag;
  bool bold = false;
  bool expanded = false;
  Rgb backColor = RGB(255, 255, 255);
  QString parentKey;  // empty for a top-level (site) node
};

// The engine's tree of sites and items. The window's tree view mirrors it
// through the change signals; a second instance serves as the hidden staging
// list of a merge. Keys are unique and compared exactly. Children keep their
// insertion order; with the sort flag on, views show the top level sorted
// by text (as rootKeysInDisplayOrder gives it).
class SiteTree : public QObject {
  Q_OBJECT

 public:
  explicit SiteTree(QObject* parent = nullptr);
  ~SiteTree() override;

  // Adds a node as the last child of parentKey (empty: a top-level node).
  // False, and nothing changes, when the key is taken or the parent missing.
  bool addNode(const QString& parentKey, const QString& key, const QString& text, const QString& image);
  // Removes the node with all of its children.
  void removeNode(const QString& key);
  void clear();

  bool contains(const QString& key) const { return nodes_.contains(key); }
  const SiteTreeNode* find(const QString& key) const;
  int nodeCount() const { return static_cast<int>(nodes_.size()); }
  int childCount(const QString& key) const;
  QStringList childKeys(const QString& key) const;
  QStringList rootKeys() const;
  QStringList rootKeysInDisplayOrder() const;

  void setText(const QString& key, const QString& text);
  void setImage(const QString& key, const QString& image);
  void setTag(const QString& key, const QString& tag);
  void setBold(const QString& key, bool bold);
  void setExpanded(const QString& key, bool expanded);
  void setBackColor(const QString& key, Rgb color);

  QString selectedKey() const { return selectedKey_; }
  void select(const QString& key);

  bool sorted() const { return sorted_; }
  void setSorted(bool sorted);

  // Groups the changes of one operation (a site's merge, a title refresh).
  // Every change is still reported as it happens; a view may hold back its
  // own work until the outermost group has ended (batchEnded), and then
  // rebuild a branch once instead of item by item. Groups nest.
  class Batch {
   public:
    explicit Batch(SiteTree& tree) : tree_(tree) { ++tree_.batchDepth_; }
    ~Batch() {
      if (--tree_.batchDepth_ == 0) Q_EMIT tree_.batchEnded();
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    SiteTree& tree_;
  };
  bool inBatch() const { return batchDepth_ > 0; }

 Q_SIGNALS:
  void nodeAdded(const QString& key);
  // Sent before the node and its children are gone, children first.
  void nodeAboutToBeRemoved(const QString& key);
  void nodeChanged(const QString& key);
  void cleared();
  void sortedChanged(bool sorted);
  void selectionChanged(const QString& key);
  void batchEnded();

 private:
  struct Node;
  Node* node(const QString& key) const;
  void removeRecursive(Node* n);
  template <typename Field, typename Value>
  void update(const QString& key, Field SiteTreeNode::*field, const Value& value);

  QHash<QString, Node*> nodes_;
  std::list<Node*> roots_;
  QString selectedKey_;
  bool sorted_ = false;
  int batchDepth_ = 0;
};

}  // namespace tw
