// PathFileExistsW on each path of a file (a record a line), from the current directory: prints
// its result, a line each.
#include <shlwapi.h>
#include <windows.h>

#include <cstdio>

#include "hex_lines.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  for (const std::string& line : hex::Lines(argv[1]))
    std::printf("%d\n", PathFileExistsW(hex::Text(hex::Fields(line)[0]).c_str()) ? 1 : 0);
  return 0;
}
