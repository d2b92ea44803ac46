// The program's entry on Windows: the wide command line as Windows splits it.
#include "main/main.h"

extern "C" int wmain(int argc, wchar_t** argv) {
  return LocateJvmMain(argc, reinterpret_cast<const char16_t* const*>(argv));
}
