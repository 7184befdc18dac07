#include "process_runner.hpp"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace e2e {
namespace {

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

void setNonBlocking(int fd) {
  if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) fail("fcntl");
}

void setCloseOnExec(int fd) {
  if (::fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) fail("fcntl");
}

// A pipe whose both ends are closed when a child execs.
void makePipe(int& readEnd, int& writeEnd) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) fail("pipe2");
  readEnd = ends[0];
  writeEnd = ends[1];
}

// The runner writes to pipes whose reader may have gone; that must be an
// error it sees, not a signal that ends the test run.
void ignoreBrokenPipes() {
  static const bool ignored = [] {
    static_cast<void>(::signal(SIGPIPE, SIG_IGN));
    return true;
  }();
  (void)ignored;
}

// The descriptor the child gets as standard input (-1: none); `heldOpen`
// receives the writing end the test or the runner keeps, and `pending` the
// bytes the runner still has to feed through it.
int openInput(const Input& input, int& heldOpen, std::string& pending) {
  if (input.kind == Input::Kind::Closed) return -1;
  if (input.kind == Input::Kind::NullDevice) {
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail("open /dev/null");
    return fd;
  }
  int readEnd, writeEnd;
  makePipe(readEnd, writeEnd);
  if (input.kind == Input::Kind::HeldOpen) {
    heldOpen = writeEnd;
    return readEnd;
  }
  // What fits the pipe's buffer goes in before the child starts; the rest is
  // fed while it runs, through a non-blocking end that never stalls the runner.
  setNonBlocking(writeEnd);
  std::string_view bytes = input.bytes;
  const ssize_t wrote = bytes.empty() ? 0 : ::write(writeEnd, bytes.data(), bytes.size());
  if (wrote < 0 && errno != EAGAIN) fail("write to standard input");
  if (wrote > 0) bytes.remove_prefix(static_cast<std::size_t>(wrote));
  if (bytes.empty()) {
    ::close(writeEnd);
  } else {
    pending.assign(bytes);
    heldOpen = writeEnd;
  }
  return readEnd;
}

// The descriptor the child gets as standard output (-1: none); `runnerEnd`
// receives the end the runner reads, if any.
int openOutput(const Output& output, const std::filesystem::path& workingDirectory,
               int& runnerEnd) {
  switch (output.kind) {
    case Output::Kind::Closed: return -1;
    case Output::Kind::Pipe: {
      int childEnd;
      makePipe(runnerEnd, childEnd);
      return childEnd;
    }
    case Output::Kind::Path: {
      const std::filesystem::path path = workingDirectory / output.path;
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
      if (fd < 0) fail("open " + path.string());
      return fd;
    }
    case Output::Kind::Terminal: {
      int childEnd;
      if (::openpty(&runnerEnd, &childEnd, nullptr, nullptr, nullptr) != 0) fail("openpty");
      setCloseOnExec(runnerEnd);
      setCloseOnExec(childEnd);
      termios settings;
      if (::tcgetattr(childEnd, &settings) != 0) fail("tcgetattr");
      ::cfmakeraw(&settings);
      if (::tcsetattr(childEnd, TCSANOW, &settings) != 0) fail("tcsetattr");
      return childEnd;
    }
    case Output::Kind::Datagrams: {
      int ends[2];
      if (::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, ends) != 0) fail("socketpair");
      runnerEnd = ends[0];
      return ends[1];
    }
  }
  throw std::logic_error("unknown output kind");
}

}  // namespace

std::string Outcome::describe() const {
  std::string text;
  if (timedOut)
    text = "killed at the deadline";
  else if (exited)
    text = "exited with status " + std::to_string(exitStatus);
  else
    text = "ended by signal " + std::to_string(signal);
  if (!errorOutput.empty()) text += "; standard error: " + errorOutput;
  return text;
}

Process::Process(const std::vector<std::string>& command,
                 const std::filesystem::path& workingDirectory, const Input& input,
                 const Output& output, std::chrono::seconds timeLimit, const ChildSetup& setup)
    : outputKind_(output.kind) {
  ignoreBrokenPipes();
  const std::string directory = std::filesystem::absolute(workingDirectory).string();
  std::vector<char*> argv;
  argv.reserve(command.size() + 1);
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);

  const int childInput = openInput(input, inputFd_, pendingInput_);
  const int childOutput = openOutput(output, workingDirectory, outputFd_);
  int childError = -1;
  if (!setup.standardErrorClosed) makePipe(errorFd_, childError);
  int execStatusRead, execStatusWrite;  // carries errno when the exec fails
  makePipe(execStatusRead, execStatusWrite);

  pid_ = ::fork();
  if (pid_ < 0) fail("fork");
  if (pid_ == 0) {
    // The child starts with the signal state a shell would give it, so the
    // program's own handling of a broken pipe is what gets tested.
    sigset_t none;
    sigemptyset(&none);
    static_cast<void>(::sigprocmask(SIG_SETMASK, &none, nullptr));
    static_cast<void>(::signal(SIGPIPE, SIG_DFL));
    const int standard[] = {childInput, childOutput, childError};
    for (int fd = 0; fd < 3; ++fd) {
      if (standard[fd] >= 0)
        ::dup2(standard[fd], fd);
      else
        ::close(fd);
    }
    int error = 0;
    if (setup.user && (::setgroups(0, nullptr) != 0 || ::setgid(setup.user->gid) != 0 ||
                       ::setuid(setup.user->uid) != 0))
      error = errno;
    if (error == 0 && ::chdir(directory.c_str()) != 0) error = errno;
    if (error == 0) {
      ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
      ::execvp(argv[0], argv.data());
      error = errno;
    }
    // Nothing is left to do if even this report cannot be written.
    const ssize_t reported = ::write(execStatusWrite, &error, sizeof error);
    static_cast<void>(reported);
    ::_exit(127);
  }
  running_ = true;
  for (const int fd : {childInput, childOutput, childError})
    if (fd >= 0) ::close(fd);
  ::close(execStatusWrite);
  int error = 0;
  const ssize_t got = ::read(execStatusRead, &error, sizeof error);
  ::close(execStatusRead);
  if (got > 0) {
    reap(true);
    errno = error;
    fail("cannot start " + command.front());
  }
  if (outputFd_ >= 0) setNonBlocking(outputFd_);
  if (errorFd_ >= 0) setNonBlocking(errorFd_);
  deadline_ = std::chrono::steady_clock::now() + timeLimit;
}

