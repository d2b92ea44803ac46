// The test helpers' exchange format: one record a line, fields separated by a space, text as
// hexadecimal UTF-16 units (four digits each, "-" for the empty text), bytes as hex pairs. Plain
// ASCII, so that nothing between Linux and Wine can change it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace hex {

inline std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : line) {
    if (c == ' ') {
      fields.push_back(field);
      field.clear();
    } else if (c != '\r' && c != '\n') {
      field.push_back(c);
    }
  }
  fields.push_back(field);
  return fields;
}

inline std::vector<unsigned char> Bytes(const std::string& field) {
  std::vector<unsigned char> bytes;
  if (field == "-") return bytes;
  for (std::size_t i = 0; i + 1 < field.size(); i += 2)
    bytes.push_back(static_cast<unsigned char>(std::stoul(field.substr(i, 2), nullptr, 16)));
  return bytes;
}

inline std::wstring Text(const std::string& field) {
  std::wstring text;
  if (field == "-") return text;
  for (std::size_t i = 0; i + 3 < field.size(); i += 4)
    text.push_back(static_cast<wchar_t>(std::stoul(field.substr(i, 4), nullptr, 16)));
  return text;
}

inline std::string FromBytes(const unsigned char* data, std::size_t size) {
  if (size == 0) return "-";
  std::string out;
  char pair[3];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", data[i]);
    out += pair;
  }
  return out;
}

// The lines of file `path` (a Windows path).
inline std::vector<std::string> Lines(const wchar_t* path) {
  std::vector<std::string> lines;
  FILE* file = _wfopen(path, L"rb");
  if (file == nullptr) return lines;
  std::string line;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(static_cast<char>(c));
    }
  }
  if (!line.empty()) lines.push_back(line);
  std::fclose(file);
  return lines;
}

}  // namespace hex
