// Reading one string value, written once on the three registry operations of either platform.
#include <cstdint>

#include "host/host.h"
#include "host/registry.h"

namespace host {

std::u16string ReadRegistryString(const std::u16string& key_path,
                                  const std::u16string& value_name) {
  std::u16string result;
  RegistryKey key = nullptr;
  if (OpenRegistryKey(key_path, &key) != 0) return result;

  // One query, one unit short of the buffer, with no size query before it and no second try
  // with more room.
  char16_t buffer[kRegistryBufferUnits];
  std::uint32_t bytes = kRegistryQueryBytes;
  if (QueryRegistryValue(key, value_name, reinterpret_cast<std::uint8_t*>(buffer), &bytes) == 0) {
    // The text ends at the first NUL, or, for data stored without one, at the end of what the
    // query returned (an odd last byte is dropped). Nothing past the returned bytes is read.
    const std::size_t units = (bytes > kRegistryQueryBytes ? kRegistryQueryBytes : bytes) / 2;
    std::size_t length = 0;
    while (length < units && buffer[length] != u'\0') ++length;
    result.assign(buffer, length);
  }
  CloseRegistryKey(key);
  return result;
}

}  // namespace host
