// Answers registry queries as the tool makes them: for each record "path name", opens the key
// under HKEY_LOCAL_MACHINE with KEY_READ and queries the value with room for 16382 bytes.
// Prints "open query size data" a line each (query, size and data "-" when not reached).
#include <windows.h>

#include <cstdio>

#include "hex_lines.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  for (const std::string& line : hex::Lines(argv[1])) {
    const std::vector<std::string> f = hex::Fields(line);
    if (f.size() != 2) continue;
    const std::wstring path = hex::Text(f[0]);
    const std::wstring name = hex::Text(f[1]);
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key);
    if (opened != ERROR_SUCCESS) {
      std::printf("%ld - - -\n", static_cast<long>(opened));
      continue;
    }
    static unsigned char data[16384];
    DWORD size = 16382;
    const LONG queried = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, data, &size);
    RegCloseKey(key);
    std::printf("0 %ld %lu %s\n", static_cast<long>(queried), static_cast<unsigned long>(size),
                queried == ERROR_SUCCESS ? hex::FromBytes(data, size).c_str() : "-");
  }
  return 0;
}
