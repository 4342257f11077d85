#include "download/bkDLControl.h"

#include "core/FileHelpers.h"
#include "download/InternalErrorNotice.h"
#include "download/UrlReader.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace tw {
namespace {

// Stored names of the persisted properties.
constexpr const char* kBackColor = "BackColor";
constexpr const char* kForeColor = "ForeColor";
constexpr const char* kEnabled = "Enabled";
constexpr const char* kFont = "Font";
constexpr const char* kBorderStyle = "BorderStyle";
constexpr const char* kFileUrl = "FileURL";
constexpr const char* kSaveFilePath = "SaveFilePath";
constexpr const char* kFailOnRedirect = "FailOnRedirect";
constexpr const char* kRenameOnRedirect = "RenameOnRedirect";
constexpr const char* kShowProgress = "ShowProgress";

// A waiting BeginDownload gives the reader this long beyond its own deadline
// before it gives up itself; a reader without a deadline gets the default.
constexpr int kWaitMarginMs = 1000;
constexpr int kDefaultWaitMs = 120000;

qint32 Clamp32(qint64 value) {
  return static_cast<qint32>(
      std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

QString Name(const char* name) { return QString::fromLatin1(name); }

template <typename T>
T Read(const QVariantMap& bag, const char* name, T fallback) {
  const auto it = bag.constFind(Name(name));
  return it == bag.constEnd() ? fallback : it->value<T>();
}

}  // namespace

QString BuildSaveFileName(const QString& saveFilePath, const QString& fileUrl) {
  if (saveFilePath.isEmpty() || fileUrl.isEmpty()) return {};
  QString url = fileUrl;
  url.replace(u'/', u'\\');
  const qsizetype cut = url.lastIndexOf(u'\\');
  const QString fileName = cut < 0 ? url : url.mid(cut + 1);
  return saveFilePath + (saveFilePath.endsWith(u'/') ? QString() : QStringLiteral("/")) + fileName;
}

bkDLControl::bkDLControl(UrlReader* reader, InternalErrorNotice* notice, QObject* parent)
    : QObject(parent), reader_(reader), notice_(notice) {
  Q_ASSERT(reader_);
  reader_->setParent(this);
  connect(reader_, &UrlReader::statusReport, this, &bkDLControl::onStatusReport);
  connect(reader_, &UrlReader::readCompleted, this, &bkDLControl::onReadCompleted);
}

bkDLControl::~bkDLControl() {
  // Going away mid-transfer stops the read and tells no one.
  reader_->disconnect(this);
  if (active_) reader_->cancelRead();
}

void bkDLControl::markChanged(const char* name) { Q_EMIT PropertyChanged(Name(name)); }

void bkDLControl::setBackColor(OleColor color) {
  backColor_ = color;
  markChanged(kBackColor);
  Refresh();
}

void bkDLControl::setForeColor(OleColor color) {
  foreColor_ = color;
  markChanged(kForeColor);
  Refresh();
}

void bkDLControl::setEnabled(bool enabled) {
  enabled_ = enabled;
  markChanged(kEnabled);
}

void bkDLControl::setFont(const QString& font) {
  font_ = font;
  markChanged(kFont);
}

void bkDLControl::setBorderStyle(qint16 style) {
  borderStyle_ = style;
  markChanged(kBorderStyle);
  Refresh();
}

void bkDLControl::setFileURL(const QString& url) {
  fileUrl_ = url;
  saveFileName_ = BuildSaveFileName(saveFilePath_, fileUrl_);
  markChanged(kFileUrl);
}

void bkDLControl::setSaveFilePath(const QString& folder) {
  saveFilePath_ = folder;
  saveFileName_ = BuildSaveFileName(saveFilePath_, fileUrl_);
  markChanged(kSaveFilePath);
}

void bkDLControl::setFailOnRedirect(bool fail) {
  failOnRedirect_ = fail;
  markChanged(kFailOnRedirect);
}

void bkDLControl::setRenameOnRedirect(bool rename) {
  renameOnRedirect_ = rename;
  markChanged(kRenameOnRedirect);
}

void bkDLControl::setShowProgress(bool show) {
  showProgress_ = show;
  markChanged(kShowProgress);
  Refresh();
}

QVariantMap bkDLControl::WriteProperties() const {
  QVariantMap bag;
  const auto put = [&bag](const char* name, const QVariant& value, const QVariant& fallback) {
    if (value != fallback) bag.insert(Name(name), value);
  };
  put(kBackColor, backColor_, kSystemButtonFace);
  put(kForeColor, foreColor_, kSystemButtonText);
  put(kEnabled, enabled_, true);
  put(kFont, font_, QString());
  put(kBorderStyle, borderStyle_, qint16{1});
  put(kFileUrl, fileUrl_, QString());
  put(kSaveFilePath, saveFilePath_, QString());
  put(kFailOnRedirect, failOnRedirect_, true);
  put(kRenameOnRedirect, renameOnRedirect_, true);
  put(kShowProgress, showProgress_, true);
  return bag;
}

void bkDLControl::ReadProperties(const QVariantMap& bag) {
  backColor_ = Read<OleColor>(bag, kBackColor, kSystemButtonFace);
  foreColor_ = Read<OleColor>(bag, kForeColor, kSystemButtonText);
  enabled_ = Read<bool>(bag, kEnabled, true);
  font_ = Read<QString>(bag, kFont, QString());
  borderStyle_ = Read<qint16>(bag, kBorderStyle, 1);
  // Owners set the address and folder before each download, so the file
  // name is left for those assignments to build.
  fileUrl_ = Read<QString>(bag, kFileUrl, QString());
  saveFilePath_ = Read<QString>(bag, kSaveFilePath, QString());
  failOnRedirect_ = Read<bool>(bag, kFailOnRedirect, true);
  renameOnRedirect_ = Read<bool>(bag, kRenameOnRedirect, true);
  showProgress_ = Read<bool>(bag, kShowProgress, true);
  Refresh();
}

void bkDLControl::Refresh() { Q_EMIT repaintRequested(); }

void bkDLControl::ResetDownloadInfo() {
  fileSize_ = 0;
  bytesRead_ = 0;
  connectionAddress_.clear();
  cacheFile_.clear();
  redirectFile_.clear();
  mimeType_.clear();
  completed_ = false;
}

bool bkDLControl::BeginDownload(bool wait) {
  if (active_ || saveFilePath_.isEmpty() || fileUrl_.isEmpty()) return false;

  UrlReader::StartError error;
  if (!reader_->startRead(fileUrl_, &error)) {
    RaiseDownloadError(1, error.description);
    if (notice_) {
      const QString number = QString::number(error.number);
      notice_->ShowInternalError(QStringLiteral("bkDLControl Internal Error: ") + number,
                                 QStringLiteral("Error: ") + number + u'\n' + error.description);
    }
    return false;
  }
  active_ = true;
  ResetDownloadInfo();
  const quint64 serial = ++serial_;
  if (!wait) return true;
  return WaitForEnd(serial);
}

bool bkDLControl::WaitForEnd(quint64 serial) {
  QPointer<bkDLControl> self(this);
  bool written = false;
  QEventLoop loop;
  QTimer bound;
  bound.setSingleShot(true);
  connect(this, &bkDLControl::DLComplete, &loop, [&, serial] {
    if (serial_ == serial) written = completed_;
  });
  connect(this, &bkDLControl::transferEnded, &loop, &QEventLoop::quit);
  connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
  const int deadline = reader_->deadlineMs();
  bound.start(deadline > 0 ? deadline + kWaitMarginMs : kDefaultWaitMs);

  while (self && active_ && serial_ == serial && bound.isActive()) loop.exec();

  if (!self) return false;
  if (active_ && serial_ == serial) {
    // The reader never ended the transfer: end it here rather than wait on.
    reader_->cancelRead();
    RaiseDownloadError(99, QStringLiteral("The transfer did not end within %1 s and was stopped")
                               .arg(bound.interval() / 1000));
    return false;
  }
  return written;
}

void bkDLControl::CancelDownload() {
  if (!active_) return;
  reader_->cancelRead();
  percent_ = 0.0f;
  Refresh();
  active_ = false;
  Q_EMIT DLCanceled();
  Q_EMIT transferEnded();
}

void bkDLControl::RaiseDownloadError(qint32 code, const QString& text) {
  percent_ = 0.0f;
  Refresh();
  active_ = false;
  Q_EMIT DLError(code, text);
  Q_EMIT DLComplete(0);
  Q_EMIT transferEnded();
}

void bkDLControl::onStatusReport(const StatusReport& report) {
  // A transfer that has ended (failed, cancelled, written) has nothing more
  // to say; the reader promises as much, this makes sure of it.
  if (!active_) return;
  switch (report.code) {
    case bindstatus::Failure:
      RaiseDownloadError(99, report.value.isEmpty() ? report.text : report.value);
      break;
    case bindstatus::Connecting:
      connectionAddress_ = report.text;
      Q_EMIT DLConnected(connectionAddress_);
      break;
    case bindstatus::Redirecting:
      redirectFile_ = report.text;
      if (failOnRedirect_) {
        reader_->cancelRead();
        RaiseDownloadError(2, QStringLiteral("Redirected to ") + report.text);
      } else {
        Q_EMIT DLRedirect(report.text);
      }
      break;
    case bindstatus::BeginDownloadData:
      fileSize_ = Clamp32(report.totalBytes);
      Q_EMIT DLFileSize(fileSize_);
      Q_EMIT DLBeginDownload();
      break;
    case bindstatus::DownloadingData:
    case bindstatus::EndDownloadData:
      percent_ = report.totalBytes < 1
                     ? 0.0f
                     : static_cast<float>(static_cast<double>(report.bytesRead) / static_cast<double>(report.totalBytes));
      bytesRead_ = Clamp32(report.bytesRead);
      Q_EMIT DLProgress(percent_, bytesRead_, Clamp32(report.totalBytes));
      break;
    case bindstatus::MimeTypeAvailable:
      mimeType_ = report.text;
      Q_EMIT DLMIMEType(mimeType_);
      break;
    case bindstatus::CacheFileNameAvailable:
      cacheFile_ = report.text;
      Q_EMIT DLCacheFile(cacheFile_);
      break;
    default:
      break;
  }
  Refresh();
}

void bkDLControl::onReadCompleted(qint64 bytesRead, const QByteArray& body) {
  if (!active_) return;
  if (bytesRead <= 0) {
    RaiseDownloadError(3, QStringLiteral("Zero bytes retrieved"));
    return;
  }
  if (!redirectFile_.isEmpty() && renameOnRedirect_) saveFileName_ = BuildSaveFileName(saveFilePath_, redirectFile_);

  // A failed write leaves the previous file whole.
  QString error;
  if (!SaveTransientFile(saveFileName_, body, &error)) {
    RaiseDownloadError(4, error + QStringLiteral(" [") + saveFileName_ + u']');
    return;
  }
  completed_ = true;
  const quint64 serial = serial_;
  QPointer<bkDLControl> self(this);
  // Still active inside the handlers, so they cannot start this control
  // again; the owner continues from a timer.
  Q_EMIT DLComplete(Clamp32(bytesRead));
  if (!self || serial_ != serial || !active_) return;
  active_ = false;
  percent_ = 0.0f;
  Refresh();
  Q_EMIT transferEnded();
}

}  // namespace tw
