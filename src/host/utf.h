// Conversions between the host's bytes and the tool's UTF-16, for the host implementations only.
//
// Bytes from the command line, the environment or a file name need not be UTF-8. Each byte that
// is not part of valid UTF-8 becomes a lone surrogate U+DC80..U+DCFF, which goes back to the same
// byte on the way out, so every byte string survives the round trip.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host {

std::u16string DecodeUtf8(std::string_view bytes);

// How a lone surrogate is written: the escaped bytes go back to their byte (Linux), or every lone
// surrogate is U+FFFD (Windows, whose text never came from bytes).
enum class LoneSurrogates { kRestoreBytes, kReplace };

// Encodes `text` as UTF-8 into `out`, which has room for `capacity` bytes (at least 4). Returns
// the number of bytes written and advances `text` past what was encoded.
std::size_t EncodeUtf8(std::u16string_view* text, LoneSurrogates lone, char* out,
                       std::size_t capacity);

// The whole of `text` as UTF-8.
std::string EncodeUtf8(std::u16string_view text, LoneSurrogates lone);

}  // namespace host
