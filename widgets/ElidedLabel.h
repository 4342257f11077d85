#pragma once

#include <QLabel>

namespace tw {

// A tooltip that shows text exactly as it is: tooltips take anything that
// looks like markup for markup, and feed texts may look like it.
QString PlainToolTip(const QString& text);

// A one-line plain-text label that never asks for more room than it is
// given: text that does not fit is shortened with "…" (at its end, or in its
// middle for addresses) and shown whole in the tooltip. text() is always the
// whole text.
class ElidedLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ElidedLabel(Qt::TextElideMode mode = Qt::ElideRight, QWidget* parent = nullptr);
  explicit ElidedLabel(QWidget* parent) : ElidedLabel(Qt::ElideRight, parent) {}

  // The text as shown now, shortened or not.
  QString shownText() const;
  bool isElided() const { return shownText() != text(); }

  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  Qt::TextElideMode mode_;
};

}  // namespace tw
