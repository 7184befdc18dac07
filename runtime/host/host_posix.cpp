// The host interface on POSIX systems: file descriptors as handles, errno
// values translated to the Windows system error codes the program reports.

#include <elf.h>
#include <errno.h>
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/ucontext.h>
#include <unistd.h>

#include "runtime/host/host.hpp"

// The program's own ELF header, placed by the linker.
extern "C" const ElfW(Ehdr)
    __ehdr_start;  // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)

// The C library's record of the stack pointer at process entry: every frame of
// the program lies below it, and everything between it and a frame is mapped.
extern "C" void*
    __libc_stack_end;  // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)

#if !defined(__x86_64__)
#error "The fault hook reads x86-64 machine contexts; give it this processor's registers."
#endif

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
    case ENOENT:
    case ENOTDIR: return PathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return AccessDenied;
    case EMFILE:
    case ENFILE: return TooManyOpenFiles;
    case EBADF: return InvalidHandle;
    case ENOMEM: return NotEnoughMemory;
    case EROFS: return WriteProtect;
    case ETXTBSY:
    case EBUSY: return SharingViolation;
    case EEXIST: return FileExists;
    case EINVAL: return InvalidParameter;
    case EPIPE: return BrokenPipe;
    case ENOSPC:
    case EDQUOT: return DiskFull;
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

int descriptor(Handle handle) {
  return static_cast<int>(handle);
}

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

// The signals by which the processor's faults arrive.
constexpr int FaultSignals[] = {SIGFPE, SIGSEGV, SIGBUS, SIGILL, SIGTRAP};

// The row of the fault table a fault report falls on.
struct FaultRow {
  std::uint16_t errorNumber;  // 0: not a fault the program converts
  bool floatingPoint;         // the floating-point unit is reset before the report
};

// How far below the stack pointer an instruction may touch the stack: a push
// or a call just below it, the red zone 128 bytes, a stack probe a page or
// two.  The margin is wide, yet far short of any address a stray pointer
// (null, say) would fault at.
constexpr std::uintptr_t StackReach = std::uintptr_t{64} * 1024;

// The stack the fault handler runs on, so that it can still run when the
// program's own stack is used up.  The kernel stores the whole register state
// there first, about 11 KiB on processors with AMX tiles (why SIGSTKSZ is no
// longer a constant of the C library); the report path needs under 2 KiB.
// 64 KiB covers both with room to spare and costs nothing until touched.
alignas(16) char alternateStack[64 * 1024];

FaultContinuation faultContinuation = nullptr;

// The address every frame of the program lies below.
std::uintptr_t stackTop() {
  return reinterpret_cast<std::uintptr_t>(__libc_stack_end);
}

// What the faulting context shows: where the fault happened, the frame link
// and the stack pointer at that moment.
struct FaultingState {
  const void* instruction;
  std::uintptr_t frame;
  std::uintptr_t stackPointer;
};

// The faulting state the signal context `context` records.
FaultingState faultingState(const ucontext_t& context) {
  const mcontext_t& machine = context.uc_mcontext;
  FaultingState state{reinterpret_cast<const void*>(machine.gregs[REG_RIP]),
                      static_cast<std::uintptr_t>(machine.gregs[REG_RBP]),
                      static_cast<std::uintptr_t>(machine.gregs[REG_RSP])};
  // An x87 fault is reported at the next floating-point instruction; the
  // unit's own record of its last instruction names the one that faulted.
  constexpr greg_t X87Fault = 16;
  if (machine.gregs[REG_TRAPNO] == X87Fault && machine.fpregs != nullptr)
    state.instruction = reinterpret_cast<const void*>(machine.fpregs->rip);
  return state;
}

// Whether a SIGSEGV at `address` is the stack running out: the address lies
// between just below the stack pointer and the top of the stack, a range that
// only the stack's growth limit can make fault.
bool stackOverflowAt(std::uintptr_t address, std::uintptr_t stackPointer) {
  const std::uintptr_t lowest = stackPointer > StackReach ? stackPointer - StackReach : 0;
  return address >= lowest && address < stackTop();
}

