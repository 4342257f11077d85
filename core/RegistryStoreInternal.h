#pragma once

// What the store's source files share: the timings, the tables' layout and
// small SQLite helpers. Only the store's own sources include this.
#include "RegistryStore.h"

#include <QFile>
#include <QString>
#include <QStringView>

#include <sqlite3.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::store_internal {

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

inline QString ParentPath(const QString& normalised) {
  const qsizetype cut = normalised.lastIndexOf(u'\\');
  return cut < 0 ? QString() : normalised.left(cut);
}

inline QString LastName(const QString& normalised) {
  const qsizetype cut = normalised.lastIndexOf(u'\\');
  return cut < 0 ? normalised : normalised.mid(cut + 1);
}

inline void BindText(sqlite3_stmt* stmt, int index, QStringView text) {
  const QByteArray utf8 = text.toUtf8();
  sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

// Binds without a copy: the caller keeps the bytes until the statement has
// been stepped.
inline void BindUtf8(sqlite3_stmt* stmt, int index, const QByteArray& utf8) {
  sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_STATIC);
}

inline QString ColumnText(sqlite3_stmt* stmt, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

inline StoreChange MakeChange(StoreChange::Kind kind, QString normalPath, QString name = {}, int valueKind = 0,
                       QByteArray data = {}) {
  StoreChange change{kind, std::move(normalPath), std::move(name), valueKind, std::move(data), {}, {}};
  change.pathFold = FoldName(change.path);
  change.nameFold = FoldName(change.name);
  return change;
}

inline bool IsCorruption(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

inline bool IsBusy(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// Why a store SQLite could only open for reading may not be written.
inline QString ReadOnlyReason(const QString& filePath) {
  struct stat info {};
  if (::stat(QFile::encodeName(filePath).constData(), &info) == 0 && info.st_uid != ::geteuid()) {
    const passwd* owner = ::getpwuid(info.st_uid);
    const QString name =
        owner && owner->pw_name ? QString::fromLocal8Bit(owner->pw_name) : QStringLiteral("user %1").arg(info.st_uid);
    return QStringLiteral("it belongs to %1 and is not writable for you").arg(name);
  }
  return QStringLiteral("it is read-only for you");
}

}  // namespace tw::store_internal
