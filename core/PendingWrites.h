#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <deque>
#include <optional>
#include <vector>

namespace tw {

// One change to a settings store, as the caller asked for it. Paths are
// normalised; names keep their spelling. The folded forms the store compares
// by come along, worked out once when the change is made.
struct StoreChange {
  enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
  Kind kind = Kind::CreateKey;
  QString path;
  QString name;
  int valueKind = 0;
  QByteArray data;
  QString pathFold;
  QString nameFold;
};

// Changes a store could not save yet because another program holds its lock,
// kept in the order they were made and in the groups they were made in (a
// caller's transaction is one group and is saved as one), together with the
// rows those changes are expected to leave, so that reads in the meantime see
// the store as it will be. Keys and values are addressed by their folded
// names. The store fills and empties it; this class only keeps the books.
class PendingWrites {
 public:
  struct KeyRow {
    bool exists = false;
    QString path;
    QString parentFold;
  };
  struct ValueRow {
    bool exists = false;
    QString name;
    int kind = 0;
    QByteArray data;
  };

  bool isEmpty() const { return groups_.empty() && !open_; }
  qsizetype changeCount() const;

  // Groups. A change made outside an open group is a group of its own.
  void openGroup();
  bool isGroupOpen() const { return open_.has_value(); }
  void add(StoreChange change);
  void closeGroup();
  // Forgets the open group; the expected rows must then be rebuilt.
  void dropOpenGroup();
  const std::vector<StoreChange>& oldestGroup() const { return groups_.front(); }
  void dropOldestGroup() { groups_.pop_front(); }
  // A group made before every kept one (changes kept from the last run).
  void addOldestGroup(std::vector<StoreChange> group) { groups_.push_front(std::move(group)); }
  // The closed groups, oldest first.
  std::vector<std::vector<StoreChange>> groups() const { return {groups_.begin(), groups_.end()}; }
  // Every kept change, oldest first, the open group's last.
  std::vector<StoreChange> allChanges() const;

  // The expected rows: what a change leaves, and what reads see first.
  const KeyRow* key(const QString& fold) const;
  const ValueRow* value(const QString& keyFold, const QString& nameFold) const;
  // True when the stored values of the key are gone (the key was deleted).
  bool valuesCleared(const QString& keyFold) const { return cleared_.contains(keyFold); }
  // Keys expected to exist or to be gone, with this parent.
  std::vector<std::pair<QString, const KeyRow*>> keysUnder(const QString& parentFold) const;
  void putKey(const QString& fold, const QString& path, const QString& parentFold);
  void removeKey(const QString& fold);
  void putValue(const QString& keyFold, const QString& nameFold, const QString& name, int kind, const QByteArray& data);
  void removeValue(const QString& keyFold, const QString& nameFold);
  void forgetRows();

 private:
  std::deque<std::vector<StoreChange>> groups_;
  std::optional<std::vector<StoreChange>> open_;
  QHash<QString, KeyRow> keys_;
  // The folds of the rows in keys_, by parent fold, so listings stay cheap.
  QHash<QString, QSet<QString>> children_;
  QHash<QString, QHash<QString, ValueRow>> values_;
  QSet<QString> cleared_;
};

}  // namespace tw
