#include "host/utf.h"

#include <cstdint>

namespace host {

namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Decodes one UTF-8 sequence at the start of `bytes` (not empty): its length and code point, or 0
// when the first byte does not start a valid sequence. Overlong forms and encoded surrogates are
// not valid.
std::size_t DecodeUtf8Sequence(std::string_view bytes, char32_t* code_point) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  if (b[0] < 0x80) {
    *code_point = b[0];
    return 1;
  }
  std::size_t length;
  char32_t value;
  char32_t smallest;
  if (b[0] >= 0xC2 && b[0] <= 0xDF) {
    length = 2, value = b[0] & 0x1F, smallest = 0x80;
  } else if (b[0] >= 0xE0 && b[0] <= 0xEF) {
    length = 3, value = b[0] & 0x0F, smallest = 0x800;
  } else if (b[0] >= 0xF0 && b[0] <= 0xF4) {
    length = 4, value = b[0] & 0x07, smallest = 0x10000;
  } else {
    return 0;
  }
  if (size < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(b[i])) return 0;
    value = (value << 6) | (b[i] & 0x3F);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code_point = value;
  return length;
}

}  // namespace

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    char32_t code_point;
    std::size_t length = DecodeUtf8Sequence(bytes, &code_point);
    if (length == 0) {
      text.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[0])));
      length = 1;
    } else if (code_point >= 0x10000) {
      code_point -= 0x10000;
      text.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
    } else {
      text.push_back(static_cast<char16_t>(code_point));
    }
    bytes.remove_prefix(length);
  }
  return text;
}

std::size_t EncodeUtf8(std::u16string_view* text, LoneSurrogates lone, char* out,
                       std::size_t capacity) {
  std::size_t written = 0;
  std::size_t used = 0;
  const std::u16string_view in = *text;
  while (used < in.size() && capacity - written >= 4) {
    char32_t code_point = in[used++];
    if (code_point >= 0xD800 && code_point <= 0xDBFF && used < in.size() && in[used] >= 0xDC00 &&
        in[used] <= 0xDFFF) {
      code_point = 0x10000 + ((code_point - 0xD800) << 10) + (in[used++] - 0xDC00);
    } else if (code_point >= 0xD800 && code_point <= 0xDFFF) {
      if (lone == LoneSurrogates::kRestoreBytes && code_point >= 0xDC80 && code_point <= 0xDCFF) {
        out[written++] = static_cast<char>(code_point - 0xDC00);
        continue;
      }
      code_point = 0xFFFD;
    }
    if (code_point < 0x80) {
      out[written++] = static_cast<char>(code_point);
    } else if (code_point < 0x800) {
      out[written++] = static_cast<char>(0xC0 | (code_point >> 6));
      out[written++] = static_cast<char>(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
      out[written++] = static_cast<char>(0xE0 | (code_point >> 12));
      out[written++] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
      out[written++] = static_cast<char>(0x80 | (code_point & 0x3F));
    } else {
      out[written++] = static_cast<char>(0xF0 | (code_point >> 18));
      out[written++] = static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
      out[written++] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
      out[written++] = static_cast<char>(0x80 | (code_point & 0x3F));
    }
  }
  text->remove_prefix(used);
  return written;
}

std::string EncodeUtf8(std::u16string_view text, LoneSurrogates lone) {
  std::string bytes;
  char chunk[256];
  while (!text.empty()) bytes.append(chunk, EncodeUtf8(&text, lone, chunk, sizeof chunk));
  return bytes;
}

}  // namespace host
