#include "trace/trace.h"

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
  // The argument is spliced in before the write, so a line with an argument goes out in one
  // write (the host splits only text longer than its chunk). A probe line is still two calls:
  // the attempt, then its outcome.
  std::u16string line;
  line.reserve(format.size() - 2 + argument.size());
  line.append(format.substr(0, slot)).append(argument).append(format.substr(slot + 2));
  host::WriteStandardError(line);
}
