#include "BuiltInPageWriter.h"

#include "core/AppCore.h"
#include "news/PageDisplay.h"
#include "news/PageFiles.h"
#include "news/PageTemplates.h"
#include "news/TitleStrip.h"
#include "news/WebView.h"

namespace tw {
namespace {

struct Picture {
  const char* resource;
  const char* file;
};

constexpr Picture kPagePictures[] = {
    {"MAN-READING", page_file::Newspaper},
    {"PROG-LOGO", page_file::ProgramLogo},
    {"CONSOLE-LOGO", page_file::ConsoleLogo},
};
constexpr Picture kPaymentButtons[] = {
    {"PAYPAL", page_file::PayPalButton},
    {"NOCHEX", page_file::NochexButton},
};

}  // namespace

BuiltInPageWriter::BuiltInPageWriter(AppCore& core, WebView& web, TitleStrip& strip, PageDisplay& display,
                                     std::function<void()> cleanPageFiles)
    : core_(core), web_(web), strip_(strip), display_(display), cleanPageFiles_(std::move(cleanPageFiles)) {}

void BuiltInPageWriter::WriteAboutPage() { Write(AboutPageTemplate(), page_file::AboutPage, false); }
void BuiltInPageWriter::WriteHelpPage() { Write(HelpPageTemplate(), page_file::HelpPage, false); }
void BuiltInPageWriter::WriteDonationsPage() { Write(DonationsPageTemplate(), page_file::DonationsPage, true); }

QString BuiltInPageWriter::FillBuiltInPage(const QString& pageTemplate) const {
  const AppIdentity& id = core_.identity;
  QString page = pageTemplate;
  page.replace(QLatin1String("[CONSOLE]"), id.ConsoleName);
  page.replace(QLatin1String("[UPROGTITLE]"), id.ProgTitle.toUpper());
  page.replace(QLatin1String("[PROGTITLE]"), id.ProgTitle);
  page.replace(QLatin1String("%5BPROGTITLE%5D"), id.ProgTitle);
  page.replace(QLatin1String("[VERSION]"), id.VersionText);
  page.replace(QLatin1String("%5BVERSION%5D"), id.VersionText);

  const QString script = NoContextMenuScript();
  page.replace(QLatin1String("<head>"), QStringLiteral("<head>") + script);
  page.replace(QLatin1String("<HEAD>"), QStringLiteral("<head>") + script);
  return page;
}

void BuiltInPageWriter::Write(const QString& pageTemplate, const char* fileName, bool paymentButtons) {
  display_.Begin();
  strip_.setBuiltInPageShown(true);

  const QString folder = core_.programFolder.AppFolder();
  const QString type = core_.identity.ProgTitle;
  for (const Picture& picture : kPagePictures) {
    SaveResourceFile(PageFilePath(folder, picture.file), QString::fromLatin1(picture.resource), type, true);
  }
  if (paymentButtons) {
    for (const Picture& picture : kPaymentButtons) {
      SaveResourceFile(PageFilePath(folder, picture.file), QString::fromLatin1(picture.resource), type, true);
    }
  }

  const QString path = PageFilePath(folder, fileName);
  if (!WriteTextFile(path, FillBuiltInPage(pageTemplate))) {
    core_.activity.LogActivity(QStringLiteral("Could not write the page ") + path, LogLevel::Error, true);
  }

  TitleStripContent strip;
  strip.back = RGB(255, 255, 255);
  strip.logoFile = PageFilePath(folder, page_file::ProgramLogo);
  strip.title.visible = false;
  strip.linkTitle.visible = false;
  strip.link.visible = false;
  strip_.setTitleStrip(strip);

  web_.ShowPageFile(QString::fromLatin1(fileName), PageScripts::On);
  display_.AfterLoad(cleanPageFiles_);
}

}  // namespace tw
