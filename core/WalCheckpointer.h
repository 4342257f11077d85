#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

namespace tw {

// Copies a store file's write-ahead log back into the file on a thread of its
// own, through a connection of its own. A commit that grows the log past the
// mark then returns without that copy and its flush: a long item list is
// saved in one commit, and the copy would double its time on the UI thread.
// Passive: it never waits for, nor holds up, a reader or a writer.
class WalCheckpointer {
 public:
  explicit WalCheckpointer(QByteArray filePath);
  ~WalCheckpointer();
  WalCheckpointer(const WalCheckpointer&) = delete;
  WalCheckpointer& operator=(const WalCheckpointer&) = delete;

  // Starts a checkpoint unless one is under way. False when a checkpoint of
  // this kind failed before for another reason than a busy file: the caller
  // then checkpoints on its own connection.
  bool request();
  // Until the checkpoint under way, if any, has ended.
  void wait();

 private:
  QByteArray filePath_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> failed_{false};
};

}  // namespace tw
