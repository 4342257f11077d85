#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace tw {

struct AppCore;
class FetchCycle;

// An unattended run for machines without a display: once the first check of
// every feed has finished, the screen is saved as a picture, a one-line
// summary is printed and the program ends (0 when the check ran, 1 when it
// never finished). Switched on by TIDEWIRE_SNAPSHOT=<file.png>.
class SnapshotRun : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kVariable = "TIDEWIRE_SNAPSHOT";

  SnapshotRun(const QString& pictureFile, AppCore& core, FetchCycle& fetch, std::function<void(int)> quit,
              QObject* parent = nullptr);

  // "Checked 17 sites: 210 items, 210 new, 0 download errors"
  static QString Summary(const AppCore& core);

 private:
  void checkFinished();
  void takeSnapshot();
  void giveUp();

  QString pictureFile_;
  AppCore& core_;
  std::function<void(int)> quit_;
  QTimer settle_;
  QTimer deadline_;
  bool done_ = false;
};

}  // namespace tw
