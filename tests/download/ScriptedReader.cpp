#include "ScriptedReader.h"

#include <QTimer>

namespace tw::test {

ScriptedReader::Step ScriptedReader::Status(int code, const QString& text, qint64 bytes, qint64 total) {
  Step step;
  step.report = StatusReport{code, text, bytes, total, {}};
  return step;
}

ScriptedReader::Step ScriptedReader::Failure(const QString& value) {
  Step step;
  step.report = StatusReport{bindstatus::Failure, value, 0, 0, value};
  return step;
}

ScriptedReader::Step ScriptedReader::Completion(const QByteArray& body) { return Completion(body.size(), body); }

ScriptedReader::Step ScriptedReader::Completion(qint64 bytes, const QByteArray& body) {
  Step step;
  step.completion = true;
  step.bytes = bytes;
  step.body = body;
  return step;
}

QVector<ScriptedReader::Step> ScriptedReader::Success(const QByteArray& body, bool announceSize) {
  const qint64 total = announceSize ? body.size() : 0;
  const qint64 half = body.size() / 2;
  return {Status(bindstatus::Connecting, QStringLiteral("127.0.0.1")),
          Status(bindstatus::MimeTypeAvailable, QStringLiteral("application/rss+xml")),
          Status(bindstatus::BeginDownloadData, QStringLiteral("feed"), half, total),
          Status(bindstatus::DownloadingData, QStringLiteral("feed"), half, total),
          Status(bindstatus::DownloadingData, QStringLiteral("feed"), body.size(), total),
          Status(bindstatus::EndDownloadData, QStringLiteral("feed"), body.size(), total),
          Completion(body)};
}

bool ScriptedReader::startRead(const QString& url, StartError* error) {
  startedUrls << url;
  if (refuse_) {
    refuse_ = false;
    if (error) *error = refusal_;
    return false;
  }
  running = true;
  const quint64 generation = ++generation_;
  playing_ = scripts_.value(url, script_);
  if (!playing_.isEmpty()) QTimer::singleShot(0, this, [this, generation] { playNext(generation, 0); });
  return true;
}

void ScriptedReader::cancelRead() {
  ++cancels;
  running = false;
  ++generation_;
}

void ScriptedReader::refuseNextStart(int number, const QString& description) {
  refuse_ = true;
  refusal_ = {number, description};
}

void ScriptedReader::deliver(const Step& step) {
  if (step.completion || step.report.code == bindstatus::Failure) running = false;
  if (step.completion) {
    Q_EMIT readCompleted(step.bytes, step.body);
  } else {
    Q_EMIT statusReport(step.report);
  }
}

void ScriptedReader::deliver(const QVector<Step>& steps) {
  for (const Step& step : steps) deliver(step);
}

void ScriptedReader::playNext(quint64 generation, int index) {
  if (generation != generation_ || index >= playing_.size()) return;
  const Step step = playing_.at(index);
  deliver(step);
  if (generation == generation_ && running) {
    QTimer::singleShot(0, this, [this, generation, index] { playNext(generation, index + 1); });
  }
}

}  // namespace tw::test
