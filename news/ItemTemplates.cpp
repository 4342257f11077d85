#include "PageTemplates.h"

#include <QStringList>

namespace tw {
namespace {

QString Join(std::initializer_list<const char*> pieces) {
  QString text;
  for (const char* piece : pieces) text += QString::fromLatin1(piece);
  return text;
}

const char* const kDoctype = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";

// Everything the head of an item page holds before its own style sheet.
QString ItemHead() {
  return QString::fromLatin1(kDoctype) + QStringLiteral("<html><head>") + ItemPageSecurityPolicy();
}

QString GenericTemplate() {
  return ItemHead() +
         Join({"<style type=\"text/css\">",
               "<!--",
               ".style1 {font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 12px;}",
               "-->",
               "</style>",
               "</head>",
               "<body class=\"style1\">",
               "<p>[DESCRIPTION]<br>",
               "[THUMB]</p>",
               "</body></html>"});
}

QString FileReleaseTemplate() {
  return ItemHead() +
         Join({"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">",
               "</head>",
               "<body bgcolor=\"#000000\" text=\"#FFFFFF\" link=\"#CCCCCC\" vlink=\"#CCCCCC\" alink=\"#CC3300\">",
               "<p><font size=\"-2\" face=\"Verdana\">[DESCRIPTION]</font></p>",
               "</body></html>"});
}

QString NewsBackgroundTemplate() {
  return ItemHead() +
         Join({"<style type=\"text/css\">",
               "<!--",
               "body {font-family: Arial, Helvetica, sans-serif;}",
               "-->",
               "</style>",
               "</head>",
               "<body background=\"bgnd.gif\">",
               "<font size=\"-1\" face=\"Verdana\">[DESCRIPTION]</font>",
               "</body></html>"});
}

QString NewsDarkTemplate() {
  return ItemHead() +
         Join({"<style type=\"text/css\">",
               "<!--",
               "td {font-family: verdana; font-size: 11px; color: #FFFFFF;}",
               "body {font-size: 9px; background-color: #1c2b3e; background-image: url(bg2.jpg); ",
               "background-repeat: repeat-x; margin-top: 0px; ",
               "scrollbar-face-color: #cccccc; scrollbar-shadow-color: #8c8f91; scrollbar-arrow-color: #FFFFFF;}",
               "a:link, a:visited {color: #5578A4; text-decoration: none;}",
               "a:hover {color: #829CBD; text-decoration: underline;}",
               ".style2 {font-family: verdana, Arial, Helvetica, sans-serif; color: #FFFFFF; font-size: 10px;}",
               "-->",
               "</style>",
               "</head>",
               // The colour again for viewers that give up the style's
               // background with its missing picture.
               "<body bgcolor=\"#1c2b3e\">",
               "<br><span class=\"style2\">[DESCRIPTION]</span>",
               "</body></html>"});
}

QString NewsBlueTemplate() {
  return ItemHead() +
         Join({"<style type=\"text/css\">",
               "<!--",
               "body {font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #000000; ",
               "background-color: #6699cc; ",
               "scrollbar-face-color: #527A28; scrollbar-highlight-color: #648F36; scrollbar-3dlight-color: #567634; ",
               "scrollbar-darkshadow-color: #40631C; scrollbar-shadow-color: #40631C; scrollbar-track-color: #DFE6D8; ",
               "scrollbar-arrow-color: #FFFFFF;}",
               ".font {font-size: 11px; color: #000000;}",
               ".font a:link, .font a:visited {color: #000000;}",
               ".font a:active, .font a:hover {color: #FF0000;}",
               ".style1 {font-size: 14px;}",
               "-->",
               "</style>",
               "</head>",
               "<body>",
               "<p>[DESCRIPTION]</p>",
               "</body></html>"});
}

QString NewsLightGreenTemplate() {
  return ItemHead() +
         Join({"<style type=\"text/css\">",
               "<!--",
               "body {font-family: Verdana, Arial, Helvetica, sans-serif; font-size: x-small; ",
               "background-color: #eaf5d5; color: #003399;}",
               "a {font-weight: bold; color: #003399; background-color: transparent; text-decoration: none;}",
               "a:hover {color: #d68000; text-decoration: underline;}",
               "-->",
               "</style>",
               "</head>",
               "<body text=\"#FFFFFF\">",
               "[DESCRIPTION]",
               "</body></html>"});
}

QString SkinTemplate() {
  return ItemHead() +
         Join({"<style type=\"text/css\">",
               "<!--",
               ".default {font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px;}",
               "body {scrollbar-face-color: #c0c0c0; scrollbar-3dlight-color: #FFFFFF; scrollbar-arrow-color: #000000; ",
               "scrollbar-track-color: #e4e4e4; scrollbar-darkshadow-color: #808080; ",
               "font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 10px; color: #5e5e5e; ",
               "background-color: #e4e4e4; background-image: url(bgnd.gif); margin-bottom: 0px; margin-right: 0px;}",
               "a {font-weight: bold; color: #68a000; text-decoration: none;}",
               "a:hover {color: #95d100;}",
               "-->",
               "</style>",
               "</head>",
               "<body bgcolor=\"#e4e4e4\" link=\"#305bd3\" vlink=\"#0c3f99\" alink=\"#95d100\">",
               "<p>[DESCRIPTION]<br>",
               "[THUMB]<br>",
               "[AUTHOR]",
               "</p>",
               "</body></html>"});
}

}  // namespace

QString ItemPageSecurityPolicy() {
  // No script of any kind, nothing embedded, no form posts, no <base>: the
  // page shows markup and pictures, nothing else.
  return QStringLiteral(
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; script-src 'none'; "
      "object-src 'none'; frame-src 'none'; child-src 'none'; worker-src 'none'; form-action 'none'; "
      "base-uri 'none'; style-src 'self' 'unsafe-inline'; img-src 'self' http: https: data:; "
      "font-src 'self'; media-src 'none'; connect-src 'none'\">");
}

QString DefaultItemTemplate() { return GenericTemplate(); }

QString ItemTemplate(ItemTemplateId id) {
  switch (id) {
    case ItemTemplateId::Generic: return GenericTemplate();
    case ItemTemplateId::FileRelease: return FileReleaseTemplate();
    case ItemTemplateId::NewsBackground: return NewsBackgroundTemplate();
    case ItemTemplateId::NewsDark: return NewsDarkTemplate();
    case ItemTemplateId::NewsBlue: return NewsBlueTemplate();
    case ItemTemplateId::NewsLightGreen: return NewsLightGreenTemplate();
    case ItemTemplateId::Skin: return SkinTemplate();
  }
  return GenericTemplate();
}

}  // namespace tw
