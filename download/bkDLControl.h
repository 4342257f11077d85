#pragma once

#include "download/StatusReport.h"
#include "download/UrlReader.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <QtGlobal>

namespace tw {

class InternalErrorNotice;

// A colour as the control stores it: 0x00BBGGRR, or 0x800000nn for the
// desktop's system colour nn.
using OleColor = quint32;
inline constexpr OleColor kSystemButtonFace = 0x8000000F;
inline constexpr OleColor kSystemButtonText = 0x80000012;

// Builds the name of the file a download is saved as: the folder, one
// separator, and the text after the URL's last "/" or "\" (query and fragment
// included). Empty when the folder or the URL is empty.
QString BuildSaveFileName(const QString& saveFilePath, const QString& fileUrl);

// Downloads one URL at a time into one file and reports every stage as a
// signal: the reader's status reports become events, redirects follow the
// control's policy, the body is written atomically and every failure comes
// out as DLError(code, text) followed by DLComplete(0).
//
// Error codes: 1 the read could not start, 2 redirected while FailOnRedirect
// is on, 3 nothing was received, 4 the file could not be written, 99 the
// transfer failed.
class bkDLControl : public QObject {
  Q_OBJECT

 public:
  // The control owns the reader. notice may be null (nothing is shown).
  explicit bkDLControl(UrlReader* reader, InternalErrorNotice* notice = nullptr, QObject* parent = nullptr);
  ~bkDLControl() override;

  // Persisted properties, in the order they are stored.
  OleColor BackColor() const { return backColor_; }
  void setBackColor(OleColor color);
  OleColor ForeColor() const { return foreColor_; }
  void setForeColor(OleColor color);
  bool Enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  // The font as the drawing surface describes it; empty: the window's own.
  QString Font() const { return font_; }
  void setFont(const QString& font);
  qint16 BorderStyle() const { return borderStyle_; }
  void setBorderStyle(qint16 style);
  QString FileURL() const { return fileUrl_; }
  void setFileURL(const QString& url);
  QString SaveFilePath() const { return saveFilePath_; }
  void setSaveFilePath(const QString& folder);
  bool FailOnRedirect() const { return failOnRedirect_; }
  void setFailOnRedirect(bool fail);
  // True only while the stored value is true and FailOnRedirect is off.
  bool RenameOnRedirect() const { return renameOnRedirect_ && !failOnRedirect_; }
  void setRenameOnRedirect(bool rename);
  bool ShowProgress() const { return showProgress_; }
  void setShowProgress(bool show);

  // Transfer details.
  QString SaveFileName() const { return saveFileName_; }
  bool DownloadActive() const { return active_; }
  qint32 BytesRead() const { return bytesRead_; }
  qint32 FileSize() const { return fileSize_; }
  QString ConnectionAddress() const { return connectionAddress_; }
  QString RedirectFile() const { return redirectFile_; }
  QString CacheFile() const { return cacheFile_; }
  QString MIMEType() const { return mimeType_; }
  // Filled fraction of the bar, 0 to 1.
  float Percent() const { return percent_; }

  // Handed to the reader: how to tell a body sent without its length that
  // arrived whole from one a broken connection cut short (error 99).
  void setWholeBodyCheck(WholeBodyCheck check) { reader_->setWholeBodyCheck(std::move(check)); }

  // The owner's free-text tag (the fetch cycle keeps the site index here).
  QString Tag() const { return tag_; }
  void setTag(const QString& tag) { tag_ = tag; }

  // Stored form of the persisted properties: only values that differ from
  // their defaults appear. ReadProperties restores them (missing names take
  // the default) without rebuilding SaveFileName.
  QVariantMap WriteProperties() const;
  void ReadProperties(const QVariantMap& bag);

  // False when a transfer is running, FileURL or SaveFilePath is empty, or
  // the read could not start. Otherwise true; with wait, the call returns
  // only when the transfer has ended (bounded by the reader's deadline) and
  // says whether the file was written. Nothing in the program waits: the
  // fetch cycle continues from the control's signals.
  bool BeginDownload(bool wait = false);
  void CancelDownload();
  void Refresh();

 Q_SIGNALS:
  void Click();
  void DblClick();
  void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
  void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
  void MouseUp(qint16 Button, qint16 Shift, float X, float Y);
  void DLProgress(float Percent, qint32 BytesRead, qint32 TotalBytes);
  void DLCanceled();
  void DLError(qint32 code, const QString& text);
  void DLComplete(qint32 Bytes);
  void DLConnected(const QString& ConnAddr);
  void DLRedirect(const QString& target);
  void DLCacheFile(const QString& Filename);
  void DLMIMEType(const QString& MIMEType);
  void DLFileSize(qint32 total);
  void DLBeginDownload();

  // The bar should be painted again.
  void repaintRequested();
  // A persisted property was set; name is its stored name.
  void PropertyChanged(const QString& name);
  // The transfer has ended, whichever way; DownloadActive is false.
  void transferEnded();

 private:
  void onStatusReport(const StatusReport& report);
  void onReadCompleted(qint64 bytesRead, const QByteArray& body);
  void ResetDownloadInfo();
  void RaiseDownloadError(qint32 code, const QString& text);
  bool WaitForEnd(quint64 serial);
  void markChanged(const char* name);

  UrlReader* reader_;
  InternalErrorNotice* notice_;

  OleColor backColor_ = kSystemButtonFace;
  OleColor foreColor_ = kSystemButtonText;
  bool enabled_ = true;
  QString font_;
  qint16 borderStyle_ = 1;
  QString fileUrl_;
  QString saveFilePath_;
  bool failOnRedirect_ = true;
  bool renameOnRedirect_ = true;
  bool showProgress_ = true;

  QString saveFileName_;
  bool active_ = false;
  bool completed_ = false;
  qint32 bytesRead_ = 0;
  qint32 fileSize_ = 0;
  QString connectionAddress_;
  QString redirectFile_;
  QString cacheFile_;
  QString mimeType_;
  float percent_ = 0.0f;
  QString tag_;
  // Counts started transfers, so a wait knows when its own one has ended.
  quint64 serial_ = 0;
};

}  // namespace tw
