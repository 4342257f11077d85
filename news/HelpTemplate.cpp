#include "PageLinks.h"
#include "PageTemplates.h"

#include <utility>

namespace tw {
namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

// A reference entry: the name in bold capitals, a dash, a sentence or two.
QString Entry(const char* name, const char* text) {
  return L("<tr><td><span class=\"style12\">") + L(name) + L("</span> - ") + L(text) + L("</td></tr>");
}

QString Section(const char* heading) {
  return L("<tr><td bgcolor=\"#66FFFF\"><span class=\"style11\">") + L(heading) + L("</span></td></tr>");
}

QString MenuHeading(const char* heading) {
  return L("<tr><td bgcolor=\"#FFFFCC\"><span class=\"style8\">") + L(heading) + L("</span></td></tr>");
}

QString HelpStyles() {
  return L("<style type=\"text/css\"><!--"
           ".style5 {color: #006600; font-weight: bold;}"
           ".style6 {font-size: 12px;}"
           ".style8 {color: #006600; font-weight: bold; font-size: 12px;}"
           ".style10 {color: #666666;}"
           ".style11 {font-size: 14px; font-weight: bold;}"
           ".style12 {font-size: 12px; font-weight: bold;}"
           ".style13 {font-size: 10px; font-weight: bold;}"
           "--></style>");
}

QString ColourLegend() {
  return L("<table border=\"0\" cellpadding=\"3\" cellspacing=\"2\">"
           "<tr><td width=\"60\" bgcolor=\"#DCFFDC\">Green</td><td>- new news items are available</td></tr>"
           "<tr><td width=\"60\" bgcolor=\"#FFFFDC\">Yellow</td><td>- there are unread items in the list</td></tr>"
           "<tr><td width=\"60\" style=\"border: 1px solid #CCCCCC\">Clear</td>"
           "<td>- all messages are marked as read</td></tr>"
           "</table>");
}

}  // namespace

