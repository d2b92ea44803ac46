#include "main/main.h"

#include <string_view>

#include "main/locate_jvm.h"
#include "trace/trace.h"

int LocateJvmMain(int argc, const char16_t* const* argv) {
  if (argc > 1 && std::u16string_view(argv[1]) == u"-v") g_verbose = true;
  LocateJvm();  // the answer is the exit status; the path itself is not printed
  return 0;
}
