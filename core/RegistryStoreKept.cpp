// The store's changes that outlive a run: what another program's lock kept
// from being saved before the program ended waits in a file beside the store
// and is saved the next time the store opens.
#include "PendingJournal.h"
#include "RegistryStore.h"

#include <QDir>

#include <algorithm>
#include <iterator>

namespace tw {
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

}  // namespace tw
