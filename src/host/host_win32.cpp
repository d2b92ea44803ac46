// The host on Windows: the Win32 API as it is. char16_t and wchar_t are both UTF-16 here, so
// text only changes type at the API boundary.
#define WIN32_LEAN_AND_MEAN
#include <shlwapi.h>
#include <windows.h>

#include <cstdlib>

#include "host/host.h"
#include "host/registry.h"
#include "host/utf.h"

namespace host {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

void WriteBytes(HANDLE handle, const char* bytes, DWORD size) {
  while (size > 0) {
    DWORD wrote = 0;
    if (!WriteFile(handle, bytes, size, &wrote, nullptr) || wrote == 0) return;
    bytes += wrote;
    size -= wrote;
  }
}

}  // namespace

std::size_t QueryEnvironmentLength(const std::u16string& name) {
  // Asked with no buffer, the call answers the room the value needs, NUL counted: 1 for an empty
  // value, and 0 for a variable that is not set.
  return GetEnvironmentVariableW(Wide(name), nullptr, 0);
}

int CopyEnvironmentValue(const std::u16string& name, char16_t* buffer, std::size_t capacity) {
  if (capacity == 0 || capacity > MAXDWORD) return 1;
  SetLastError(ERROR_SUCCESS);
  const DWORD copied = GetEnvironmentVariableW(Wide(name), reinterpret_cast<wchar_t*>(buffer),
                                               static_cast<DWORD>(capacity));
  // It returns the units copied without the NUL, which for an empty value is 0 as for a failure;
  // only the last error tells the two apart. A value that does not fit gives the room it needs.
  if (copied >= capacity) return 1;
  if (copied == 0 && GetLastError() != ERROR_SUCCESS) return 1;
  return 0;
}

bool PathExists(const std::u16string& path) {
  return PathFileExistsW(Wide(path)) == 1;
}

void WriteStandardError(std::u16string_view text) {
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  DWORD mode;
  if (GetConsoleMode(handle, &mode)) {
    // A console takes UTF-16 as it is.
    while (!text.empty()) {
      const DWORD chunk = text.size() < 8192 ? static_cast<DWORD>(text.size()) : 8192;
      DWORD wrote = 0;
      if (!WriteConsoleW(handle, text.data(), chunk, &wrote, nullptr) || wrote == 0) return;
      text.remove_prefix(wrote);
    }
    return;
  }
  // A pipe or a file receives UTF-8.
  char chunk[1024];
  while (!text.empty()) {
    const std::size_t size = EncodeUtf8(&text, LoneSurrogates::kReplace, chunk, sizeof chunk);
    WriteBytes(handle, chunk, static_cast<DWORD>(size));
  }
}

void ExitWithStatus(int status) {
  std::exit(status);
}

long OpenRegistryKey(const std::u16string& path, RegistryKey* key) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path), 0, KEY_READ, &opened);
  *key = opened;
  return result;
}

long QueryRegistryValue(RegistryKey key, const std::u16string& name, std::uint8_t* data,
                        std::uint32_t* bytes) {
  DWORD size = *bytes;
  const LONG result =
      RegQueryValueExW(static_cast<HKEY>(key), Wide(name), nullptr, nullptr, data, &size);
  *bytes = size;
  return result;
}

void CloseRegistryKey(RegistryKey key) {
  RegCloseKey(static_cast<HKEY>(key));
}

}  // namespace host
