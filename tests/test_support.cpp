#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace test {

const char kRegistryHeader[] =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n";

const char kFailure[] = "Unable to locate a compatible JVM";

std::string Tried(const std::string& path, bool found) {
  return "Trying '" + path + "'..." + (found ? "found!\n" : "not found.\n");
}

TempDir::TempDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "locate-jvm-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& path, const std::string& contents) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << contents;
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

void MakePrefix(const std::filesystem::path& root, const std::string& keys) {
  WriteFile(root / "system.reg", std::string(kRegistryHeader) + keys);
  std::filesystem::create_directories(root / "drive_c");
  std::filesystem::create_directories(root / "dosdevices");
  std::filesystem::create_directory_symlink("../drive_c", root / "dosdevices" / "c:");
  std::filesystem::create_directory_symlink("/", root / "dosdevices" / "z:");
}

namespace {

void ReadInto(int fd, std::string* into, bool* open) {
  char chunk[65536];
  const ssize_t got = read(fd, chunk, sizeof chunk);
  if (got > 0)
    into->append(chunk, static_cast<std::size_t>(got));
  else if (got == 0 || errno != EINTR)
    *open = false;
}

}  // namespace

Outcome Execute(const std::string& program, const Run& run) {
  int out_pipe[2], err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) throw std::runtime_error("pipe failed");
  if (run.standard_error == StandardError::kReaderGone) close(err_pipe[0]);

  std::vector<std::string> argument_text = {program};
  argument_text.insert(argument_text.end(), run.arguments.begin(), run.arguments.end());
  std::vector<char*> argv, envp;
  for (std::string& a : argument_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = run.environment;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    signal(SIGPIPE, SIG_DFL);  // as a shell would start it
    dup2(out_pipe[1], STDOUT_FILENO);
    switch (run.standard_error) {
      case StandardError::kPipe:
      case StandardError::kReaderGone:
        dup2(err_pipe[1], STDERR_FILENO);
        break;
      case StandardError::kClosed:
        close(STDERR_FILENO);
        break;
      case StandardError::kFullDevice: {
        const int full = open("/dev/full", O_WRONLY);
        dup2(full, STDERR_FILENO);
        break;
      }
    }
    const int in = open("/dev/null", O_RDONLY);
    dup2(in, STDIN_FILENO);
    for (int fd = 3; fd < 256; ++fd) close(fd);
    if (!run.directory.empty() && chdir(run.directory.c_str()) != 0) _exit(126);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (run.standard_error != StandardError::kReaderGone &&
      run.standard_error != StandardError::kPipe)
    close(err_pipe[0]);

  Outcome outcome;
  bool out_open = true;
  bool err_open = run.standard_error == StandardError::kPipe;
  // The run ends when the program exits, not when its pipes close: programs it leaves behind
  // (Wine's server and services) may hold them open for long after.
  int status = 0;
  bool exited = false;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(run.timeout_seconds);
  while (out_open || err_open) {
    if (!exited && waitpid(child, &status, WNOHANG) == child) exited = true;
    if (!exited && std::chrono::steady_clock::now() > deadline) {
      outcome.timed_out = true;
      kill(child, SIGKILL);
      break;
    }
    pollfd fds[2] = {{out_open ? out_pipe[0] : -1, POLLIN, 0},
                     {err_open ? err_pipe[0] : -1, POLLIN, 0}};
    // Once the program has exited, take what it wrote and stop when nothing more is waiting.
    const int ready = poll(fds, 2, exited ? 0 : 20);
    if (ready < 0) continue;
    if (ready == 0 && exited) break;
    if (fds[0].revents) ReadInto(out_pipe[0], &outcome.out, &out_open);
    if (fds[1].revents) ReadInto(err_pipe[0], &outcome.err, &err_open);
  }
  close(out_pipe[0]);
  if (run.standard_error == StandardError::kPipe) close(err_pipe[0]);
  if (!exited) waitpid(child, &status, 0);
  if (WIFEXITED(status))
    outcome.status = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    outcome.status = 128 + WTERMSIG(status);
  return outcome;
}

}  // namespace test
