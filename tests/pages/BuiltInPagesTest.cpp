#include "PageFixture.h"

#include "core/BuildFlags.h"
#include "news/BuiltInPageWriter.h"
#include "news/PageDisplay.h"
#include "news/PageTemplates.h"

#include <QRegularExpression>

namespace tw::test {
namespace {

class BuiltInPages : public PageFixture {
 protected:
  BuiltInPages() : display(web), writer(*core, web, strip, display, [] {}) {}
  PageDisplay display;
  BuiltInPageWriter writer;
};

QStringList Placeholders(const QString& text) {
  static const QRegularExpression re(QStringLiteral(R"(\[[A-Z]+\]|%5B[A-Z]+%5D)"));
  QStringList found;
  for (auto it = re.globalMatch(text); it.hasNext();) {
    const QString p = it.next().captured(0);
    if (!found.contains(p)) found << p;
  }
  found.sort();
  return found;
}

TEST(BuiltInTemplates, HoldTheirPlaceholders) {
  EXPECT_EQ(Placeholders(AboutPageTemplate()),
            QStringList({"%5BPROGTITLE%5D", "%5BVERSION%5D", "[PROGTITLE]", "[VERSION]"}));
  EXPECT_EQ(Placeholders(HelpPageTemplate()),
            QStringList({"%5BPROGTITLE%5D", "%5BVERSION%5D", "[CONSOLE]", "[PROGTITLE]", "[UPROGTITLE]"}));
  EXPECT_EQ(Placeholders(DonationsPageTemplate()),
            QStringList({"%5BPROGTITLE%5D", "%5BVERSION%5D", "[CONSOLE]", "[PROGTITLE]", "[VERSION]"}));
}

TEST(BuiltInTemplates, NoContextMenuScriptIsOneScriptElement) {
  const QString script = NoContextMenuScript();
  EXPECT_TRUE(script.startsWith(QLatin1String("<script language=\"JavaScript\" type=\"text/JavaScript\">"
                                              "var message=\"\";")));
  EXPECT_TRUE(script.endsWith(QLatin1String("</script>")));
  EXPECT_EQ(script.count(QLatin1String("<script")), 1);
  EXPECT_TRUE(script.contains(QLatin1String("e.which==2||e.which==3")));
  EXPECT_TRUE(script.contains(QLatin1String("document.oncontextmenu=")));
}

TEST(BuiltInTemplates, HelpHasItsHeadingsAndLegend) {
  const QString help = HelpPageTemplate();
  EXPECT_TRUE(help.startsWith(QLatin1String("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"")));
  for (const char* text :
       {"<title>Untitled Document</title>", "charset=iso-8859-1", "HELP - Here to make life simple! ",
        "MENU FUNCTIONS", "SYSTEM OPTIONS", "SITE OPTIONS", "ITEM MENU: Right click on a news item ",
        "SITE MENU: Right click on a site title ",
        "SYSTEM TRAY MENU: Right click on the [PROGTITLE] icon in the system tray", "OPEN [UPROGTITLE]",
        "RUN [UPROGTITLE] WHEN WINDOWS STARTS", "SORT SITES (A - Z)", "USER DEFINED (X)",
        "DISABLE &quot;SITE NAME&quot; NEWS LIST", "bgcolor=\"#DCFFDC\">Green", "bgcolor=\"#FFFFDC\">Yellow",
        "DISCLAIMER", "bgcolor=\"#66FFFF\"><span class=\"style11\">", "bgcolor=\"#FFFFCC\"><span class=\"style8\">"}) {
    EXPECT_TRUE(help.contains(QLatin1String(text))) << text;
  }
  for (const char* entry : {"SETTINGS", "UPDATE NEWS LISTS", "DONATIONS", "HELP", "ABOUT", "EXIT", "MARK AS READ",
                            "MARK AS UNREAD", "MARK ALL ITEMS AS READ", "MARK ALL ITEMS AS UNREAD"}) {
    EXPECT_TRUE(help.contains(QStringLiteral("<span class=\"style12\">") + QLatin1String(entry) +
                              QStringLiteral("</span> - ")))
        << entry;
  }
}

TEST(BuiltInTemplates, DonationsShowBothButtonsAtTheirSizes) {
  const QString page = DonationsPageTemplate();
  EXPECT_TRUE(page.contains(QLatin1String("<img src=\"paypal.gif\" width=\"62\" height=\"31\"")));
  EXPECT_TRUE(page.contains(QLatin1String("<img src=\"nochex.gif\" width=\"88\" height=\"33\"")));
  EXPECT_TRUE(page.contains(QLatin1String("currency_code=GBP")));
  EXPECT_TRUE(page.contains(QLatin1String("credits page")));
  EXPECT_TRUE(page.contains(QLatin1String("?subject=%5BPROGTITLE%5D%20(%5BVERSION%5D)")));
}

TEST_F(BuiltInPages, FillInTheOrderConsoleUpperTitleTitleVersion) {
  core->identity.ConsoleName = QStringLiteral("[UPROGTITLE]/[VERSION]");
  core->identity.ProgTitle = QStringLiteral("Tw<&>");
  core->identity.VersionText = QStringLiteral("v9 [CONSOLE]");
  EXPECT_EQ(writer.FillBuiltInPage(QStringLiteral("[CONSOLE]|[PROGTITLE]|%5BPROGTITLE%5D|[VERSION]|%5BVERSION%5D")),
            QStringLiteral("TW<&>/v9 [CONSOLE]|Tw<&>|Tw<&>|v9 [CONSOLE]|v9 [CONSOLE]"));
}

TEST_F(BuiltInPages, TheScriptFollowsEveryHeadTagInEitherCase) {
  const QString script = NoContextMenuScript();
  EXPECT_EQ(writer.FillBuiltInPage(QStringLiteral("<head>a<HEAD>b<Head>")),
            QStringLiteral("<head>") + script + QStringLiteral("a<head>") + script + QStringLiteral("b<Head>"));
  const QString about = writer.FillBuiltInPage(AboutPageTemplate());
  EXPECT_FALSE(AboutPageTemplate().contains(QLatin1String("<HEAD>")));
  EXPECT_EQ(about.count(script), 1);
  EXPECT_TRUE(about.startsWith(QStringLiteral("<html><head>") + script));
  EXPECT_EQ(writer.FillBuiltInPage(HelpPageTemplate()).count(script), 1);
  EXPECT_EQ(writer.FillBuiltInPage(DonationsPageTemplate()).count(script), 1);
}

TEST_F(BuiltInPages, AboutIsWrittenWithItsPicturesAndShownWithScript) {
  renderer->WriteAboutPage();
  EXPECT_TRUE(strip.shown);
  EXPECT_EQ(strip.calls.first(), QStringLiteral("builtInPageShown 1"));
  EXPECT_EQ(web.calls, QStringList({"ShowPageFile about.htm scripts on"}));
  ASSERT_EQ(web.shown.size(), 1);
  EXPECT_EQ(web.shown[0].filesPresent, QStringList({"about.htm", "console_logo.jpg", "newspaper.gif", "prog-logo.jpg"}));
  const QString page = lastShownPage();
  EXPECT_TRUE(page.contains(QLatin1String("Tidewire is 100% free.")));
  EXPECT_TRUE(page.contains(QLatin1String("v1.0 build 0311")));
  EXPECT_FALSE(page.contains(QLatin1String("[PROGTITLE]")));
  EXPECT_TRUE(page.contains(QLatin1String("?subject=Tidewire%20(v1.0 build 0311)")));

  const TitleStripContent& c = strip.last();
  EXPECT_EQ(c.back, RGB(255, 255, 255));
  EXPECT_EQ(c.logoFile, folder() + QStringLiteral("/prog-logo.jpg"));
  EXPECT_TRUE(strip.logoFileExisted.back());
  EXPECT_FALSE(c.title.visible);
  EXPECT_FALSE(c.linkTitle.visible);
  EXPECT_FALSE(c.link.visible);

  web.finishLoading();
  if (!DebugBuild) {
    EXPECT_TRUE(programFiles().isEmpty()) << programFiles().join(u',').toStdString();
  }
}

TEST_F(BuiltInPages, DonationsAlsoWriteThePaymentButtons) {
  renderer->WriteDonationsPage();
  ASSERT_EQ(web.shown.size(), 1);
  EXPECT_EQ(web.shown[0].filesPresent, QStringList({"console_logo.jpg", "donations.htm", "newspaper.gif", "nochex.gif",
                                                    "paypal.gif", "prog-logo.jpg"}));
  EXPECT_TRUE(lastShownPage().contains(QLatin1String("item_name=Tidewire&amp;currency_code=GBP")));
  web.finishLoading();
  if (!DebugBuild) {
    EXPECT_TRUE(programFiles().isEmpty());
  }
}

TEST_F(BuiltInPages, OpeningHelpTwiceShowsAFreshPageEachTime) {
  renderer->WriteHelpPage();
  web.finishLoading();
  // Something else left a help page and a picture behind.
  QFile stale(folder() + QStringLiteral("/help.htm"));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.write("stale");
  stale.close();
  QFile picture(folder() + QStringLiteral("/newspaper.gif"));
  ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
  picture.write("stale");
  picture.close();

  renderer->WriteHelpPage();
  ASSERT_EQ(web.shown.size(), 2);
  EXPECT_EQ(web.shown[0].content, web.shown[1].content);
  EXPECT_TRUE(lastShownPage().contains(QLatin1String("HELP - Here to make life simple!")));
  EXPECT_TRUE(lastShownPage().contains(QLatin1String("OPEN TIDEWIRE")));
  QFile fresh(folder() + QStringLiteral("/newspaper.gif"));
  QFile resource(QStringLiteral(":/Tidewire/MAN-READING"));
  ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
  ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
  EXPECT_EQ(fresh.readAll(), resource.readAll());
}

TEST_F(BuiltInPages, AnItemPageAfterABuiltInPageClearsTheFlag) {
  renderer->WriteAboutPage();
  EXPECT_TRUE(strip.builtInPageShown());
  renderer->ShowItem(3, addItem(3, 1, Item{}));
  EXPECT_FALSE(strip.builtInPageShown());
}

}  // namespace
}  // namespace tw::test