// The fault table on this host: the row of the fault that signal report
// `info` describes, at stack pointer `stackPointer`.  Only faults the kernel
// raised count; a fault signal another process sent is left to the system.
FaultRow faultRow(const siginfo_t& info, std::uintptr_t stackPointer) {
  if (info.si_code <= 0) return {0, false};
  switch (info.si_signo) {
    case SIGFPE:
      switch (info.si_code) {
        case FPE_INTDIV: return {DivisionByZero, false};
        case FPE_INTOVF: return {IntegerOverflow, false};
        case FPE_FLTDIV: return {DivisionByZero, true};
        case FPE_FLTOVF: return {FloatingOverflow, true};
        // Underflow and denormal operands (which this report does not tell
        // apart) are masked at start-up; code that unmasks them gets underflow.
        case FPE_FLTUND: return {FloatingUnderflow, true};
        // An x87 stack fault arrives as an invalid operation too.
        case FPE_FLTINV: return {InvalidFloatingOperation, true};
        // A subscript out of range: the bounds row (no x86 fault raises it).
        case FPE_FLTSUB: return {BoundsExceeded, false};
        // An inexact result, masked at start-up, is not a fault of the table.
        default: return {0, false};
      }
    case SIGSEGV:
      // A privileged instruction also arrives here, as a general protection
      // fault with no address, and is reported as an access violation.
      return {stackOverflowAt(reinterpret_cast<std::uintptr_t>(info.si_addr), stackPointer)
                  ? StackOverflow
                  : AccessViolation,
              false};
    case SIGBUS: return {AccessViolation, false};
    case SIGILL:
    case SIGTRAP: return {IllegalInstruction, false};
  }
  return {0, false};
}

// Gives `signal` back to the system's handling and has it delivered again
// once the handler returns, so the process ends as it would have unhooked.
void leaveToSystem(int signal) {
  struct sigaction system {};
  system.sa_handler = SIG_DFL;
  sigaction(signal, &system, nullptr);
  static_cast<void>(raise(signal));  // a blocked signal cannot fail to be raised
}

// The fault handler.  It runs the continuation itself, on the alternate
// stack, rather than redirecting the faulting thread to it: after a stack
// overflow the alternate stack is the only stack left, and the continuation
// never returns and calls only async-signal-safe functions, so nothing is
// gained by leaving the handler first.  The back-trace starts at the faulting
// frame link when it lies on the stack, and is empty otherwise (code built
// without frame links may hold anything in that register).
void onFault(int signal, siginfo_t* info, void* context) {
  const FaultingState state = faultingState(*static_cast<const ucontext_t*>(context));
  const FaultRow row = faultRow(*info, state.stackPointer);
  if (row.errorNumber == 0) {
    leaveToSystem(signal);
    return;
  }
  const bool onStack = state.frame >= state.stackPointer && state.frame < stackTop();
  faultContinuation({row.errorNumber, row.floatingPoint, state.instruction,
                     onStack ? reinterpret_cast<const void*>(state.frame) : nullptr});
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
  // Only a regular file with content is emptied: emptying an empty one again
  // makes some file systems write it out when it is closed.
  struct stat status {};
  if (fstat(fd, &status) != 0 ||
      (S_ISREG(status.st_mode) && status.st_size != 0 && ftruncate(fd, 0) != 0)) {
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

std::uint32_t lastError() {
  return lastCode;
}

std::uint32_t codeLocation(const void* address) {
  // The image's load bias: where its ELF header is, less where it was linked.
  const auto* header = &__ehdr_start;
  const auto* segments =
      reinterpret_cast<const ElfW(Phdr)*>(reinterpret_cast<const char*>(header) + header->e_phoff);
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
  // The frame pointer a routine saves is its caller's frame.  One that does
  // not lie further up the stack is none: a routine built without frame links
  // (in the C library, say) may keep anything in that register, and following
  // it must not fault while an error report is being written.
  const auto caller = *static_cast<const std::uintptr_t*>(frame);
  const bool furtherUp = caller > reinterpret_cast<std::uintptr_t>(frame) && caller < stackTop();
  return furtherUp ? reinterpret_cast<const void*>(caller) : nullptr;
}

void installFaultHook(FaultContinuation continuation) {
  faultContinuation = continuation;
  stack_t alternate{};
  alternate.ss_sp = alternateStack;
  alternate.ss_size = sizeof alternateStack;
  sigaltstack(&alternate, nullptr);
  struct sigaction hook {};
  hook.sa_sigaction = onFault;
  hook.sa_flags = SA_SIGINFO | SA_ONSTACK;
  // A second fault while one is being reported is not caught again: blocked,
  // it ends the process by the system's handling.
  sigemptyset(&hook.sa_mask);
  for (const int signal : FaultSignals) sigaddset(&hook.sa_mask, signal);
  for (const int signal : FaultSignals) sigaction(signal, &hook, nullptr);
}

void removeFaultHook() {
  struct sigaction system {};
  system.sa_handler = SIG_DFL;
  for (const int signal : FaultSignals) sigaction(signal, &system, nullptr);
}

void exitProcess(std::uint16_t code) {
  // An exit status has 8 bits: a number that does not fit must not read as
  // success, nor as a smaller number.
  _exit(code <= 255 ? code : 255);
}

}  // namespace runtime::host
