// The Java version rule: a version text becomes a list of numbers, compared component by
// component, so 1.10 is later than 1.5 and a bare 1 is earlier than 1.5.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// The numeric components of a version, most significant first.
using VersionList = std::vector<std::int32_t>;

// Version 1.5, the oldest VM the tool accepts.
extern const VersionList kMinimumVersion;

// Each maximal run of the digits 0-9 in `text` gives one component, in order; every other unit
// separates. Values above 2147483647 saturate. Never fails: a text without digits gives {}.
VersionList ParseVersion(std::u16string_view text);

// True when `found` is not lexicographically smaller than `minimum` (a proper prefix is smaller;
// nothing is padded with zeros).
bool MeetsMinimumVersion(VersionList minimum, VersionList found);
