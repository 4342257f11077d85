#pragma once

#include "core/SiteRecord.h"

#include <QString>

namespace tw {

// One label of the title strip. Texts are shown as plain text, never as
// markup: they come from feeds.
struct TitleLabel {
  QString text;
  Rgb colour = 0;
  bool visible = true;
};

// What a page puts in the strip above the web panel (`picTitle`).
struct TitleStripContent {
  Rgb back = RGB(255, 255, 255);  // `picTitle` and `picTitleLogo`
  // `picTitleLogo` shows this picture file at its own size. The file is one
  // of the page files, deleted once the page has loaded: read it at once.
  // Empty or missing: no picture.
  QString logoFile;
  QString logoTag;
  TitleLabel title;      // `lblTitle`
  TitleLabel linkTitle;  // `lblLinkTitle`
  TitleLabel link;       // `lblLink`
  // `lblLink`'s tag: the target window name a left click on the link gives.
  QString linkTag;
  // The window's `LinkColour` and `LinkHoverColour`.
  Rgb linkColour = 0;
  Rgb linkHoverColour = 0;
};

// The main window's title strip, as the page renderer sets it. With
// `BuiltInPageShown` the window centres the logo and the labels are hidden;
// otherwise the labels sit to the right of the logo and the strip's height
// follows the logo's.
class TitleStrip {
 public:
  virtual ~TitleStrip() = default;
  virtual void setBuiltInPageShown(bool shown) = 0;
  virtual bool builtInPageShown() const = 0;
  virtual void setTitleStrip(const TitleStripContent& content) = 0;
};

}  // namespace tw
