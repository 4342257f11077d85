// The store's file: opening it (waiting for another program's lock),
// its tables' layout and their migration, a damaged file moved aside, and
// the statements every part runs through.
#include "RegistryStoreInternal.h"
#include "WalCheckpointer.h"
#include "Windows1252.h"

#include <QAbstractEventDispatcher>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace tw {

using namespace store_internal;

RegistryStore::RegistryStore(QString filePath, Reporter reporter, bool shared)
    : filePath_(std::move(filePath)), report_(std::move(reporter)), shared_(shared) {}

RegistryStore::~RegistryStore() {
  closing_ = true;
  while (depth_ > 0) rollbackTransaction();
  if (!pending_.isEmpty()) {
    const bool opened = state_ == OpenState::Open || (state_ == OpenState::Locked && open(kClosingWaitMs));
    if (!opened || !savePending(kClosingWaitMs)) keepPendingInFile();
  }
  closeFile();
}

void RegistryStore::whenReady(std::function<void()> callback) {
  if (isWaitingToOpen()) {
    whenReady_.push_back(std::move(callback));
  } else {
    callback();
  }
}

bool RegistryStore::isWaitingToOpen() {
  ensureOpen();
  return state_ == OpenState::Locked;
}

bool RegistryStore::ensureOpen() {
  if (state_ == OpenState::Open) return true;
  // Locked: the retry opens it; unavailable: for good.
  if (state_ != OpenState::NotTried) return false;
  return open(kMomentMs);
}

bool RegistryStore::open(int waitMs) {
  OpenFailure failure;
  Begun opened = openFile(waitMs, &failure);
  if (opened != Begun::Yes) closeFile();
  if (opened == Begun::Failed && failure.corrupt) {
    moveCorruptFileAside();
    failure = {};
    opened = openFile(waitMs, &failure);
    if (opened != Begun::Yes) closeFile();
  }
  switch (opened) {
    case Begun::Yes:
      state_ = OpenState::Open;
      setWait(keeping_ ? 0 : kMomentMs);
      takeKeptChanges();
      return true;
    case Begun::Busy:
      state_ = OpenState::Locked;
      startKeeping();
      // Said at once: until the lock is free nothing can even be read.
      announceBusy();
      takeKeptChanges();
      return false;
    case Begun::Failed:
      break;
  }
  state_ = OpenState::Unavailable;
  reportUnavailable(failure);
  return false;
}

void RegistryStore::reportUnavailable(const OpenFailure& failure) {
  if (!report_) return;
  const QString file = QDir::toNativeSeparators(filePath_);
  if (failure.readOnly) {
    report_(QStringLiteral("The settings store %1 cannot be changed: %2. Tidewire goes on with the default "
                           "settings and cannot save changes to them. Ask the file's owner or an administrator "
                           "to make it writable for you (or for your group, to share it), or set TIDEWIRE_HOME "
                           "to a folder of your own.")
                .arg(file, failure.reason),
            LogLevel::Warning);
    return;
  }
  report_(QStringLiteral("The settings store %1 cannot be opened (%2): its settings read as empty and changes to "
                         "them are not saved. Make the file and its folder writable for you, or set TIDEWIRE_HOME "
                         "to a folder of your own.")
              .arg(file, failure.reason),
          LogLevel::Warning);
}

