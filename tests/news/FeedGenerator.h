#pragma once

#include <QByteArray>

#include <random>

namespace tw::test {

// Random feed-like documents for the differential tests: tags in any letter
// case, with and without attributes, missing end tags, both item start tags,
// image blocks (repeated, or ahead of the title), character references of
// every kind (escaped, chained, forming markup), UTF-8 declarations in either
// quote, non-ASCII text, zero bytes and malformed UTF-8.
class FeedGenerator {
 public:
  explicit FeedGenerator(unsigned seed) : rng_(seed) {}
  QByteArray document();

 private:
  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool chance(int percent) { return below(100) < percent; }
  QByteArray randomCase(const QByteArray& text);
  QByteArray openTag(const QByteArray& name);
  QByteArray closeTag(const QByteArray& name);
  QByteArray content();
  QByteArray element(const QByteArray& name);
  QByteArray imageBlock();
  QByteArray item();

  std::mt19937 rng_;
};

}  // namespace tw::test
