#pragma once
// Starts a program as a child process with standard handles of the test's
// choosing, lets the test talk to it, and collects what it leaves behind.
// A child that is still running when its deadline passes is killed, so a hang
// fails the test instead of stopping the run.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// What the child reads as its standard input.
struct Input {
  enum class Kind {
    Bytes,       // a pipe holding `bytes`, its writing end closed once all are in
    NullDevice,  // /dev/null
    HeldOpen,    // a pipe the test writes to with Process::send
    Closed,      // none: the child starts with descriptor 0 closed
  };
  Kind kind = Kind::Bytes;
  // Bytes only: everything the child can read.  What does not fit the pipe at
  // the start is fed to it while the child runs.
  std::string bytes;

  static Input of(std::string_view bytes) { return {Kind::Bytes, std::string(bytes)}; }
  static Input nullDevice() { return {Kind::NullDevice, {}}; }
  static Input heldOpen() { return {Kind::HeldOpen, {}}; }
  static Input closed() { return {Kind::Closed, {}}; }
};

// Where the child's standard output goes.
struct Output {
  enum class Kind {
    Pipe,       // a pipe the runner reads
    Path,       // `path` opened for writing: created, or emptied if a file
    Terminal,   // a pseudo-terminal in raw mode, so bytes pass unchanged
    Datagrams,  // a datagram socket: each write the child makes is one message
    Closed,     // none: the child starts with descriptor 1 closed
  };
  Kind kind = Kind::Pipe;
  std::filesystem::path path;  // Path only; relative to the working directory

  static Output pipe() { return {Kind::Pipe, {}}; }
  static Output file(std::filesystem::path path) { return {Kind::Path, std::move(path)}; }
  static Output terminal() { return {Kind::Terminal, {}}; }
  static Output datagrams() { return {Kind::Datagrams, {}}; }
  static Output closed() { return {Kind::Closed, {}}; }

  friend void PrintTo(const Output& output, std::ostream* out) {
    static const char* const names[] = {"pipe", "path ", "terminal", "datagrams", "closed"};
    *out << names[static_cast<int>(output.kind)] << output.path.string();
  }
};

// A user and group to run the child as.
struct User {
  uid_t uid;
  gid_t gid;
};

// How the child starts, beyond its standard input and output.
struct ChildSetup {
  bool standardErrorClosed = false;  // descriptor 2 closed; errorOutput stays empty
  // Taken on after the fork (supplementary groups dropped, then group, then
  // user), before the exec; only a runner with root's rights can do that.
  std::optional<User> user = std::nullopt;
};

inline constexpr std::chrono::seconds defaultTimeLimit{20};

// What a finished child left behind.
struct Outcome {
  std::string output;               // standard output, unless it went to a path
  std::vector<std::string> writes;  // Datagrams only: the output write by write
  std::string errorOutput;          // standard error
  bool timedOut = false;            // killed at the deadline
  bool exited = false;              // ended by exit, not by a signal
  int exitStatus = -1;              // when exited
  int signal = 0;                   // when killed by a signal

  // Whether the child ended by itself with exit status `status`.
  bool exitedWith(int status) const { return exited && !timedOut && exitStatus == status; }

  // One line on how the child ended, and its standard error, for failure messages.
  std::string describe() const;
};

// A running child.  Destroying it kills the child if it has not been finished.
class Process {
 public:
  // Starts `command` (command[0] is looked up like a shell does) in
  // `workingDirectory`; standard error is a pipe the runner reads unless
  // `setup` closes it.
  Process(const std::vector<std::string>& command, const std::filesystem::path& workingDirectory,
          const Input& input, const Output& output,
          std::chrono::seconds timeLimit = defaultTimeLimit, const ChildSetup& setup = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Writes `bytes` to a held-open standard input.
  void send(std::string_view bytes);

  // Reads standard output (Pipe or Terminal) until what has arrived so far
  // holds `wanted`, the output ends or the deadline passes; returns all of it.
  std::string readOutputUntil(std::string_view wanted);

  // Closes the runner's reading end of a Pipe: from now on the child's writes
  // find no reader.  What was read before stays in the outcome.
  void closeOutput();

  // Ends a held-open standard input (one still being fed ends once all of it
  // is in), collects the rest of the output and waits for the child to end,
  // killing it at the deadline.
  Outcome finish();

 private:
  void pump(int waitMilliseconds);
  void feedInput();
  void readOutput();
  void readErrorOutput();
  void reap(bool block);
  bool outputDone() const;

  pid_t pid_ = -1;
  bool running_ = false;
  int inputFd_ = -1;          // writing end of a held-open or still-fed standard input
  std::string pendingInput_;  // Bytes not yet in the pipe
  int outputFd_ = -1;         // reading end of standard output, when the runner reads it
  int errorFd_ = -1;          // reading end of standard error
  Output::Kind outputKind_;
  std::chrono::steady_clock::time_point deadline_;
  Outcome outcome_;
};

// Runs `command` to its end with the given standard handles.
Outcome run(const std::vector<std::string>& command, const std::filesystem::path& workingDirectory,
            const Input& input, const Output& output);

}  // namespace e2e
