// What the tool asks of the platform: environment, file existence, standard error, exit and one
// string of the registry under HKEY_LOCAL_MACHINE. host_win32.cpp implements it on the Win32 API,
// host_posix.cpp on Linux, where the registry is a Wine prefix's. Nothing above this header
// touches the operating system. All text is UTF-16; only the implementations convert.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host {

// Length of the value of environment variable `name` in UTF-16 units, terminating NUL counted;
// 0 when the variable is not set.
std::size_t QueryEnvironmentLength(const std::u16string& name);

// Copies the value of `name` and a terminating NUL into `buffer`. Returns 0 on success, non-zero
// when the value does not fit `capacity` units or cannot be read.
int CopyEnvironmentValue(const std::u16string& name, char16_t* buffer, std::size_t capacity);

// A buffer of `count` UTF-16 units, or null when it cannot be obtained.
char16_t* AllocateUnits(std::size_t count);
void ReleaseUnits(char16_t* units);

// Whether a file-system entry, file or directory, exists at `path`. Never opens the entry.
bool PathExists(const std::u16string& path);

// Writes `text` to standard error as it is. Failures are ignored.
void WriteStandardError(std::u16string_view text);

// Ends the process with `status` through the normal exit path (static objects are destroyed).
[[noreturn]] void ExitWithStatus(int status);

// The text of value `value_name` of key `key_path` under HKEY_LOCAL_MACHINE: its UTF-16 units up
// to the first NUL, or "" for every kind of absence (no key, no value, data longer than one
// query takes, any error).
std::u16string ReadRegistryString(const std::u16string& key_path, const std::u16string& value_name);

}  // namespace host
