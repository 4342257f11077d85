#include "SiteTree.h"

#include <algorithm>

namespace tw {

struct SiteTree::Node {
  SiteTreeNode data;
  Node* parent = nullptr;
  std::list<Node*> children;
  std::list<Node*>::iterator position;  // in the parent's children or in roots_
};

SiteTree::SiteTree(QObject* parent) : QObject(parent) {}

SiteTree::~SiteTree() { qDeleteAll(nodes_); }

SiteTree::Node* SiteTree::node(const QString& key) const { return nodes_.value(key, nullptr); }

bool SiteTree::addNode(const QString& parentKey, const QString& key, const QString& text, const QString& image) {
  if (nodes_.contains(key)) return false;
  Node* parent = nullptr;
  if (!parentKey.isEmpty()) {
    parent = node(parentKey);
    if (!parent) return false;
  }
  auto* n = new Node;
  n->data.key = key;
  n->data.text = text;
  n->data.image = image;
  n->data.parentKey = parentKey;
  n->parent = parent;
  std::list<Node*>& siblings = parent ? parent->children : roots_;
  n->position = siblings.insert(siblings.end(), n);
  nodes_.insert(key, n);
  Q_EMIT nodeAdded(key);
  return true;
}

void SiteTree::removeRecursive(Node* n) {
  while (!n->children.empty()) removeRecursive(n->children.back());
  Q_EMIT nodeAboutToBeRemoved(n->data.key);
  std::list<Node*>& siblings = n->parent ? n->parent->children : roots_;
  siblings.erase(n->position);
  nodes_.remove(n->data.key);
  if (selectedKey_ == n->data.key) selectedKey_.clear();
  delete n;
}

void SiteTree::removeNode(const QString& key) {
  if (Node* n = node(key)) removeRecursive(n);
}

void SiteTree::clear() {
  qDeleteAll(nodes_);
  nodes_.clear();
  roots_.clear();
  selectedKey_.clear();
  Q_EMIT cleared();
}

const SiteTreeNode* SiteTree::find(const QString& key) const {
  const Node* n = node(key);
  return n ? &n->data : nullptr;
}

int SiteTree::childCount(const QString& key) const {
  const Node* n = node(key);
  return n ? static_cast<int>(n->children.size()) : 0;
}

QStringList SiteTree::childKeys(const QString& key) const {
  QStringList keys;
  if (const Node* n = node(key)) {
    for (const Node* child : n->children) keys << child->data.key;
  }
  return keys;
}

QStringList SiteTree::rootKeys() const {
  QStringList keys;
  for (const Node* n : roots_) keys << n->data.key;
  return keys;
}

QStringList SiteTree::rootKeysInDisplayOrder() const {
  if (!sorted_) return rootKeys();
  std::vector<const Node*> ordered(roots_.begin(), roots_.end());
  std::stable_sort(ordered.begin(), ordered.end(), [](const Node* a, const Node* b) {
    return QString::compare(a->data.text, b->data.text, Qt::CaseInsensitive) < 0;
  });
  QStringList keys;
  for (const Node* n : ordered) keys << n->data.key;
  return keys;
}

template <typename Field, typename Value>
void SiteTree::update(const QString& key, Field SiteTreeNode::*field, const Value& value) {
  Node* n = node(key);
  if (!n || n->data.*field == value) return;
  n->data.*field = value;
  Q_EMIT nodeChanged(key);
}

void SiteTree::setText(const QString& key, const QString& text) { update(key, &SiteTreeNode::text, text); }
void SiteTree::setImage(const QString& key, const QString& image) { update(key, &SiteTreeNode::image, image); }
void SiteTree::setTag(const QString& key, const QString& tag) { update(key, &SiteTreeNode::tag, tag); }
void SiteTree::setBold(const QString& key, bool bold) { update(key, &SiteTreeNode::bold, bold); }
void SiteTree::setExpanded(const QString& key, bool expanded) { update(key, &SiteTreeNode::expanded, expanded); }
void SiteTree::setBackColor(const QString& key, Rgb color) { update(key, &SiteTreeNode::backColor, color); }

void SiteTree::select(const QString& key) {
  const QString target = nodes_.contains(key) ? key : QString();
  if (target == selectedKey_) return;
  selectedKey_ = target;
  Q_EMIT selectionChanged(selectedKey_);
}

void SiteTree::setSorted(bool sorted) {
  if (sorted_ == sorted) return;
  sorted_ = sorted;
  Q_EMIT sortedChanged(sorted);
}

}  // namespace tw
