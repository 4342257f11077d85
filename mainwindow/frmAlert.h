#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;

namespace tw {

class AlertSlots;
class SlideTicker;

// How alerts slide in and out: stepPx every intervalMs.
struct AlertSlide {
  int intervalMs = 15;
  int stepPx = 4;
  // Where windows cannot be cut to a shape (Wayland), the window itself grows
  // and shrinks; elsewhere it stands still, cut to the part that has risen.
  bool resizeWindow = false;
};

// One popup alert: a frameless, always-on-top strip with a title, a close
// button and a message, that slides up from the bottom-right corner of the
// screen's available area into its stacking slot, stays for its time and
// slides down again. It never takes the focus.
//
// While it slides, the window keeps its final place and size and is cut
// (shaped) to the part in view: a step changes the cut and nothing is
// painted again, where resizing the window would repaint all of it, on a
// fresh buffer, every few milliseconds.
class frmAlert : public QWidget {
  Q_OBJECT

 public:
  enum class Phase { Created, SlidingIn, Shown, SlidingOut, Closed };

  // Design sizes, in pixels.
  static constexpr int kWidth = 252;
  static constexpr int kTitleHeight = 24;
  static constexpr int kBodyHeight = 86;
  // The thin strip a slide starts from, and the height at which a slide out
  // ends (90 and 121 twips at 96 DPI).
  static constexpr int kSlideStartPx = 6;
  static constexpr int kSlideEndPx = 8;

  // slots: the shared table; available: the screen's available area;
  // ticker: the clock shared with the other alerts (without one, the alert
  // keeps its own).
  frmAlert(AlertSlots& slots, std::function<QRect()> available, AlertSlide slide, SlideTicker* ticker = nullptr);
  ~frmAlert() override;

  // Shows the alert in the first free slot. durationMs 0 keeps it until it
  // is closed. restore: a click on the message asks for the main window
  // (restoreRequested) instead of closing only this alert.
  void Display(const QString& message, const QString& title, int durationMs, bool restore);
  // Takes the hover look off the message and the close button.
  void Highlight_Alert();
  // Closes at once, without sliding, and frees the slot.
  void Unload();

  int slot() const { return slot_; }
  Phase phase() const { return phase_; }
  // How much of the alert is in view, from its bottom edge up.
  int shownHeight() const { return shownHeight_; }
  // The part of the window the server shows while it slides (empty: all).
  QRegion cut() const;
  // Whether the rows a step brings into view are put on the screen by the
  // step itself, the server sending no expose for them.
  bool slidesWithoutExposes() const { return quietSlide_; }
  // The strips' and close buttons' shared pictures held now (none once no
  // alert is left).
  static int PicturesKept();
  // Sends what the alerts asked of the display (Qt holds a change of shape
  // until something else goes out).
  static void SendToDisplay();
  bool restoreOnClick() const { return restoreOnClick_; }
  // Where the alert stands once slid in.
  QRect finalGeometry() const { return final_; }
  const QTimer& tmrAlert() const { return tmrAlert_; }
  // The display time is over: slide out, then unload.
  void tmrAlert_Timer();

  // Controls, by their design names.
  QWidget* picTitle() const { return picTitle_; }
  QLabel* lblTitle() const { return lblTitle_; }
  QLabel* imgClose() const { return imgClose_; }
  QWidget* picBody() const { return picBody_; }
  QLabel* lblAlert() const { return lblAlert_; }
  bool isMessageHighlighted() const;
  bool isCloseHovered() const { return closeHovered_; }

  // Text colours: normal and under the pointer.
  static QColor NormalColour();
  static QColor HoverColour();

 Q_SIGNALS:
  // The message of a restoring alert was clicked.
  void restoreRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void slideStep();
  void startSlide();
  void stopSlide();
  void showHeight(int height);
  void sendUnlessInTick();
  void beginQuietSlide();
  void endQuietSlide(bool repaintAll);
  void releaseSlot();
  void hoverMessage();
  void hoverClose();
  void layoutControls();

  AlertSlots& slots_;
  std::function<QRect()> available_;
  AlertSlide slide_;
  Phase phase_ = Phase::Created;
  int slot_ = 0;
  bool restoreOnClick_ = false;
  bool closeHovered_ = false;
  QRect final_;
  int shownHeight_ = 0;
  int slideFrom_ = 0;
  QElapsedTimer slideClock_;
  bool quietSlide_ = false;
  bool quietRefused_ = false;  // the window cannot slide without exposes
  quint32 eventMask_ = 0;  // the window's own, while exposes are left out

  QWidget* content_ = nullptr;  // both strips; moves only in a resized window
  QWidget* picTitle_ = nullptr;
  QLabel* lblTitle_ = nullptr;
  QLabel* imgClose_ = nullptr;
  QPixmap imgClose2_;  // close picture under the pointer
  QPixmap imgClose3_;  // normal close picture
  QWidget* picBody_ = nullptr;
  QLabel* lblAlert_ = nullptr;
  QTimer tmrAlert_;
  std::unique_ptr<SlideTicker> ownTicker_;
  QPointer<SlideTicker> ticker_;
};

}  // namespace tw