QString HelpPageTemplate() {
  QString page;
  page += L("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
            "\"http://www.w3.org/TR/html4/loose.dtd\">");
  page += L("<html><head><title>Untitled Document</title>");
  page += L("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">");
  page += BuiltInPageStyles();
  page += HelpStyles();
  page += L("</head><body>");
  page += L("<table width=\"100%\" border=\"0\" cellpadding=\"6\" cellspacing=\"0\">");
  page += L("<tr><td><span class=\"style13\">HELP - Here to make life simple! </span></td></tr>");
  page += L("<tr><td><span class=\"style6\">[PROGTITLE] keeps an eye on the best-known [CONSOLE] news, "
            "release and skin sites for you. It sits quietly in the system tray, checks the sites' news "
            "feeds as often as you like and tells you when something new turns up. Click a site in the list "
            "to see its summary, click a news item to read it. Everything below can be changed from "
            "<b>Settings</b>. Still stuck? Send your question by <a href=\"") +
          L(page_links::QuestionsMail) + L("?subject=%5BPROGTITLE%5D%20(%5BVERSION%5D)\">e-mail</a>.</span></td></tr>");

  page += Section("MENU FUNCTIONS");
  page += Entry("SETTINGS", "Opens the settings window, where every option on this page is set.");
  page += Entry("UPDATE NEWS LISTS", "Checks every site that is not disabled for new items straight away, "
                                     "without waiting for the next automatic update.");
  page += Entry("DONATIONS", "Shows how you can support [PROGTITLE].");
  page += Entry("HELP", "Shows this page.");
  page += Entry("ABOUT", "Shows the version of [PROGTITLE] and who wrote it.");
  page += Entry("EXIT", "Closes [PROGTITLE]. Your news items and settings are kept for next time.");

  page += MenuHeading("ITEM MENU: Right click on a news item ");
  page += Entry("MARK AS READ", "Marks the news item as read: it is no longer bold and no longer counted as "
                                "unread in the site title.");
  page += Entry("MARK AS UNREAD", "Marks the news item as unread again, so that you can come back to it later.");
  page += MenuHeading("SITE MENU: Right click on a site title ");
  page += Entry("MARK ALL ITEMS AS READ", "Marks every news item of the site as read.");
  page += Entry("MARK ALL ITEMS AS UNREAD", "Marks every news item of the site as unread.");
  page += MenuHeading("SYSTEM TRAY MENU: Right click on the [PROGTITLE] icon in the system tray");
  page += Entry("OPEN [UPROGTITLE]", "Brings the [PROGTITLE] window back from the system tray. A double click "
                                     "on the icon does the same.");
  page += Entry("UPDATE NEWS LISTS", "Checks all sites now, as the menu entry of the same name does.");
  page += Entry("SETTINGS", "Opens the settings window.");
  page += Entry("EXIT", "Closes [PROGTITLE].");

  page += Section("SYSTEM OPTIONS");
  page += Entry("RUN [UPROGTITLE] WHEN WINDOWS STARTS", "Starts [PROGTITLE] every time you log in, so the news "
                                                         "is waiting for you.");
  page += Entry("MINIMISE WHEN [UPROGTITLE] STARTS", "Starts [PROGTITLE] minimised, or in the system tray when "
                                                      "the next option is on as well.");
  page += Entry("CLOSE/MINIMISE TO SYSTEM TRAY", "Closing or minimising the window puts [PROGTITLE] in the "
                                                  "system tray instead of ending it or leaving it on the taskbar.");
  page += Entry("AUTO EXPAND SITES WITH NEW ITEMS", "Opens a site in the list as soon as new items arrive for it.");
  page += Entry("SORT SITES (A - Z)", "Lists the sites in alphabetical order instead of the built-in order.");
  page += Entry("CHECK FOR NEW ITEMS WHEN [UPROGTITLE] STARTS", "Checks every site once as soon as [PROGTITLE] "
                                                                 "has started.");
  page += Entry("MULTI-USER SYSTEM", "Gives every user of this computer settings and news lists of their own. "
                                     "When it is off, everybody shares one set.");
  page += Entry("DISABLE FAILED DOWNLOAD POPUP ALERTS", "Stops the popup that appears when a site has failed to "
                                                         "download several times in a row. Failures are still "
                                                         "written to the activity log.");
  page += Entry("SHOW BROWSER PROGRESS", "Shows a progress bar under the page while it loads.");
  page += Entry("SHOW DOWNLOAD PROGRESS", "Shows a progress bar while news feeds are downloaded.");
  page += Entry("SHOW ACTIVITY LOG", "Shows the list of everything [PROGTITLE] has done since it started, "
                                     "at the bottom of the window.");
  page += Entry("POPUP ALERTS ONLY WHEN HIDDEN", "Announces new items with a popup only while the window is "
                                                 "minimised or in the system tray.");
  page += L("<tr><td><span class=\"style12\">CHANGE SITE COLOUR</span> - Colours each site title in the list by "
            "the state of its news items:") +
          ColourLegend() + L("</td></tr>");
  page += Entry("ONLY SHOW NEW ITEM TOTAL IN SITE TITLE", "Shows just the number of new items after a site's "
                                                          "name instead of the new, unread and total counts.");
  page += Entry("PRESERVE NEW STATUS AFTER RE-START", "Items that were new when you closed [PROGTITLE] are "
                                                      "still shown as new the next time it starts.");
  page += Entry("DISABLED", "Turns the automatic update off: news is only checked when you ask for it.");
  page += Entry("USER DEFINED (X)", "Checks all sites every X minutes. Select it and type the number of minutes, "
                                    "from 1 to 1440; X shows the time you chose.");

  page += Section("SITE OPTIONS");
  page += L("<tr><td><span class=\"style10\">Every site in the list has these three options of its own."
            "</span></td></tr>");
  page += Entry("DISABLE &quot;SITE NAME&quot; NEWS LIST", "Takes the site out of the list and stops checking "
                                                            "it. Its news items are kept for when you turn it "
                                                            "back on.");
  page += Entry("AUTO DISPLAY NEWS ITEM", "Clicking a news item opens the item's own web page instead of the "
                                          "summary [PROGTITLE] shows.");
  page += Entry("OPEN NEWS IN EXTERNAL BROWSER", "Together with the option above, opens the item's web page in "
                                                 "your usual web browser instead of inside [PROGTITLE].");

  page += L("<tr><td><span class=\"style5\">DISCLAIMER</span><br><span class=\"style10\">[PROGTITLE] shows news "
            "that other web sites publish. Their content belongs to them and is their responsibility; "
            "[PROGTITLE] is not connected with any of them, nor with the makers of the [CONSOLE]. "
            "[PROGTITLE] is provided as it is, without warranty of any kind: use it at your own risk."
            "</span></td></tr>");
  page += L("</table>");
  page += BuiltInPageFoot();
  page += L("</body></html>");
  return page;
}

}  // namespace tw
