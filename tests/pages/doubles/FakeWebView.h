#pragma once

#include "news/WebView.h"

#include <QMap>
#include <QStringList>

namespace tw::test {

// A web view that loads nothing: it records what it is asked, in order,
// keeps ReadyState where the test puts it and finishes a navigation when
// the test says so. Like the real one, a navigation with a target window
// name is handed to the desktop and complete at once.
class FakeWebView : public WebView {
  Q_OBJECT

 public:
  // "Stop", "Navigate <address> [<target>]", "ShowPageFile <name> scripts on|off", "SetFocus".
  QStringList calls;
  // Addresses handed to the desktop's browser.
  QStringList external;
  int readyState = kReadyStateComplete;
  QString bodyMarkup;

  // When set, ShowPageFile snapshots the folder: the page's text and the
  // names of the files present at that moment.
  QString programFolder;
  struct Shown {
    QString name;
    QByteArray content;
    QStringList filesPresent;
  };
  QVector<Shown> shown;

  void Stop() override;
  void Navigate(const QString& address, const QString& targetWindowName = {}) override;
  void ShowPageFile(const QString& fileName, PageScripts scripts) override;
  int ReadyState() const override { return readyState; }
  void RequestBodyMarkup(std::function<void(const QString&)> done) override { done(bodyMarkup); }
  void SetFocus() override { calls << QStringLiteral("SetFocus"); }

  // The navigation under way has finished: ReadyState 4 and loadFinished.
  void finishLoading();
  // A loadFinished that belongs to nothing the program waits for (ReadyState
  // stays as it is), as a superseded navigation would send.
  void sendStrayLoadFinished() { Q_EMIT loadFinished(); }
};

}  // namespace tw::test