Process::~Process() {
  if (running_) {
    ::kill(pid_, SIGKILL);
    reap(true);
  }
  closeFd(inputFd_);
  closeFd(outputFd_);
  closeFd(errorFd_);
}

void Process::send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(inputFd_, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) fail("write to standard input");
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
}

std::string Process::readOutputUntil(std::string_view wanted) {
  while (outcome_.output.find(wanted) == std::string::npos && outputFd_ >= 0 &&
         std::chrono::steady_clock::now() < deadline_)
    pump(20);
  return outcome_.output;
}

void Process::closeOutput() {
  closeFd(outputFd_);
}

Outcome Process::finish() {
  if (pendingInput_.empty()) closeFd(inputFd_);
  while (std::chrono::steady_clock::now() < deadline_ &&
         (running_ || !outputDone() || errorFd_ >= 0))
    pump(20);
  if (running_) {
    ::kill(pid_, SIGKILL);
    reap(true);
    outcome_.timedOut = true;
  }
  if (outputFd_ >= 0) readOutput();
  if (errorFd_ >= 0) readErrorOutput();
  closeFd(outputFd_);
  closeFd(errorFd_);
  return outcome_;
}

// Waits up to `waitMilliseconds` for output or room for pending input, takes
// what has come, feeds what fits, and notices whether the child has ended.
void Process::pump(int waitMilliseconds) {
  const bool feeding = inputFd_ >= 0 && !pendingInput_.empty();
  pollfd watched[3];
  nfds_t count = 0;
  if (outputFd_ >= 0) watched[count++] = {outputFd_, POLLIN, 0};
  if (errorFd_ >= 0) watched[count++] = {errorFd_, POLLIN, 0};
  if (feeding) watched[count++] = {inputFd_, POLLOUT, 0};
  if (::poll(watched, count, waitMilliseconds) < 0 && errno != EINTR) fail("poll");
  if (feeding) feedInput();
  if (outputFd_ >= 0) readOutput();
  if (errorFd_ >= 0) readErrorOutput();
  reap(false);
}

// Puts as much pending input into the pipe as it takes now.  Once all of it
// is in, or the child has closed its reading end, the pipe is closed.
void Process::feedInput() {
  while (!pendingInput_.empty()) {
    const ssize_t wrote = ::write(inputFd_, pendingInput_.data(), pendingInput_.size());
    if (wrote > 0) {
      pendingInput_.erase(0, static_cast<std::size_t>(wrote));
      continue;
    }
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0 && errno == EAGAIN) return;
    if (wrote < 0 && errno != EPIPE) fail("write to standard input");
    pendingInput_.clear();
  }
  closeFd(inputFd_);
}

void Process::readOutput() {
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(outputFd_, buffer, sizeof buffer);
    if (got > 0) {
      outcome_.output.append(buffer, static_cast<std::size_t>(got));
      if (outputKind_ == Output::Kind::Datagrams)
        outcome_.writes.emplace_back(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    // A socket has no end; a datagram of no bytes is a write of no bytes.
    if (outputKind_ == Output::Kind::Datagrams && got == 0) {
      outcome_.writes.emplace_back();
      continue;
    }
    if (got < 0 && errno == EAGAIN) return;
    // End of a pipe, or EIO from a terminal whose other side is all closed.
    closeFd(outputFd_);
    return;
  }
}

void Process::readErrorOutput() {
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(errorFd_, buffer, sizeof buffer);
    if (got > 0) {
      outcome_.errorOutput.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == EAGAIN) return;
    closeFd(errorFd_);
    return;
  }
}

void Process::reap(bool block) {
  if (!running_) return;
  int status = 0;
  const pid_t ended = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
  if (ended != pid_) return;
  running_ = false;
  outcome_.exited = WIFEXITED(status);
  if (outcome_.exited) outcome_.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome_.signal = WTERMSIG(status);
}

bool Process::outputDone() const {
  return outputFd_ < 0 || outputKind_ == Output::Kind::Datagrams;
}

Outcome run(const std::vector<std::string>& command, const std::filesystem::path& workingDirectory,
            const Input& input, const Output& output) {
  Process process(command, workingDirectory, input, output);
  return process.finish();
}

}  // namespace e2e
