#include "mainwindow/SnapshotRun.h"

#include "core/AppCore.h"
#include "core/StatusTags.h"
#include "news/FetchCycle.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

namespace tw {
namespace {
// Time for the last page, the tree and the alerts to settle before the picture.
constexpr int kSettleMs = 4000;
// A check of the demo feeds takes seconds; this is the give-up point.
constexpr int kDeadlineMs = 180000;
}  // namespace

SnapshotRun::SnapshotRun(const QString& pictureFile, AppCore& core, FetchCycle& fetch, std::function<void(int)> quit,
                         QObject* parent)
    : QObject(parent), pictureFile_(pictureFile), core_(core), quit_(std::move(quit)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &SnapshotRun::takeSnapshot);
  deadline_.setSingleShot(true);
  deadline_.setInterval(kDeadlineMs);
  connect(&deadline_, &QTimer::timeout, this, &SnapshotRun::giveUp);
  deadline_.start();
  connect(&fetch, &FetchCycle::queueDrained, this, &SnapshotRun::checkFinished);
}

QString SnapshotRun::Summary(const AppCore& core) {
  int sites = 0;
  int items = 0;
  int fresh = 0;
  qint64 errors = 0;
  for (int i = 1; i <= core.sites.LastIndex(); ++i) {
    const SiteRecord& site = core.sites[i];
    if (site.Disabled) continue;
    ++sites;
    errors += site.ErrorCount;
    for (const QString& key : core.tv.childKeys(site.Key)) {
      ++items;
      if (core.tv.find(key)->tag.contains(TagNew)) ++fresh;
    }
  }
  return QStringLiteral("Checked %1 sites: %2 items, %3 new, %4 download errors").arg(sites).arg(items).arg(fresh).arg(errors);
}

void SnapshotRun::checkFinished() {
  if (done_ || settle_.isActive()) return;
  settle_.start();
}

void SnapshotRun::takeSnapshot() {
  done_ = true;
  deadline_.stop();
  QDir().mkpath(QFileInfo(pictureFile_).absolutePath());
  QScreen* screen = QGuiApplication::primaryScreen();
  const bool saved = screen && screen->grabWindow(0).save(pictureFile_);
  std::printf("%s; %s\n", qPrintable(Summary(core_)),
              saved ? qPrintable(QStringLiteral("screenshot ") + pictureFile_) : "no screenshot could be taken");
  std::fflush(stdout);
  quit_(0);
}

void SnapshotRun::giveUp() {
  if (done_) return;
  done_ = true;
  std::printf("No check of the feeds finished within %d seconds; %s\n", kDeadlineMs / 1000,
              qPrintable(Summary(core_)));
  std::fflush(stdout);
  quit_(1);
}

}  // namespace tw
