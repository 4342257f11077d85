#pragma once

#include "FeedEndpoints.h"
#include "SiteTable.h"

namespace tw {

class Registry;
class Settings;
class SiteItemLoader;
class SiteTree;
struct AppIdentity;

// Default title-strip colours of rows that set none of their own.
inline constexpr Rgb kDefaultTitleBack = RGB(255, 255, 255);
inline constexpr Rgb kDefaultTitleText = RGB(0, 0, 0);
inline constexpr Rgb kDefaultLinkCaption = RGB(0, 0, 0);
inline constexpr Rgb kDefaultLinkText = RGB(0, 0, 255);
inline constexpr Rgb kDefaultLinkHover = RGB(51, 153, 255);

// Fills the table with the 17 built-in sites (any earlier rows are dropped).
// The program's own row takes its title and icon key from progTitle.
void BuildCatalogue(SiteTable& table, const QString& progTitle, const FeedEndpoints& endpoints);

// Completes the rows from the settings and brings the tree in line: every
// enabled site gets a node (with its stored items, through the loader), every
// disabled one loses it; the tree's sort flag follows "Sort Sites".
class Catalogue {
 public:
  Catalogue(SiteTable& table, Settings& settings, SiteTree& tree);
  void setItemLoader(SiteItemLoader* loader) { loader_ = loader; }

  void ApplySiteSettings();

 private:
  SiteTable& table_;
  Settings& settings_;
  SiteTree& tv_;
  SiteItemLoader* loader_ = nullptr;
};

}  // namespace tw
