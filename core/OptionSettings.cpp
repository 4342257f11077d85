#include "OptionSettings.h"

#include "AppCore.h"
#include "Autostart.h"
#include "Startup.h"
#include "WindowPorts.h"

namespace tw {
namespace {

QString Digit(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

QString SiteCheckKey(const SiteRecord& site, const option::SiteCheck& check) {
  return site.Key + QLatin1String(check.suffix);
}

}  // namespace

qint32 OptionValues::TagMinutes(const QString& tag) { return RegValue::Text(tag).toInt(); }

OptionSettings::OptionSettings(AppCore& core, Startup& startup, MainWindowPort& window, Autostart& autostart)
    : core_(core), startup_(startup), window_(window), autostart_(autostart) {}

bool OptionSettings::StoredMultiUser() const { return core_.settings.multiUser(); }

QString OptionSettings::LoginName() const { return startup_.LoginName(); }

OptionValues OptionSettings::Read(bool multiUser) const {
  // A view of the chosen mode's store; the program's own mode stays as it is.
  AppIdentity mode = core_.identity;
  mode.SettingsHive = multiUser ? Hive::CurrentUser : Hive::LocalMachine;
  const Settings settings(core_.registry, mode);

  OptionValues values;
  values.multiUser = multiUser;
  values.autoRun = autostart_.IsOn(mode.SettingsHive);
  // A check shows what the program makes of the stored value.
  for (const option::ProgramCheck& check : option::kProgramChecks) {
    values.checks.insert(QLatin1String(check.key), settings.flag(check.setting));
  }
  const RegValue interval = core_.registry.QueryRegValue(mode.SettingsHive, mode.SettingsRoot,
                                                         QLatin1String(setting::CheckIntervalMinutes.name));
  values.intervalTag = interval.toText();
  values.userDefined = interval.toInt() > 0;
  for (int i = 1; i <= core_.sites.LastIndex(); ++i) {
    const SiteRecord& site = core_.sites[i];
    for (const option::SiteCheck& check : option::kSiteChecks) {
      values.checks.insert(SiteCheckKey(site, check), settings.siteFlag(site.RegName, check.setting));
    }
  }
  return values;
}

QString OptionSettings::Cfg_List(const OptionValues& values) const {
  using namespace option;
  const auto check = [&values](const char* key) { return Digit(values.checks.value(QLatin1String(key))); };
  QString list = Digit(values.autoRun) + check(AutoMinimise) + check(CloseToTray) + check(AutoExpandNew) +
                 check(SortSites) + check(CheckAtStartup) + Digit(values.multiUser) + check(DisableErrorAlert) +
                 check(ShowAlert) + check(ShowWebProgress) + check(ShowDownloadProgress) + check(ShowActivityLog) +
                 Digit(!values.userDefined) + values.intervalTag + check(ColouredTitles) + check(ShortNewMessage) +
                 check(PreserveNewStatus) + check(LightPageView);
  for (int i = 1; i <= core_.sites.LastIndex(); ++i) {
    for (const option::SiteCheck& siteCheck : option::kSiteChecks) {
      list += Digit(values.checks.value(SiteCheckKey(core_.sites[i], siteCheck)));
    }
  }
  return list;
}

void OptionSettings::Save(const OptionValues& values) {
  Settings& settings = core_.settings;
  const bool modeChanged = settings.multiUser() != values.multiUser;
  settings.setMultiUser(values.multiUser);
  // The mode the store now holds becomes the program's, with its "user"
  // panel and its root key.
  startup_.ChooseSettingsHive();
  const Hive hive = core_.identity.SettingsHive;

  autostart_.Apply(values.autoRun, hive);
  // The options land together, in one write to the disk, or not at all.
  RegistryTransaction transaction(core_.registry, hive);
  for (const option::ProgramCheck& check : option::kProgramChecks) {
    // A check the dialog did not offer keeps what is stored.
    const auto value = values.checks.constFind(QLatin1String(check.key));
    if (value != values.checks.cend()) settings.setFlag(check.setting, value.value());
  }
  settings.setNumber(setting::CheckIntervalMinutes,
                     values.userDefined ? OptionValues::TagMinutes(values.intervalTag) : 0);

  for (int i = 1; i <= core_.sites.LastIndex(); ++i) {
    SiteRecord& site = core_.sites[i];
    if (modeChanged && site.InTree) {
      core_.tv.removeNode(site.Key);
      site.InTree = false;
    }
    // A store new to this mode has no site keys yet, and values are only
    // written into keys that exist.
    core_.registry.CreateRegKey(hive, settings.siteKeyPath(site.RegName));
    for (const option::SiteCheck& check : option::kSiteChecks) {
      settings.setSiteFlag(site.RegName, check.setting, values.checks.value(SiteCheckKey(site, check)));
    }
  }
  transaction.commit();

  // Reads the site flags back into the rows, adds and removes nodes, sorts.
  core_.catalogue.ApplySiteSettings();
  startup_.RefreshAllSiteTitles(false);
  window_.showStrips(settings);
  core_.checkTimer.StartCheckTimer();
}

}  // namespace tw
