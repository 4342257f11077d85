#pragma once

#include "SettingDefs.h"

#include <QHash>
#include <QString>

namespace tw {

struct AppCore;
class Autostart;
class MainWindowPort;
class Startup;

// The option keys of the settings tree that stand for stored values.
namespace option {
inline constexpr const char* AutoRun = "AUTO_RUN";
inline constexpr const char* AutoMinimise = "AUTO_MIN";
inline constexpr const char* CloseToTray = "CLOSE_TRAY";
inline constexpr const char* AutoExpandNew = "AUTO_EXP_NEW";
inline constexpr const char* SortSites = "SORT_SITES";
inline constexpr const char* CheckAtStartup = "CHECK_STARTUP";
inline constexpr const char* MultiUser = "MULTI_USER";
inline constexpr const char* DisableErrorAlert = "ERROR_ALERT";
inline constexpr const char* ShowWebProgress = "SHOW_WEB_PROGRESS";
inline constexpr const char* ShowDownloadProgress = "SHOW_DL_PROGRESS";
inline constexpr const char* ShowActivityLog = "SHOW_LOG";
inline constexpr const char* LightPageView = "LIGHT_PAGE_VIEW";
inline constexpr const char* ShowAlert = "SHOW_ALERT";
inline constexpr const char* ColouredTitles = "MSG_COLOUR";
inline constexpr const char* ShortNewMessage = "MSG_SHORT";
inline constexpr const char* PreserveNewStatus = "PRESERVE_NEW";
inline constexpr const char* IntervalDisabled = "MIN0";
inline constexpr const char* UserTime = "USER_TIME";

// A check of the program's own and the flag it is stored as, in the order
// they are read and saved.
struct ProgramCheck {
  const char* key;
  FlagSetting setting;
};
inline constexpr ProgramCheck kProgramChecks[] = {
    {AutoMinimise, setting::AutoMinimise},
    {CloseToTray, setting::CloseToTray},
    {AutoExpandNew, setting::AutoExpandNew},
    {SortSites, setting::SortSites},
    {CheckAtStartup, setting::CheckAtStartup},
    {ShowAlert, setting::ShowAlert},
    {ShowWebProgress, setting::ShowWebProgress},
    {ShowDownloadProgress, setting::ShowDownloadProgress},
    {ShowActivityLog, setting::ShowActivityLog},
    {LightPageView, setting::LightPageView},
    {ColouredTitles, setting::ColouredTitles},
    {ShortNewMessage, setting::ShortNewMessage},
    {DisableErrorAlert, setting::DisableErrorAlert},
    {PreserveNewStatus, setting::PreserveNewStatus},
};

// A site's checks: the site's key followed by the suffix.
struct SiteCheck {
  const char* suffix;
  FlagSetting setting;
};
inline constexpr SiteCheck kSiteChecks[] = {
    {"_DISABLE", setting::SiteDisabled},
    {"_AUTOITEM", setting::SiteAutoItem},
    {"_EXT", setting::SiteExternal},
};
}  // namespace option

// Everything the options dialog edits, as stored for one settings mode.
struct OptionValues {
  bool multiUser = false;
  bool autoRun = false;
  // Each program check and each site check, by option key.
  QHash<QString, bool> checks;
  // "User Defined" rather than "Disabled" is selected.
  bool userDefined = false;
  // The user-defined interval in minutes as text; empty when none is stored.
  QString intervalTag;

  // The interval tag's minutes (0 for empty or other text).
  static qint32 TagMinutes(const QString& tag);
};

// Reads the options of either settings mode and saves them, applying them at
// once: the window, the site tree, the titles and the check timer follow.
class OptionSettings {
 public:
  OptionSettings(AppCore& core, Startup& startup, MainWindowPort& window, Autostart& autostart);

  AppCore& core() const { return core_; }
  // Multi-user mode, as stored in the machine store.
  bool StoredMultiUser() const;
  // The values stored for one mode. The program goes on using its own mode:
  // it changes only when the options are saved.
  OptionValues Read(bool multiUser) const;
  // The settings fingerprint: equal for equal values, and only ever
  // compared for equality.
  QString Cfg_List(const OptionValues& values) const;
  // Writes everything for the mode the values choose, then makes it the
  // program's mode and applies it: start with the desktop, sites added,
  // removed and sorted, titles, strips and activity list, check timer.
  void Save(const OptionValues& values);

  QString LoginName() const;

 private:
  AppCore& core_;
  Startup& startup_;
  MainWindowPort& window_;
  Autostart& autostart_;
};

}  // namespace tw