RegistryStore::Begun RegistryStore::openFile(int waitMs, OpenFailure* failure) {
  const QFileInfo info(filePath_);
  QDir().mkpath(info.absolutePath());
  const bool existed = info.exists();
  const auto failed = [&](int rc) { return openFailed(rc, failure); };

  // Nothing here asks SQLite for its memory figures, and keeping them costs a
  // lock on every allocation. It can only be said before SQLite's first use.
  static const int memoryFiguresOff = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  Q_UNUSED(memoryFiguresOff);
  // A statement that writes several rows inside a transaction keeps what it
  // changes in a side journal, in memory up to 64 KiB by default. A value
  // statement past that now and then (a page split) moved the journal to a
  // file for the rest of the transaction, and every later statement of a
  // long rebuild wrote its pages there: a third of its time. None of ours
  // comes near 1 MiB; it is only held while the statement runs.
  static const int sideJournalInMemory = sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, 1 << 20);
  Q_UNUSED(sideJournalInMemory);

  const QByteArray path = QFile::encodeName(filePath_);
  int rc = sqlite3_open_v2(path.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  if (rc != SQLITE_OK) return failed(rc);
  if (sqlite3_db_readonly(db_, "main") == 1) {
    failure->readOnly = true;
    failure->reason = ReadOnlyReason(filePath_);
    return Begun::Failed;
  }
  sqlite3_busy_timeout(db_, waitMs);
  sqlite3_extended_result_codes(db_, 1);

  if (!existed && shared_) {
    QFile::setPermissions(filePath_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                                         QFile::ReadOther);
  }

  // journal_mode is the first statement that reads the file header, so a file
  // that is not a database, or one another program holds locked, shows up here.
  sqlite3_stmt* stmt = nullptr;
  rc = sqlite3_prepare_v2(db_, "PRAGMA journal_mode=WAL", -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  const QString mode = rc == SQLITE_ROW ? ColumnText(stmt, 0) : QString();
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW) return failed(rc);
  // A folder we may not write keeps the file out of WAL mode; writes would fail.
  if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
    failure->reason = QStringLiteral("its folder is not writable for you");
    return Begun::Failed;
  }
  if ((rc = sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr)) != SQLITE_OK) return failed(rc);
  // Replaces SQLite's checkpoint at commit.
  checkpointer_ = std::make_unique<WalCheckpointer>(path);
  sqlite3_wal_hook(db_, &RegistryStore::walCommitted, this);
  // A site's item list is rebuilt in one transaction; with SQLite's default
  // 2 MB page cache a long list spills to the file halfway and the rebuild
  // slows down more than in proportion. 32 MB holds the longest list.
  exec("PRAGMA cache_size=-32768");

  rc = sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  const QString verdict = rc == SQLITE_ROW ? ColumnText(stmt, 0) : QString();
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW) return failed(rc);
  if (verdict != QLatin1String("ok")) {
    failure->corrupt = true;
    failure->reason = verdict;
    return Begun::Failed;
  }

  return prepareLayout(failure);
}

RegistryStore::Begun RegistryStore::openFailed(int rc, OpenFailure* failure) {
  if (db_ && !sqlite3_get_autocommit(db_)) exec("ROLLBACK");
  failure->corrupt = IsCorruption(rc);
  failure->reason = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("cannot open the file");
  return IsBusy(rc) ? Begun::Busy : Begun::Failed;
}

