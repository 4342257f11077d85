#include "RegistryStore.h"

#include "WalCheckpointer.h"
#include "Windows1252.h"

#include <QAbstractEventDispatcher>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTimer>

#include <sqlite3.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace tw {
namespace {

// How long a call waits for another program's lock before its change is kept
// for later: not long enough to notice, long enough for the ordinary
// transaction of another copy sharing the store to end.
constexpr int kMomentMs = 150;
// While changes are kept, the event loop tries again this often, each time
// waiting this long.
constexpr int kRetryIntervalMs = 500;
constexpr int kRetryWaitMs = 50;
// At the end of the run, kept changes get this long to find the lock free.
constexpr int kClosingWaitMs = 5000;
// Values written into one key by one statement, at most (an item has nine).
constexpr size_t kValuesPerInsert = 16;
// Log pages after which a commit has the log copied back into the file:
// SQLite's own mark.
constexpr int kCheckpointPages = 1000;
// The tables' layout this code reads and writes (the file's user_version).
constexpr int kLayout = 1;

QString ParentPath(const QString& normalised) {
  const qsizetype cut = normalised.lastIndexOf(u'\\');
  return cut < 0 ? QString() : normalised.left(cut);
}

QString LastName(const QString& normalised) {
  const qsizetype cut = normalised.lastIndexOf(u'\\');
  return cut < 0 ? normalised : normalised.mid(cut + 1);
}

void BindText(sqlite3_stmt* stmt, int index, QStringView text) {
  const QByteArray utf8 = text.toUtf8();
  sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

// Binds without a copy: the caller keeps the bytes until the statement has
// been stepped.
void BindUtf8(sqlite3_stmt* stmt, int index, const QByteArray& utf8) {
  sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_STATIC);
}

QString ColumnText(sqlite3_stmt* stmt, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

StoreChange MakeChange(StoreChange::Kind kind, QString normalPath, QString name = {}, int valueKind = 0,
                       QByteArray data = {}) {
  StoreChange change{kind, std::move(normalPath), std::move(name), valueKind, std::move(data), {}, {}};
  change.pathFold = FoldName(change.path);
  change.nameFold = FoldName(change.name);
  return change;
}

bool IsCorruption(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

bool IsBusy(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// Why a store SQLite could only open for reading may not be written.
QString ReadOnlyReason(const QString& filePath) {
  struct stat info {};
  if (::stat(QFile::encodeName(filePath).constData(), &info) == 0 && info.st_uid != ::geteuid()) {
    const passwd* owner = ::getpwuid(info.st_uid);
    const QString name =
        owner && owner->pw_name ? QString::fromLocal8Bit(owner->pw_name) : QStringLiteral("user %1").arg(info.st_uid);
    return QStringLiteral("it belongs to %1 and is not writable for you").arg(name);
  }
  return QStringLiteral("it is read-only for you");
}

}  // namespace

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

void RegistryStore::keep(StoreChange change) {
  expect(change);
  pending_.add(std::move(change));
  keptAny_ = true;
}

// What the change will leave, judged against the store as reads see it now:
// the same rules the write follows in the file.
void RegistryStore::expect(const StoreChange& change) {
  const QString& fold = change.pathFold;
  switch (change.kind) {
    case StoreChange::Kind::CreateKey:
      for (qsizetype end = 0; end < change.path.size();) {
        end = change.path.indexOf(u'\\', end + 1);
        if (end < 0) end = change.path.size();
        const QString prefix = change.path.left(end);
        if (!keyExists(prefix)) pending_.putKey(FoldName(prefix), prefix, FoldName(ParentPath(prefix)));
      }
      break;
    case StoreChange::Kind::DeleteKey:
      if (keyExists(change.path) && subKeyNames(change.path).isEmpty()) pending_.removeKey(fold);
      break;
    case StoreChange::Kind::SetValue:
      if (fold.isEmpty() || keyExists(change.path)) {
        pending_.putValue(fold, change.nameFold, change.name, change.valueKind, change.data);
      }
      break;
    case StoreChange::Kind::DeleteValue:
      pending_.removeValue(fold, change.nameFold);
      break;
  }
}

void RegistryStore::rebuildExpected() {
  pending_.forgetRows();
  // In order, each against what the ones before it leave.
  for (const StoreChange& change : pending_.allChanges()) expect(change);
}

void RegistryStore::startKeeping() {
  if (keeping_) return;
  keeping_ = true;
  // Reads no longer wait for the lock: they would wait every time.
  setWait(0);
  scheduleRetry();
}

void RegistryStore::scheduleRetry() {
  // Without an event loop (a console helper) the changes are saved at the end.
  if (closing_ || !QAbstractEventDispatcher::instance()) return;
  if (!retry_) {
    retry_ = std::make_unique<QTimer>();
    retry_->setInterval(kRetryIntervalMs);
    QObject::connect(retry_.get(), &QTimer::timeout, retry_.get(), [this] { retry(); });
  }
  if (!retry_->isActive()) retry_->start();
}

void RegistryStore::retry() {
  // A caller's group is being made; it is saved with the rest later.
  if (depth_ > 0) return;
  if (state_ == OpenState::Locked && !open(kRetryWaitMs)) {
    if (state_ == OpenState::Locked) return;
    // Unusable for good (reported): nothing kept can be saved.
    pending_ = PendingWrites();
    stopKeeping();
  } else if (savePending(kRetryWaitMs)) {
    stopKeeping();
  } else {
    announceBusy();
  }
  // Only right after opening is anyone waiting. Their own changes go to the
  // file now, or are kept if it is still busy.
  std::vector<std::function<void()>> ready = std::move(whenReady_);
  whenReady_.clear();
  for (auto& callback : ready) callback();
}

void RegistryStore::stopKeeping() {
  if (retry_) retry_->stop();
  keeping_ = false;
  setWait(kMomentMs);
  if (announced_ && state_ == OpenState::Open && report_) {
    report_(QStringLiteral("The settings store %1 is free again%2")
                .arg(QDir::toNativeSeparators(filePath_),
                     keptAny_ ? QStringLiteral("; the changes kept meanwhile are saved.") : QStringLiteral(".")),
            LogLevel::Info);
  }
  announced_ = false;
  keptAny_ = false;
}

// Saves the kept groups, oldest first, each in a transaction of its own. A
// group that fails for any reason but the lock is dropped whole, as the
// caller's own transaction would have been. True when none is left and the
// lock was free.
bool RegistryStore::savePending(int waitMs) {
  while (!pending_.isEmpty()) {
    const Begun begun = begin(waitMs);
    if (begun == Begun::Busy) return false;
    bool saved = begun == Begun::Yes;
    if (saved) {
      for (const StoreChange& change : pending_.oldestGroup()) {
        if (!(saved = apply(change))) break;
      }
      if (saved) {
        const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        saved = rc == SQLITE_OK;
        if (!saved && IsBusy(rc)) {
          exec("ROLLBACK");
          return false;
        }
        if (!saved) reportFailure(QStringLiteral("save changes kept while it was locked"), rc);
      }
      if (!saved && !sqlite3_get_autocommit(db_)) exec("ROLLBACK");
    }
    pending_.dropOldestGroup();
    if (keptFileGroupPending_) keptChangesDone(saved);
    if (!saved) rebuildExpected();
  }
  pending_.forgetRows();
  // Nothing kept, or everything saved: the lock must be free for the next
  // writes (and reads) to go straight to the file again.
  if (begin(waitMs) != Begun::Yes) return false;
  exec("ROLLBACK");
  return true;
}

void RegistryStore::announceBusy() {
  if (announced_) return;
  announced_ = true;
  if (!report_) return;
  const QString file = QDir::toNativeSeparators(filePath_);
  report_(state_ == OpenState::Locked
              ? QStringLiteral("The settings store %1 is locked by another program: its settings cannot be read "
                               "until it is free. Tidewire waits for it and goes on as soon as it is free.")
                    .arg(file)
              : QStringLiteral("The settings store %1 is in use by another program: changes are kept and saved as "
                               "soon as it is free.")
                    .arg(file),
          LogLevel::Warning);
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
