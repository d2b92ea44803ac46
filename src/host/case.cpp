#include "host/case.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace host {

namespace {

struct CaseRun {
  char16_t first;
  char16_t last;
  char16_t offset;  // added modulo 2^16
  std::uint8_t stride;
};

// Constant data, sorted and without overlaps: nothing is built at start-up.
constexpr CaseRun kUpperRuns[] = {
#include "case_table.inc"
};

}  // namespace

char16_t FoldCase(char16_t unit) {
  if (unit < 0x80) return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - 32) : unit;
  const CaseRun* run =
      std::upper_bound(std::begin(kUpperRuns), std::end(kUpperRuns), unit,
                       [](char16_t value, const CaseRun& r) { return value < r.first; });
  if (run == std::begin(kUpperRuns)) return unit;
  --run;
  if (unit > run->last || (unit - run->first) % run->stride != 0) return unit;
  return static_cast<char16_t>(unit + run->offset);
}

}  // namespace host
