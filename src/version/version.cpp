#include "version/version.h"

#include <cstddef>

const VersionList kMinimumVersion = {1, 5};

namespace {

constexpr std::int32_t kLargestComponent = 2147483647;

// Only the ASCII digits count: the superscripts and other Latin-1 digits separate, and so does
// every unit above U+00FF, so that a version never depends on the locale or on Unicode tables.
bool IsDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

std::int32_t DigitRunValue(std::u16string_view run) {
  std::int64_t value = 0;
  for (char16_t unit : run) {
    value = value * 10 + (unit - u'0');
    if (value > kLargestComponent) return kLargestComponent;
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

VersionList ParseVersion(std::u16string_view text) {
  VersionList result;
  // The digit run is a window onto `text`: runs are contiguous, so no copy is needed.
  std::size_t run_start = 0;
  std::size_t run_length = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      if (run_length == 0) run_start = i;
      ++run_length;
    } else if (run_length != 0) {
      result.push_back(DigitRunValue(text.substr(run_start, run_length)));
      run_length = 0;
    }
  }
  if (run_length != 0) result.push_back(DigitRunValue(text.substr(run_start, run_length)));
  return result;
}

bool MeetsMinimumVersion(VersionList minimum, VersionList found) {
  for (std::size_t i = 0;; ++i) {
    if (i >= minimum.size()) return true;
    if (i >= found.size()) return false;
    if (found[i] > minimum[i]) return true;
    if (found[i] < minimum[i]) return false;
  }
}
