#include "SiteTable.h"

namespace tw {

SiteTable::SiteTable() { Clear(); }

void SiteTable::Clear() {
  rows_.clear();
  rows_.emplace_back();
}

void SiteTable::Append(SiteRecord row) { rows_.push_back(std::move(row)); }

int SiteTable::IndexOfKey(const QString& key) const {
  for (int i = 1; i <= LastIndex(); ++i) {
    if (rows_[static_cast<size_t>(i)].Key == key) return i;
  }
  return 0;
}

int SiteTable::IndexOfTitle(const QString& title) const {
  for (int i = 1; i <= LastIndex(); ++i) {
    if (rows_[static_cast<size_t>(i)].Title == title) return i;
  }
  return 0;
}

}  // namespace tw
