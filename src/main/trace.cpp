#include "main/trace.h"

#include <string>

#include "host/host.h"

bool g_verbose = false;

void Trace(std::u16string_view format, std::u16string_view argument) {
  if (!g_verbose) return;
  const std::size_t slot = format.find(u"%s");
  if (slot == std::u16string_view::npos) {
    host::WriteStandardError(format);
    return;
  }
  // One write per line, so that a reader of the pipe never sees a line in pieces.
  std::u16string line;
  line.reserve(format.size() - 2 + argument.size());
  line.append(format.substr(0, slot)).append(argument).append(format.substr(slot + 2));
  host::WriteStandardError(line);
}
