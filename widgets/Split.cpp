#include "widgets/Split.h"

#include "widgets/MessageBoxes.h"
#include "widgets/Twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <cmath>

namespace tw {
namespace {

const char* const kErrorTitle = "Error";

QColor ToQColor(Rgb c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

int ToTwips(int pixels, double tpp) { return static_cast<int>(std::lround(pixels * tpp)); }

}  // namespace

// picSplitter: the bar itself. Its grip is painted on it, so the grip's
// mouse events are the bar's.
class SplitBar : public QWidget {
 public:
  explicit SplitBar(Split* owner) : QWidget(owner), owner_(owner) {
    setObjectName(QStringLiteral("picSplitter"));
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  QColor colour() const { return colour_; }
  void setColour(const QColor& colour) {
    colour_ = colour;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), colour_);
    // Grip: five dots across the middle, in a shade that shows on any bar.
    const QColor dot = colour_.lightness() > 128 ? colour_.darker(160) : colour_.lighter(220);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    const bool vertical = owner_->geometry_.isVertical();
    const int thickness = vertical ? width() : height();
    const qreal r = std::max(1.0, std::min(2.0, thickness / 4.0));
    const QPointF centre = QRectF(rect()).center();
    for (int i = -2; i <= 2; ++i) {
      const QPointF at = vertical ? centre + QPointF(0, i * 3 * r) : centre + QPointF(i * 3 * r, 0);
      p.drawEllipse(at, r, r);
    }
  }
  void mousePressEvent(QMouseEvent* e) override { owner_->barPressed(e->position().toPoint(), e->button()); }
  void mouseMoveEvent(QMouseEvent* e) override { owner_->barMoved(e->position().toPoint()); }
  void mouseReleaseEvent(QMouseEvent* e) override { owner_->barReleased(e->button()); }

