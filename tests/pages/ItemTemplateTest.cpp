#include "news/ItemPage.h"
#include "news/PageTemplates.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace tw {
namespace {

constexpr ItemTemplateId kAllTemplates[] = {ItemTemplateId::Generic,        ItemTemplateId::FileRelease,
                                            ItemTemplateId::NewsBackground, ItemTemplateId::NewsDark,
                                            ItemTemplateId::NewsBlue,       ItemTemplateId::NewsLightGreen,
                                            ItemTemplateId::Skin};

// The placeholders a template holds, in order of appearance.
QStringList Placeholders(const QString& text) {
  static const QRegularExpression re(QStringLiteral(R"(\[[A-Z ]+\]|%5B[A-Z ]+%5D)"));
  QStringList found;
  for (auto it = re.globalMatch(text); it.hasNext();) found << it.next().captured(0);
  return found;
}

QString Body(const QString& page) {
  const qsizetype open = page.indexOf(QLatin1String("<body"));
  const qsizetype start = page.indexOf(u'>', open) + 1;
  return page.mid(start, page.indexOf(QLatin1String("</body>")) - start);
}

TEST(ItemTemplates, EachHoldsExactlyItsPlaceholders) {
  const auto of = [](ItemTemplateId id) { return Placeholders(ItemTemplate(id)); };
  const QStringList description = {QStringLiteral("[DESCRIPTION]")};
  EXPECT_EQ(of(ItemTemplateId::Generic), QStringList({"[DESCRIPTION]", "[THUMB]"}));
  EXPECT_EQ(of(ItemTemplateId::FileRelease), description);
  EXPECT_EQ(of(ItemTemplateId::NewsBackground), description);
  EXPECT_EQ(of(ItemTemplateId::NewsDark), description);
  EXPECT_EQ(of(ItemTemplateId::NewsBlue), description);
  EXPECT_EQ(of(ItemTemplateId::NewsLightGreen), description);
  EXPECT_EQ(of(ItemTemplateId::Skin), QStringList({"[DESCRIPTION]", "[THUMB]", "[AUTHOR]"}));
}

TEST(ItemTemplates, GenericIsTheDefaultAndEverySiteTemplateDiffers) {
  EXPECT_EQ(ItemTemplate(ItemTemplateId::Generic), DefaultItemTemplate());
  QStringList seen;
  for (ItemTemplateId id : kAllTemplates) {
    const QString text = ItemTemplate(id);
    EXPECT_FALSE(seen.contains(text)) << static_cast<int>(id);
    seen << text;
  }
}

TEST(ItemTemplates, StartWithTheDoctypeAndOpenTheHeadWithTheSecurityPolicy) {
  for (ItemTemplateId id : kAllTemplates) {
    const QString text = ItemTemplate(id);
    SCOPED_TRACE(static_cast<int>(id));
    EXPECT_TRUE(text.startsWith(QLatin1String(
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><html><head>"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; script-src 'none'")));
    EXPECT_FALSE(text.contains(QLatin1String("<script"), Qt::CaseInsensitive));
    EXPECT_FALSE(text.contains(u'\n'));  // pieces are joined without line breaks
    const QString policy = ItemPageSecurityPolicy();
    for (const char* rule : {"object-src 'none'", "frame-src 'none'", "form-action 'none'", "base-uri 'none'"}) {
      EXPECT_TRUE(policy.contains(QLatin1String(rule))) << rule;
    }
    EXPECT_FALSE(policy.contains(QLatin1String("unsafe-eval")));
  }
}

TEST(ItemTemplates, StyleSheetsSitInACommentBlockExceptOnTheFileReleasePage) {
  for (ItemTemplateId id : kAllTemplates) {
    const QString text = ItemTemplate(id);
    if (id == ItemTemplateId::FileRelease) {
      EXPECT_FALSE(text.contains(QLatin1String("<style")));
      EXPECT_TRUE(text.contains(QLatin1String("charset=iso-8859-1")));
      EXPECT_TRUE(text.contains(QLatin1String("bgcolor=\"#000000\" text=\"#FFFFFF\"")));
    } else {
      EXPECT_TRUE(text.contains(QLatin1String("<style type=\"text/css\"><!--"))) << static_cast<int>(id);
      EXPECT_TRUE(text.contains(QLatin1String("--></style>"))) << static_cast<int>(id);
    }
  }
}

TEST(ItemTemplates, BodiesAreTheOnesEachSiteUses) {
  EXPECT_EQ(Body(ItemTemplate(ItemTemplateId::Generic)), QStringLiteral("<p>[DESCRIPTION]<br>[THUMB]</p>"));
  EXPECT_EQ(Body(ItemTemplate(ItemTemplateId::FileRelease)),
            QStringLiteral("<p><font size=\"-2\" face=\"Verdana\">[DESCRIPTION]</font></p>"));
  EXPECT_EQ(Body(ItemTemplate(ItemTemplateId::NewsBackground)),
            QStringLiteral("<font size=\"-1\" face=\"Verdana\">[DESCRIPTION]</font>"));
  EXPECT_EQ(Body(ItemTemplate(ItemTemplateId::NewsDark)),
            QStringLiteral("<br><span class=\"style2\">[DESCRIPTION]</span>"));
  EXPECT_EQ(Body(ItemTemplate(ItemTemplateId::NewsBlue)), QStringLiteral("<p>[DESCRIPTION]</p>"));
  EXPECT_EQ(Body(ItemTemplate(ItemTemplateId::NewsLightGreen)), QStringLiteral("[DESCRIPTION]"));
  EXPECT_EQ(Body(ItemTemplate(ItemTemplateId::Skin)), QStringLiteral("<p>[DESCRIPTION]<br>[THUMB]<br>[AUTHOR]</p>"));

  EXPECT_TRUE(ItemTemplate(ItemTemplateId::NewsBackground).contains(QLatin1String("<body background=\"bgnd.gif\">")));
  EXPECT_TRUE(ItemTemplate(ItemTemplateId::Skin).contains(QLatin1String("background-image: url(bgnd.gif)")));
  EXPECT_TRUE(ItemTemplate(ItemTemplateId::NewsDark).contains(QLatin1String("url(bg2.jpg)")));
  EXPECT_TRUE(ItemTemplate(ItemTemplateId::NewsLightGreen).contains(QLatin1String("<body text=\"#FFFFFF\">")));
}

TEST(FillItemTemplate, ReplacesEveryPlaceholderEverywhere) {
  const QString tmpl = QStringLiteral(
      "[TITLE]|[LINK]|[LINK TARGET]|%5BLINK%5D|[HOMEPAGE]|%5BHOMEPAGE%5D|[HOMEPAGE TARGET]|[DATE]|[RELEASE DATE]|"
      "[VERSION]|%5BVERSION%5D|[DESCRIPTION]|[PUBDATE]|[THUMB]|[AUTHOR]|[TITLE]");
  ItemPageRecord r;
  r.title = QStringLiteral("t");
  r.link = QStringLiteral("l");
  r.linkTarget = QStringLiteral("lt");
  r.homepage = QStringLiteral("h");
  r.date = QStringLiteral("d");
  r.releaseDate = QStringLiteral("rd");
  r.version = QStringLiteral("v");
  r.description = QStringLiteral("desc");
  r.pubDate = QStringLiteral("p");
  r.thumb = QStringLiteral("th.png");
  r.author = QStringLiteral("Ann");
  EXPECT_EQ(FillItemTemplate(tmpl, r),
            QStringLiteral("t|l|lt|l|h|h|lt|d|rd|v|v|desc|p|<img src=\"th.png\">|Author: Ann|t"));
}

TEST(FillItemTemplate, AValueHoldingALaterPlaceholderIsReplacedAgainButNotAnEarlierOne) {
  ItemPageRecord r;
  r.title = QStringLiteral("T:[DESCRIPTION]/[AUTHOR]");
  r.description = QStringLiteral("D:[TITLE]/[PUBDATE]");
  r.pubDate = QStringLiteral("P");
  r.author = QStringLiteral("A");
  EXPECT_EQ(FillItemTemplate(QStringLiteral("[TITLE]"), r), QStringLiteral("T:D:[TITLE]/P/Author: A"));
  // "[LINK]" goes before "[LINK TARGET]" without touching it.
  r.link = QStringLiteral("[LINK TARGET]");
  r.linkTarget = QStringLiteral("_x");
  EXPECT_EQ(FillItemTemplate(QStringLiteral("[LINK]"), r), QStringLiteral("_x"));
  // A description carrying a version placeholder keeps it: [VERSION] went first.
  r.version = QStringLiteral("v1");
  r.description = QStringLiteral("[VERSION]");
  EXPECT_EQ(FillItemTemplate(QStringLiteral("[DESCRIPTION]"), r), QStringLiteral("[VERSION]"));
}

TEST(FillItemTemplate, IsCaseSensitiveAndLeavesOtherBracketsAlone) {
  ItemPageRecord r;
  r.title = QStringLiteral("x");
  EXPECT_EQ(FillItemTemplate(QStringLiteral("[title] [Title] [TITLE] [OTHER]"), r),
            QStringLiteral("[title] [Title] x [OTHER]"));
}

TEST(FillItemTemplate, EmptyThumbAndAuthorLeaveNoStrayTags) {
  ItemPageRecord r;
  r.description = QStringLiteral("Text");
  const QString generic = FillItemTemplate(DefaultItemTemplate(), r);
  EXPECT_TRUE(generic.contains(QLatin1String("<p>Text<br></p>")));
  EXPECT_FALSE(generic.contains(QLatin1String("<img")));
  const QString skin = FillItemTemplate(ItemTemplate(ItemTemplateId::Skin), r);
  EXPECT_TRUE(skin.contains(QLatin1String("<p>Text<br><br></p>")));
  EXPECT_FALSE(skin.contains(QLatin1String("Author:")));

  r.thumb = QStringLiteral("https://img.example/a.jpg");
  r.author = QStringLiteral("Kim");
  EXPECT_TRUE(FillItemTemplate(ItemTemplate(ItemTemplateId::Skin), r)
                  .contains(QLatin1String("<p>Text<br><img src=\"https://img.example/a.jpg\"><br>Author: Kim</p>")));
}

}  // namespace
}  // namespace tw
