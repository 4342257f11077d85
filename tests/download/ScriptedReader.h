#pragma once

#include "download/UrlReader.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QVector>

namespace tw::test {

// A reader that plays what the test tells it: either step by step from the
// test (deliver) or a whole script through the event loop after each start,
// one step per pass, the way reports arrive from the network.
class ScriptedReader : public UrlReader {
  Q_OBJECT

 public:
  struct Step {
    bool completion = false;
    StatusReport report;
    qint64 bytes = 0;
    QByteArray body;
  };

  static Step Status(int code, const QString& text, qint64 bytes = 0, qint64 total = 0);
  static Step Failure(const QString& value);
  static Step Completion(const QByteArray& body);
  static Step Completion(qint64 bytes, const QByteArray& body);
  // Connecting, content type, begin, two data reports, end, completion.
  static QVector<Step> Success(const QByteArray& body, bool announceSize = true);

  using UrlReader::UrlReader;

  bool startRead(const QString& url, StartError* error) override;
  void cancelRead() override;
  int deadlineMs() const override { return deadline; }

  // The next start fails at once with this number and text.
  void refuseNextStart(int number, const QString& description);
  // Played after every later start.
  void setScript(QVector<Step> steps) { script_ = std::move(steps); }
  // Played instead for starts of this address.
  void setScriptFor(const QString& url, QVector<Step> steps) { scripts_[url] = std::move(steps); }
  void clearScriptFor(const QString& url) { scripts_.remove(url); }
  // Delivers a step now, whatever state the read is in.
  void deliver(const Step& step);
  void deliver(const QVector<Step>& steps);

  QStringList startedUrls;
  int cancels = 0;
  bool running = false;
  int deadline = 0;

 private:
  void playNext(quint64 generation, int index);

  QVector<Step> script_;
  QHash<QString, QVector<Step>> scripts_;
  QVector<Step> playing_;
  bool refuse_ = false;
  StartError refusal_;
  quint64 generation_ = 0;
};

}  // namespace tw::test
