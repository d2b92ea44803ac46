// Everything the tool asks of the platform: environment, file existence, standard error, exit and
// the registry under HKEY_LOCAL_MACHINE. host_win32.cpp implements it on the Win32 API,
// host_posix.cpp on Linux, where the registry is a Wine prefix's. Nothing above this header
// touches the operating system. All text is UTF-16; only the implementations convert.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// Length of the value of environment variable `name` in UTF-16 units, terminating NUL counted,
// into *length (0 when the variable is not set). Returns 0 on success.
int QueryEnvironmentLength(const std::u16string& name, std::size_t* length);

// Copies the value of `name` and a terminating NUL into `buffer`. Returns 0 on success, non-zero
// when the value does not fit `capacity` units or cannot be read.
int CopyEnvironmentValue(const std::u16string& name, char16_t* buffer, std::size_t capacity);

// A buffer of `count` UTF-16 units, or null when it cannot be obtained.
char16_t* AllocateUnits(std::size_t count);
void ReleaseUnits(char16_t* units);

// Test seam: from now on AllocateUnits fails for any request of `count` units or more; 0 lifts it.
void FailAllocationsFrom(std::size_t count);

// Whether a file-system entry, file or directory, exists at `path`. Never opens the entry.
bool PathExists(const std::u16string& path);

// Writes `text` to standard error as it is. Failures are ignored.
void WriteStandardError(std::u16string_view text);

// Ends the process with `status` through the normal exit path (static objects are destroyed).
[[noreturn]] void ExitWithStatus(int status);

// The registry under HKEY_LOCAL_MACHINE. Results are Win32 error codes: 0 is success.
using RegistryKey = void*;

// Opens `path` (backslash-separated) for reading.
long OpenRegistryKey(const std::u16string& path, RegistryKey* key);

// Copies the data of value `name` (any type) into `data`, whose capacity is *bytes; fails when
// the data do not fit. *bytes receives the size of the data.
long QueryRegistryValue(RegistryKey key, const std::u16string& name, std::uint8_t* data,
                        std::uint32_t* bytes);

void CloseRegistryKey(RegistryKey key);

// The text of value `value_name` of key `key_path`: its UTF-16 units up to the first NUL, or ""
// for every kind of absence (no key, no value, data over 16382 bytes, any error).
std::u16string ReadRegistryString(const std::u16string& key_path, const std::u16string& value_name);

}  // namespace host

// The tool's entry point, called by the host's main with the wide arguments as the host split
// the command line (argv[0] is the program). Returns the exit status.
int LocateJvmMain(int argc, const char16_t* const* argv);
