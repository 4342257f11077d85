#include "StoreDump.h"

#include <QFile>

#include <sqlite3.h>

namespace tw::test {
namespace {

QString Column(sqlite3_stmt* stmt, int column) {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
  const int size = sqlite3_column_bytes(stmt, column);
  QString text;
  for (int i = 0; i < size; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\\') {
      text += QStringLiteral("\\\\");
    } else if (byte >= 0x20 && byte < 0x7F) {
      text += QChar(byte);
    } else {
      text += QStringLiteral("\\x%1").arg(byte, 2, 16, QChar(u'0'));
    }
  }
  return text;
}

void Rows(sqlite3* db, const char* sql, int columns, const QString& prefix, QStringList* out) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
    *out << QStringLiteral("cannot read: ") + QString::fromUtf8(sqlite3_errmsg(db));
    return;
  }
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    QStringList fields;
    for (int c = 0; c < columns; ++c) fields << Column(stmt, c);
    *out << prefix + fields.join(QStringLiteral(" | "));
  }
  sqlite3_finalize(stmt);
}

}  // namespace

QStringList DumpStore(const QString& filePath) {
  QStringList out;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(QFile::encodeName(filePath).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return {QStringLiteral("cannot open ") + filePath};
  }
  // Keys by path rather than by number, so that files written in a
  // different order, or in another layout, compare equal.
  Rows(db,
       "SELECT k.fold, k.path, p.fold FROM keys k JOIN keys p ON p.id = k.parent WHERE k.id <> 0 ORDER BY k.fold", 3,
       QStringLiteral("key "), &out);
  Rows(db,
       "SELECT k.fold, v.fold, v.name, v.kind, v.data FROM vals v JOIN keys k ON k.id = v.key "
       "ORDER BY k.fold, v.fold",
       5, QStringLiteral("value "), &out);
  sqlite3_close(db);
  return out;
}

}  // namespace tw::test
