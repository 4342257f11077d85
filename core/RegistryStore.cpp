#include "RegistryStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace tw {
namespace {

constexpr int kBusyTimeoutMs = 5000;

QString ParentPath(const QString& normalised) {
  const qsizetype cut = normalised.lastIndexOf(u'\\');
  return cut < 0 ? QString() : normalised.left(cut);
}

QString LastName(const QString& normalised) {
  const qsizetype cut = normalised.lastIndexOf(u'\\');
  return cut < 0 ? normalised : normalised.mid(cut + 1);
}

void BindText(sqlite3_stmt* stmt, int index, const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

QString ColumnText(sqlite3_stmt* stmt, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

bool IsCorruption(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

}  // namespace

QString NormaliseKeyPath(const QString& path) {
  return path.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

QString FoldName(const QString& name) { return name.toUpper(); }

RegistryStore::RegistryStore(QString filePath, Reporter reporter, bool shared)
    : filePath_(std::move(filePath)), report_(std::move(reporter)), shared_(shared) {}

RegistryStore::~RegistryStore() {
  while (depth_ > 0) rollbackTransaction();
  closeFile();
}

bool RegistryStore::isAvailable() { return ensureOpen(); }

bool RegistryStore::ensureOpen() {
  if (state_ == OpenState::Open) return true;
  if (state_ == OpenState::Unavailable) return false;

  bool corrupt = false;
  if (openFile(&corrupt)) {
    state_ = OpenState::Open;
    return true;
  }
  QString reason = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("cannot open the file");
  closeFile();
  if (corrupt) {
    moveCorruptFileAside();
    if (openFile(&corrupt)) {
      state_ = OpenState::Open;
      return true;
    }
    reason = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("cannot open the file");
    closeFile();
  }
  state_ = OpenState::Unavailable;
  if (report_) {
    report_(QStringLiteral("The settings store %1 cannot be opened for writing (%2): its settings read as "
                           "empty and changes to them are not saved. Make the file and its folder writable "
                           "for you, or set TIDEWIRE_HOME to a folder of your own.")
                .arg(QDir::toNativeSeparators(filePath_), reason),
            LogLevel::Warning);
  }
  return false;
}

bool RegistryStore::openFile(bool* corrupt) {
  *corrupt = false;
  const QFileInfo info(filePath_);
  QDir().mkpath(info.absolutePath());
  const bool existed = info.exists();

  const QByteArray path = QFile::encodeName(filePath_);
  int rc = sqlite3_open_v2(path.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  if (rc != SQLITE_OK) {
    *corrupt = IsCorruption(rc);
    return false;
  }
  if (sqlite3_db_readonly(db_, "main") == 1) return false;
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db_, 1);

  if (!existed && shared_) {
    QFile::setPermissions(filePath_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                                         QFile::ReadOther);
  }

  // journal_mode is the first statement that reads the file header, so a file
  // that is not a database shows up here.
  sqlite3_stmt* stmt = nullptr;
  rc = sqlite3_prepare_v2(db_, "PRAGMA journal_mode=WAL", -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  const QString mode = rc == SQLITE_ROW ? ColumnText(stmt, 0) : QString();
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW) {
    *corrupt = IsCorruption(rc);
    return false;
  }
  // A folder we may not write keeps the file out of WAL mode; writes would fail.
  if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) return false;
  if (!exec("PRAGMA synchronous=FULL")) return false;
  // A site's item list is rebuilt in one transaction; with SQLite's default
  // 2 MB page cache a long list spills to the file halfway and the rebuild
  // slows down more than in proportion. 32 MB holds the longest list.
  exec("PRAGMA cache_size=-32768");

  rc = sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &stmt, nullptr);
  QString verdict;
  if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) verdict = ColumnText(stmt, 0);
  sqlite3_finalize(stmt);
  if (verdict != QLatin1String("ok")) {
    *corrupt = verdict.isEmpty() ? IsCorruption(rc) || rc == SQLITE_ROW : true;
    return false;
  }

  return exec("CREATE TABLE IF NOT EXISTS keys(fold TEXT PRIMARY KEY, path TEXT NOT NULL, parent TEXT NOT NULL) "
              "WITHOUT ROWID") &&
         exec("CREATE INDEX IF NOT EXISTS keys_parent ON keys(parent)") &&
         exec("CREATE TABLE IF NOT EXISTS vals(key TEXT NOT NULL, fold TEXT NOT NULL, name TEXT NOT NULL, "
              "kind INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key, fold)) WITHOUT ROWID");
}

void RegistryStore::closeFile() {
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  statements_.clear();
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

void RegistryStore::moveCorruptFileAside() {
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
  QString aside = filePath_ + QStringLiteral(".corrupt-") + stamp;
  for (int n = 2; QFile::exists(aside); ++n) aside = filePath_ + QStringLiteral(".corrupt-%1-%2").arg(stamp).arg(n);
  const bool moved = QFile::rename(filePath_, aside);
  QFile::rename(filePath_ + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
  QFile::remove(filePath_ + QStringLiteral("-shm"));
  if (report_) {
    report_(moved ? QStringLiteral("The settings store %1 was damaged. It has been kept as %2 and a fresh store "
                                   "started; settings and items kept there start again from their defaults.")
                        .arg(QDir::toNativeSeparators(filePath_), QDir::toNativeSeparators(aside))
                  : QStringLiteral("The settings store %1 is damaged and could not be moved aside.")
                        .arg(QDir::toNativeSeparators(filePath_)),
            LogLevel::Error);
  }
}

bool RegistryStore::exec(const char* sql) {
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite3_stmt* RegistryStore::prepare(const char* sql) {
  for (auto& [text, stmt] : statements_) {
    if (text == sql) {
      sqlite3_reset(stmt);
      sqlite3_clear_bindings(stmt);
      return stmt;
    }
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) return nullptr;
  statements_.emplace_back(sql, stmt);
  return stmt;
}

void RegistryStore::reportFailure(const QString& what, int rc) {
  if (!report_) return;
  report_(QStringLiteral("Could not %1 in the settings store %2: %3")
              .arg(what, QDir::toNativeSeparators(filePath_), QString::fromUtf8(sqlite3_errstr(rc))),
          LogLevel::Error);
}

// A single write outside a caller's transaction is a transaction of its own;
// inside one it joins it. After a failed write the caller's transaction only
// waits to be rolled back: SQLite may already have rolled it back, and later
// statements would otherwise commit on their own.
bool RegistryStore::beginWrite() {
  if (!ensureOpen()) return false;
  if (depth_ > 0) return !transactionFailed_;
  const int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    reportFailure(QStringLiteral("save a change"), rc);
    return false;
  }
  return true;
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
  if (!ensureOpen()) return false;
  if (depth_ == 0) {
    const int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      reportFailure(QStringLiteral("start saving a group of changes"), rc);
      return false;
    }
    transactionFailed_ = false;
  }
  ++depth_;
  return true;
}

bool RegistryStore::commitTransaction() {
  if (depth_ == 0) return false;
  if (--depth_ > 0) return !transactionFailed_;
  if (!transactionFailed_) {
    const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return true;
    reportFailure(QStringLiteral("save a group of changes"), rc);
  }
  if (!sqlite3_get_autocommit(db_)) exec("ROLLBACK");
  transactionFailed_ = false;
  return false;
}

void RegistryStore::rollbackTransaction() {
  if (depth_ == 0) return;
  transactionFailed_ = true;
  if (--depth_ > 0) return;
  if (!sqlite3_get_autocommit(db_)) exec("ROLLBACK");
  transactionFailed_ = false;
}

void RegistryStore::setPageLimitForTesting(int pages) {
  if (!ensureOpen()) return;
  exec(QStringLiteral("PRAGMA max_page_count=%1").arg(pages).toLatin1().constData());
}

void RegistryStore::createKey(const QString& path) {
  const QString normal = NormaliseKeyPath(path);
  if (normal.isEmpty() || !beginWrite()) return;
  sqlite3_stmt* stmt = prepare("INSERT OR IGNORE INTO keys(fold, path, parent) VALUES(?1, ?2, ?3)");
  bool ok = stmt != nullptr;
  int rc = SQLITE_OK;
  qsizetype end = 0;
  while (ok && end < normal.size()) {
    end = normal.indexOf(u'\\', end + 1);
    if (end < 0) end = normal.size();
    const QString prefix = normal.left(end);
    sqlite3_reset(stmt);
    BindText(stmt, 1, FoldName(prefix));
    BindText(stmt, 2, prefix);
    BindText(stmt, 3, FoldName(ParentPath(prefix)));
    rc = sqlite3_step(stmt);
    ok = rc == SQLITE_DONE;
  }
  if (!ok) reportFailure(QStringLiteral("create the key %1").arg(normal), rc);
  endWrite(ok);
}

void RegistryStore::deleteKey(const QString& path) {
  const QString fold = FoldName(NormaliseKeyPath(path));
  if (fold.isEmpty() || !keyExists(path) || !subKeyNames(path).isEmpty()) return;
  if (!beginWrite()) return;
  int rc = SQLITE_DONE;
  for (const char* sql : {"DELETE FROM vals WHERE key = ?1", "DELETE FROM keys WHERE fold = ?1"}) {
    sqlite3_stmt* stmt = prepare(sql);
    if (!stmt) {
      rc = SQLITE_ERROR;
      break;
    }
    BindText(stmt, 1, fold);
    rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) break;
  }
  if (rc != SQLITE_DONE) reportFailure(QStringLiteral("delete the key %1").arg(NormaliseKeyPath(path)), rc);
  endWrite(rc == SQLITE_DONE);
}

bool RegistryStore::keyExists(const QString& path) {
  const QString fold = FoldName(NormaliseKeyPath(path));
  if (fold.isEmpty()) return ensureOpen();
  if (!ensureOpen()) return false;
  sqlite3_stmt* stmt = prepare("SELECT 1 FROM keys WHERE fold = ?1");
  if (!stmt) return false;
  BindText(stmt, 1, fold);
  const bool found = sqlite3_step(stmt) == SQLITE_ROW;
  sqlite3_reset(stmt);
  return found;
}

QStringList RegistryStore::subKeyNames(const QString& path) {
  QStringList names;
  if (!ensureOpen()) return names;
  sqlite3_stmt* stmt = prepare("SELECT path FROM keys WHERE parent = ?1 ORDER BY fold");
  if (!stmt) return names;
  BindText(stmt, 1, FoldName(NormaliseKeyPath(path)));
  while (sqlite3_step(stmt) == SQLITE_ROW) names << LastName(ColumnText(stmt, 0));
  sqlite3_reset(stmt);
  return names;
}

void RegistryStore::setValue(const QString& path, const QString& name, int kind, const QByteArray& data) {
  const QString keyFold = FoldName(NormaliseKeyPath(path));
  if (!beginWrite()) return;
  // Like the registry, writing never creates the key.
  sqlite3_stmt* stmt = prepare(
      "INSERT INTO vals(key, fold, name, kind, data) SELECT ?1, ?2, ?3, ?4, ?5 "
      "WHERE ?1 = '' OR EXISTS(SELECT 1 FROM keys WHERE fold = ?1) "
      "ON CONFLICT(key, fold) DO UPDATE SET kind = excluded.kind, data = excluded.data");
  int rc = SQLITE_ERROR;
  if (stmt) {
    BindText(stmt, 1, keyFold);
    BindText(stmt, 2, FoldName(name));
    BindText(stmt, 3, name);
    sqlite3_bind_int(stmt, 4, kind);
    sqlite3_bind_blob(stmt, 5, data.constData(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
  }
  if (rc != SQLITE_DONE) reportFailure(QStringLiteral("save the value \"%1\"").arg(name), rc);
  endWrite(rc == SQLITE_DONE);
}

void RegistryStore::deleteValue(const QString& path, const QString& name) {
  if (!beginWrite()) return;
  sqlite3_stmt* stmt = prepare("DELETE FROM vals WHERE key = ?1 AND fold = ?2");
  int rc = SQLITE_ERROR;
  if (stmt) {
    BindText(stmt, 1, FoldName(NormaliseKeyPath(path)));
    BindText(stmt, 2, FoldName(name));
    rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
  }
  if (rc != SQLITE_DONE) reportFailure(QStringLiteral("delete the value \"%1\"").arg(name), rc);
  endWrite(rc == SQLITE_DONE);
}

std::optional<RegistryStore::StoredValue> RegistryStore::value(const QString& path, const QString& name) {
  if (!ensureOpen()) return std::nullopt;
  sqlite3_stmt* stmt = prepare("SELECT kind, data FROM vals WHERE key = ?1 AND fold = ?2");
  if (!stmt) return std::nullopt;
  BindText(stmt, 1, FoldName(NormaliseKeyPath(path)));
  BindText(stmt, 2, FoldName(name));
  std::optional<StoredValue> result;
  if (sqlite3_step(stmt) == SQLITE_ROW) {
    StoredValue v;
    v.kind = sqlite3_column_int(stmt, 0);
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, 1));
    v.data = QByteArray(bytes, sqlite3_column_bytes(stmt, 1));
    result = std::move(v);
  }
  sqlite3_reset(stmt);
  return result;
}

}  // namespace tw
