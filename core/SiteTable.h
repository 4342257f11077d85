#pragma once

#include "SiteRecord.h"

#include <QString>

#include <vector>

namespace tw {

// The catalogue: rows 1..count(); row 0 exists and is never used. Every part
// of the program names a site by its index here.
class SiteTable {
 public:
  SiteTable();

  void Clear();
  void Append(SiteRecord row);

  // The last site index (17 for the built-in catalogue).
  int LastIndex() const { return static_cast<int>(rows_.size()) - 1; }
  bool IsSiteIndex(int index) const { return index >= 1 && index <= LastIndex(); }

  SiteRecord& operator[](int index) { return rows_.at(static_cast<size_t>(index)); }
  const SiteRecord& operator[](int index) const { return rows_.at(static_cast<size_t>(index)); }

  // First index, 1 upward, whose Key / Title equals the text; 0 when none.
  int IndexOfKey(const QString& key) const;
  int IndexOfTitle(const QString& title) const;

 private:
  std::vector<SiteRecord> rows_;
};

}  // namespace tw
