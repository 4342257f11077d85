#include "widgets/ActivityLogModel.h"

#include "core/ActivityLog.h"
#include "core/LogLevel.h"
#include "widgets/ImageList.h"

namespace tw {
namespace {

constexpr LogLevel kLevels[] = {LogLevel::Info, LogLevel::Warning, LogLevel::Error};

int LevelIndex(LogLevel level) {
  switch (level) {
    case LogLevel::Warning: return 1;
    case LogLevel::Error: return 2;
    case LogLevel::Info: break;
  }
  return 0;
}

// What the line's icon shows, for screen readers.
QString LevelWord(LogLevel level) {
  switch (level) {
    case LogLevel::Warning: return QStringLiteral("Warning");
    case LogLevel::Error: return QStringLiteral("Error");
    case LogLevel::Info: break;
  }
  return QStringLiteral("Information");
}

}  // namespace

ActivityLogModel::ActivityLogModel(const ActivityLog& log, const ImageList& images, QObject* parent)
    : QAbstractListModel(parent), log_(log), rows_(int(log.lines().size())) {
  for (const LogLevel level : kLevels) icons_[LevelIndex(level)] = images.icon(LogLevelImageKey(level));
  connect(&log, &ActivityLog::oldestLineDropped, this, [this] {
    beginRemoveRows({}, 0, 0);
    --rows_;
    endRemoveRows();
  });
  connect(&log, &ActivityLog::lineAdded, this, [this] {
    beginInsertRows({}, rows_, rows_);
    ++rows_;
    endInsertRows();
  });
}

int ActivityLogModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant ActivityLogModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= log_.lines().size()) return {};
  const ActivityLine& line = log_.lines().at(index.row());
  switch (role) {
    case Qt::DisplayRole: return line.text;
    case Qt::DecorationRole: return icons_[LevelIndex(line.level)];
    case Qt::AccessibleDescriptionRole: return LevelWord(line.level);
    default: return {};
  }
}

}  // namespace tw
