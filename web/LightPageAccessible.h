#pragma once

#include "web/TextRangeAccessible.h"

#include <QAccessibleWidget>
#include <QList>

namespace tw {

class LightPageBrowser;

// What screen readers are told of the light page view: a document, named by
// the page's title, whose children are the page's paragraphs and headings in
// reading order (table cells included), so that a page is read paragraph by
// paragraph, as the web engine's pages are. The document and each paragraph
// give their text through the text interface.
class LightPageAccessible : public QAccessibleWidget, public TextRangeAccessible {
 public:
  // Describes the browser through this class from now on.
  static void Install(LightPageBrowser& browser);
  // Tells screen readers that the browser shows another page.
  static void PageChanged(LightPageBrowser& browser);

  explicit LightPageAccessible(LightPageBrowser* browser);
  ~LightPageAccessible() override;

  QString text(QAccessible::Text t) const override;
  using TextRangeAccessible::text;
  QAccessible::State state() const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

 protected:
  QTextEdit* textEdit() const override;
  int rangeStart() const override { return 0; }
  int rangeLength() const override;

 private:
  // The shown page's paragraphs, described when first asked for.
  const QList<QAccessible::Id>& paragraphs() const;
  void ForgetParagraphs() const;

  mutable QList<QAccessible::Id> paragraphs_;
  // Which of the browser's pages they describe (none: -1).
  mutable int describedPage_ = -1;
};

}  // namespace tw
