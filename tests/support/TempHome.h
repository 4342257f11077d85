#pragma once

#include "core/AppPaths.h"
#include "core/Clock.h"

#include <QDateTime>
#include <QTemporaryDir>

namespace tw::test {

// A TIDEWIRE_HOME of its own for one test: both stores and the program
// folder live in a temporary directory that goes away with the test.
class TempHome {
 public:
  TempHome();
  const AppPaths& paths() const { return paths_; }
  QString path(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
  AppPaths paths_;
};

// A clock the test sets.
class FakeClock : public Clock {
 public:
  FakeClock() : now_(QDateTime(QDate(2004, 3, 11), QTime(14, 5, 9))) {}
  QDateTime now() const override { return now_; }
  void set(const QDateTime& when) { now_ = when; }
  void advanceSecs(qint64 secs) { now_ = now_.addSecs(secs); }

 private:
  QDateTime now_;
};

}  // namespace tw::test
