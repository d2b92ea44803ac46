// The search: JAVA_HOME, then the registered JDK, then the registered JRE. The first place that
// yields a VM library ends it; when none does, the process ends with status 1.
#pragma once

#include <string>
#include <string_view>

// The VM library path of the first stage that finds one. Does not return when none does.
std::u16string LocateJvm();

// The value of environment variable `name`, or "" when it is unset, empty or unreadable. Ends
// the process when no buffer can be had for the value.
std::u16string ReadEnvironmentVariable(const std::u16string& name);

// Writes `message` to standard error as it is and ends the process with status 1.
[[noreturn]] void FailAndExit(std::u16string_view message);
