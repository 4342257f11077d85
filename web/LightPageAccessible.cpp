#include "web/LightPageAccessible.h"

#include "web/LightPageBrowser.h"
#include "widgets/AccessibleLeaf.h"

#include <QAbstractTextDocumentLayout>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QWindow>

namespace tw {

namespace {

// One paragraph or heading of the page: a text block with something to read.
class PageParagraphAccessible : public AccessibleLeaf<LightPageBrowser>, public TextRangeAccessible {
 public:
  PageParagraphAccessible(LightPageBrowser* browser, const QTextBlock& block)
      : AccessibleLeaf(browser), start_(block.position()), length_(block.length() - 1),
        heading_(block.blockFormat().headingLevel() > 0) {}

  bool isValid() const override { return owner() != nullptr; }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? TextRangeAccessible::text(0, rangeLength()).simplified() : QString();
  }
  using TextRangeAccessible::text;

  QRect rect() const override {
    if (!owner()) return {};
    const QTextBlock block = owner()->document()->findBlock(start_);
    const QRect inDocument = owner()->document()->documentLayout()->blockBoundingRect(block).toAlignedRect();
    const QPoint scrolled(owner()->horizontalScrollBar()->value(), owner()->verticalScrollBar()->value());
    return inDocument.translated(owner()->viewport()->mapToGlobal(QPoint(0, 0)) - scrolled);
  }

  QAccessible::Role role() const override { return heading_ ? QAccessible::Heading : QAccessible::Paragraph; }

  QAccessible::State state() const override {
    QAccessible::State st;
    st.invalid = !owner();
    st.readOnly = true;
    st.selectableText = true;
    st.multiLine = true;
    st.invisible = owner() && !rect().intersects(QRect(owner()->viewport()->mapToGlobal(QPoint(0, 0)),
                                                       owner()->viewport()->size()));
    return st;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this) : nullptr;
  }

 protected:
  QTextEdit* textEdit() const override { return owner(); }
  int rangeStart() const override { return start_; }
  int rangeLength() const override { return length_; }

 private:
  int start_;
  int length_;
  bool heading_;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  auto* browser = qobject_cast<LightPageBrowser*>(object);
  return browser ? new LightPageAccessible(browser) : nullptr;
}

}  // namespace

void LightPageAccessible::Install(LightPageBrowser& browser) {
  static const bool installed = (QAccessible::installFactory(&Factory), true);
  Q_UNUSED(installed);
  // Qt may have described the browser while it was being made, as a plain
  // text edit, and would keep that.
  QAccessibleInterface* described = QAccessible::queryAccessibleInterface(&browser);
  if (described && !dynamic_cast<LightPageAccessible*>(described)) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(described));
  }
}

void LightPageAccessible::PageChanged(LightPageBrowser& browser) {
  if (!QAccessible::isActive()) return;
  auto* page = dynamic_cast<LightPageAccessible*>(QAccessible::queryAccessibleInterface(&browser));
  if (!page) return;
  QAccessibleEvent reordered(page, QAccessible::ObjectReorder);
  QAccessible::updateAccessibility(&reordered);
  QAccessibleEvent renamed(page, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&renamed);
}

LightPageAccessible::LightPageAccessible(LightPageBrowser* browser) : QAccessibleWidget(browser, QAccessible::Document) {}

LightPageAccessible::~LightPageAccessible() { ForgetParagraphs(); }

QTextEdit* LightPageAccessible::textEdit() const { return static_cast<QTextEdit*>(widget()); }

int LightPageAccessible::rangeLength() const { return textEdit()->document()->characterCount() - 1; }

QString LightPageAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name) {
    const QString title = textEdit()->document()->metaInformation(QTextDocument::DocumentTitle).simplified();
    if (!title.isEmpty()) return title;
  }
  return QAccessibleWidget::text(t);
}

QAccessible::State LightPageAccessible::state() const {
  QAccessible::State st = QAccessibleWidget::state();
  st.readOnly = true;
  st.selectableText = true;
  st.multiLine = true;
  return st;
}

const QList<QAccessible::Id>& LightPageAccessible::paragraphs() const {
  auto* browser = static_cast<LightPageBrowser*>(widget());
  if (describedPage_ == browser->pagesShown()) return paragraphs_;
  ForgetParagraphs();
  describedPage_ = browser->pagesShown();
  for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
    if (block.text().trimmed().isEmpty()) continue;
    paragraphs_.append(QAccessible::registerAccessibleInterface(new PageParagraphAccessible(browser, block)));
  }
  return paragraphs_;
}

void LightPageAccessible::ForgetParagraphs() const {
  for (const QAccessible::Id id : std::as_const(paragraphs_)) QAccessible::deleteAccessibleInterface(id);
  paragraphs_.clear();
  describedPage_ = -1;
}

int LightPageAccessible::childCount() const { return int(paragraphs().size()); }

QAccessibleInterface* LightPageAccessible::child(int index) const {
  return index >= 0 && index < paragraphs().size() ? QAccessible::accessibleInterface(paragraphs().at(index)) : nullptr;
}

int LightPageAccessible::indexOfChild(const QAccessibleInterface* child) const {
  auto* paragraph = dynamic_cast<const PageParagraphAccessible*>(child);
  return paragraph ? int(paragraphs().indexOf(QAccessible::uniqueId(const_cast<PageParagraphAccessible*>(paragraph))))
                   : -1;
}

QAccessibleInterface* LightPageAccessible::childAt(int x, int y) const {
  for (const QAccessible::Id id : paragraphs()) {
    QAccessibleInterface* paragraph = QAccessible::accessibleInterface(id);
    if (paragraph && paragraph->rect().contains(x, y)) return paragraph;
  }
  return nullptr;
}

void* LightPageAccessible::interface_cast(QAccessible::InterfaceType type) {
  return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                            : QAccessibleWidget::interface_cast(type);
}

}  // namespace tw
