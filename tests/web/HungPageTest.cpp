// Pages that would keep the web panel busy for good: markup nested far too
// deep for the page process to lay out, and a page that never finishes.
// Either way the page is given up in time and the next one shows.
#include "PagePanels.h"
#include "PanelFixture.h"
#if TIDEWIRE_WEB_ENGINE
#include "WebFixture.h"
#endif

#include "news/MarkupBounds.h"
#include "news/PageFiles.h"
#include "news/WebView.h"

#include <QSignalSpy>

namespace tw::test {
namespace {

constexpr int kScene = 3;

template <class Panel>
using HungPages = PanelFixture<Panel>;
TYPED_TEST_SUITE(HungPages, PagePanels, PagePanelNames);

QStringList ActivityTexts(const AppCore& core) {
  QStringList texts;
  for (const ActivityLine& line : core.activity.lines()) texts << line.text;
  return texts;
}

TYPED_TEST(HungPages, ADescriptionNestedTwoHundredThousandDeepShowsAndSoDoesTheNextItem) {
  StoredItem deep;
  deep.description = QStringLiteral("<div>").repeated(200000) + QStringLiteral("deep down") +
                     QStringLiteral("</div>").repeated(200000);
  this->renderer->ShowItem(kScene, StoreItem(*this->core, kScene, 1, deep));
  ASSERT_TRUE(this->waitForLoad(15000));
  EXPECT_TRUE(this->panel.shownText().contains(QStringLiteral("deep down")));
  if constexpr (TypeParam::kWebEngine) {
    EXPECT_LE(this->panel.inspect(QStringLiteral("document.querySelectorAll('div').length")).toInt(),
              kMaxMarkupDepth);
  }
  EXPECT_EQ(ActivityTexts(*this->core).filter(QStringLiteral("Part of the page was left out")).size(), 1);

  StoredItem next;
  next.description = QStringLiteral("<p id=\"next\">The next item</p>");
  this->renderer->ShowItem(kScene, StoreItem(*this->core, kScene, 2, next));
  ASSERT_TRUE(this->waitForLoad(15000));
  EXPECT_EQ(this->panel.elementText(QStringLiteral("next")), QStringLiteral("The next item"));
}

#if TIDEWIRE_WEB_ENGINE
// Only the engine runs script that could keep a page from finishing.
using EngineHungPages = WebFixture;

TEST_F(EngineHungPages, APageThatNeverFinishesIsStoppedAndTheNextPageShows) {
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

#endif

}  // namespace
}  // namespace tw::test
