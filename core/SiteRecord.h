#pragma once

#include <QString>
#include <QtGlobal>

namespace tw {

// A colour as the program stores it: red in the low byte, then green, then blue.
using Rgb = quint32;
constexpr Rgb RGB(int red, int green, int blue) {
  return static_cast<Rgb>(red & 0xFF) | static_cast<Rgb>(green & 0xFF) << 8 | static_cast<Rgb>(blue & 0xFF) << 16;
}
constexpr int RedOf(Rgb c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }

// Which built-in item page a site uses; Generic is the default page.
enum class ItemTemplateId { Generic, FileRelease, NewsBackground, NewsDark, NewsBlue, NewsLightGreen, Skin };

// One catalogue row with its run-time settings.
struct SiteRecord {
  QString Title;
  QString Caption;
  bool Disabled = false;
  bool InTree = false;
  QString Key;
  QString RegName;
  QString FeedUrl;
  QString CacheFile;
  QString IconKey;
  bool OwnColours = false;
  QString BgndRes;
  QString LogoRes;
  qint32 ErrorCount = 0;
  bool AutoItem = false;
  bool External = false;
  ItemTemplateId ItemTemplate = ItemTemplateId::Generic;
  Rgb TitleBack = 0;
  Rgb TitleText = 0;
  Rgb LinkCaption = 0;
  Rgb LinkText = 0;
  Rgb LinkHover = 0;
};

}  // namespace tw
