#pragma once

#include "LogLevel.h"
#include "PendingWrites.h"
#include "RegValue.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class QTimer;

namespace tw {

class WalCheckpointer;

// One hive of the settings store: a hierarchical key/value store in one
// SQLite file. Key paths are "\"-separated; key and value names compare
// case-insensitively and keep the spelling they were created with.
//
// The file is opened on first use, so constructing a store touches nothing.
// Problems are reported once through the reporter and never thrown: a store
// that cannot be opened for writing reads empty and loses writes (like a
// registry key the user may not open for writing); a corrupt file is moved
// aside and a fresh one started.
//
// Another program holding the file's lock never holds the caller up for
// more than a moment: the change is kept, in order, and saved from the
// event loop as soon as the lock is free; meanwhile reads see the kept
// changes. A caller's transaction kept this way is saved as one transaction
// later. The reporter hears once that the store is busy and once that it is
// free again. A store locked when it is opened reads as empty until the
// lock is free; whenReady() says when.
//
// Changes still kept when the program ends are not lost: they go to a file
// beside the store (PendingJournal) and are saved, in order, when the store
// is next opened; the reporter hears of it both times.
class RegistryStore {
 public:
  using Reporter = std::function<void(const QString& message, LogLevel level)>;

  struct StoredValue {
    int kind = 0;
    QByteArray data;
  };

  // shared: the file is made writable for the owning group, so every local
  // user of a setgid group folder can use it.
  RegistryStore(QString filePath, Reporter reporter, bool shared);
  // Saves kept changes, waiting a few seconds for the lock if need be; what
  // is still kept then goes to the file beside the store.
  ~RegistryStore();
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  const QString& filePath() const { return filePath_; }

  // Runs callback once the store can be read: at once, unless the file was
  // locked by another program when it was opened; then as soon as it opens.
  void whenReady(std::function<void()> callback);
  // True while the file, locked when it was opened, waits to be opened.
  bool isWaitingToOpen();

  // Creates the key and every missing parent.
  void createKey(const QString& path);
  // Deletes the key with its values. Like the registry, a key that still has
  // subkeys is left alone.
  void deleteKey(const QString& path);
  bool keyExists(const QString& path);
  QStringList subKeyNames(const QString& path);

  // Writes into an existing key only; nothing happens when the key is missing.
  void setValue(const QString& path, const QString& name, int kind, const QByteArray& data);
  struct NamedValue {
    QString name;
    int kind = 0;
    QByteArray data;
  };
  // createKey, then setValue of each value: the path normalised and folded
  // once, the key looked for once, one statement for the values.
  void createKeyWithValues(const QString& path, const std::vector<NamedValue>& values);
  void deleteValue(const QString& path, const QString& name);
  std::optional<StoredValue> value(const QString& path, const QString& name);

  // Transactions nest; only the outermost commits. A failed write inside
  // makes the outermost commit roll everything back and return false. While
  // the store is locked, a transaction is kept as one group; its commit
  // returns false when the store could not be read meanwhile, since what it
  // read decided what it writes.
  bool beginTransaction();
  bool commitTransaction();
  void rollbackTransaction();
  bool inTransaction() const { return depth_ > 0; }

  // Changes kept because another program holds the store, not saved yet.
  qsizetype unsavedChangeCount() const { return pending_.changeCount(); }
  // The program is ending and cannot wait: one short last try, then the
  // kept changes go to the file beside the store for the next start.
  void keepUnsavedBeside();

  // Caps the file at this many pages, so tests can stand in for a full disk.
  void setPageLimitForTesting(int pages);

 private:
  enum class OpenState { NotTried, Open, Locked, Unavailable };
  enum class Begun { Yes, Busy, Failed };
  struct OpenFailure {
    bool corrupt = false;
    bool readOnly = false;
    QString reason;
  };

