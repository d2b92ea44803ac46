// Prints Wine's upper case of every UTF-16 unit that has one: "unit upper", in hex, a line each.
#include <windows.h>

#include <cstdio>

extern "C" WCHAR NTAPI RtlUpcaseUnicodeChar(WCHAR);

int wmain() {
  for (unsigned unit = 0; unit < 0x10000; ++unit) {
    const unsigned upper = RtlUpcaseUnicodeChar(static_cast<WCHAR>(unit));
    if (upper != unit) std::printf("%04x %04x\n", unit, upper);
  }
  return 0;
}
