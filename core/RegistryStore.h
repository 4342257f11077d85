#pragma once

#include "LogLevel.h"
#include "RegValue.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace tw {

// One hive of the settings store: a hierarchical key/value store in one
// SQLite file. Key paths are "\"-separated; key and value names compare
// case-insensitively and keep the spelling they were created with.
//
// The file is opened on first use, so constructing a store touches nothing.
// Problems are reported once through the reporter and never thrown: a store
// that cannot be opened for writing reads empty and loses writes (like a
// registry key the user may not open for writing); a corrupt file is moved
// aside and a fresh one started.
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
  ~RegistryStore();
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  const QString& filePath() const { return filePath_; }
  // Opens the file if needed; false when it cannot be written.
  bool isAvailable();

  // Creates the key and every missing parent.
  void createKey(const QString& path);
  // Deletes the key with its values. Like the registry, a key that still has
  // subkeys is left alone.
  void deleteKey(const QString& path);
  bool keyExists(const QString& path);
  QStringList subKeyNames(const QString& path);

  // Writes into an existing key only; nothing happens when the key is missing.
  void setValue(const QString& path, const QString& name, int kind, const QByteArray& data);
  void deleteValue(const QString& path, const QString& name);
  std::optional<StoredValue> value(const QString& path, const QString& name);

  // Transactions nest; only the outermost commits. A failed write inside
  // makes the outermost commit roll everything back and return false.
  bool beginTransaction();
  bool commitTransaction();
  void rollbackTransaction();
  bool inTransaction() const { return depth_ > 0; }

  // Caps the file at this many pages, so tests can stand in for a full disk.
  void setPageLimitForTesting(int pages);

 private:
  enum class OpenState { NotTried, Open, Unavailable };
  class Statement;

  bool ensureOpen();
  bool openFile(bool* corrupt);
  void closeFile();
  void moveCorruptFileAside();
  bool exec(const char* sql);
  sqlite3_stmt* prepare(const char* sql);
  bool beginWrite();
  void endWrite(bool ok);
  void reportFailure(const QString& what, int rc);

  QString filePath_;
  Reporter report_;
  bool shared_;
  OpenState state_ = OpenState::NotTried;
  sqlite3* db_ = nullptr;
  int depth_ = 0;
  bool transactionFailed_ = false;
  std::vector<std::pair<const char*, sqlite3_stmt*>> statements_;
};

// Normalises a key path: "\"-separated, empty parts dropped
// ("Software\Tidewire\Xbins\" is "Software\Tidewire\Xbins").
QString NormaliseKeyPath(const QString& path);
// The comparison form of a key or value name.
QString FoldName(const QString& name);

}  // namespace tw
