// The registry file reader passes over other keys' lines with a quick word-at-a-time comparison.
// On arbitrary bytes as system.reg, every lookup must give the same status and the same bytes
// with that comparison on and off: the keys asked for are the search's and those the input's own
// key lines name, so the quick comparison meets lines that are, nearly are, and are not the key.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/registry.h"
#include "host/wine_registry.h"

namespace {

namespace registry = host::wine_registry;

struct Answer {
  long open = -1;
  long query = -1;
  std::uint32_t size = 0;
  std::string data;
  bool operator==(const Answer&) const = default;
};

Answer Lookup(int file, std::u16string_view path, std::u16string_view name, bool quick) {
  registry::UseQuickMatch(quick);
  Answer answer;
  registry::Key* key = nullptr;
  answer.open = registry::OpenKey(dup(file), path, &key);
  if (answer.open != registry::kSuccess) return answer;
  std::uint8_t buffer[host::kRegistryBufferUnits * sizeof(char16_t)];
  answer.size = host::kRegistryQueryBytes;
  answer.query = registry::QueryValue(key, name, buffer, &answer.size);
  if (answer.query == registry::kSuccess)
    answer.data.assign(reinterpret_cast<const char*>(buffer), answer.size);
  registry::CloseKey(key);
  return answer;
}

// The paths of the input's key lines, read loosely: a doubled backslash is one separator, other
// bytes stand for themselves (as Latin-1), so that escapes and odd bytes reach the reader too.
std::vector<std::u16string> KeyPaths(const std::uint8_t* data, std::size_t size) {
  std::vector<std::u16string> paths;
  for (std::size_t i = 0; i < size && paths.size() < 4; ++i) {
    if (data[i] != '[' || (i != 0 && data[i - 1] != '\n')) continue;
    std::u16string path;
    for (std::size_t j = i + 1; j < size && data[j] != ']' && data[j] != '\n'; ++j) {
      if (data[j] == '\\' && j + 1 < size && data[j + 1] == '\\') ++j;
      path.push_back(data[j]);
    }
    paths.push_back(path);
    if (!path.empty()) paths.push_back(path.substr(0, path.size() / 2));  // a key above it, maybe
  }
  return paths;
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
  std::vector<std::u16string> paths = KeyPaths(data, size);
  paths.push_back(u"SOFTWARE\\JavaSoft\\Java Development Kit");
  for (const std::u16string& path : paths) {
    for (std::u16string_view name : {u"CurrentVersion", u""}) {
      if (!(Lookup(file, path, name, true) == Lookup(file, path, name, false))) std::abort();
    }
  }
  registry::UseQuickMatch(true);
  close(file);
  return 0;
}
