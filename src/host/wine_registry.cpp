#include "host/wine_registry.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstring>
#include <new>
#include <string>

#include "host/case.h"
#include "host/registry.h"
#include "host/utf.h"

namespace host::wine_registry {

namespace {

// The reader's buffer holds one line whole. It starts at 64 KiB and grows, for the rare longer
// line, up to 1 MiB: Wine reads lines of any length, but a value name has at most 16383 units
// (six bytes each when escaped) and its data count only up to what a query takes, so a line
// longer than that cannot be told from a cut one by any query.
constexpr std::size_t kBufferSize = 64 * 1024;
constexpr std::size_t kLongestLine = 1024 * 1024;
constexpr std::size_t kScratchSize = kRegistryBufferUnits * sizeof(char16_t);
// The backward search reads chunks of the file, with a byte before each (to see whether a '['
// starts a line) and some after (to compare the key line that starts there).
constexpr std::size_t kBackChunk = 64 * 1024;
constexpr std::size_t kMaxWords = 32;  // key paths up to 256 bytes as written compare fast
constexpr std::size_t kBackSlack = 8 * kMaxWords + 8;
constexpr char kHeader[] = "WINE REGISTRY Version 2";

bool g_quick_match = true;

}  // namespace

struct Key {
  int fd = -1;
  std::u16string target;  // the key path, case-folded, with empty components removed
  // The target as Wine writes it in a key line, letters in lower case; empty when the target
  // holds characters that Wine escapes other than backslashes, or is too long to compare fast.
  std::string written;
  // The same, eight bytes a word, with 0x20 where a letter stands and 0xFF where a byte counts.
  std::size_t word_count = 0;
  std::uint64_t words[kMaxWords];
  std::uint64_t word_letter_bits[kMaxWords];
  std::uint64_t word_valid[kMaxWords];

  // The reader: buffer[begin, end) is unread, and buffer[0] lies at file offset buffer_offset.
  off_t buffer_offset = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
  bool eof = false;
  bool skip_line = false;  // the rest of an over-long line is still to be dropped
  std::size_t capacity = kBufferSize;
  char first_buffer[kBufferSize];
  char* buffer = first_buffer;  // first_buffer, or a larger one on the heap for a long line

  std::uint8_t scratch[kScratchSize];  // a value's data while they are parsed

