#pragma once

#include "core/SiteRecord.h"
#include "widgets/SplitGeometry.h"

#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <QWidget>

namespace tw {

class MessageBoxes;
class SplitBar;

// A draggable bar that divides its container's area between two sibling
// controls (the panes), named by their object names. Lengths are in twips,
// converted with the screen's DPI, so a stored "Splitter Position" keeps its
// meaning. The control covers only its bar (it is masked to it), so it can
// stay above the panes without taking their mouse.
class Split : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int Orientation READ Orientation WRITE setOrientation)
  Q_PROPERTY(int BarWidth READ BarWidth WRITE setBarWidth)
  Q_PROPERTY(int MinimumPaneWidth READ MinimumPaneWidth WRITE setMinimumPaneWidth)
  Q_PROPERTY(int SplitterLeftTop READ SplitterLeftTop WRITE setSplitterLeftTop)
  Q_PROPERTY(QString ControlLeftPane READ ControlLeftPane WRITE setControlLeftPane)
  Q_PROPERTY(QString ControlRightPane READ ControlRightPane WRITE setControlRightPane)
  Q_PROPERTY(bool ResizeContinuos READ ResizeContinuos WRITE setResizeContinuos)
  Q_PROPERTY(quint32 SplitColorMouseDown READ SplitColorMouseDown WRITE setSplitColorMouseDown)
  Q_PROPERTY(quint32 SplitColorMouseUp READ SplitColorMouseUp WRITE setSplitColorMouseUp)

 public:
  static constexpr Rgb kDefaultColorMouseDown = 8421504;  // grey, 0x808080
  static constexpr Rgb kDefaultColorMouseUp = 0;

  explicit Split(QWidget* container = nullptr);
  ~Split() override;

  // 0: vertical bar, panes left and right; 1: horizontal bar, panes above
  // and below. Setting it centres the bar.
  int Orientation() const { return static_cast<int>(geometry_.orientation()); }
  void setOrientation(int orientation);
  int BarWidth() const { return geometry_.barWidth(); }
  // At least 10; refused with a message when thicker than half the control.
  void setBarWidth(int width);
  int MinimumPaneWidth() const { return geometry_.minimumPaneWidth(); }
  void setMinimumPaneWidth(int width);
  // The bar's left (vertical) or top (horizontal) as the last layout left it.
  int SplitterLeftTop() const { return geometry_.splitterLeftTop(); }
  void setSplitterLeftTop(int position);
  QString ControlLeftPane() const { return leftPaneName_; }
  // Names a sibling control in any letter case; refused with a message
  // when the container has no such control.
  void setControlLeftPane(const QString& name);
  QString ControlRightPane() const { return rightPaneName_; }
  void setControlRightPane(const QString& name);
  bool ResizeContinuos() const { return resizeContinuos_; }
  void setResizeContinuos(bool on) { resizeContinuos_ = on; }
  Rgb SplitColorMouseDown() const { return colorMouseDown_; }
  void setSplitColorMouseDown(Rgb color) { colorMouseDown_ = color; }
  Rgb SplitColorMouseUp() const { return colorMouseUp_; }
  void setSplitColorMouseUp(Rgb color);

  // The stored form of the properties, under their own names plus
  // "SplitterLeft". Reading applies them without the setters' checks.
  QVariantMap WriteProperties() const;
  void ReadProperties(const QVariantMap& properties);

  void setMessageBoxes(MessageBoxes* boxes);

  // Places bar and panes for the current size and raises PaneEndResize.
  void LayoutPanes();

  // The bar (picSplitter) and its colour now.
  QWidget* bar() const;
  QColor barColour() const;
  const SplitGeometry& splitGeometry() const { return geometry_; }

 Q_SIGNALS:
  // After every layout.
  void PaneEndResize();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  friend class SplitBar;
  void barPressed(const QPoint& posInBar, Qt::MouseButton button);
  void barMoved(const QPoint& posInBar);
  void barReleased(Qt::MouseButton button);
  void placeBar();
  void repaintUncovered(const QRect& area);
  void colourBar(Rgb color);
  QWidget* findPane(const QString& name) const;
  bool setPane(QString& stored, const QString& name);
  void critical(const QString& text);
  double tppX() const;
  double tppY() const;
  QRect toPixels(const QRect& twips) const;

  SplitGeometry geometry_;
  SplitBar* picSplitter_ = nullptr;
  MessageBoxes* boxes_;
  QString leftPaneName_;
  QString rightPaneName_;
  bool resizeContinuos_ = false;
  Rgb colorMouseDown_ = kDefaultColorMouseDown;
  Rgb colorMouseUp_ = kDefaultColorMouseUp;
  bool inLayout_ = false;
  bool notifying_ = false;
};

}  // namespace tw
