// The store's reads: what the file holds, seen through the changes still
// kept for it, so that reads show the store as it will be.
#include "RegistryStoreInternal.h"
#include <QMap>

#include <algorithm>

namespace tw {

using namespace store_internal;

bool RegistryStore::keyExists(const QString& path) {
  const QString fold = FoldName(NormaliseKeyPath(path));
  // Opening first: it may bring changes kept from the last run.
  const bool opened = ensureOpen();
  if (fold.isEmpty()) return opened;
  if (const PendingWrites::KeyRow* row = pending_.key(fold)) return row->exists;
  return opened && fileKeyExists(fold).value_or(false);
}

QStringList RegistryStore::subKeyNames(const QString& path) {
  const QString parent = FoldName(NormaliseKeyPath(path));
  // By folded name, the order the file lists them in.
  QMap<QString, QString> names;
  if (ensureOpen()) {
    if (sqlite3_stmt* stmt =
            prepare("SELECT fold, path FROM keys WHERE parent = (SELECT id FROM keys WHERE fold = ?1)")) {
      BindText(stmt, 1, parent);
      int rc = SQLITE_ROW;
      while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) names.insert(ColumnText(stmt, 0), LastName(ColumnText(stmt, 1)));
      sqlite3_reset(stmt);
      if (rc != SQLITE_DONE) noteReadFailure(rc);
    }
  }
  for (const auto& [fold, row] : pending_.keysUnder(parent)) {
    if (row->exists) {
      names.insert(fold, LastName(row->path));
    } else {
      names.remove(fold);
    }
  }
  return names.values();
}

std::optional<RegistryStore::StoredValue> RegistryStore::value(const QString& path, const QString& name) {
  const QString keyFold = FoldName(NormaliseKeyPath(path));
  const QString nameFold = FoldName(name);
  const bool opened = ensureOpen();
  if (const PendingWrites::ValueRow* row = pending_.value(keyFold, nameFold)) {
    return row->exists ? std::optional<StoredValue>(StoredValue{row->kind, row->data}) : std::nullopt;
  }
  if (pending_.valuesCleared(keyFold) || !opened) return std::nullopt;
  sqlite3_stmt* stmt =
      prepare("SELECT kind, data FROM vals WHERE key = (SELECT id FROM keys WHERE fold = ?1) AND fold = ?2");
  if (!stmt) return std::nullopt;
  BindText(stmt, 1, keyFold);
  BindText(stmt, 2, nameFold);
  std::optional<StoredValue> result;
  const int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) {
    StoredValue v;
    v.kind = sqlite3_column_int(stmt, 0);
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, 1));
    v.data = QByteArray(bytes, sqlite3_column_bytes(stmt, 1));
    result = std::move(v);
  }
  sqlite3_reset(stmt);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) noteReadFailure(rc);
  return result;
}

std::optional<bool> RegistryStore::fileHasRow(const char* sql, const QString& fold) {
  sqlite3_stmt* stmt = prepare(sql);
  if (!stmt) return std::nullopt;
  BindText(stmt, 1, fold);
  const int rc = sqlite3_step(stmt);
  sqlite3_reset(stmt);
  if (rc == SQLITE_ROW || rc == SQLITE_DONE) return rc == SQLITE_ROW;
  noteReadFailure(rc);
  return std::nullopt;
}

std::optional<bool> RegistryStore::fileKeyExists(const QString& fold) {
  return fileHasRow("SELECT 1 FROM keys WHERE fold = ?1", fold);
}

std::optional<bool> RegistryStore::fileHasSubKeys(const QString& fold) {
  return fileHasRow("SELECT 1 FROM keys WHERE parent = (SELECT id FROM keys WHERE fold = ?1) LIMIT 1", fold);
}

std::optional<qint64> RegistryStore::fileKeyId(QStringView fold) {
  sqlite3_stmt* stmt = prepare("SELECT id FROM keys WHERE fold = ?1");
  if (!stmt) return std::nullopt;
  BindText(stmt, 1, fold);
  const int rc = sqlite3_step(stmt);
  const qint64 id = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : kNoKey;
  sqlite3_reset(stmt);
  if (rc == SQLITE_ROW || rc == SQLITE_DONE) return id;
  noteReadFailure(rc);
  return std::nullopt;
}

// A read that failed inside a group decides nothing: the group fails. One
// that met the lock has the following ones skip the wait until it is free.
void RegistryStore::noteReadFailure(int rc) {
  if (depth_ > 0) transactionFailed_ = true;
  if (IsBusy(rc) && depth_ == 0) startKeeping();
}

}  // namespace tw