  bool ensureOpen();
  bool open(int waitMs);
  Begun openFile(int waitMs, OpenFailure* failure);
  Begun prepareLayout(OpenFailure* failure);
  // Rolls back what the opening began and says why it failed.
  Begun openFailed(int rc, OpenFailure* failure);
  void closeFile();
  void moveCorruptFileAside();
  void reportUnavailable(const OpenFailure& failure);
  bool exec(const char* sql);
  sqlite3_stmt* prepare(const char* sql);
  void setWait(int ms);
  Begun begin(int waitMs);
  Begun beginWrite();
  void endWrite(bool ok);
  void reportFailure(const QString& what, int rc);

  // Changes: straight to the file, or kept while the lock is taken.
  Begun beginChange();
  void write(StoreChange change);
  bool apply(const StoreChange& change);
  int createKeyInFile(const StoreChange& change);
  bool applyValues(const StoreChange& key, const std::vector<NamedValue>& values);
  sqlite3_stmt* valueInsert(size_t rows);
  void keep(StoreChange change);
  void expect(const StoreChange& change);
  void rebuildExpected();
  void startKeeping();
  void scheduleRetry();
  void retry();
  void stopKeeping();
  bool savePending(int waitMs);
  void announceBusy();
  void noteReadFailure(int rc);

  // Changes kept beside the store by an earlier run (RegistryStoreKept.cpp).
  void takeKeptChanges();
  void keptChangesDone(bool saved);
  void keepPendingInFile();

  // The file alone, without kept changes; nullopt when it could not be read.
  std::optional<bool> fileHasRow(const char* sql, const QString& fold);
  std::optional<bool> fileKeyExists(const QString& fold);
  std::optional<bool> fileHasSubKeys(const QString& fold);
  // The key's number; kNoKey when it is not there.
  static constexpr qint64 kNoKey = -1;
  std::optional<qint64> fileKeyId(QStringView fold);

  QString filePath_;
  Reporter report_;
  bool shared_;
  OpenState state_ = OpenState::NotTried;
  sqlite3* db_ = nullptr;
  int depth_ = 0;
  bool transactionFailed_ = false;
  std::vector<std::pair<const char*, sqlite3_stmt*>> statements_;
  // By the number of values they write, less one.
  std::vector<sqlite3_stmt*> valueInserts_;
  // Value names as bound: a rebuild writes the same few names thousands of
  // times, so each is folded and encoded once.
  struct NameBytes {
    QString name;
    QByteArray fold;
    QByteArray utf8;
  };
  std::vector<NameBytes> nameBytes_;
  const NameBytes& nameBytes(const QString& name);
  // A key known to be in the file within the write transaction under way
  // (folded; empty: none), with its number, so creating its siblings skips
  // looking for it. Forgotten when a transaction begins and when a key is
  // deleted.
  QString confirmedKey_;
  qint64 confirmedKeyId_ = kNoKey;
  // The number of the key the last CreateKey made or found, for its values.
  qint64 createdKeyId_ = kNoKey;
  // Takes over SQLite's own checkpoint after a commit that grew the log.
  std::unique_ptr<WalCheckpointer> checkpointer_;
  static int walCommitted(void* store, sqlite3* db, const char* name, int pages);

  // Set while changes are kept rather than written: from the first busy
  // answer until everything kept has been saved.
  bool keeping_ = false;
  bool announced_ = false;
  bool keptAny_ = false;
  bool closing_ = false;
  PendingWrites pending_;
  // The file beside the store was looked for (once, when it first opened).
  bool keptFileChecked_ = false;
  // The oldest kept group came from that file; it goes once that is saved.
  bool keptFileGroupPending_ = false;
  std::unique_ptr<QTimer> retry_;
  std::vector<std::function<void()>> whenReady_;
};

// Normalises a key path: "\"-separated, empty parts dropped
// ("Software\Tidewire\Xbins\" is "Software\Tidewire\Xbins").
QString NormaliseKeyPath(const QString& path);
// The comparison form of a key or value name.
QString FoldName(const QString& name);

}  // namespace tw