// The tables' layout, numbered in the file's user_version. 0: none yet, or
// the first one, which named each value's key by its whole path; 1: keys are
// numbered and values name their key's number, which makes a long item list
// a third smaller to write. The root is key 0.
RegistryStore::Begun RegistryStore::prepareLayout(OpenFailure* failure) {
  const auto failed = [&](int rc) { return openFailed(rc, failure); };
  const auto layout = [&](int* version) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &stmt, nullptr);
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) *version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return rc == SQLITE_ROW ? SQLITE_OK : rc;
  };
  int version = 0;
  int rc = layout(&version);
  if (rc != SQLITE_OK) return failed(rc);
  if (version == kLayout) return Begun::Yes;
  if (version > kLayout) {
    // Its tables are not known here; writing would damage them.
    failure->reason = QStringLiteral("it was made by a newer version of Tidewire");
    return Begun::Failed;
  }
  // Another copy opening the same file at the same moment waits for this
  // one, then finds the work done.
  if ((rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) != SQLITE_OK) return failed(rc);
  if ((rc = layout(&version)) != SQLITE_OK) return failed(rc);
  if (version != kLayout) {
    sqlite3_stmt* stmt = nullptr;
    rc = sqlite3_prepare_v2(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'vals'", -1, &stmt,
                            nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
    const bool firstLayout = rc == SQLITE_ROW;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return failed(rc);
    static const char* const kCreate[] = {
        "CREATE TABLE keys(id INTEGER PRIMARY KEY, fold TEXT NOT NULL UNIQUE, path TEXT NOT NULL, "
        "parent INTEGER NOT NULL)",
        "CREATE INDEX keys_parent ON keys(parent)",
        "CREATE TABLE vals(key INTEGER NOT NULL, fold TEXT NOT NULL, name TEXT NOT NULL, kind INTEGER NOT NULL, "
        "data BLOB NOT NULL, PRIMARY KEY(key, fold)) WITHOUT ROWID",
        "INSERT INTO keys(id, fold, path, parent) VALUES(0, '', '', -1)"};
    // The old tables are copied across and dropped in the same transaction:
    // a failure anywhere leaves the file as it was.
    static const char* const kFromFirstLayout[] = {
        "INSERT INTO keys(fold, path, parent) SELECT fold, path, -1 FROM old_keys ORDER BY fold",
        "UPDATE keys SET parent = coalesce((SELECT p.id FROM old_keys o JOIN keys p ON p.fold = o.parent "
        "WHERE o.fold = keys.fold), -1) WHERE id <> 0",
        "INSERT INTO vals(key, fold, name, kind, data) SELECT k.id, v.fold, v.name, v.kind, v.data "
        "FROM old_vals v JOIN keys k ON k.fold = v.key",
        "DROP TABLE old_keys", "DROP TABLE old_vals"};
    std::vector<const char*> steps;
    if (firstLayout) {
      steps = {"DROP INDEX IF EXISTS keys_parent", "ALTER TABLE keys RENAME TO old_keys",
               "ALTER TABLE vals RENAME TO old_vals"};
    }
    steps.insert(steps.end(), std::begin(kCreate), std::end(kCreate));
    if (firstLayout) steps.insert(steps.end(), std::begin(kFromFirstLayout), std::end(kFromFirstLayout));
    const QByteArray setVersion = "PRAGMA user_version = " + QByteArray::number(kLayout);
    steps.push_back(setVersion.constData());
    for (const char* sql : steps) {
      if ((rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)) != SQLITE_OK) return failed(rc);
    }
  }
  if ((rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr)) != SQLITE_OK) return failed(rc);
  return Begun::Yes;
}

int RegistryStore::walCommitted(void* store, sqlite3* db, const char* /*name*/, int pages) {
  if (pages < kCheckpointPages) return SQLITE_OK;
  auto* self = static_cast<RegistryStore*>(store);
  if (!self->checkpointer_ || !self->checkpointer_->request()) {
    sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
  }
  return SQLITE_OK;
}

void RegistryStore::closeFile() {
  // Before the file may be moved aside or the connection closed.
  checkpointer_.reset();
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  statements_.clear();
  for (sqlite3_stmt* stmt : valueInserts_) sqlite3_finalize(stmt);
  valueInserts_.clear();
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

void RegistryStore::setWait(int ms) {
  if (db_) sqlite3_busy_timeout(db_, ms);
}


QString NormaliseKeyPath(const QString& path) {
  // Most paths come normal already; they are not taken apart.
  if (!path.startsWith(u'\\') && !path.endsWith(u'\\') && !path.contains(QLatin1String("\\\\"))) return path;
  return path.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

QString FoldName(const QString& name) {
  if (!IsAscii(name)) return name.toUpper();
  // ASCII, as nearly every name is, upper-cases without the Unicode tables;
  // a name already upper-case is not even copied.
  QString fold = name;
  QChar* out = nullptr;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t c = name[i].unicode();
    if (c < u'a' || c > u'z') continue;
    if (!out) out = fold.data();
    out[i] = QChar(static_cast<char16_t>(c - 32));
  }
  return fold;
}

}  // namespace tw
