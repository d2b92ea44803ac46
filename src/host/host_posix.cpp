// The host on Linux: bytes from the command line and the environment become UTF-16 (invalid
// UTF-8 survives as lone surrogates), standard error receives UTF-8, and the registry is the
// one a Wine prefix keeps on disk.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "host/host.h"
#include "host/registry.h"
#include "host/utf.h"
#include "host/wine_paths.h"
#include "host/wine_registry.h"

namespace host {

namespace {

// The value of `name` decoded, and whether it is set at all.
bool ReadVariable(const std::u16string& name, std::u16string* value) {
  const char* bytes = std::getenv(EncodeUtf8(name, LoneSurrogates::kRestoreBytes).c_str());
  if (bytes == nullptr) return false;
  *value = DecodeUtf8(bytes);
  return true;
}

}  // namespace

std::size_t QueryEnvironmentLength(const std::u16string& name) {
  std::u16string value;
  return ReadVariable(name, &value) ? value.size() + 1 : 0;
}

int CopyEnvironmentValue(const std::u16string& name, char16_t* buffer, std::size_t capacity) {
  std::u16string value;
  if (!ReadVariable(name, &value) || value.size() + 1 > capacity) return 1;
  std::memcpy(buffer, value.c_str(), (value.size() + 1) * sizeof(char16_t));
  return 0;
}

bool PathExists(const std::u16string& path) {
  return WinePathExists(path);
}

void WriteStandardError(std::u16string_view text) {
  // A reader that has gone must not kill the search: a failed write is ignored like any other.
  // Set up on the first write only, so that a silent run makes no system call for it.
  static const bool ignoring_sigpipe = [] {
    signal(SIGPIPE, SIG_IGN);
    return true;
  }();
  (void)ignoring_sigpipe;
  char chunk[1024];
  while (!text.empty()) {
    const std::size_t size = EncodeUtf8(&text, LoneSurrogates::kRestoreBytes, chunk, sizeof chunk);
    for (std::size_t done = 0; done < size;) {
      const ssize_t wrote = write(STDERR_FILENO, chunk + done, size - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) return;
      done += static_cast<std::size_t>(wrote);
    }
  }
}

void ExitWithStatus(int status) {
  std::exit(status);
}

long OpenRegistryKey(const std::u16string& path, RegistryKey* key) {
  *key = nullptr;
  const std::string file = MachineRegistryFile();
  if (file.empty()) return wine_registry::kFileNotFound;
  // Non-blocking, so that a FIFO in its place cannot stall the open; only a regular file is
  // a registry.
  const int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return wine_registry::kFileNotFound;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return wine_registry::kFileNotFound;
  }
  wine_registry::Key* opened = nullptr;
  const long result = wine_registry::OpenKey(fd, path, &opened);
  *key = opened;
  return result;
}

long QueryRegistryValue(RegistryKey key, const std::u16string& name, std::uint8_t* data,
                        std::uint32_t* bytes) {
  return wine_registry::QueryValue(static_cast<wine_registry::Key*>(key), name, data, bytes);
}

void CloseRegistryKey(RegistryKey key) {
  wine_registry::CloseKey(static_cast<wine_registry::Key*>(key));
}

}  // namespace host
