// The store's writes: transactions, single changes and a key with all its
// values in few statements; a change that meets another program's lock is
// kept (see RegistryStoreKept.cpp).
#include "RegistryStoreInternal.h"
#include <QDir>

#include <algorithm>
#include <utility>

namespace tw {

using namespace store_internal;

RegistryStore::Begun RegistryStore::begin(int waitMs) {
  if (!ensureOpen()) return state_ == OpenState::Locked ? Begun::Busy : Begun::Failed;
  setWait(waitMs);
  confirmedKey_.clear();
  const int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  setWait(keeping_ ? 0 : kMomentMs);
  if (rc == SQLITE_OK) return Begun::Yes;
  if (IsBusy(rc)) return Begun::Busy;
  reportFailure(QStringLiteral("save a change"), rc);
  return Begun::Failed;
}

// A single write outside a caller's transaction is a transaction of its own;
// inside one it joins it. After a failed write the caller's transaction only
// waits to be rolled back: SQLite may already have rolled it back, and later
// statements would otherwise commit on their own.
RegistryStore::Begun RegistryStore::beginWrite() {
  if (depth_ > 0) return transactionFailed_ ? Begun::Failed : Begun::Yes;
  return begin(kMomentMs);
}

void RegistryStore::endWrite(bool ok) {
  if (depth_ > 0) {
    if (!ok) transactionFailed_ = true;
    return;
  }
  if (ok) {
    const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return;
    reportFailure(QStringLiteral("save a change"), rc);
  }
  if (!sqlite3_get_autocommit(db_)) exec("ROLLBACK");
}

bool RegistryStore::beginTransaction() {
  if (depth_ == 0) {
    transactionFailed_ = false;
    if (!keeping_) {
      const Begun begun = begin(kMomentMs);
      if (begun == Begun::Failed) return false;
      if (begun == Begun::Busy) startKeeping();
    }
    if (keeping_) pending_.openGroup();
  }
  ++depth_;
  return true;
}

bool RegistryStore::commitTransaction() {
  if (depth_ == 0) return false;
  if (--depth_ > 0) return !transactionFailed_;
  const bool failed = std::exchange(transactionFailed_, false);
  if (pending_.isGroupOpen()) {
    // A kept group is only as good as the reads it was made from.
    if (failed || state_ != OpenState::Open) {
      pending_.dropOpenGroup();
      rebuildExpected();
      return false;
    }
    pending_.closeGroup();
    return true;
  }
  if (!failed) {
    const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return true;
    reportFailure(QStringLiteral("save a group of changes"), rc);
  }
  if (!sqlite3_get_autocommit(db_)) exec("ROLLBACK");
  return false;
}

void RegistryStore::rollbackTransaction() {
  if (depth_ == 0) return;
  transactionFailed_ = true;
  if (--depth_ > 0) return;
  transactionFailed_ = false;
  if (pending_.isGroupOpen()) {
    pending_.dropOpenGroup();
    rebuildExpected();
  } else if (!sqlite3_get_autocommit(db_)) {
    exec("ROLLBACK");
  }
}

void RegistryStore::setPageLimitForTesting(int pages) {
  if (!ensureOpen()) return;
  exec(QStringLiteral("PRAGMA max_page_count=%1").arg(pages).toLatin1().constData());
}

void RegistryStore::createKey(const QString& path) {
  QString normal = NormaliseKeyPath(path);
  if (!normal.isEmpty()) write(MakeChange(StoreChange::Kind::CreateKey, std::move(normal)));
}

void RegistryStore::deleteKey(const QString& path) {
  QString normal = NormaliseKeyPath(path);
  if (!normal.isEmpty()) write(MakeChange(StoreChange::Kind::DeleteKey, std::move(normal)));
}

void RegistryStore::setValue(const QString& path, const QString& name, int kind, const QByteArray& data) {
  write(MakeChange(StoreChange::Kind::SetValue, NormaliseKeyPath(path), name, kind, data));
}

void RegistryStore::deleteValue(const QString& path, const QString& name) {
  write(MakeChange(StoreChange::Kind::DeleteValue, NormaliseKeyPath(path), name));
}

void RegistryStore::createKeyWithValues(const QString& path, const std::vector<NamedValue>& values) {
  QString normal = NormaliseKeyPath(path);
  if (normal.isEmpty()) {
    // The root is no key to create; its values are written as they are.
    for (const NamedValue& value : values) setValue(normal, value.name, value.kind, value.data);
    return;
  }
  const StoreChange create = MakeChange(StoreChange::Kind::CreateKey, std::move(normal));
  switch (beginChange()) {
    case Begun::Yes:
      endWrite(apply(create) && applyValues(create, values));
      break;
    case Begun::Busy:
      keep(create);
      for (const NamedValue& value : values) {
        keep({StoreChange::Kind::SetValue, create.path, value.name, value.kind, value.data, create.pathFold,
              FoldName(value.name)});
      }
      break;
    case Begun::Failed:
      break;
  }
}


// --- changes --------------------------------------------------------------

// Yes: the change goes to the file, in a write begun for it that the caller
// ends. Busy: it is to be kept. Failed: it is lost (reported).
RegistryStore::Begun RegistryStore::beginChange() {
  // Inside the file's own transaction the lock is ours already.
  const bool fileTransaction = depth_ > 0 && !pending_.isGroupOpen();
  if (keeping_ && !fileTransaction) return Begun::Busy;
  const Begun begun = beginWrite();
  if (begun == Begun::Busy) startKeeping();
  return begun;
}

void RegistryStore::write(StoreChange change) {
  switch (beginChange()) {
    case Begun::Yes:
      endWrite(apply(change));
      break;
    case Begun::Busy:
      keep(std::move(change));
      break;
    case Begun::Failed:
      break;
  }
}

// The change itself, inside a transaction that is already open.
bool RegistryStore::apply(const StoreChange& change) {
  const QString& fold = change.pathFold;
  int rc = SQLITE_ERROR;
  switch (change.kind) {
    case StoreChange::Kind::CreateKey:
      rc = createKeyInFile(change);
      break;
    case StoreChange::Kind::DeleteKey: {
      confirmedKey_.clear();
      const std::optional<qint64> id = fileKeyId(fold);
      const std::optional<bool> hasSubKeys = fileHasSubKeys(fold);
      rc = id && hasSubKeys ? SQLITE_DONE : SQLITE_ERROR;
      if (rc == SQLITE_DONE && *id != kNoKey && !*hasSubKeys) {
        for (const char* sql : {"DELETE FROM vals WHERE key = ?1", "DELETE FROM keys WHERE id = ?1"}) {
          sqlite3_stmt* stmt = prepare(sql);
          if (!stmt) {
            rc = SQLITE_ERROR;
            break;
          }
          sqlite3_bind_int64(stmt, 1, *id);
          rc = sqlite3_step(stmt);
          sqlite3_reset(stmt);
          if (rc != SQLITE_DONE) break;
        }
      }
      if (rc != SQLITE_DONE) reportFailure(QStringLiteral("delete the key %1").arg(change.path), rc);
      break;
    }
    case StoreChange::Kind::SetValue: {
      // Like the registry, writing never creates the key.
      sqlite3_stmt* stmt = prepare(
          "INSERT INTO vals(key, fold, name, kind, data) SELECT id, ?2, ?3, ?4, ?5 FROM keys WHERE fold = ?1 "
          "ON CONFLICT(key, fold) DO UPDATE SET kind = excluded.kind, data = excluded.data");
      if (stmt) {
        BindText(stmt, 1, fold);
        BindText(stmt, 2, change.nameFold);
        BindText(stmt, 3, change.name);
        sqlite3_bind_int(stmt, 4, change.valueKind);
        sqlite3_bind_blob(stmt, 5, change.data.constData(), static_cast<int>(change.data.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
      }
      if (rc != SQLITE_DONE) reportFailure(QStringLiteral("save the value \"%1\"").arg(change.name), rc);
      break;
    }
    case StoreChange::Kind::DeleteValue: {
      sqlite3_stmt* stmt =
          prepare("DELETE FROM vals WHERE key = (SELECT id FROM keys WHERE fold = ?1) AND fold = ?2");
      if (stmt) {
        BindText(stmt, 1, fold);
        BindText(stmt, 2, change.nameFold);
        rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
      }
      if (rc != SQLITE_DONE) reportFailure(QStringLiteral("delete the value \"%1\"").arg(change.name), rc);
      break;
    }
  }
  return rc == SQLITE_DONE;
}

// Upwards from the key to the nearest key above it that is known or in the
// file (a key's parents always are), then the missing ones are made
// downwards, each under the one made before it. Folding keeps the "\" between
// the names, so the folded path is cut name by name with the path.
int RegistryStore::createKeyInFile(const StoreChange& change) {
  const QString& fold = change.pathFold;
  if (fold == confirmedKey_) {
    createdKeyId_ = confirmedKeyId_;
    return SQLITE_DONE;
  }
  struct Missing {
    qsizetype foldEnd;
    qsizetype end;
  };
  std::vector<Missing> missing;
  const QStringView path(change.path);
  qsizetype end = path.size();
  qsizetype foldEnd = fold.size();
  std::optional<qint64> above;
  while (true) {
    missing.push_back({foldEnd, end});
    end = std::max<qsizetype>(path.first(end).lastIndexOf(u'\\'), 0);
    foldEnd = std::max<qsizetype>(QStringView(fold).first(foldEnd).lastIndexOf(u'\\'), 0);
    const QStringView parent = QStringView(fold).first(foldEnd);
    if (parent.isEmpty()) {
      above = 0;
    } else if (parent == confirmedKey_) {
      above = confirmedKeyId_;
    } else {
      above = fileKeyId(parent);
      if (above && *above == kNoKey) continue;
    }
    break;
  }
  int rc = above ? SQLITE_DONE : SQLITE_ERROR;
  qint64 parentId = kNoKey;
  sqlite3_stmt* insert = prepare("INSERT OR IGNORE INTO keys(fold, path, parent) VALUES(?1, ?2, ?3)");
  if (!insert) rc = SQLITE_ERROR;
  for (auto key = missing.rbegin(); rc == SQLITE_DONE && key != missing.rend(); ++key) {
    parentId = *above;
    const QByteArray keyFold = QStringView(fold).first(key->foldEnd).toUtf8();
    const QByteArray keyPath = path.first(key->end).toUtf8();
    BindUtf8(insert, 1, keyFold);
    BindUtf8(insert, 2, keyPath);
    sqlite3_bind_int64(insert, 3, parentId);
    rc = sqlite3_step(insert);
    sqlite3_reset(insert);
    if (rc != SQLITE_DONE) break;
    // Only the topmost of them can have been there already.
    above = sqlite3_changes(db_) > 0 ? std::optional<qint64>(sqlite3_last_insert_rowid(db_))
                                     : fileKeyId(QStringView(fold).first(key->foldEnd));
    if (!above || *above == kNoKey) rc = SQLITE_ERROR;
  }
  if (rc == SQLITE_DONE) {
    createdKeyId_ = *above;
    // Every key above it is there now too.
    const qsizetype cut = fold.lastIndexOf(u'\\');
    confirmedKey_ = cut > 0 ? fold.left(cut) : QString();
    confirmedKeyId_ = cut > 0 ? parentId : kNoKey;
  } else {
    createdKeyId_ = kNoKey;
    confirmedKey_.clear();
    reportFailure(QStringLiteral("create the key %1").arg(change.path), rc);
  }
  return rc;
}

// Values into the key the open write has just created, by its number, and
// many in one statement: on long item lists the time goes into the
// statements rather than the rows.
bool RegistryStore::applyValues(const StoreChange& key, const std::vector<NamedValue>& values) {
  // Names come from the program, not from feeds; the bound keeps a caller
  // that makes them up from growing the list without end. Only here, before
  // anything is bound from it.
  constexpr size_t kMostNames = 64;
  if (nameBytes_.size() > kMostNames) nameBytes_.clear();
  for (size_t first = 0; first < values.size(); first += kValuesPerInsert) {
    const size_t rows = std::min(kValuesPerInsert, values.size() - first);
    sqlite3_stmt* stmt = valueInsert(rows);
    int rc = SQLITE_ERROR;
    if (stmt) {
      sqlite3_bind_int64(stmt, 1, createdKeyId_);
      for (size_t row = 0; row < rows; ++row) {
        const NamedValue& value = values[first + row];
        const int param = 2 + 4 * static_cast<int>(row);
        const NameBytes& name = nameBytes(value.name);
        BindUtf8(stmt, param, name.fold);
        BindUtf8(stmt, param + 1, name.utf8);
        sqlite3_bind_int(stmt, param + 2, value.kind);
        sqlite3_bind_blob(stmt, param + 3, value.data.constData(), static_cast<int>(value.data.size()),
                          SQLITE_STATIC);
      }
      rc = sqlite3_step(stmt);
      sqlite3_reset(stmt);
    }
    if (rc != SQLITE_DONE) {
      reportFailure(QStringLiteral("save the values of the key %1").arg(key.path), stmt ? rc : sqlite3_errcode(db_));
      return false;
    }
  }
  return true;
}

const RegistryStore::NameBytes& RegistryStore::nameBytes(const QString& name) {
  for (const NameBytes& known : nameBytes_) {
    if (known.name == name) return known;
  }
  nameBytes_.push_back({name, FoldName(name).toUtf8(), name.toUtf8()});
  return nameBytes_.back();
}

// The statement that writes this many values into the key ?1, made once.
sqlite3_stmt* RegistryStore::valueInsert(size_t rows) {
  if (valueInserts_.size() < rows) valueInserts_.resize(rows, nullptr);
  sqlite3_stmt*& stmt = valueInserts_[rows - 1];
  if (stmt) return stmt;
  QByteArray sql("INSERT INTO vals(key, fold, name, kind, data) VALUES");
  for (size_t row = 0; row < rows; ++row) {
    sql += row == 0 ? "(?1" : ", (?1";
    const int first = 2 + 4 * static_cast<int>(row);
    for (int param = first; param < first + 4; ++param) sql += ", ?" + QByteArray::number(param);
    sql += ')';
  }
  sql += " ON CONFLICT(key, fold) DO UPDATE SET kind = excluded.kind, data = excluded.data";
  if (sqlite3_prepare_v3(db_, sql.constData(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    stmt = nullptr;
  }
  return stmt;
}

}  // namespace tw
