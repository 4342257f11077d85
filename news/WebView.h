#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace tw {

// Which pages may run script: only the program's own built-in pages. Pages
// filled from feed data never do.
enum class PageScripts { Off, On };

// The embedded browser `Web`, as the engine and the main window use it. The
// window implements it with a web engine view; tests use a double.
//
// Two kinds of navigation:
//  - ShowPageFile: one of the page files the program wrote into its own
//    folder, loaded through the program's own URL scheme (never file://);
//  - Navigate: a web address (http, https; mailto goes to the desktop). With
//    a target window name the address opens in a separate browser window,
//    which on this desktop is the user's default web browser; that navigation
//    is complete at once.
// ReadyState follows the program's latest navigation only: 4 once it has
// finished (loaded, failed or stopped), 1 while it is under way. loadFinished
// is sent when it reaches 4 after being under way. A page file that has not
// loaded within kOwnPageLimitMs is given up (loadAbandoned, then
// loadFinished), and the next page still shows.
class WebView : public QObject {
  Q_OBJECT

 public:
  static constexpr int kReadyStateLoading = 1;
  static constexpr int kReadyStateComplete = 4;
  static constexpr int kOwnPageLimitMs = 8000;

  explicit WebView(QObject* parent = nullptr) : QObject(parent) {}
  ~WebView() override;

  virtual void Stop() = 0;
  virtual void Navigate(const QString& address, const QString& targetWindowName = {}) = 0;
  // fileName is a bare name in the program folder, e.g. "main.htm".
  virtual void ShowPageFile(const QString& fileName, PageScripts scripts) = 0;
  virtual int ReadyState() const = 0;
  // The markup of the shown document's body element ("outerHTML"); empty
  // when there is none. Answered later, through done.
  virtual void RequestBodyMarkup(std::function<void(const QString&)> done) = 0;
  virtual void SetFocus() = 0;

 Q_SIGNALS:
  void loadFinished();
  // The program's page took too long and was stopped.
  void loadAbandoned();
  // Download progress of the shown page; a finished page reports -1.
  void progressChanged(int progress, int maximum);
  // A web address shown in the panel could not be loaded (no connection, no
  // such server, ...); reason is the browser's word for it.
  void pageFailed(const QString& address, const QString& reason);
  // An address meant for the desktop's browser (or mail program) that no
  // program on the desktop would take.
  void desktopOpenFailed(const QString& address);
};

}  // namespace tw
