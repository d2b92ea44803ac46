// The buffer of an environment value, the same on every platform, with its test seam.
#include "host/allocation.h"

#include <cstdint>
#include <cstdlib>

#include "host/host.h"

namespace host {

namespace {

std::size_t g_failing_allocation = 0;  // requests of this many units or more fail; 0: none do

}  // namespace

char16_t* AllocateUnits(std::size_t count) {
  if (g_failing_allocation != 0 && count >= g_failing_allocation) return nullptr;
  if (count > SIZE_MAX / sizeof(char16_t)) return nullptr;
  return static_cast<char16_t*>(std::malloc(count * sizeof(char16_t)));
}

void ReleaseUnits(char16_t* units) {
  std::free(units);
}

void FailAllocationsFrom(std::size_t count) {
  g_failing_allocation = count;
}

}  // namespace host
