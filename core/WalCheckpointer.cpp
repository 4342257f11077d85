#include "WalCheckpointer.h"

#include <sqlite3.h>

#include <utility>

namespace tw {

WalCheckpointer::WalCheckpointer(QByteArray filePath) : filePath_(std::move(filePath)) {}

WalCheckpointer::~WalCheckpointer() { wait(); }

bool WalCheckpointer::request() {
  if (failed_.load()) return false;
  if (running_.load()) return true;
  wait();
  running_.store(true);
  thread_ = std::thread([this, path = filePath_] {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    // A new connection reads nothing until asked: the schema read opens the
    // log, without which there is nothing to checkpoint.
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "SELECT 1 FROM sqlite_master LIMIT 1", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    // The store's own connection stays open, so closing this one leaves the
    // log in place rather than trying to remove it.
    sqlite3_close_v2(db);
    const int primary = rc & 0xFF;
    if (rc != SQLITE_OK && primary != SQLITE_BUSY && primary != SQLITE_LOCKED) failed_.store(true);
    running_.store(false);
  });
  return true;
}

void WalCheckpointer::wait() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace tw
