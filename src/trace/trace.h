// The step-by-step trace that "-v" turns on: the tool's only log, written to standard error
// with no levels, prefixes or timestamps.
#pragma once

#include <string_view>

// Set at most once, by the entry point, before the search starts.
extern bool g_verbose;

// When g_verbose is set, writes `format` with `argument` in place of its "%s" (if any). The
// argument is spliced in as text, never read as a format. Adds no line break; write failures
// are ignored.
void Trace(std::u16string_view format, std::u16string_view argument = {});
