// Pages that would keep the web panel busy for good: markup nested far too
// deep for the page process to lay out, and a page that never finishes.
// Either way the page is given up in time and the next one shows.
#include "WebFixture.h"

#include "news/MarkupBounds.h"
#include "news/PageFiles.h"
#include "news/WebView.h"

#include <QSignalSpy>

namespace tw::test {
namespace {

constexpr int kScene = 3;

using HungPages = WebFixture;

QStringList ActivityTexts(const AppCore& core) {
  QStringList texts;
  for (const ActivityLine& line : core.activity.lines()) texts << line.text;
  return texts;
}

TEST_F(HungPages, ADescriptionNestedTwoHundredThousandDeepShowsAndSoDoesTheNextItem) {
  StoredItem deep;
  deep.description = QStringLiteral("<div>").repeated(200000) + QStringLiteral("deep down") +
                     QStringLiteral("</div>").repeated(200000);
  renderer->ShowItem(kScene, StoreItem(*core, kScene, 1, deep));
  ASSERT_TRUE(waitForLoad(15000));
  EXPECT_TRUE(inspect(QStringLiteral("document.body.textContent")).toString().contains(QStringLiteral("deep down")));
  EXPECT_LE(inspect(QStringLiteral("document.querySelectorAll('div').length")).toInt(), kMaxMarkupDepth);
  EXPECT_EQ(ActivityTexts(*core).filter(QStringLiteral("Part of the page was left out")).size(), 1);

  StoredItem next;
  next.description = QStringLiteral("<p id=\"next\">The next item</p>");
  renderer->ShowItem(kScene, StoreItem(*core, kScene, 2, next));
  ASSERT_TRUE(waitForLoad(15000));
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('next').textContent")).toString(),
            QStringLiteral("The next item"));
}

TEST_F(HungPages, APageThatNeverFinishesIsStoppedAndTheNextPageShows) {
  web->setOwnPageLimitMs(2000);
  const QString page = PageFilePath(folder(), page_file::ItemPage);
  writeFile(page, "<html><body><p>stuck</p><script>for (;;) {}</script></body></html>");
  QSignalSpy abandoned(web.get(), &WebView::loadAbandoned);
  web->ShowPageFile(QString::fromLatin1(page_file::ItemPage), PageScripts::On);
  ASSERT_TRUE(waitForLoad(10000));
  EXPECT_EQ(abandoned.count(), 1);
  EXPECT_EQ(ActivityTexts(*core).filter(QStringLiteral("did not finish loading")).size(), 1);

  writeFile(page, "<html><body><p id=\"after\">shown after</p></body></html>");
  web->ShowPageFile(QString::fromLatin1(page_file::ItemPage), PageScripts::Off);
  ASSERT_TRUE(waitForLoad(10000));
  EXPECT_EQ(inspect(QStringLiteral("document.getElementById('after').textContent")).toString(),
            QStringLiteral("shown after"));
  EXPECT_EQ(abandoned.count(), 1);
}

}  // namespace
}  // namespace tw::test
