// Helpers for tests that work on real files and run the real binary.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace test {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// Creates `path` with `contents`, and its parent directories.
void WriteFile(const std::filesystem::path& path, const std::string& contents = {});

// A Wine prefix in `root`: system.reg holding the header and `keys`, and c: linked to drive_c.
void MakePrefix(const std::filesystem::path& root, const std::string& keys);

// The header Wine writes at the top of a registry file.
extern const char kRegistryHeader[];

// The message of a search that finds nothing.
extern const char kFailure[];

// The trace line of one probe attempt.
std::string Tried(const std::string& path, bool found);

enum class StandardError { kPipe, kClosed, kFullDevice, kReaderGone };

struct Run {
  std::vector<std::string> arguments;    // after the program itself
  std::vector<std::string> environment;  // "NAME=value"; nothing else is inherited
  std::string directory;                 // working directory; "" keeps the current one
  StandardError standard_error = StandardError::kPipe;
  int timeout_seconds = 20;  // then the program is killed
};

struct Outcome {
  int status = -1;  // exit status, or 128 + signal
  std::string out;  // standard output
  std::string err;  // standard error (kPipe only)
  bool timed_out = false;
};

// Runs `program` and waits for it to end, or for its timeout.
Outcome Execute(const std::string& program, const Run& run);

}  // namespace test
