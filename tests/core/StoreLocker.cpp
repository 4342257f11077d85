// Holds a store's lock from a second process, as another program would, until
// it reads a line (or end of input) on stdin.
// store_locker <store file> writes|everything
//   writes:     a write transaction; others can still read the store.
//   everything: exclusive locking; others can neither read nor write.
#include <sqlite3.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const bool everything = std::strcmp(argv[2], "everything") == 0;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return 3;
  const char* lock = everything ? "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; "
                                  "CREATE TABLE IF NOT EXISTS locker(x); INSERT INTO locker VALUES(1);"
                                : "BEGIN IMMEDIATE;";
  if (sqlite3_exec(db, lock, nullptr, nullptr, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
    return 4;
  }
  std::puts("locked");
  std::fflush(stdout);
  char line[16];
  std::fgets(line, sizeof line, stdin);
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return 0;
}
