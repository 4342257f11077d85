#include "ItemTexts.h"

namespace tw {

ItemTexts::ItemTexts(const QStringList& texts) {
  for (const QString& text : texts) {
    pieces_.emplace_back(document_.size(), text.size());
    document_ += text;
  }
}

ItemTexts::ItemTexts(QString document, std::vector<std::pair<qsizetype, qsizetype>> pieces)
    : document_(std::move(document)), pieces_(std::move(pieces)) {}

QStringView ItemTexts::at(qsizetype index) const {
  const auto& [start, length] = pieces_.at(static_cast<size_t>(index));
  return QStringView(document_).sliced(start, length);
}

QStringList ItemTexts::toStringList() const {
  QStringList list;
  list.reserve(size());
  for (qsizetype i = 0; i < size(); ++i) list << at(i).toString();
  return list;
}

}  // namespace tw
