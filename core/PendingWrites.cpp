#include "PendingWrites.h"

namespace tw {

qsizetype PendingWrites::changeCount() const {
  qsizetype count = open_ ? static_cast<qsizetype>(open_->size()) : 0;
  for (const auto& group : groups_) count += static_cast<qsizetype>(group.size());
  return count;
}

void PendingWrites::openGroup() { open_.emplace(); }

void PendingWrites::add(StoreChange change) {
  if (open_) {
    open_->push_back(std::move(change));
  } else {
    groups_.push_back({std::move(change)});
  }
}

void PendingWrites::closeGroup() {
  if (!open_) return;
  if (!open_->empty()) groups_.push_back(std::move(*open_));
  open_.reset();
}

void PendingWrites::dropOpenGroup() { open_.reset(); }

std::vector<StoreChange> PendingWrites::allChanges() const {
  std::vector<StoreChange> all;
  for (const auto& group : groups_) all.insert(all.end(), group.begin(), group.end());
  if (open_) all.insert(all.end(), open_->begin(), open_->end());
  return all;
}

const PendingWrites::KeyRow* PendingWrites::key(const QString& fold) const {
  const auto it = keys_.constFind(fold);
  return it == keys_.constEnd() ? nullptr : &*it;
}

const PendingWrites::ValueRow* PendingWrites::value(const QString& keyFold, const QString& nameFold) const {
  const auto key = values_.constFind(keyFold);
  if (key == values_.constEnd()) return nullptr;
  const auto it = key->constFind(nameFold);
  return it == key->constEnd() ? nullptr : &*it;
}

std::vector<std::pair<QString, const PendingWrites::KeyRow*>> PendingWrites::keysUnder(
    const QString& parentFold) const {
  std::vector<std::pair<QString, const KeyRow*>> found;
  for (const QString& fold : children_.value(parentFold)) found.emplace_back(fold, &*keys_.constFind(fold));
  return found;
}

void PendingWrites::putKey(const QString& fold, const QString& path, const QString& parentFold) {
  keys_.insert(fold, {true, path, parentFold});
  children_[parentFold].insert(fold);
}

void PendingWrites::removeKey(const QString& fold) {
  // The parent is kept, so listings under it still learn the key is gone.
  const qsizetype cut = fold.lastIndexOf(u'\\');
  const QString parentFold = cut < 0 ? QString() : fold.left(cut);
  keys_.insert(fold, {false, {}, parentFold});
  children_[parentFold].insert(fold);
  values_.remove(fold);
  cleared_.insert(fold);
}

void PendingWrites::putValue(const QString& keyFold, const QString& nameFold, const QString& name, int kind,
                             const QByteArray& data) {
  values_[keyFold].insert(nameFold, {true, name, kind, data});
}

void PendingWrites::removeValue(const QString& keyFold, const QString& nameFold) {
  values_[keyFold].insert(nameFold, {});
}

void PendingWrites::forgetRows() {
  keys_.clear();
  children_.clear();
  values_.clear();
  cleared_.clear();
}

}  // namespace tw
