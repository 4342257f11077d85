#pragma once

#include "AppIdentity.h"
#include "Registry.h"
#include "SettingDefs.h"

#include <QString>

namespace tw {

// Typed access to the settings. Nothing is cached: each call reads the store,
// so a saved option takes effect at its next use. Global and per-site values
// live in the current settings hive under the settings root; "Multi User"
// always lives in the machine store.
class Settings {
 public:
  Settings(Registry& registry, const AppIdentity& identity);

  bool flag(const FlagSetting& setting) const;
  qint32 number(const NumberSetting& setting) const;
  QString text(const TextSetting& setting) const;
  void setFlag(const FlagSetting& setting, bool on);
  void setNumber(const NumberSetting& setting, qint32 value);

  bool multiUser() const;
  void setMultiUser(bool on);

  // Per site: key = root + "\" + the site's RegName. A site's values are
  // written only when they differ from what is stored: each check sets the
  // error count and the channel's values, mostly to what they already are,
  // and would otherwise cost a commit (a disk flush) each time.
  QString siteKeyPath(const QString& regName) const;
  bool siteFlag(const QString& regName, const FlagSetting& setting) const;
  qint32 siteNumber(const QString& regName, const NumberSetting& setting) const;
  QString siteText(const QString& regName, const TextSetting& setting) const;
  void setSiteFlag(const QString& regName, const FlagSetting& setting, bool on);
  void setSiteNumber(const QString& regName, const NumberSetting& setting, qint32 value);
  void setSiteText(const QString& regName, const TextSetting& setting, const QString& value);

  // Window placement values: window name + "Top", "Left", ...
  RegValue placement(const QString& windowName, const char* property) const;
  void setPlacement(const QString& windowName, const char* property, double value);

  Hive hive() const { return identity_.SettingsHive; }
  const QString& root() const { return identity_.SettingsRoot; }
  Registry& registry() const { return registry_; }

  static bool ApplyRule(const RegValue& value, FlagRule rule);

 private:
  Registry& registry_;
  const AppIdentity& identity_;
};

}  // namespace tw
