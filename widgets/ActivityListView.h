#pragma once

#include "core/ActivityLog.h"

#include <QTreeView>

namespace tw {

class ImageList;

// lvLog: the activity list, one row per line of the log with its level's
// icon (ActivityLogModel), always scrolled to the newest line. Also tells the log whether it is shown, so a
// mirrored line goes to the status bar while the list is hidden.
class ActivityListView : public QTreeView, public ActivityListVisibility {
  Q_OBJECT

 public:
  // Shows the lines the log already holds, then follows it.
  ActivityListView(ActivityLog& log, const ImageList& images, QWidget* parent = nullptr);
  ~ActivityListView() override;

  // Hidden by "Show Activity Log" (not merely because the window is in the
  // tray).
  bool isActivityListShown() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void verticalScrollbarValueChanged(int value) override;

 private:
  void lineAdded(const ActivityLine& line);
  void fitColumn();

  ActivityLog& log_;
  int widestLine_ = 0;
  bool scrollPending_ = false;
};

}  // namespace tw
