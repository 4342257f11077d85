#pragma once

// A plain, step-by-step rendering of how a feed is decoded and cut up, kept
// only to check the fast code against: it lower-cases the remaining document
// for every search and replaces each kind of character reference over the
// whole text in turn, exactly as the steps read. Slow on purpose.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace tw::reference {

QString Lower(const QString& text);
QString DecodeEntities(const QString& text);
QString DecodeUtf8(const QString& text);
QString GetTagText(const QString& tagName, const QString& text);

struct Feed {
  bool hasItemTags = false;
  bool rdf = false;
  bool hasImage = false;
  QStringList channel;  // title, link, description, lastbuilddate
  QStringList image;    // title, url, link, description, width, height
  QStringList items;
  bool unterminatedItem = false;
  bool tooManyItems = false;
};
Feed ParseFeedText(const QByteArray& bytes, int maxItems);

// For each parsed identity, the stored one whose status it takes (-1: none):
// every stored item against every parsed one, first match only, later
// stored items overwriting.
std::vector<qsizetype> MatchCachedItems(const QStringList& parsed, const QStringList& stored);

}  // namespace tw::reference
