#include "web/TextRangeAccessible.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <algorithm>

namespace tw {

namespace {

// The character at a document position as plain text: the breaks between
// paragraphs, lines and table cells are line ends.
QChar PlainCharacter(QChar c) {
  switch (c.unicode()) {
    case QChar::ParagraphSeparator:
    case QChar::LineSeparator:
    case 0xfdd0:  // a table or frame begins
    case 0xfdd1:  // and ends
      return u'\n';
    case QChar::Nbsp:
      return u' ';
    default:
      return c;
  }
}

}  // namespace

int TextRangeAccessible::Clamped(int offset) const { return std::clamp(offset, 0, rangeLength()); }

void TextRangeAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  QTextEdit* edit = textEdit();
  if (!edit || selectionIndex != 0) return;
  const QTextCursor cursor = edit->textCursor();
  const int start = std::max(cursor.selectionStart() - rangeStart(), 0);
  const int end = std::min(cursor.selectionEnd() - rangeStart(), rangeLength());
  if (start < end) {
    *startOffset = start;
    *endOffset = end;
  }
}

int TextRangeAccessible::selectionCount() const {
  int start = 0, end = 0;
  selection(0, &start, &end);
  return start < end ? 1 : 0;
}

void TextRangeAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void TextRangeAccessible::removeSelection(int selectionIndex) {
  QTextEdit* edit = textEdit();
  if (!edit || selectionIndex != 0) return;
  QTextCursor cursor = edit->textCursor();
  cursor.clearSelection();
  edit->setTextCursor(cursor);
}

void TextRangeAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  QTextEdit* edit = textEdit();
  if (!edit || selectionIndex != 0) return;
  QTextCursor cursor = edit->textCursor();
  cursor.setPosition(rangeStart() + Clamped(startOffset));
  cursor.setPosition(rangeStart() + Clamped(endOffset), QTextCursor::KeepAnchor);
  edit->setTextCursor(cursor);
}

int TextRangeAccessible::cursorPosition() const {
  QTextEdit* edit = textEdit();
  return edit ? Clamped(edit->textCursor().position() - rangeStart()) : 0;
}

void TextRangeAccessible::setCursorPosition(int position) {
  QTextEdit* edit = textEdit();
  if (!edit) return;
  QTextCursor cursor = edit->textCursor();
  cursor.setPosition(rangeStart() + Clamped(position));
  edit->setTextCursor(cursor);
}

QString TextRangeAccessible::text(int startOffset, int endOffset) const {
  QTextEdit* edit = textEdit();
  if (!edit) return {};
  const QTextDocument* document = edit->document();
  const int end = rangeStart() + Clamped(endOffset < 0 ? rangeLength() : endOffset);
  QString plain;
  for (int at = rangeStart() + Clamped(startOffset); at < end; ++at) plain += PlainCharacter(document->characterAt(at));
  return plain;
}

int TextRangeAccessible::characterCount() const { return textEdit() ? rangeLength() : 0; }

QRect TextRangeAccessible::characterRect(int offset) const {
  QTextEdit* edit = textEdit();
  if (!edit || offset < 0 || offset >= rangeLength()) return {};
  const int at = rangeStart() + offset;
  const QTextBlock block = edit->document()->findBlock(at);
  const QTextLayout* layout = block.layout();
  const QTextLine line = layout ? layout->lineForTextPosition(at - block.position()) : QTextLine();
  if (!line.isValid()) return {};
  const qreal left = line.cursorToX(at - block.position());
  const qreal right = line.cursorToX(at - block.position() + 1);
  const QPointF blockTop = edit->document()->documentLayout()->blockBoundingRect(block).topLeft();
  const QPoint scrolled(edit->horizontalScrollBar()->value(), edit->verticalScrollBar()->value());
  const QRect inDocument = QRectF(blockTop.x() + std::min(left, right), blockTop.y() + line.y(),
                                  std::max(std::abs(right - left), 1.0), line.height())
                               .toAlignedRect();
  return inDocument.translated(edit->viewport()->mapToGlobal(QPoint(0, 0)) - scrolled);
}

int TextRangeAccessible::offsetAtPoint(const QPoint& point) const {
  QTextEdit* edit = textEdit();
  if (!edit) return -1;
  const int offset = edit->cursorForPosition(edit->viewport()->mapFromGlobal(point)).position() - rangeStart();
  return offset >= 0 && offset < rangeLength() ? offset : -1;
}

void TextRangeAccessible::scrollToSubstring(int startIndex, int endIndex) {
  QTextEdit* edit = textEdit();
  if (!edit) return;
  QTextCursor cursor = edit->textCursor();
  cursor.setPosition(rangeStart() + Clamped(endIndex));
  edit->setTextCursor(cursor);
  edit->ensureCursorVisible();
  cursor.setPosition(rangeStart() + Clamped(startIndex));
  edit->setTextCursor(cursor);
  edit->ensureCursorVisible();
}

QString TextRangeAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = Clamped(offset);
  return {};
}

}  // namespace tw
