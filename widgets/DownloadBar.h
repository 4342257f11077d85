#pragma once

#include "download/bkDLControl.h"

#include <QPointer>
#include <QWidget>

namespace tw {

// The drawing surface of a download control: fills width x Percent with the
// control's ForeColor, the rest with its BackColor, and passes clicks and
// mouse events back to the control as its events.
class DownloadBar : public QWidget {
  Q_OBJECT

 public:
  explicit DownloadBar(QWidget* parent = nullptr);

  void setControl(bkDLControl* control);
  bkDLControl* control() const { return control_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void followProperties();

  QPointer<bkDLControl> control_;
};

// The control's colour value as the desktop shows it: 0x00BBGGRR, or a
// system colour (0x800000nn) taken from the palette.
QColor ResolveOleColor(quint32 color, const QPalette& palette);

}  // namespace tw
