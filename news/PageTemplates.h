#pragma once

#include "core/SiteRecord.h"

#include <QString>

namespace tw {

// The page templates. Each is assembled from fixed pieces on every request.
//
// Item pages carry feed markup in place of "[DESCRIPTION]": they start with a
// Content-Security-Policy that allows no script, no frames, no plug-ins, no
// forms and no <base>, and images only from the page's own folder and the
// web. The built-in pages carry only the program's own text and run their
// own small script.

// The script block that keeps the built-in pages free of a context menu.
QString NoContextMenuScript();

// The policy tag that opens every item page's head.
QString ItemPageSecurityPolicy();

// The generic item page: the default for a site without its own template.
QString DefaultItemTemplate();
// The site's item page; Generic gives the default one.
QString ItemTemplate(ItemTemplateId id);

// The page shown in the panel when a web address could not be loaded:
// the address, the browser's reason, and that the item is still kept.
QString LoadFailurePage(const QString& address, const QString& reason);

QString AboutPageTemplate();
QString HelpPageTemplate();
QString DonationsPageTemplate();

// The style sheet the three built-in pages share (Help adds its own classes).
QString BuiltInPageStyles();
// Newspaper at the left, console logo at the right: the foot of Help and
// Donations.
QString BuiltInPageFoot();

}  // namespace tw
