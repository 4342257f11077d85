// Feeds the page bounds whatever the fuzzer makes and stops at the first
// input whose bounded page breaks them.
#include "MarkupProperties.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString markup = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const std::string broken = tw::test::CheckMarkupBounds(markup);
  if (!broken.empty()) {
    std::fprintf(stderr, "Page bounds broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
