// Writes keys and values under HKEY_LOCAL_MACHINE through Wine's own registry API, from a file of
// records "K path" (create the key) and "V path name type data". Exits 1 at the first failure.
#include <windows.h>

#include <cstdio>

#include "hex_lines.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  for (const std::string& line : hex::Lines(argv[1])) {
    const std::vector<std::string> f = hex::Fields(line);
    if (f.size() < 2) continue;
    HKEY key = nullptr;
    const std::wstring path = hex::Text(f[1]);
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS && f[0] == "V" && f.size() == 5) {
      const std::wstring name = hex::Text(f[2]);
      const std::vector<unsigned char> data = hex::Bytes(f[4]);
      result =
          RegSetValueExW(key, name.c_str(), 0, std::stoul(f[3]),
                         data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
    }
    if (key != nullptr) RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
      std::printf("failed (%ld): %s\n", static_cast<long>(result), line.c_str());
      return 1;
    }
  }
  return 0;
}
