#include "Settings.h"

namespace tw {
namespace {
QString Name(const char* name) { return QString::fromLatin1(name); }
}  // namespace

Settings::Settings(Registry& registry, const AppIdentity& identity) : registry_(registry), identity_(identity) {}

bool Settings::ApplyRule(const RegValue& value, FlagRule rule) {
  return rule == FlagRule::EqualsOne ? value.toInt() == 1 : value.isNonZero();
}

bool Settings::flag(const FlagSetting& setting) const {
  return ApplyRule(registry_.QueryRegValue(hive(), root(), Name(setting.name)), setting.rule);
}

qint32 Settings::number(const NumberSetting& setting) const {
  return registry_.QueryRegValue(hive(), root(), Name(setting.name)).toInt();
}

QString Settings::text(const TextSetting& setting) const {
  return registry_.QueryRegValue(hive(), root(), Name(setting.name)).toText();
}

void Settings::setFlag(const FlagSetting& setting, bool on) {
  registry_.SetRegValue(hive(), root(), Name(setting.name), on ? 1 : 0, RegType::Dword);
}

void Settings::setNumber(const NumberSetting& setting, qint32 value) {
  registry_.SetRegValue(hive(), root(), Name(setting.name), value, RegType::Dword);
}

bool Settings::multiUser() const {
  return ApplyRule(registry_.QueryRegValue(Hive::LocalMachine, root(), Name(setting::MultiUser.name)),
                   setting::MultiUser.rule);
}

void Settings::setMultiUser(bool on) {
  registry_.SetRegValue(Hive::LocalMachine, root(), Name(setting::MultiUser.name), on ? 1 : 0, RegType::Dword);
}

QString Settings::siteKeyPath(const QString& regName) const { return root() + u'\\' + regName; }

bool Settings::siteFlag(const QString& regName, const FlagSetting& setting) const {
  return ApplyRule(registry_.QueryRegValue(hive(), siteKeyPath(regName), Name(setting.name)), setting.rule);
}

qint32 Settings::siteNumber(const QString& regName, const NumberSetting& setting) const {
  return registry_.QueryRegValue(hive(), siteKeyPath(regName), Name(setting.name)).toInt();
}

QString Settings::siteText(const QString& regName, const TextSetting& setting) const {
  return registry_.QueryRegValue(hive(), siteKeyPath(regName), Name(setting.name)).toText();
}

void Settings::setSiteFlag(const QString& regName, const FlagSetting& setting, bool on) {
  registry_.UpdateRegValue(hive(), siteKeyPath(regName), Name(setting.name), on ? 1 : 0, RegType::Dword);
}

void Settings::setSiteNumber(const QString& regName, const NumberSetting& setting, qint32 value) {
  registry_.UpdateRegValue(hive(), siteKeyPath(regName), Name(setting.name), value, RegType::Dword);
}

void Settings::setSiteText(const QString& regName, const TextSetting& setting, const QString& value) {
  registry_.UpdateRegValue(hive(), siteKeyPath(regName), Name(setting.name), value, RegType::String);
}

RegValue Settings::placement(const QString& windowName, const char* property) const {
  return registry_.QueryRegValue(hive(), root(), windowName + Name(property));
}

void Settings::setPlacement(const QString& windowName, const char* property, double value) {
  registry_.SetRegValue(hive(), root(), windowName + Name(property), value, RegType::Dword);
}

}  // namespace tw
