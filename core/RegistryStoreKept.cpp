// The store's changes kept while another program holds its lock: shown to
// reads at once, saved in order as soon as the lock is free. What is still
// kept when the program ends waits in a file beside the store and is saved
// the next time the store opens.
#include "PendingJournal.h"
#include "RegistryStoreInternal.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace tw {

using namespace store_internal;

namespace {

// The program is on its way out: a last try may not hold it up for long.
constexpr int kLastTryMs = 100;
// When what was kept from the last run is saved at once, it may wait for
// another copy's ordinary transaction, no longer.
constexpr int kFirstSaveWaitMs = 150;

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// Out of the way, so nothing trips over it again, but never deleted.
void KeepUnreadableAside(const PendingJournal& file, const QString& why, const RegistryStore::Reporter& report) {
  const QString aside = file.keepAside();
  if (!report) return;
  report(aside.isEmpty()
             ? QStringLiteral("The changes to the settings store kept in %1 when Tidewire last ended cannot be read "
                              "(%2), and the file could not be moved aside.")
                   .arg(Native(file.filePath()), why)
             : QStringLiteral("The changes to the settings store kept in %1 when Tidewire last ended cannot be read "
                              "(%2). The file has been kept as %3; the store goes on without them.")
                   .arg(Native(file.filePath()), why, Native(aside)),
         LogLevel::Error);
}

}  // namespace

void RegistryStore::takeKeptChanges() {
  if (keptFileChecked_) return;
  keptFileChecked_ = true;
  const PendingJournal file(filePath_);
  StoreChangeGroups groups;
  QString why;
  switch (file.read(&groups, &why)) {
    case PendingJournal::Read::Missing:
      return;
    case PendingJournal::Read::Unreadable:
      KeepUnreadableAside(file, why, report_);
      return;
    case PendingJournal::Read::Read:
      break;
  }
  // One transaction: they were each whole when they were made, and the file
  // can go as soon as that one has been committed.
  std::vector<StoreChange> all;
  for (auto& group : groups) std::move(group.begin(), group.end(), std::back_inserter(all));
  if (all.empty()) {
    file.remove();
    return;
  }
  const qsizetype count = static_cast<qsizetype>(all.size());
  pending_.addOldestGroup(std::move(all));
  keptFileGroupPending_ = true;
  if (state_ == OpenState::Open && savePending(kFirstSaveWaitMs)) return;
  if (!keptFileGroupPending_) {
    startKeeping();
    return;
  }
  keptAny_ = true;
  rebuildExpected();
  startKeeping();
  if (report_) {
    report_(QStringLiteral("%1 change(s) that could not be saved when Tidewire last ended, kept in %2, wait for the "
                           "settings store %3 to be free and are saved then.")
                .arg(count)
                .arg(Native(file.filePath()), Native(filePath_)),
            LogLevel::Info);
  }
}

void RegistryStore::keptChangesDone(bool saved) {
  keptFileGroupPending_ = false;
  const PendingJournal file(filePath_);
  if (saved) {
    file.remove();
    if (report_) {
      report_(QStringLiteral("The changes that could not be saved when Tidewire last ended, kept in %1, are now "
                             "saved in the settings store %2.")
                  .arg(Native(file.filePath()), Native(filePath_)),
              LogLevel::Info);
    }
    return;
  }
  // The failure has been reported; the file stays for the next start.
  if (report_) {
    report_(QStringLiteral("The changes kept in %1 when Tidewire last ended could not be saved; the file stays and "
                           "they are tried again at the next start.")
                .arg(Native(file.filePath())),
            LogLevel::Error);
  }
}

void RegistryStore::keepUnsavedBeside() {
  if (pending_.isEmpty() || depth_ > 0) return;
  if (state_ == OpenState::Locked) open(kLastTryMs);
  if (state_ == OpenState::Open && savePending(kLastTryMs)) return;
  keepPendingInFile();
}

void RegistryStore::keepPendingInFile() {
  const qsizetype count = pending_.changeCount();
  if (count == 0) return;
  const PendingJournal file(filePath_);
  StoreChangeGroups groups;
  QString why;
  // A file that is there and was not taken into pending_ holds older changes:
  // kept earlier in this run, left from the last one unsaved, or kept by
  // another copy sharing the store. They stay first.
  if (!keptFileGroupPending_ && file.read(&groups, &why) == PendingJournal::Read::Unreadable) {
    KeepUnreadableAside(file, why, report_);
  }
  for (auto& group : pending_.groups()) groups.push_back(std::move(group));
  const QString store = Native(filePath_);
  const QString beside = Native(file.filePath());
  if (!file.write(groups, shared_, &why)) {
    const QString lost = QStringLiteral("%1 change(s) could not be saved to the settings store %2, which another "
                                        "program holds, nor kept in %3 (%4): they are lost.")
                             .arg(count)
                             .arg(store, beside, why);
    qWarning("%s", qPrintable(lost));
    if (report_) report_(lost, LogLevel::Error);
    return;
  }
  keptFileGroupPending_ = false;
  pending_ = PendingWrites();
  // Nothing waits now; should the store come free before the end, that is
  // all there is to say.
  keptAny_ = false;
  const QString kept = QStringLiteral("%1 change(s) could not be saved yet: another program holds the settings store "
                                      "%2. They are kept in %3 and saved the next time Tidewire starts.")
                           .arg(count)
                           .arg(store, beside);
  qWarning("%s", qPrintable(kept));
  if (report_) report_(kept, LogLevel::Warning);
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

}  // namespace tw
