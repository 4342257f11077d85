#pragma once

#include <QString>

#include <functional>

namespace tw {

struct AppCore;
class PageDisplay;
class TitleStrip;
class WebView;

// Writes and shows the About, Help and Donations pages with their pictures.
class BuiltInPageWriter {
 public:
  BuiltInPageWriter(AppCore& core, WebView& web, TitleStrip& strip, PageDisplay& display,
                    std::function<void()> cleanPageFiles);

  void WriteAboutPage();
  void WriteHelpPage();
  void WriteDonationsPage();

  // The template with the program's names and version filled in and the
  // no-context-menu script after every head tag.
  QString FillBuiltInPage(const QString& pageTemplate) const;

 private:
  void Write(const QString& pageTemplate, const char* fileName, bool paymentButtons);

  AppCore& core_;
  WebView& web_;
  TitleStrip& strip_;
  PageDisplay& display_;
  std::function<void()> cleanPageFiles_;
};

}  // namespace tw
