#include "web/NavigationPolicy.h"
#include "web/PageScheme.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using K = NavigationKind;
using A = NavigationAction;

A Decide(const char* url, K kind, bool fromOwnPage, bool mainFrame = true) {
  return DecideNavigation({QUrl(QString::fromLatin1(url)), kind, mainFrame, fromOwnPage});
}

TEST(NavigationPolicy, OwnPagesLoadOnlyWhenTheProgramAsks) {
  const QUrl page = PageUrl(QStringLiteral("main.htm"), 1);
  EXPECT_EQ(DecideNavigation({page, K::Program, true, false}), A::Allow);
  for (K kind : {K::LinkClick, K::BackForward, K::Reload, K::FormSubmit, K::Redirect, K::Other}) {
    EXPECT_EQ(DecideNavigation({page, kind, true, true}), A::Drop) << static_cast<int>(kind);
    EXPECT_EQ(DecideNavigation({page, kind, true, false}), A::Drop) << static_cast<int>(kind);
  }
  EXPECT_EQ(DecideNavigation({page, K::Program, false, false}), A::Drop);  // never in a frame
}

TEST(NavigationPolicy, AnOwnPageCannotMoveThePanelByItself) {
  for (K kind : {K::Redirect, K::Other, K::FormSubmit, K::Reload}) {
    EXPECT_EQ(Decide("https://elsewhere.example/", kind, true), A::Drop) << static_cast<int>(kind);
  }
  EXPECT_EQ(Decide("https://video.example/embed", K::Other, true, false), A::Drop);
}

TEST(NavigationPolicy, TheUsersClicksOnWebLinksGoThrough) {
  EXPECT_EQ(Decide("https://news.example/a", K::LinkClick, true), A::Allow);
  EXPECT_EQ(Decide("http://news.example/a", K::LinkClick, false), A::Allow);
  EXPECT_EQ(Decide("https://news.example/a", K::BackForward, false), A::Allow);
}

TEST(NavigationPolicy, AWebSiteBehavesAsOneWithinItself) {
  for (K kind : {K::Redirect, K::Other, K::FormSubmit, K::Reload}) {
    EXPECT_EQ(Decide("https://news.example/next", kind, false), A::Allow) << static_cast<int>(kind);
  }
  EXPECT_EQ(Decide("https://video.example/embed", K::Other, false, false), A::Allow);
  EXPECT_EQ(Decide("about:blank", K::Other, false, false), A::Allow);
  EXPECT_EQ(Decide("about:blank", K::Other, true, false), A::Drop);
}

TEST(NavigationPolicy, ClickedMailLinksGoToTheDesktop) {
  EXPECT_EQ(Decide("mailto:someone@example.com", K::LinkClick, true), A::OpenInDesktop);
  EXPECT_EQ(Decide("mailto:someone@example.com", K::Redirect, false), A::Drop);
  EXPECT_EQ(Decide("mailto:someone@example.com", K::Other, true), A::Drop);
}

TEST(NavigationPolicy, OtherSchemesAreDroppedWhoeverAsks) {
  for (const char* url : {"javascript:alert(1)", "JavaScript:alert(1)", "file:///etc/passwd", "data:text/html,x",
                          "view-source:https://a.example/", "ftp://a.example/", "chrome://settings", "blob:x"}) {
    for (K kind : {K::Program, K::LinkClick, K::Redirect, K::Other}) {
      EXPECT_EQ(Decide(url, kind, true), A::Drop) << url;
      EXPECT_EQ(Decide(url, kind, false), A::Drop) << url;
    }
  }
  EXPECT_EQ(Decide("about:blank", K::Program, false), A::Allow);
}

TEST(PageScheme, NamesOnlyPlainPageFiles) {
  EXPECT_EQ(PageFileName(PageUrl(QStringLiteral("main.htm"), 3)), QStringLiteral("main.htm"));
  EXPECT_EQ(PageFileName(QUrl(QStringLiteral("tidewire-page://pages/console_logo.jpg"))),
            QStringLiteral("console_logo.jpg"));
  EXPECT_EQ(PageFileName(QUrl(QStringLiteral("tidewire-page://pages/12/prog-logo.jpg?x=1"))),
            QStringLiteral("prog-logo.jpg"));
  EXPECT_EQ(PageUrl(QStringLiteral("main.htm"), 7).toString(), QStringLiteral("tidewire-page://pages/7/main.htm"));
  for (const char* url : {"tidewire-page://pages/../machine.sqlite", "tidewire-page://pages/%2E%2E/x.htm",
                          "tidewire-page://pages/sub/main.htm", "tidewire-page://pages/1/2/main.htm", "tidewire-page://pages/.hidden.htm",
                          "tidewire-page://pages/feed.xml", "tidewire-page://other/main.htm",
                          "tidewire-page://pages/", "https://pages/main.htm", "tidewire-page://pages/a%2Fb.htm",
                          "tidewire-page://pages/x..htm"}) {
    EXPECT_TRUE(PageFileName(QUrl(QString::fromLatin1(url))).isEmpty()) << url;
  }
}

}  // namespace
}  // namespace tw
