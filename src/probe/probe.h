// Probing one Java home directory for its VM library, at the three places a JDK or JRE keeps it.
#pragma once

#include <array>
#include <string>
#include <string_view>

// The VM library's paths relative to a home, in the order they are tried.
extern const std::array<std::u16string_view, 3> kCandidateLibraries;

// `base`, a backslash and `tail`; no backslash is added when `base` is empty or already ends in
// one. Only the backslash counts as a separator; `tail` is not looked at.
std::u16string JoinPath(std::u16string_view base, std::u16string_view tail);

// The first candidate library that exists under `home`, exactly as JoinPath built it, or "" when
// `home` is empty or none exists. Traces each attempt.
std::u16string ProbeHome(const std::u16string& home);
