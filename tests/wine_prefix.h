// A throw-away Wine prefix for a whole test program, made once with wineboot, and the calls
// that run Wine programs on it. Wine's 64-bit loader is called directly: Debian's `wine` script
// prefers the 32-bit loader once wine32 is installed, even for 64-bit programs; for a 32-bit
// program this loader starts the 32-bit one beside it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace test {

constexpr char kWineLoader[] = "/usr/lib/wine/wine64";
constexpr char kWineLoader32[] = "/usr/lib/wine/wine";

// Whether this machine runs 32-bit Linux programs, which Wine's WoW64 needs: a kernel without
// IA-32 emulation refuses them.
bool Runs32BitPrograms();

class WinePrefix : public ::testing::Environment {
 public:
  static std::filesystem::path root;
  static std::string base_registry;  // system.reg as wineboot left it

  void SetUp() override;
  void TearDown() override { StopServer(); }

  // The environment of a Wine program on the prefix, with `extra` ("NAME=value") added.
  static std::vector<std::string> Environment(std::vector<std::string> extra);

  // Runs a Wine program (a name or a path that Wine understands).
  static Outcome Wine(std::vector<std::string> arguments, std::vector<std::string> environment,
                      const std::string& directory = {});

  // Starts a server that stays up between programs, so that each run is a warm start.
  static void StartServer();

  // Stops the server, which writes the registry back to system.reg as it goes.
  static void StopServer();

  // With the server stopped, system.reg as wineboot left it and `keys` (lines of a registry
  // file) after it; ReplaceRegistry("") puts it back as wineboot left it.
  static void ReplaceRegistry(const std::string& keys);

 private:
  TempDir dir_;
};

}  // namespace test
