#pragma once

#include <QProcess>
#include <QString>

namespace tw::test {

// Another program holding a store's lock (store_locker, whose path the
// test target defines as STORE_LOCKER_PATH) until release().
// what: "writes" leaves the store readable, "everything" does not.
class LockingProcess {
 public:
  LockingProcess(const QString& store, const char* what) {
    process_.start(QStringLiteral(STORE_LOCKER_PATH), {store, QString::fromLatin1(what)});
    locked_ = process_.waitForReadyRead(10000) && process_.readLine().startsWith("locked");
  }
  ~LockingProcess() { release(); }
  LockingProcess(const LockingProcess&) = delete;
  LockingProcess& operator=(const LockingProcess&) = delete;

  bool isLocked() const { return locked_; }
  void release() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.write("\n");
    process_.closeWriteChannel();
    process_.waitForFinished(10000);
  }

 private:
  QProcess process_;
  bool locked_ = false;
};

}  // namespace tw::test
