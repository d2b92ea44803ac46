// ParseVersion and MeetsMinimumVersion on arbitrary UTF-16 text (the input's bytes, two a unit).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "version/version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2)
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  const VersionList version = ParseVersion(text);
  std::size_t digits = 0;
  for (char16_t unit : text) digits += unit >= u'0' && unit <= u'9';
  // Every component is a run of digits, none negative, and no run is lost.
  if (version.size() > digits) std::abort();
  for (std::int32_t component : version)
    if (component < 0) std::abort();
  if ((digits == 0) != version.empty()) std::abort();
  // Every list meets itself, and the order is total.
  if (!MeetsMinimumVersion(version, version)) std::abort();
  if (!MeetsMinimumVersion(kMinimumVersion, version) &&
      !MeetsMinimumVersion(version, kMinimumVersion))
    std::abort();
  return 0;
}
