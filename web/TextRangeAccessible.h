#pragma once

#include <QAccessible>

class QTextEdit;

namespace tw {

// The text interface screen readers read through, over one stretch of a
// text edit's document (a paragraph, or the whole page): its characters as
// plain text, one for each document position, the edit's own cursor and
// selection, and where each character stands on the screen.
class TextRangeAccessible : public QAccessibleTextInterface {
 public:
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 protected:
  // The edit (null once it has gone) and the stretch, in document positions.
  virtual QTextEdit* textEdit() const = 0;
  virtual int rangeStart() const = 0;
  virtual int rangeLength() const = 0;

 private:
  int Clamped(int offset) const;
};

}  // namespace tw
