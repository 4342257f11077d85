#pragma once

#include "download/StatusReport.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

namespace tw {

// Whether a body the server sent without its length arrived whole.
using WholeBodyCheck = std::function<bool(const QByteArray& body)>;

// Reads one URL at a time for a download control and tells it how the read
// goes: status reports in the order the transfer produces them, then either a
// Failure report or one completion with the whole body, never both. Nothing is
// reported from inside startRead or cancelRead, and nothing more after a
// cancel, so the control never sees a second outcome for one read.
class UrlReader : public QObject {
  Q_OBJECT

 public:
  struct StartError {
    int number = 0;
    QString description;
  };

  using QObject::QObject;

  // False, with the reason, when the read cannot even start.
  virtual bool startRead(const QString& url, StartError* error) = 0;
  // Stops the current read; harmless when none runs.
  virtual void cancelRead() = 0;
  // The longest a read may take before the reader ends it on its own with a
  // Failure; 0 when the reader sets no bound.
  virtual int deadlineMs() const = 0;

  // Without an announced length Qt cannot always tell a whole body from one
  // a broken connection cut short: a reset that ends a body delimited by the
  // connection's close looks like the server's own close, and a chunked one
  // may be ended as whole without its last chunk. The owner may know from
  // the content: a non-empty body that fails the check ends the read as a
  // connection closed too early. Without a check every such body is whole.
  void setWholeBodyCheck(WholeBodyCheck check) { wholeBodyCheck_ = std::move(check); }

 protected:
  const WholeBodyCheck& wholeBodyCheck() const { return wholeBodyCheck_; }

 Q_SIGNALS:
  void statusReport(const tw::StatusReport& report);
  void readCompleted(qint64 bytesRead, const QByteArray& body);

 private:
  WholeBodyCheck wholeBodyCheck_;
};

}  // namespace tw