 private:
  Split* owner_;
  QColor colour_ = Qt::black;
};

Split::Split(QWidget* container) : QWidget(container), boxes_(&MessageBoxes::standard()) {
  picSplitter_ = new SplitBar(this);
  geometry_.setControlSize(QSize(ToTwips(width(), tppX()), ToTwips(height(), tppY())));
  setOrientation(static_cast<int>(SplitOrientation::Vertical));
  colourBar(colorMouseUp_);
}

Split::~Split() = default;

QWidget* Split::bar() const { return picSplitter_; }
QColor Split::barColour() const { return picSplitter_->colour(); }

double Split::tppX() const { return TwipsPerPixelX(*this); }
double Split::tppY() const { return TwipsPerPixelY(*this); }

QRect Split::toPixels(const QRect& twips) const {
  // Edges are rounded, not sizes, so neighbouring rectangles stay touching.
  const int x0 = TwipsToPixels(twips.x(), tppX());
  const int y0 = TwipsToPixels(twips.y(), tppY());
  const int x1 = TwipsToPixels(static_cast<double>(twips.x()) + twips.width(), tppX());
  const int y1 = TwipsToPixels(static_cast<double>(twips.y()) + twips.height(), tppY());
  return QRect(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
}

void Split::setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes ? boxes : &MessageBoxes::standard(); }

void Split::critical(const QString& text) { boxes_->critical(this, QString::fromLatin1(kErrorTitle), text); }

void Split::setOrientation(int orientation) {
  const auto o = orientation == static_cast<int>(SplitOrientation::Horizontal) ? SplitOrientation::Horizontal
                                                                                 : SplitOrientation::Vertical;
  geometry_.setControlSize(QSize(ToTwips(width(), tppX()), ToTwips(height(), tppY())));
  geometry_.setOrientation(o);
  picSplitter_->setCursor(o == SplitOrientation::Vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
  LayoutPanes();
}

void Split::setBarWidth(int width) {
  geometry_.setControlSize(QSize(ToTwips(this->width(), tppX()), ToTwips(height(), tppY())));
  if (!geometry_.setBarWidth(width)) {
    critical(geometry_.isVertical() ? QStringLiteral("Splitter Width cannot be greater than (Control Width/2)")
                                    : QStringLiteral("Splitter height cannot be greater than (Control height/2)"));
    return;
  }
  LayoutPanes();
}

void Split::setMinimumPaneWidth(int width) {
  geometry_.setMinimumPaneWidth(width);
  LayoutPanes();
}

void Split::setSplitterLeftTop(int position) {
  geometry_.setBarPosition(position);
  LayoutPanes();
}

void Split::setControlLeftPane(const QString& name) {
  if (setPane(leftPaneName_, name)) LayoutPanes();
}

void Split::setControlRightPane(const QString& name) {
  if (setPane(rightPaneName_, name)) LayoutPanes();
}

bool Split::setPane(QString& stored, const QString& name) {
  if (QWidget* pane = findPane(name)) {
    stored = pane->objectName();
    // The bar stays above panes that were made after it.
    raise();
    return true;
  }
  critical(QStringLiteral("Sorry, this control was not Found!"));
  return false;
}

QWidget* Split::findPane(const QString& name) const {
  if (name.isEmpty() || !parentWidget()) return nullptr;
  const auto siblings = parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* w : siblings) {
    if (w != this && w->objectName().compare(name, Qt::CaseInsensitive) == 0) return w;
  }
  return nullptr;
}

void Split::setSplitColorMouseUp(Rgb color) {
  colorMouseUp_ = color;
  colourBar(color);
}

void Split::colourBar(Rgb color) { picSplitter_->setColour(ToQColor(color)); }

QVariantMap Split::WriteProperties() const {
  return {
      {QStringLiteral("Orientation"), Orientation()},
      {QStringLiteral("BarWidth"), BarWidth()},
      {QStringLiteral("MinimumPaneWidth"), MinimumPaneWidth()},
      {QStringLiteral("SplitterLeftTop"), SplitterLeftTop()},
      {QStringLiteral("ControlLeftPane"), leftPaneName_},
      {QStringLiteral("ControlRightPane"), rightPaneName_},
      {QStringLiteral("ResizeContinuos"), resizeContinuos_},
      {QStringLiteral("SplitColorMouseDown"), colorMouseDown_},
      {QStringLiteral("SplitColorMouseUp"), colorMouseUp_},
      {QStringLiteral("SplitterLeft"), static_cast<float>(geometry_.barPosition())},
  };
}

void Split::ReadProperties(const QVariantMap& p) {
  const auto orientation = p.value(QStringLiteral("Orientation"), 0).toInt() == 1 ? SplitOrientation::Horizontal
                                                                                   : SplitOrientation::Vertical;
  geometry_.restoreBarWidth(p.value(QStringLiteral("BarWidth"), SplitGeometry::kDefaultBarWidth).toInt());
  geometry_.setMinimumPaneWidth(p.value(QStringLiteral("MinimumPaneWidth"), 0).toInt());
  leftPaneName_ = p.value(QStringLiteral("ControlLeftPane")).toString();
  rightPaneName_ = p.value(QStringLiteral("ControlRightPane")).toString();
  resizeContinuos_ = p.value(QStringLiteral("ResizeContinuos"), false).toBool();
  colorMouseDown_ = p.value(QStringLiteral("SplitColorMouseDown"), kDefaultColorMouseDown).toUInt();
  colorMouseUp_ = p.value(QStringLiteral("SplitColorMouseUp"), kDefaultColorMouseUp).toUInt();
  geometry_.setBarPosition(static_cast<int>(std::lround(p.value(QStringLiteral("SplitterLeft"), 0.0).toDouble())));
  setOrientation(static_cast<int>(orientation));
}

void Split::placeBar() {
  const QSize c = geometry_.controlSize();
  const int p = geometry_.barPosition();
  const int b = geometry_.barWidth();
  const QRect barTwips = geometry_.isVertical() ? QRect(p, 0, b, c.height()) : QRect(0, p, c.width(), b);
  const QRect px = toPixels(barTwips);
  picSplitter_->setGeometry(px);
  setMask(QRegion(px));
}

void Split::LayoutPanes() {
  if (inLayout_) return;
  inLayout_ = true;
  geometry_.setControlSize(QSize(ToTwips(width(), tppX()), ToTwips(height(), tppY())));
  const SplitLayout layout = geometry_.Layout();
  const QSize px(static_cast<int>(std::ceil(layout.control.width() / tppX() - 1e-9)),
                 static_cast<int>(std::ceil(layout.control.height() / tppY() - 1e-9)));
  if (px.width() > width() || px.height() > height()) resize(px.expandedTo(size()));
  placeBar();

  // A pane that is missing (or not named yet) is skipped; the rest goes on.
  const QPoint origin = pos();
  if (QWidget* left = findPane(leftPaneName_)) left->setGeometry(toPixels(layout.leftPane).translated(origin));
  if (QWidget* right = findPane(rightPaneName_)) right->setGeometry(toPixels(layout.rightPane).translated(origin));
  inLayout_ = false;

  // A handler that resizes us again gets its layout, but no second signal:
  // a container narrower than two minimum panes would otherwise loop.
  if (notifying_) return;
  notifying_ = true;
  Q_EMIT PaneEndResize();
  notifying_ = false;
}

void Split::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutPanes();
}

void Split::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  colourBar(colorMouseUp_);
  raise();
  LayoutPanes();
}

void Split::barPressed(const QPoint& posInBar, Qt::MouseButton button) {
  if (button != Qt::LeftButton) return;
  geometry_.BeginDrag(ToTwips(posInBar.x(), tppX()), ToTwips(posInBar.y(), tppY()));
  colourBar(colorMouseDown_);
  raise();
}

void Split::barMoved(const QPoint& posInBar) {
  if (!geometry_.isDragging()) return;
  if (!geometry_.DragTo(ToTwips(posInBar.x(), tppX()), ToTwips(posInBar.y(), tppY()))) return;
  const QRect before = picSplitter_->geometry().translated(pos());
  placeBar();
  repaintUncovered(before);
  if (resizeContinuos_) LayoutPanes();
}

void Split::repaintUncovered(const QRect& area) {
  // A view that draws itself apart from its window (the web panel's page,
  // rendered in software) redraws only what it changed itself when a part
  // of it is uncovered, so the bar would leave its trail there. Every
  // widget the bar has just left redraws whole.
  QWidget* container = parentWidget();
  if (!container) return;
  const auto widgets = container->findChildren<QWidget*>();
  for (QWidget* w : widgets) {
    if (w == this || isAncestorOf(w) || w->isWindow() || !w->isVisible()) continue;
    if (QRect(w->mapTo(container, QPoint(0, 0)), w->size()).intersects(area)) w->update();
  }
}

void Split::barReleased(Qt::MouseButton button) {
  if (button != Qt::LeftButton || !geometry_.isDragging()) return;
  geometry_.EndDrag();
  colourBar(colorMouseUp_);
  if (!resizeContinuos_) LayoutPanes();
}

}  // namespace tw