  // The backward search for key lines. back[0] lies at file offset back_start, and holds bytes up
  // to back_end; key lines are looked for from search_start up to, not including, back_limit.
  off_t file_size = 0;
  off_t back_start = 0;
  off_t back_end = 0;
  off_t search_start = 0;
  off_t back_limit = 0;
  off_t query_from = -1;  // where the query's backward search begins; -1 when the key has no line
  char back[kBackChunk + 1 + kBackSlack];
};

namespace {

// ---- Reading the file ------------------------------------------------------------------------

off_t Position(const Key& key) {
  return key.buffer_offset + static_cast<off_t>(key.begin);
}

// Moves the unread bytes to the front and fills the rest of the buffer. False when no byte came.
bool Refill(Key& key) {
  if (key.eof) return false;
  if (key.begin > 0) {
    std::memmove(key.buffer, key.buffer + key.begin, key.end - key.begin);
    key.buffer_offset += static_cast<off_t>(key.begin);
    key.end -= key.begin;
    key.begin = 0;
  }
  if (key.end == key.capacity) return false;
  ssize_t got;
  do {
    got = read(key.fd, key.buffer + key.end, key.capacity - key.end);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) {  // an error reads as the end of the file
    key.eof = true;
    return false;
  }
  key.end += static_cast<std::size_t>(got);
  return true;
}

bool SeekTo(Key& key, off_t offset) {
  if (Position(key) == offset && !key.skip_line) return true;
  if (lseek(key.fd, offset, SEEK_SET) != offset) return false;
  key.buffer_offset = offset;
  key.begin = key.end = 0;
  key.eof = false;
  key.skip_line = false;
  return true;
}

void DropRestOfLine(Key& key) {
  key.skip_line = false;
  for (;;) {
    if (key.begin == key.end && !Refill(key)) return;
    const void* newline = std::memchr(key.buffer + key.begin, '\n', key.end - key.begin);
    if (newline != nullptr) {
      key.begin = static_cast<std::size_t>(static_cast<const char*>(newline) - key.buffer) + 1;
      return;
    }
    key.begin = key.end;
  }
}

// The next byte without taking it, or -1 at the end of the file.
int PeekByte(Key& key) {
  if (key.skip_line) DropRestOfLine(key);
  if (key.begin == key.end && !Refill(key)) return -1;
  return static_cast<unsigned char>(key.buffer[key.begin]);
}

// `length` bytes from `start`, without a '\r' at their end.
std::string_view LineOf(const char* start, std::size_t length) {
  if (length > 0 && start[length - 1] == '\r') --length;
  return std::string_view(start, length);
}

// Takes the line that starts at the cursor, without its line break (and a '\r' before it). A line
// longer than the buffer comes back cut to the buffer, with *cut set; the rest of it is skipped.
// The view lasts until the next read.
bool ReadLine(Key& key, std::string_view* line, bool* cut) {
  *cut = false;
  if (PeekByte(key) < 0) return false;
  std::size_t searched = key.begin;
  for (;;) {
    const void* newline = std::memchr(key.buffer + searched, '\n', key.end - searched);
    if (newline != nullptr) {
      const std::size_t stop =
          static_cast<std::size_t>(static_cast<const char*>(newline) - key.buffer);
      *line = LineOf(key.buffer + key.begin, stop - key.begin);
      key.begin = stop + 1;
      return true;
    }
    const std::size_t seen = key.end - key.begin;
    if (!Refill(key)) break;
    searched = key.begin + seen;
  }
  if (key.end - key.begin == key.capacity && key.capacity < kLongestLine) {
    // A line longer than the buffer: move to a larger one and go on reading it.
    char* larger = new (std::nothrow) char[key.capacity * 2];
    if (larger != nullptr) {
      std::memcpy(larger, key.buffer, key.end);
      if (key.buffer != key.first_buffer) delete[] key.buffer;
      key.buffer = larger;
      key.capacity *= 2;
      return ReadLine(key, line, cut);
    }
  }
  if (key.end - key.begin == key.capacity) {
    // Too long to hold: hand out what fits; the rest of the line is dropped by the next read,
    // so that the view stays valid until then.
    *cut = true;
    *line = std::string_view(key.buffer, key.capacity);
    key.begin = key.end;
    key.skip_line = true;
    return true;
  }
  // The last line of a file that does not end in a line break.
  *line = LineOf(key.buffer + key.begin, key.end - key.begin);
  key.begin = key.end;
  return true;
}

// ---- Escaped text ----------------------------------------------------------------------------

constexpr int kClosed = -1;  // the closing delimiter was read
constexpr int kBroken = -2;  // the line ended first, or an escape is malformed

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The blanks that Wine passes over around the parts of a line (C's isspace).
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The UTF-16 units of a quoted name or text, one at a time, read as Wine reads them: backslash
// escapes (\n \r \t \a \b \e \f \v; up to three octal digits; \x and up to four hex digits, or a
// plain x without any; any other character standing for itself), UTF-8 otherwise. Bytes that do
// not form a UTF-8 character (a stray continuation byte, a cut or overlong sequence, a value
// above U+10FFFF) are dropped; an encoded surrogate is taken as the unit it encodes.
struct EscapedText {
  const char* p;
  const char* end;
  char delimiter;
  char16_t pending = 0;  // the low half of a surrogate pair still to come

  int Next() {
    if (pending != 0) {
      const char16_t unit = pending;
      pending = 0;
      return unit;
    }
    for (;;) {
      if (p == end) return kBroken;
      const char c = *p++;
      if (c == delimiter) return kClosed;
      if (c == '\\') {
        if (p == end) return kBroken;
        const int escaped = Escape();
        if (escaped >= 0) return escaped;
        // An escaped byte that is not ASCII is read as the start of a character.
      }
      const auto byte = static_cast<unsigned char>(p[-1]);
      if (byte < 0x80) return byte;
      const int unit = Utf8(byte);
      if (unit >= 0) return unit;
    }
  }

  // The unit of the escape after a backslash (p is past the backslash, and not at the end), or
  // -1 for a byte that is not ASCII, which p is left past.
  int Escape() {
    const char c = *p++;
    switch (c) {
      case 'n':
        return '\n';
      case 'r':
        return '\r';
      case 't':
        return '\t';
      case 'a':
        return '\a';
      case 'b':
        return '\b';
      case 'e':
        return 0x1B;
      case 'f':
        return '\f';
      case 'v':
        return '\v';
      case 'x': {
        int value = 0;
        int digits = 0;
        while (digits < 4 && p != end && HexValue(*p) >= 0)
          value = value * 16 + HexValue(*p++), ++digits;
        return digits == 0 ? 'x' : value;
      }
      default:
        if (c >= '0' && c <= '7') {
          int value = c - '0';
          for (int digits = 1; digits < 3 && p != end && *p >= '0' && *p <= '7'; ++digits)
            value = value * 8 + (*p++ - '0');
          return value;
        }
        if (static_cast<unsigned char>(c) >= 0x80) return -1;
        return static_cast<unsigned char>(c);
    }
  }

  // The character that `lead` (already taken) starts: its first unit, the second one pending;
  // or -1 when the bytes do not form one, with p left at the first byte that does not belong.
  int Utf8(unsigned char lead) {
    int continuations;
    char32_t value;
    if (lead >= 0xC0 && lead <= 0xDF) {
      continuations = 1, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      continuations = 2, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF7) {
      continuations = 3, value = lead & 0x07;
    } else {
      return -1;
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    const int length = continuations;
    for (; continuations > 0; --continuations) {
      if (p == end || (static_cast<unsigned char>(*p) ^ 0x80) >= 0x40) return -1;
      value = (value << 6) | (static_cast<unsigned char>(*p++) ^ 0x80);
    }
    if (value < kSmallest[length] || value > 0x10FFFF) return -1;
    if (value < 0x10000) return static_cast<int>(value);
    value -= 0x10000;
    pending = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    return static_cast<int>(0xD800 + (value >> 10));
  }
};

// ---- Key lines -------------------------------------------------------------------------------

enum class Match { kOther, kExact, kDescendant };

// Removes empty components, as Wine does when it opens a path: "a\\b\" is "a\b".
std::u16string NormalizeKeyPath(std::u16string_view path) {
  std::u16string normal;
  normal.reserve(path.size());
  bool separator = false;
  for (char16_t unit : path) {
    if (unit == u'\\') {
      separator = true;
      continue;
    }
    if (separator && !normal.empty()) normal.push_back(u'\\');
    separator = false;
    normal.push_back(FoldCase(unit));
  }
  return normal;
}

// How the key line `line` ("[escaped\\path] timestamp") stands to the key `target`.
Match MatchKeyLine(std::string_view line, const std::u16string& target) {
  EscapedText text{line.data() + 1, line.data() + line.size(), ']'};
  std::size_t matched = 0;
  bool separator = false;
  bool emitted = false;
  for (;;) {
    const int unit = text.Next();
    if (unit == kBroken) return Match::kOther;
    if (unit == kClosed) return matched == target.size() ? Match::kExact : Match::kOther;
    if (unit == u'\\') {
      separator = true;
      continue;
    }
    if (separator && emitted) {
      if (matched == target.size()) {
        // The whole key matched and the line goes on below it; it still has to be a key line.
        for (int rest = text.Next(); rest != kClosed; rest = text.Next())
          if (rest == kBroken) return Match::kOther;
        return Match::kDescendant;
      }
      if (target[matched] != u'\\') return Match::kOther;
      ++matched;
    }
    separator = false;
    emitted = true;
    if (matched == target.size() || target[matched] != FoldCase(static_cast<char16_t>(unit)))
      return Match::kOther;
    ++matched;
  }
}

// The words below hold the byte at the lowest address in their lowest bits, and the first
// differing byte is found by counting trailing zeros: that is the layout of a little-endian load.
static_assert(std::endian::native == std::endian::little,
              "the quick key comparison loads words little-endian");

// How Wine would write `target` in a key line: separators doubled, nothing else escaped.
void PrepareQuickMatch(Key& key) {
  if (!g_quick_match) return;
  for (char16_t unit : key.target) {
    if (unit < 0x20 || unit > 0x7E || unit == u'[' || unit == u']') {
      key.written.clear();
      return;
    }
    key.written.push_back(static_cast<char>(unit >= u'A' && unit <= u'Z' ? unit | 0x20 : unit));
    if (unit == u'\\') key.written.push_back('\\');
  }
  if (key.written.size() > 8 * kMaxWords) {
    key.written.clear();
    return;
  }
  for (std::size_t i = 0; i < key.written.size(); i += 8) {
    std::uint64_t word = 0, letters = 0, valid = 0;
    for (std::size_t j = 0; j < 8 && i + j < key.written.size(); ++j) {
      const auto byte = static_cast<unsigned char>(key.written[i + j]);
      word |= std::uint64_t{byte} << (8 * j);
      if (byte >= 'a' && byte <= 'z') letters |= std::uint64_t{0x20} << (8 * j);
      valid |= std::uint64_t{0xFF} << (8 * j);
    }
    key.words[key.word_count] = word;
    key.word_letter_bits[key.word_count] = letters;
    key.word_valid[key.word_count] = valid;
    ++key.word_count;
  }
}

// Whether the key line whose path starts at `path` (with at least written.size() + 1 bytes
// readable there) is certainly not the target. Most lines of a registry differ from it within
// the first few bytes, so they are compared as written, eight bytes at a time; anything written
// another way (an escape, a doubled separator, a non-ASCII byte) is left to MatchKeyLine.
bool CertainlyOther(const Key& key, const char* path) {
  const std::size_t size = key.written.size();
  std::size_t i = size;
  for (std::size_t w = 0; w < key.word_count; ++w) {
    std::uint64_t line;
    std::memcpy(&line, path + 8 * w, 8);  // may read past the line, never past the buffer
    const std::uint64_t difference =
        ((line | key.word_letter_bits[w]) ^ key.words[w]) & key.word_valid[w];
    if (difference != 0) {
      i = 8 * w + static_cast<std::size_t>(__builtin_ctzll(difference)) / 8;  // lowest byte first
      break;
    }
  }
  const char c = path[i];
  // A longer name, not the key or below it; but bytes that are not ASCII may be dropped as
  // broken UTF-8, so they leave it open.
  if (i == size) return c != ']' && c != '\\' && static_cast<unsigned char>(c) < 0x80;
  // A byte in place of a separator may end the line, and one after a backslash is an escape.
  return key.written[i] != '\\' && c != '\\' && static_cast<unsigned char>(c) < 0x80;
}

// Makes the backward search start again below `limit`.
void StartBackward(Key& key, off_t limit) {
  key.back_start = key.back_end = key.search_start = key.back_limit = limit;
}

// Reads the chunk before the one searched. False at the start of the file or on an error.
bool LoadEarlierChunk(Key& key) {
  const off_t chunk_end = key.back_limit;
  if (chunk_end <= 0) return false;
  const off_t chunk_start =
      chunk_end > static_cast<off_t>(kBackChunk) ? chunk_end - static_cast<off_t>(kBackChunk) : 0;
  const off_t read_start = chunk_start > 0 ? chunk_start - 1 : 0;
  off_t read_end = chunk_end + static_cast<off_t>(kBackSlack);
  if (read_end > key.file_size) read_end = key.file_size;
  std::size_t got = 0;
  const std::size_t want = static_cast<std::size_t>(read_end - read_start);
  while (got < want) {
    const ssize_t n =
        pread(key.fd, key.back + got, want - got, read_start + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (read_start + static_cast<off_t>(got) < chunk_end) return false;  // the file shrank
  key.back_start = read_start;
  key.back_end = read_start + static_cast<off_t>(got);
  key.search_start = chunk_start;
  return true;
}

// Whether the '[' at file offset `offset` (back[at]) starts a line: it comes first in its line,
// or after blanks only, as Wine's loader passes over them.
bool StartsLine(Key& key, off_t offset, std::size_t at) {
  if (offset == 0 || key.back[at - 1] == '\n') return true;
  if (!IsBlank(key.back[at - 1]) || key.back[at - 1] == '\n') return false;
  // Rare: look back past the blanks, a few bytes at a time.
  char before[64];
  for (off_t end = offset; end > 0;) {
    const off_t start =
        end > static_cast<off_t>(sizeof before) ? end - static_cast<off_t>(sizeof before) : 0;
    const ssize_t got = pread(key.fd, before, static_cast<std::size_t>(end - start), start);
    if (got != end - start) return false;
    for (off_t i = end - start; i > 0; --i) {
      if (before[i - 1] == '\n') return true;
      if (!IsBlank(before[i - 1])) return false;
    }
    end = start;
  }
  return true;  // blanks from the start of the file
}

// The offset of the last line before the search limit that starts with '[' and may be a line of
// the key, or -1 at the start of the file. Lines certainly of other keys are passed over here,
// in one tight loop. The search goes from the end of the file to its start, since the last of
// repeated keys and values wins.
off_t FindKeyLineBackward(Key& key) {
  const std::size_t look = key.written.empty() ? 0 : 8 * key.word_count + 2;
  for (;;) {
    if (key.back_limit <= key.search_start && !LoadEarlierChunk(key)) return -1;
    const char* base = key.back;
    const auto low = static_cast<std::size_t>(key.search_start - key.back_start);
    const auto high = static_cast<std::size_t>(key.back_limit - key.back_start);
    const void* bracket = memrchr(base + low, '[', high - low);
    if (bracket == nullptr) {
      key.back_limit = key.search_start;
      continue;
    }
    const auto at = static_cast<std::size_t>(static_cast<const char*>(bracket) - base);
    const off_t offset = key.back_start + static_cast<off_t>(at);
    key.back_limit = offset;
    if (!StartsLine(key, offset, at)) continue;
    if (look != 0 && key.back_end - offset >= static_cast<off_t>(look) &&
        CertainlyOther(key, base + at + 1))
      continue;
    return offset;
  }
}

// How the key line at `offset` stands to the key.
Match MatchLineAt(Key& key, off_t offset) {
  // Usually the line lies whole in the chunk just searched.
  const auto at = static_cast<std::size_t>(offset - key.back_start);
  const std::size_t held = static_cast<std::size_t>(key.back_end - key.back_start);
  if (const void* newline = std::memchr(key.back + at, '\n', held - at)) {
    const auto length =
        static_cast<std::size_t>(static_cast<const char*>(newline) - (key.back + at));
    return MatchKeyLine(LineOf(key.back + at, length), key.target);
  }
  std::string_view line;
  bool cut;
  if (!SeekTo(key, offset) || !ReadLine(key, &line, &cut) || cut) return Match::kOther;
  return MatchKeyLine(line, key.target);
}

// ---- Values ----------------------------------------------------------------------------------

// Collects data up to the capacity and counts all of them.
struct Sink {
  std::uint8_t* out;
  std::size_t capacity;
  std::size_t size = 0;
  void Put(std::uint8_t byte) {
    if (size < capacity) out[size] = byte;
    ++size;
  }
  void PutUnit(int unit) {
    Put(static_cast<std::uint8_t>(unit & 0xFF));
    Put(static_cast<std::uint8_t>(unit >> 8));
  }
};

bool ConsumePrefix(std::string_view* text, std::string_view prefix) {
  if (text->substr(0, prefix.size()) != prefix) return false;
  text->remove_prefix(prefix.size());
  return true;
}

void SkipBlanks(std::string_view* text) {
  while (!text->empty() && IsBlank(text->front())) text->remove_prefix(1);
}

// C's strtoul in base 16 on the start of `text` (leading blanks, a sign, a 0x, the digits), as
// Wine's loader calls it: the value, and in *used the bytes it took (0 when there is no number).
unsigned long ParseUnsigned(std::string_view text, std::size_t* used) {
  // strtoul needs a terminated string: copy only what it can take (blanks, a sign, a 0x and the
  // digits), so that a line of many numbers is not copied once per number.
  std::size_t extent = 0;
  while (extent < text.size() && IsBlank(text[extent])) ++extent;
  if (extent < text.size() && (text[extent] == '+' || text[extent] == '-')) ++extent;
  if (text.substr(extent, 2) == "0x" || text.substr(extent, 2) == "0X") extent += 2;
  while (extent < text.size() && HexValue(text[extent]) >= 0) ++extent;
  const std::string copy(text.substr(0, extent));
  char* stop = nullptr;
  const unsigned long value = std::strtoul(copy.c_str(), &stop, 16);
  *used = static_cast<std::size_t>(stop - copy.c_str());
  return value;
}

bool IsHexDigit(char c) {
  return HexValue(c) >= 0;
}

bool ParseString(std::string_view data, Sink& sink) {
  EscapedText text{data.data(), data.data() + data.size(), '"'};
  for (int unit = text.Next(); unit != kClosed; unit = text.Next()) {
    if (unit == kBroken) return false;
    sink.PutUnit(unit);
  }
  sink.PutUnit(0);
  return true;
}

// Bytes in hex, each a number of at most 0xff that strtoul reads (so "001" is one byte and "0x1f"
// another), separated by commas and blanks. A backslash goes on in the next line, whatever that
// line is; what follows the backslash on its own line is not looked at.
bool ParseHex(Key& key, std::string_view data, Sink& sink) {
  for (;;) {
    while (!data.empty() && IsHexDigit(data.front())) {
      std::size_t used;
      const unsigned long value = ParseUnsigned(data, &used);
      if (used == 0 || value > 0xFF) return false;
      sink.Put(static_cast<std::uint8_t>(value));
      data.remove_prefix(used);
      SkipBlanks(&data);
      ConsumePrefix(&data, ",");
      SkipBlanks(&data);
    }
    SkipBlanks(&data);
    if (data.empty()) return true;
    if (data.front() != '\\') return false;
    bool cut;
    if (!ReadLine(key, &data, &cut) || cut) return false;
    SkipBlanks(&data);
  }
}

// The data after "name=", as Wine's loader reads them. False when they do not parse: Wine then
// keeps the value, with no data and type 0.
bool ParseData(Key& key, std::string_view data, Sink& sink) {
  if (ConsumePrefix(&data, "\"") || ConsumePrefix(&data, "str:\"") ||
      ConsumePrefix(&data, "str(2):\"") || ConsumePrefix(&data, "str(7):\""))
    return ParseString(data, sink);
  if (ConsumePrefix(&data, "dword:")) {
    // strtoul's value as a DWORD: nine digits or more keep the last eight, a number too large
    // for strtoul gives 0xffffffff, and no digits 0.
    std::size_t used;
    const auto value = static_cast<std::uint32_t>(ParseUnsigned(data, &used));
    for (int i = 0; i < 4; ++i) sink.Put(static_cast<std::uint8_t>(value >> (8 * i)));
    return true;
  }
  if (ConsumePrefix(&data, "hex:")) return ParseHex(key, data, sink);
  if (ConsumePrefix(&data, "hex(")) {
    std::size_t used;
    ParseUnsigned(data, &used);  // the type, which the lookup does not need
    data.remove_prefix(used);
    return ConsumePrefix(&data, "):") && ParseHex(key, data, sink);
  }
  return false;
}

// Whether `line` (from its '"' or '@') is a value line: a name that parses and an '=' after it.
// *names tells whether the name is `name` (case-folded); *data receives what follows the '=' and
// the blanks after it.
bool IsValueLine(std::string_view line, const std::u16string& name, bool* names,
                 std::string_view* data) {
  std::size_t after;
  if (line[0] == '@') {
    *names = name.empty();
    after = 1;
  } else {
    EscapedText text{line.data() + 1, line.data() + line.size(), '"'};
    std::size_t matched = 0;
    *names = true;
    for (int unit = text.Next(); unit != kClosed; unit = text.Next()) {
      if (unit == kBroken) return false;
      if (matched >= name.size() || FoldCase(static_cast<char16_t>(unit)) != name[matched])
        *names = false;
      ++matched;
    }
    if (matched != name.size()) *names = false;
    after = static_cast<std::size_t>(text.p - line.data());
  }
  std::string_view rest = line.substr(after);
  SkipBlanks(&rest);
  if (!ConsumePrefix(&rest, "=")) return false;
  SkipBlanks(&rest);
  *data = rest;
  return true;
}

}  // namespace

long OpenKey(int fd, std::u16string_view path, Key** opened) {
  *opened = nullptr;
  // Wine refuses a path below a root that starts as an absolute one; empty components further
  // on are passed over.
  if (!path.empty() && path[0] == u'\\') {
    close(fd);
    return kBadPathname;
  }
  Key* key = new (std::nothrow) Key;
  if (key == nullptr) {
    close(fd);
    return kNoMemory;
  }
  key->fd = fd;
  key->target = NormalizeKeyPath(path);
  PrepareQuickMatch(*key);

  // A file that does not start as Wine's do is not loaded at all.
  std::string_view line;
  bool cut;
  struct stat info;
  if (!ReadLine(*key, &line, &cut) || cut || line != kHeader || fstat(fd, &info) != 0) {
    CloseKey(key);
    return kFileNotFound;
  }
  key->file_size = info.st_size;
  // The key exists when a line names it or a key below it; the root always does.
  StartBackward(*key, key->file_size);
  for (off_t offset; (offset = FindKeyLineBackward(*key)) >= 0;) {
    if (MatchLineAt(*key, offset) != Match::kOther) {
      key->query_from = offset + 1;
      break;
    }
  }
  if (key->query_from < 0 && key->target.empty()) key->query_from = key->file_size;
  if (key->query_from < 0) {
    CloseKey(key);
    return kFileNotFound;
  }
  *opened = key;
  return kSuccess;
}

long QueryValue(Key* key, std::u16string_view name, std::uint8_t* data, std::uint32_t* bytes) {
  std::u16string folded(name);
  for (char16_t& unit : folded) unit = FoldCase(unit);
  const std::size_t capacity = *bytes < kScratchSize ? *bytes : kScratchSize;

  // The sections of the key from the last to the first: the last line naming the value, in the
  // last section that has one, wins.
  StartBackward(*key, key->query_from);
  for (off_t offset; (offset = FindKeyLineBackward(*key)) >= 0;) {
    if (MatchLineAt(*key, offset) != Match::kExact) continue;
    std::string_view line;
    bool cut;
    if (!SeekTo(*key, offset) || !ReadLine(*key, &line, &cut)) continue;
    bool found = false;
    std::size_t size = 0;
    while (ReadLine(*key, &line, &cut)) {
      SkipBlanks(&line);
      if (!line.empty() && line[0] == '[') break;  // the next key's line ends the section
      std::string_view value_data;
      bool names = false;
      if (line.empty() || (line[0] != '"' && line[0] != '@') ||
          !IsValueLine(line, folded, &names, &value_data))
        continue;
      if (!names) {
        // Another value, read only so far as to take the lines that continue its hex data (a
        // backslash in them asks for the next line): Wine reads those as that value's, whatever
        // they hold.
        if (!cut && value_data.substr(0, 3) == "hex" &&
            value_data.find('\\') != std::string_view::npos) {
          Sink ignored{nullptr, 0};
          ParseData(*key, value_data, ignored);
        }
        continue;
      }
      found = true;
      if (cut) {
        // A value line longer than the longest the reader holds has more data than a query takes.
        size = kScratchSize + 1;
        continue;
      }
      Sink sink{key->scratch, capacity};
      // Data that do not parse leave the value with none, as Wine keeps it (with type 0).
      size = ParseData(*key, value_data, sink) ? sink.size : 0;
      if (size <= capacity) std::memcpy(data, key->scratch, size);
    }
    if (!found) continue;
    *bytes = static_cast<std::uint32_t>(size > 0xFFFFFFFF ? 0xFFFFFFFF : size);
    return size <= capacity ? kSuccess : kMoreData;
  }
  return kFileNotFound;
}

void CloseKey(Key* key) {
  if (key == nullptr) return;
  if (key->buffer != key->first_buffer) delete[] key->buffer;
  close(key->fd);
  delete key;
}

void UseQuickMatch(bool on) {
  g_quick_match = on;
}

}  // namespace host::wine_registry
