// Windows paths on a Linux file system, mapped as Wine maps them, and the Wine prefix that
// holds the registry and the drive letters.
#pragma once

#include <string>
#include <string_view>

namespace host {

// The prefix: $WINEPREFIX, or $HOME/.wine when that is unset or empty; "" when there is neither.
std::string WinePrefix();

// The host path of the registry file that holds HKEY_LOCAL_MACHINE, or "" without a prefix.
std::string MachineRegistryFile();

// Whether an entry exists at Windows path `path` (text after a NUL is ignored). A backslash
// separates like a slash. "X:\..." goes through the prefix's dosdevices/x: link, and each later
// component that has no exact match is looked up without regard to case, as on Windows; other
// paths are host paths, absolute or relative to the working directory. Never opens the entry.
bool WinePathExists(std::u16string_view path);

}  // namespace host
