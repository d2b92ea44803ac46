// The program's entry on Linux: the byte arguments become UTF-16 for the tool.
#include <string>
#include <vector>

#include "host/utf.h"
#include "main/main.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> arguments;
  arguments.reserve(static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) arguments.push_back(host::DecodeUtf8(argv[i]));
  std::vector<const char16_t*> pointers;
  pointers.reserve(arguments.size() + 1);
  for (const std::u16string& argument : arguments) pointers.push_back(argument.c_str());
  pointers.push_back(nullptr);
  return LocateJvmMain(argc, pointers.data());
}
