// The registry file reader on arbitrary bytes as system.reg, making the lookups the search
// makes, then some of its own with names taken from the input.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/wine_registry.h"

namespace {

using host::wine_registry::Key;

// The text of one value as the lookup takes it; the data must never exceed the capacity.
std::u16string Read(int file, std::u16string_view path, std::u16string_view name) {
  if (lseek(file, 0, SEEK_SET) != 0) std::abort();
  Key* key = nullptr;
  if (host::wine_registry::OpenKey(dup(file), path, &key) != 0) return {};
  char16_t buffer[8192];
  std::uint32_t bytes = 16382;
  std::u16string text;
  if (host::wine_registry::QueryValue(key, name, reinterpret_cast<std::uint8_t*>(buffer), &bytes) ==
      0) {
    if (bytes > 16382) std::abort();
    std::size_t length = 0;
    while (length < bytes / 2 && buffer[length] != 0) ++length;
    text.assign(buffer, length);
  }
  host::wine_registry::CloseKey(key);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int file = memfd_create("system.reg", 0);
  if (file < 0) return 0;
  for (std::size_t done = 0; done < size;) {
    const ssize_t wrote = write(file, data + done, size - done);
    if (wrote <= 0) std::abort();
    done += static_cast<std::size_t>(wrote);
  }
  for (std::u16string_view product : {u"SOFTWARE\\JavaSoft\\Java Development Kit",
                                      u"SOFTWARE\\JavaSoft\\Java Runtime Environment"}) {
    const std::u16string version = Read(file, product, u"CurrentVersion");
    if (version.empty()) continue;
    const std::u16string key = std::u16string(product) + u"\\" + version;
    Read(file, key, u"JavaHome");
    Read(file, key, u"RuntimeLib");
  }
  // A key and a name of the input's own: its first bytes, as Latin-1.
  std::u16string own;
  for (std::size_t i = 0; i < size && i < 24; ++i) own.push_back(data[i]);
  Read(file, own.substr(0, own.size() / 2), own.substr(own.size() / 2));
  Read(file, u"", u"");
  close(file);
  return 0;
}
