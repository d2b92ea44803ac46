// The registry lookup, ReadRegistryString as the search calls it, on arbitrary bytes as a
// prefix's system.reg: the lookups the search makes, then some of its own with names taken from
// the input. The lookup must never crash, hang or read past what a query returns.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/host.h"

namespace {

std::string g_registry_file;

void WriteRegistry(const std::uint8_t* data, std::size_t size) {
  FILE* file = std::fopen(g_registry_file.c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char prefix[] = "/tmp/registry-fuzzer-XXXXXX";
  if (mkdtemp(prefix) == nullptr) std::abort();
  setenv("WINEPREFIX", prefix, 1);
  g_registry_file = std::string(prefix) + "/system.reg";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteRegistry(data, size);
  for (std::u16string product : {u"SOFTWARE\\JavaSoft\\Java Development Kit",
                                 u"SOFTWARE\\JavaSoft\\Java Runtime Environment"}) {
    const std::u16string version = host::ReadRegistryString(product, u"CurrentVersion");
    if (version.empty()) continue;
    const std::u16string key = product + u"\\" + version;
    host::ReadRegistryString(key, u"JavaHome");
    host::ReadRegistryString(key, u"RuntimeLib");
  }
  // A key and a name of the input's own: its first bytes, as Latin-1.
  std::u16string own;
  for (std::size_t i = 0; i < size && i < 24; ++i) own.push_back(data[i]);
  host::ReadRegistryString(own.substr(0, own.size() / 2), own.substr(own.size() / 2));
  host::ReadRegistryString(u"", u"");
  return 0;
}
