#include "main/locate_jvm.h"

#include "host/host.h"
#include "probe/probe.h"
#include "trace/trace.h"
#include "version/version.h"

namespace {

constexpr char16_t kJdkKey[] = u"SOFTWARE\\JavaSoft\\Java Development Kit";
constexpr char16_t kJreKey[] = u"SOFTWARE\\JavaSoft\\Java Runtime Environment";

}  // namespace

void FailAndExit(std::u16string_view message) {
  host::WriteStandardError(message);
  host::ExitWithStatus(1);
}

std::u16string ReadEnvironmentVariable(const std::u16string& name) {
  const std::size_t length = host::QueryEnvironmentLength(name);
  if (length == 0) return {};
  char16_t* buffer = host::AllocateUnits(length);
  // The message names JAVA_HOME whatever the variable: it is the only one the search asks for
  // (the Linux host reads WINEPREFIX and HOME for itself).
  if (buffer == nullptr) FailAndExit(u"Memory exhausted allocating space for value of JAVA_HOME");
  std::u16string value;
  if (host::CopyEnvironmentValue(name, buffer, length) == 0) {
    std::size_t units = 0;
    while (units < length && buffer[units] != u'\0') ++units;
    value.assign(buffer, units);
  }
  host::ReleaseUnits(buffer);
  return value;
}

namespace {

// The stages, each yielding a VM library path or "".

std::u16string SearchJavaHome() {
  const std::u16string home = ReadEnvironmentVariable(u"JAVA_HOME");
  if (home.empty()) {
    Trace(u"JAVA_HOME not set\n");
    return {};
  }
  Trace(u"Looking in JAVA_HOME '%s'\n", home);
  return ProbeHome(home);
}

std::u16string SearchRegisteredJdk() {
  const std::u16string version = host::ReadRegistryString(kJdkKey, u"CurrentVersion");
  if (version.empty()) return {};
  // Announced before the test, so that a JDK too old to use still shows in the trace.
  Trace(u"Found JDK version '%s'\n", version);
  if (!MeetsMinimumVersion(kMinimumVersion, ParseVersion(version))) return {};
  Trace(u"Version meets requirement, retrieving home path\n");
  const std::u16string home = host::ReadRegistryString(JoinPath(kJdkKey, version), u"JavaHome");
  if (home.empty()) {
    Trace(u"JavaHome key not present\n");
    return {};
  }
  Trace(u"Looking in JavaHome '%s'\n", home);
  return ProbeHome(home);
}

std::u16string SearchRegisteredJre() {
  const std::u16string version = host::ReadRegistryString(kJreKey, u"CurrentVersion");
  if (version.empty()) return {};
  Trace(u"Found JRE version '%s'\n", version);
  if (!MeetsMinimumVersion(kMinimumVersion, ParseVersion(version))) return {};
  Trace(u"Version meets requirement, retrieving runtime path\n");
  const std::u16string library =
      host::ReadRegistryString(JoinPath(kJreKey, version), u"RuntimeLib");
  if (library.empty()) {
    Trace(u"RuntimeLib key not present\n");
    return {};
  }
  Trace(u"Runtime path set to '%s'\n", library);
  // The JRE records where its library is; it is taken as recorded, without looking at the disk.
  return library;
}

}  // namespace

std::u16string LocateJvm() {
  std::u16string library = SearchJavaHome();
  if (library.empty()) library = SearchRegisteredJdk();
  if (library.empty()) library = SearchRegisteredJre();
  if (library.empty()) FailAndExit(u"Unable to locate a compatible JVM");
  return library;
}
