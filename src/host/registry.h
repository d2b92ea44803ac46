// The host's own side of the registry: the three operations each platform implements, on which
// ReadRegistryString is written once, and the size of the one query it makes. For the host
// implementations and their tests only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace host {

// One query takes at most this many bytes of a value: 8191 UTF-16 units, one unit short of the
// lookup's buffer, so that the text always has room for a terminating NUL after it. Longer data
// read as absent.
constexpr std::size_t kRegistryBufferUnits = 8192;
constexpr std::uint32_t kRegistryQueryBytes = (kRegistryBufferUnits - 1) * sizeof(char16_t);

// Results are Win32 error codes: 0 is success.
using RegistryKey = void*;

// Opens `path` (backslash-separated, below HKEY_LOCAL_MACHINE) for reading.
long OpenRegistryKey(const std::u16string& path, RegistryKey* key);

// Copies the data of value `name` (any type) into `data`, whose capacity is *bytes; fails when
// the data do not fit. *bytes receives the size of the data.
long QueryRegistryValue(RegistryKey key, const std::u16string& name, std::uint8_t* data,
                        std::uint32_t* bytes);

void CloseRegistryKey(RegistryKey key);

}  // namespace host
