#include "probe/probe.h"

#include "host/host.h"
#include "trace/trace.h"

// Views onto string literals: the table costs nothing to build at start-up.
const std::array<std::u16string_view, 3> kCandidateLibraries = {
    u"jre\\bin\\server\\jvm.dll",
    u"jre\\bin\\client\\jvm.dll",
    u"bin\\client\\jvm.dll",
};

std::u16string JoinPath(std::u16string_view base, std::u16string_view tail) {
  std::u16string joined;
  const bool needs_separator = !base.empty() && base.back() != u'\\';
  joined.reserve(base.size() + (needs_separator ? 1 : 0) + tail.size());
  joined.append(base);
  if (needs_separator) joined.push_back(u'\\');
  joined.append(tail);
  return joined;
}

std::u16string ProbeHome(const std::u16string& home) {
  if (home.empty()) return {};
  for (std::u16string_view candidate : kCandidateLibraries) {
    std::u16string path = JoinPath(home, candidate);
    Trace(u"Trying '%s'...", path);
    if (host::PathExists(path)) {
      Trace(u"found!\n");
      return path;
    }
    Trace(u"not found.\n");
  }
  return {};
}
