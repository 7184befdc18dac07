// The host interface on POSIX systems: file descriptors as handles, errno
// values translated to the Windows system error codes the program reports.

#include <elf.h>
#include <errno.h>
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/host/host.hpp"

// The program's own ELF header, placed by the linker.
extern "C" const ElfW(Ehdr) __ehdr_start;

namespace runtime::host {

namespace {

// Windows system error codes the translation produces.
enum WindowsCode : std::uint32_t {
  PathNotFound = 3,
  TooManyOpenFiles = 4,
  AccessDenied = 5,
  InvalidHandle = 6,
  NotEnoughMemory = 8,
  WriteProtect = 19,
  GeneralFailure = 31,
  SharingViolation = 32,
  FileExists = 80,
  InvalidParameter = 87,
  BrokenPipe = 109,
  DiskFull = 112,
  FilenameExceedsRange = 206,
  FileTooLarge = 223,
  NoData = 232,
  IoDevice = 1117,
  CantResolveFilename = 1921,
};

std::uint32_t lastCode = 0;

// The Windows system error code nearest in meaning to errno value `error`.
std::uint32_t windowsCodeFor(int error) {
  switch (error) {
    case ENOENT: case ENOTDIR: return PathNotFound;
    case EACCES: case EPERM: case EISDIR: return AccessDenied;
    case EMFILE: case ENFILE: return TooManyOpenFiles;
    case EBADF: return InvalidHandle;
    case ENOMEM: return NotEnoughMemory;
    case EROFS: return WriteProtect;
    case ETXTBSY: case EBUSY: return SharingViolation;
    case EEXIST: return FileExists;
    case EINVAL: return InvalidParameter;
    case EPIPE: return BrokenPipe;
    case ENOSPC: case EDQUOT: return DiskFull;
    case ENAMETOOLONG: return FilenameExceedsRange;
    case EFBIG: return FileTooLarge;
    case EAGAIN: return NoData;
    case EIO: return IoDevice;
    case ELOOP: return CantResolveFilename;
    default: return GeneralFailure;
  }
}

bool fail(std::uint32_t code) {
  lastCode = code;
  return false;
}

int descriptor(Handle handle) { return static_cast<int>(handle); }

// Moves a newly opened descriptor above the three standard ones, so that a
// process started with one of them closed never writes its report there.
int aboveStandard(int fd) {
  if (fd < 0 || fd > STDERR_FILENO) return fd;
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  const int error = errno;
  ::close(fd);
  errno = error;
  return moved;
}

}  // namespace

void prepareProcess() {
  // A reader that has gone makes a write fail instead of ending the process.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, nullptr);
}

Handle standardHandle(StandardHandle which) {
  switch (which) {
    case StandardHandle::Input: return STDIN_FILENO;
    case StandardHandle::Output: return STDOUT_FILENO;
    case StandardHandle::Error: return STDERR_FILENO;
  }
  return -1;
}

bool openForWriting(const char* name, Handle& opened) {
  // Opened without truncation: a file another writer holds is refused before
  // a byte of it is lost.
  const int fd = aboveStandard(::open(name, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666));
  if (fd < 0) return fail(windowsCodeFor(errno));
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    return fail(SharingViolation);
  }
  struct stat status {};
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ftruncate(fd, 0) != 0) {
    const int error = errno;
    ::close(fd);
    return fail(windowsCodeFor(error));
  }
  opened = fd;
  return true;
}

bool read(Handle handle, void* into, std::uint32_t size, std::uint32_t& got) {
  ssize_t count;
  do count = ::read(descriptor(handle), into, size);
  while (count < 0 && errno == EINTR);
  got = count < 0 ? 0 : static_cast<std::uint32_t>(count);
  return count >= 0 || fail(windowsCodeFor(errno));
}

bool write(Handle handle, const void* from, std::uint32_t size, std::uint32_t& written) {
  const char* bytes = static_cast<const char*>(from);
  written = 0;
  while (written < size) {
    const ssize_t count = ::write(descriptor(handle), bytes + written, size - written);
    if (count > 0) {
      written += static_cast<std::uint32_t>(count);
    } else if (count == 0) {
      return fail(IoDevice);
    } else if (errno != EINTR) {
      return fail(windowsCodeFor(errno));
    }
  }
  return true;
}

bool close(Handle handle) {
  // On Linux an interrupted close has still released the descriptor.
  return ::close(descriptor(handle)) == 0 || errno == EINTR || fail(windowsCodeFor(errno));
}

bool isCharacterDevice(Handle handle) {
  struct stat status {};
  return fstat(descriptor(handle), &status) == 0 && S_ISCHR(status.st_mode);
}

std::uint32_t lastError() { return lastCode; }

std::uint32_t codeLocation(const void* address) {
  // The image's load bias: where its ELF header is, less where it was linked.
  const auto* header = &__ehdr_start;
  const auto* segments = reinterpret_cast<const ElfW(Phdr)*>(
      reinterpret_cast<const char*>(header) + header->e_phoff);
  std::uintptr_t linked = 0;
  for (int i = 0; i < header->e_phnum; ++i) {
    if (segments[i].p_type == PT_LOAD && segments[i].p_offset == 0) {
      linked = segments[i].p_vaddr;
      break;
    }
  }
  const std::uintptr_t bias = reinterpret_cast<std::uintptr_t>(header) - linked;
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address) - bias);
}

const void* callerFrame(const void* frame) {
  // The frame pointer a routine saves is its caller's frame.
  return *static_cast<const void* const*>(frame);
}

void installFaultHook(FaultContinuation) {}

void removeFaultHook() {}

void exitProcess(std::uint16_t code) {
  // An exit status has 8 bits: a number that does not fit must not read as
  // success, nor as a smaller number.
  _exit(code <= 255 ? code : 255);
}

}  // namespace runtime::host
