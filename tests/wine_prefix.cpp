#include "wine_prefix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test {

namespace fs = std::filesystem;

fs::path WinePrefix::root;
std::string WinePrefix::base_registry;

bool Runs32BitPrograms() {
  return Execute(kWineLoader32, {{"--version"}, {"PATH=/usr/bin:/bin"}}).status == 0;
}

void WinePrefix::SetUp() {
  root = fs::path(dir_.str()) / "prefix";
  // wineboot's status says little (it complains of the 32-bit half that a 64-bit Wine lacks);
  // the registry it leaves is what counts.
  // Its server is left to finish and exit on its own: stopped early, the prefix would be
  // brought up to date again at the next start.
  // One wineboot at a time on the machine: two at once (the test programs run in parallel)
  // have left a prefix without its system DLLs.
  const int lock = open("/tmp/locate-jvm-wineboot.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0666);
  if (lock >= 0) flock(lock, LOCK_EX);
  Run boot{{"wineboot", "-i"}, Environment({})};
  boot.timeout_seconds = 300;
  const Outcome booted = Execute(kWineLoader, boot);
  Run wait{{"-w"}, Environment({})};
  wait.timeout_seconds = 300;
  Execute("/usr/bin/wineserver", wait);
  if (lock >= 0) close(lock);
  std::ifstream file(root / "system.reg", std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  base_registry = contents.str();
  if (base_registry.rfind("WINE REGISTRY Version 2\n", 0) != 0)
    GTEST_FAIL() << "wineboot made no registry: " << booted.err;
}

std::vector<std::string> WinePrefix::Environment(std::vector<std::string> extra) {
  extra.push_back("WINEPREFIX=" + root.string());
  extra.push_back("WINEDEBUG=-all");
  extra.push_back("LANG=C.UTF-8");  // Wine decodes the environment and arguments as UTF-8
  extra.push_back("WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d");
  extra.push_back(std::string("WINELOADER=") + kWineLoader);
  extra.push_back(std::string("PATH=") + std::getenv("PATH"));
  if (const char* home = std::getenv("HOME")) extra.push_back(std::string("HOME=") + home);
  return extra;
}

Outcome WinePrefix::Wine(std::vector<std::string> arguments, std::vector<std::string> environment,
                         const std::string& directory) {
  Run run{arguments, Environment(environment), directory};
  // Generous: a 32-bit program emulated by qemu-user (tests/x86-under-emulation) takes a minute
  // or two; a native run takes a fraction of a second.
  run.timeout_seconds = 300;
  return Execute(kWineLoader, run);
}

// The session's own processes start with the server. They keep the standard error of the
// program that started them, and Wine reports there when one of them fails (as its 64-bit-only
// build may), so a throw-away program starts them rather than the one under test.
void WinePrefix::StartServer() {
  Execute("/usr/bin/wineserver", {{"-p"}, Environment({})});
  Wine({"cmd", "/c", "exit"}, {});
}

void WinePrefix::StopServer() {
  Execute("/usr/bin/wineserver", {{"-k"}, Environment({})});
  Execute("/usr/bin/wineserver", {{"-w"}, Environment({})});
}

void WinePrefix::ReplaceRegistry(const std::string& keys) {
  StopServer();
  WriteFile(root / "system.reg", keys.empty() ? base_registry : base_registry + "\n" + keys);
}

}  // namespace test
