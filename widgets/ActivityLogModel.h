#pragma once

#include <QAbstractListModel>
#include <QIcon>

namespace tw {

class ActivityLog;
class ImageList;

// The activity log's lines as rows for the list view: its text, its level's
// icon and, for screen readers, its level in words. The rows are the log's
// own lines, not copies, so a full list of 5,000 costs the log's memory and
// the view's row layout alone.
class ActivityLogModel : public QAbstractListModel {
 public:
  ActivityLogModel(const ActivityLog& log, const ImageList& images, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const ActivityLog& log_;
  // The three levels' icons, made once.
  QIcon icons_[3];
  // The rows the view knows of: the log tells of a change once it is made.
  int rows_ = 0;
};

}  // namespace tw
