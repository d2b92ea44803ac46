// Reading a key of a Wine registry file (a prefix's system.reg) as the three registry operations
// of Windows would: open a key by path, read one value's data as bytes, close.
//
// Keys and value names match without regard to case; when a key or a value appears more than
// once, the last one wins, as when Wine loads the file. So the file is searched from its end,
// jumping from one '[' at the start of a line to the one before, through fixed buffers (memory
// does not grow with the file), and value lines are parsed only in the sections of the key asked
// for. Anything that does not parse is skipped.
#pragma once

#include <cstdint>
#include <string_view>

namespace host::wine_registry {

constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;  // no such key or value
constexpr long kMoreData = 234;    // the data do not fit the caller's buffer
constexpr long kNoMemory = 8;
constexpr long kBadPathname = 161;  // a key path that starts with a separator

struct Key;

// Opens key `path` (backslash-separated, relative to the file's root) in the registry file open
// on `fd`. The key takes the descriptor over: it is closed by CloseKey, or here when the key
// cannot be opened.
long OpenKey(int fd, std::u16string_view path, Key** key);

// Copies the data of value `name` into `data`, of capacity *bytes, and sets *bytes to the size of
// the data. A capacity larger than the lookup's buffer (kRegistryBufferUnits units) counts as that
// buffer's size: data longer than it never fit.
long QueryValue(Key* key, std::u16string_view name, std::uint8_t* data, std::uint32_t* bytes);

void CloseKey(Key* key);

// Test seam: whether keys opened from now on pass over other keys' lines with the quick
// word-at-a-time comparison (the default) or decode every key line. The answers must not differ.
void UseQuickMatch(bool on);

}  // namespace host::wine_registry
