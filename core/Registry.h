#pragma once

#include "Hive.h"
#include "RegValue.h"
#include "RegistryStore.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace tw {

// The settings layer: the five registry operations over the two stores.
// Names and text are kept in the program's single-byte code page (characters
// outside it become '?'); a failure is never reported to the caller.
class Registry {
 public:
  Registry(QString machineStorePath, QString userStorePath, RegistryStore::Reporter reporter);

  void CreateRegKey(Hive hive, const QString& keyPath);
  void DeleteRegKey(Hive hive, const QString& keyPath);
  void DeleteRegValue(Hive hive, const QString& keyPath, const QString& valueName);
  // Writes into an existing key only. RegType::String stores the value's text;
  // RegType::Dword stores a 32-bit number (fractions rounded half to even;
  // flags as 1/0); a value that does not convert, or any other type, writes
  // nothing.
  void SetRegValue(Hive hive, const QString& keyPath, const QString& valueName, const QVariant& value, RegType type);
  // As SetRegValue, but a value the store already holds as it would be
  // written (same kind, same bytes) is left alone: no write, no commit.
  void UpdateRegValue(Hive hive, const QString& keyPath, const QString& valueName, const QVariant& value,
                      RegType type);
  struct RegText {
    QString name;
    QString text;
  };
  // CreateRegKey followed by SetRegValue of each text, in one go: the key's
  // path is converted, normalised and folded once, not once a value.
  void CreateRegKeyWithTexts(Hive hive, const QString& keyPath, const QList<RegText>& texts);
  // Empty when the key or value is missing or of any kind but text or number.
  RegValue QueryRegValue(Hive hive, const QString& keyPath, const QString& valueName);

  bool KeyExists(Hive hive, const QString& keyPath);
  // Changes either store keeps unsaved because another program holds it.
  qsizetype UnsavedChanges() const { return machine_.unsavedChangeCount() + user_.unsavedChangeCount(); }
  // The program ends now: what is still unsaved goes beside its store.
  void KeepUnsavedChanges() {
    machine_.keepUnsavedBeside();
    user_.keepUnsavedBeside();
  }
  RegistryStore& store(Hive hive) { return hive == Hive::LocalMachine ? machine_ : user_; }

 private:
  RegistryStore machine_;
  RegistryStore user_;
};

// Groups writes to one hive so that they land together or not at all.
// Destroying it without commit() rolls back.
class RegistryTransaction {
 public:
  RegistryTransaction(Registry& registry, Hive hive);
  ~RegistryTransaction();
  RegistryTransaction(const RegistryTransaction&) = delete;
  RegistryTransaction& operator=(const RegistryTransaction&) = delete;

  // False when the transaction could not start (the writes would not be grouped).
  bool isActive() const { return active_; }
  // False when anything inside failed; nothing was then written.
  bool commit();

 private:
  RegistryStore& store_;
  bool active_;
};

}  // namespace tw
