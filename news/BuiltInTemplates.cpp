#include "PageLinks.h"
#include "PageTemplates.h"

namespace tw {
namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

QString Join(std::initializer_list<QString> pieces) {
  QString text;
  for (const QString& piece : pieces) text += piece;
  return text;
}

// The mail link subject names the program and its version.
QString MailLink(const char* address, const QString& text) {
  return L("<a href=\"") + L(address) + L("?subject=%5BPROGTITLE%5D%20(%5BVERSION%5D)\">") + text + L("</a>");
}

QString Link(const char* address, const QString& text) {
  return L("<a href=\"") + L(address) + L("\">") + text + L("</a>");
}

// Version, author and home link with the grey rule under them: the top of
// About (with the newspaper) and Donations (which has it at the foot).
QString Masthead(bool newspaper) {
  return Join({L("<table border=\"0\" align=\"center\" cellpadding=\"2\" cellspacing=\"0\">"),
               L("<tr><td align=\"center\"><span class=\"style3\">[VERSION]</span></td></tr>"),
               newspaper ? L("<tr><td align=\"center\"><img src=\"newspaper.gif\" width=\"96\" height=\"80\" "
                             "alt=\"\"></td></tr>")
                         : QString(),
               L("<tr><td align=\"center\">Written by "), MailLink(page_links::AuthorMail, L(page_links::AuthorName)),
               L("</td></tr>"),
               L("<tr><td align=\"center\">"), Link(page_links::HomePage, L(page_links::HomePageText)), L("</td></tr>"),
               L("<tr><td align=\"center\"><table width=\"160\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\">"),
               // The rule's cell holds no line of text, even where an empty
               // cell gets one.
               L("<tr><td height=\"1\" bgcolor=\"#CCCCCC\" style=\"font-size: 1px\"></td></tr></table></td></tr>"),
               L("</table>")});
}

}  // namespace

QString BuiltInPageFoot() {
  return Join({L("<table width=\"100%\" border=\"0\" cellpadding=\"6\" cellspacing=\"0\"><tr>"),
               L("<td align=\"left\" valign=\"bottom\"><img src=\"newspaper.gif\" width=\"96\" height=\"80\" alt=\"\"></td>"),
               L("<td align=\"right\" valign=\"bottom\"><img src=\"console_logo.jpg\" width=\"120\" height=\"64\" "
                 "alt=\"\"></td>"),
               L("</tr></table>")});
}

QString NoContextMenuScript() {
  // Older browsers with layers, and the standard event model, see mouse
  // buttons 2 and 3 cancelled; every other browser gets mouse-up handled the
  // same way and the context menu event cancelled.
  return Join({L("<script language=\"JavaScript\" type=\"text/JavaScript\">"),
               L("var message=\"\";"),
               L("function cancelMenuButton(e){if(document.layers||(document.getElementById&&!document.all)){"
                 "if(e.which==2||e.which==3){(message);return false;}}}"),
               L("function cancelMenu(){(message);return false;}"),
               L("if(document.layers){document.captureEvents(Event.MOUSEDOWN);document.onmousedown=cancelMenuButton;}"),
               L("else{document.onmouseup=cancelMenuButton;document.oncontextmenu=cancelMenu;}"),
               L("</script>")});
}

QString BuiltInPageStyles() {
  return Join({L("<style type=\"text/css\">"), L("<!--"),
               L("a:visited, a:link {color: #0066CC; text-decoration: none;}"),
               L("a:hover {color: #CC3300;}"),
               L("td {font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #000000;}"),
               L("body {margin-left: 0px; margin-top: 0px; margin-right: 0px; margin-bottom: 0px; "
                 "background-image: none;}"),
               L(".style3 {font-size: 9px;}"),
               L(".style4 {font-size: 12px; font-weight: bold;}"),
               L(".style7 {font-size: 10px; color: #999999;}"),
               L("-->"), L("</style>")});
}

QString AboutPageTemplate() {
  // As the page has always been written: no doctype, the head left open and
  // the page table straight after it. Browsers close both themselves.
  return Join({L("<html><head><title>About [PROGTITLE]</title>"), BuiltInPageStyles(),
               L("<table width=\"100%\" height=\"100%\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\">"),
               L("<tr><td height=\"100%\" align=\"center\" valign=\"middle\">"), Masthead(true), L("</td></tr>"),
               L("<tr><td valign=\"bottom\">"),
               L("<table width=\"100%\" border=\"0\" cellpadding=\"8\" cellspacing=\"0\"><tr>"),
               L("<td valign=\"bottom\">"),
               L("<table border=\"0\" cellpadding=\"6\" cellspacing=\"0\" style=\"border: 1px solid #CCCCCC\">"),
               L("<tr><td class=\"style4\">[PROGTITLE] is 100% free.</td></tr>"),
               L("<tr><td><span class=\"style3\">If it saves you a trip round the news sites every day, "
                 "a small donation helps keep it that way.<br>"
                 "Choose <b>Donations</b> from the menu to see how.<br><br>"
                 "Questions, ideas or a feed that stopped working? Send them by "),
               MailLink(page_links::QuestionsMail, L("e-mail")),
               L(".</span></td></tr></table>"),
               L("</td>"),
               L("<td align=\"right\" valign=\"bottom\"><img src=\"console_logo.jpg\" width=\"120\" height=\"64\" "
                 "alt=\"\"></td>"),
               L("</tr></table>"),
               L("</td></tr></table>"), L("</html>")});
}

QString DonationsPageTemplate() {
  return Join({L("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
                 "\"http://www.w3.org/TR/html4/loose.dtd\">"),
               L("<html><head><title>Donations</title>"),
               L("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"), BuiltInPageStyles(),
               L("</head><body>"),
               L("<table width=\"100%\" border=\"0\" cellpadding=\"10\" cellspacing=\"0\"><tr><td align=\"center\">"),
               Masthead(false), L("</td></tr></table>"),
               L("<table width=\"90%\" border=\"0\" align=\"center\" cellpadding=\"6\" cellspacing=\"0\">"),
               L("<tr><td colspan=\"2\"><span class=\"style4\">Donations</span></td></tr>"),
               L("<tr><td colspan=\"2\">[PROGTITLE] is freeware: it costs nothing, shows no adverts and never will. "
                 "It is written and looked after in spare evenings, and the web space for its news feed and "
                 "updates is paid for out of pocket.</td></tr>"),
               L("<tr><td colspan=\"2\">If [PROGTITLE] keeps you up to date with the [CONSOLE] scene and you would "
                 "like to give something back, donations are welcome through either of the two services below. "
                 "Any amount helps.</td></tr>"),
               L("<tr><td width=\"50%\" align=\"right\" valign=\"middle\"><a href=\""), L(page_links::PayPalDonation),
               L("\"><img src=\"paypal.gif\" width=\"62\" height=\"31\" border=\"0\" alt=\"Donate with PayPal\"></a>"
                 "</td>"),
               L("<td width=\"50%\" align=\"left\" valign=\"middle\"><a href=\""), L(page_links::NochexPayment),
               L("\"><img src=\"nochex.gif\" width=\"88\" height=\"33\" border=\"0\" alt=\"Pay with NOCHEX\"></a>"
                 "</td></tr>"),
               L("<tr><td colspan=\"2\">Thank you to everyone who has donated so far: every one of you is named on "
                 "the "),
               Link(page_links::CreditsPage, L("credits page")),
               L(" of the [PROGTITLE] web site.</td></tr>"),
               L("</table>"), BuiltInPageFoot(), L("</body></html>")});
}

}  // namespace tw
