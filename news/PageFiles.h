#pragma once

#include <QString>

namespace tw {

// The files a page is shown from, written into the program folder just
// before the page is shown and deleted once it has loaded.
namespace page_file {

inline constexpr const char* ItemPage = "main.htm";
inline constexpr const char* Logo = "logo.jpg";
inline constexpr const char* Background = "bgnd.gif";
inline constexpr const char* AboutPage = "about.htm";
inline constexpr const char* HelpPage = "help.htm";
inline constexpr const char* DonationsPage = "donations.htm";
inline constexpr const char* Newspaper = "newspaper.gif";
inline constexpr const char* ProgramLogo = "prog-logo.jpg";
inline constexpr const char* ConsoleLogo = "console_logo.jpg";
inline constexpr const char* PayPalButton = "paypal.gif";
inline constexpr const char* NochexButton = "nochex.gif";

}  // namespace page_file

// Resource types of the site pictures.
inline constexpr const char* kLogoResourceType = "LOGO";
inline constexpr const char* kBackgroundResourceType = "BGND";
inline constexpr const char* kDefaultLogo = "DEFAULT";

// folder + "/" + name.
QString PageFilePath(const QString& folder, const char* name);

// Deletes every page and picture file (*.htm, *.jpg, *.gif) in the folder,
// ignoring failures. A debug build keeps them, to be looked at.
void CleanPageFiles(const QString& folder, bool keepFiles);

}  // namespace tw
