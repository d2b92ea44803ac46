// Matching names without regard to case, as Windows matches registry keys, value names and file
// names: two names are equal when the upper case of each UTF-16 unit is. The upper case is
// Wine's (Unicode's simple upper-case mapping of the Basic Multilingual Plane, less a few
// look-alikes; see tools/gen-case-table). Units outside the BMP, and surrogates, are their own.
#pragma once

namespace host {

// The upper case of `unit`, the unit both cases of a letter share.
char16_t FoldCase(char16_t unit);

}  // namespace host
