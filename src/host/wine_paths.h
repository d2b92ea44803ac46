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

// The NT name that Win32 makes of `path` (what follows "\??\"; text after a NUL is ignored), as
// Wine's ntdll makes it: "\\?\" and "\??\" pass the rest as it is; a DOS device name (NUL, COM1)
// is the device; anything else becomes a full path (GetFullPathNameW: against the current
// directory as a drive path, separators unified, "." and ".." resolved, dots and spaces
// trimmed). "" where Win32 makes none.
std::u16string NtPathName(std::u16string_view path);

// Whether an entry, file or directory, exists at Windows path `path`, as PathFileExistsW under
// Wine answers: the NT name's drive is the prefix's dosdevices/x: link, "unix" the host's root,
// and each component matches exactly or without regard to case; a name with a character Windows
// forbids (*?<>|" or a control character) exists nowhere, and a trailing separator asks for a
// directory. Never opens the entry.
bool WinePathExists(std::u16string_view path);

}  // namespace host
