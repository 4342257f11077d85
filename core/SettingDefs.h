#pragma once

#include <QtGlobal>

// Every value name the program stores, declared once. Flags carry their
// reading rule: most are on when non-zero, a few only when they equal 1.
// A missing value, or one of a kind other than text or number, reads as
// off / 0 / empty text.
namespace tw {

enum class FlagRule { NonZero, EqualsOne };

struct FlagSetting {
  const char* name;
  FlagRule rule;
};
struct NumberSetting {
  const char* name;
};
struct TextSetting {
  const char* name;
};

namespace setting {

// Always in the machine store, whatever the current mode.
inline constexpr FlagSetting MultiUser{"Multi User", FlagRule::NonZero};

inline constexpr FlagSetting AutoMinimise{"Auto Minimise", FlagRule::NonZero};
inline constexpr FlagSetting CloseToTray{"Close To Tray", FlagRule::NonZero};
inline constexpr FlagSetting AutoExpandNew{"Auto Expand New", FlagRule::EqualsOne};
inline constexpr FlagSetting SortSites{"Sort Sites", FlagRule::NonZero};
inline constexpr FlagSetting CheckAtStartup{"Check At Startup", FlagRule::EqualsOne};
// On (1): new-item alerts only while the main window is minimised or hidden.
inline constexpr FlagSetting ShowAlert{"Show Alert", FlagRule::EqualsOne};
inline constexpr FlagSetting ShowWebProgress{"Show Web Progress", FlagRule::NonZero};
inline constexpr FlagSetting ShowDownloadProgress{"Show Download Progress", FlagRule::NonZero};
inline constexpr FlagSetting ShowActivityLog{"Show Activity Log", FlagRule::NonZero};
// On: pages show in Qt's own rich-text browser rather than the web engine.
inline constexpr FlagSetting LightPageView{"Light Page View", FlagRule::NonZero};
inline constexpr FlagSetting ColouredTitles{"Coloured Titles", FlagRule::NonZero};
inline constexpr FlagSetting ShortNewMessage{"Short New Message", FlagRule::NonZero};
inline constexpr FlagSetting DisableErrorAlert{"Disable Error Alert", FlagRule::NonZero};
inline constexpr FlagSetting PreserveNewStatus{"Preserve new status", FlagRule::NonZero};
inline constexpr NumberSetting CheckIntervalMinutes{"Check Interval Minutes"};
inline constexpr NumberSetting SplitterPosition{"Splitter Position"};

// Window placement: the window's name followed by one of these.
inline constexpr const char* PlacementTop = "Top";
inline constexpr const char* PlacementLeft = "Left";
inline constexpr const char* PlacementWidth = "Width";
inline constexpr const char* PlacementHeight = "Height";
inline constexpr const char* PlacementWindowState = "WindowState";

// Per site, under the root key + "\" + the site's name.
inline constexpr FlagSetting SiteDisabled{"Disabled", FlagRule::NonZero};
inline constexpr FlagSetting SiteAutoItem{"Auto Item", FlagRule::NonZero};
inline constexpr FlagSetting SiteExternal{"External", FlagRule::NonZero};
inline constexpr NumberSetting SiteErrorCount{"Error Count"};
inline constexpr NumberSetting SiteTotalItems{"TotalItems"};

// Channel values of the site's last parsed feed.
inline constexpr TextSetting ChannelTitle{"RSS Title"};
inline constexpr TextSetting ChannelLink{"RSS Link"};
inline constexpr TextSetting ChannelDescription{"RSS Description"};
inline constexpr TextSetting ChannelLastBuildDate{"RSS LastBuildDate"};
inline constexpr TextSetting ChannelImageTitle{"RSS Image Title"};
inline constexpr TextSetting ChannelImageUrl{"RSS Image URL"};
inline constexpr TextSetting ChannelImageLink{"RSS Image Link"};
inline constexpr TextSetting ChannelImageDescription{"RSS Image Description"};
inline constexpr TextSetting ChannelImageWidth{"RSS Image Width"};
inline constexpr TextSetting ChannelImageHeight{"RSS Image Height"};

// One stored item, in the site key's subkey "1".."TotalItems".
inline constexpr TextSetting ItemTitle{"Title"};
inline constexpr TextSetting ItemLink{"Link"};
inline constexpr TextSetting ItemHomepage{"Homepage"};
inline constexpr TextSetting ItemReleaseDate{"Releasedate"};
inline constexpr TextSetting ItemDescription{"Description"};
inline constexpr TextSetting ItemPubDate{"PubDate"};
inline constexpr TextSetting ItemTag{"Tag"};
inline constexpr TextSetting ItemThumb{"Thumb"};
inline constexpr TextSetting ItemAuthor{"Author"};
// Read by the item page but never written by the item store.
inline constexpr TextSetting ItemDate{"date"};

// Start with the desktop session: a text value named after the program and
// holding the running executable's full path, in this key of the settings
// hive; the XDG autostart entry written beside it makes it happen.
inline constexpr const char* RunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace setting
}  // namespace tw
