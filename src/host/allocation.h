// The test seam of the environment value's buffer (host::AllocateUnits), for tests only.
#pragma once

#include <cstddef>

namespace host {

// From now on AllocateUnits fails for any request of `count` units or more; 0 lifts it.
void FailAllocationsFrom(std::size_t count);

}  // namespace host
