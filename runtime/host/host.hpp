#pragma once
// The operating-system services of the run-time layer.  This header is the
// only thing above runtime/host that knows an operating system exists; one
// back end per platform implements it, and the build picks the back end.

#include <cstdint>

namespace runtime::host {

// An operating-system handle (a file descriptor, or a kernel32 HANDLE), carried
// as an integer so that no OS header is needed to hold one.
using Handle = std::intptr_t;

// The three handles the process starts with.
enum class StandardHandle { Input, Output, Error };

// Prepares the process for console use before anything else runs.
void prepareProcess();

// Returns the process's standard handle `which`, as it comes, untested.
Handle standardHandle(StandardHandle which);

// Creates, or empties, the file named `name` (NUL-terminated) and opens it for
// writing with no other opening of it allowed.  Returns false on failure, with
// the reason in lastError(); an existing file is never emptied on failure.
bool openForWriting(const char* name, Handle& opened);

// Reads at most `size` bytes into `into`; `got` is 0 at end of input.  Returns
// false on failure, with the reason in lastError().
bool read(Handle handle, void* into, std::uint32_t size, std::uint32_t& got);

// Writes all `size` bytes of `from`, as one request; `written` counts what was
// written before a failure.  Returns false on failure, with lastError() set.
bool write(Handle handle, const void* from, std::uint32_t size, std::uint32_t& written);

// Releases a handle opened by openForWriting.  Returns false when the system
// reports that the file could not be completed.
bool close(Handle handle);

// Whether `handle` is a character device (a terminal, the null device).
bool isCharacterDevice(Handle handle);

// The reason for the last failed call above, as a Windows system error code
// (never 0 after a failure).
std::uint32_t lastError();

// The location of the code address `address` as printed in error reports: an
// offset into the program image that is the same on every run.
std::uint32_t codeLocation(const void* address);

// The frame of the routine that called the routine whose frame is `frame`, or
// null when none is found.  A routine's frame is where it keeps its caller's
// frame pointer, with its return point in the word above: the address that
// __builtin_frame_address(0) gives inside it.
const void* callerFrame(const void* frame);

// The run-time errors processor faults become; each back end maps its own
// fault reports onto them.
enum FaultError : std::uint16_t {
  DivisionByZero = 200,
  BoundsExceeded = 201,
  StackOverflow = 202,
  FloatingOverflow = 205,
  FloatingUnderflow = 206,
  InvalidFloatingOperation = 207,
  IntegerOverflow = 215,
  AccessViolation = 216,
  IllegalInstruction = 217,
};

// A processor fault, in the program's terms.
struct Fault {
  std::uint16_t errorNumber;  // the run-time error it becomes
  bool floatingPoint;         // a floating-point fault: the unit is reset first
  const void* instruction;    // the faulting instruction
  const void* frame;          // frame link of the routine running at the fault
};

// Receives a converted fault on the faulting thread; never returns.
using FaultContinuation = void (*)(const Fault& fault);

// Converts every processor fault the program knows into a call of
// `continuation`; other faults keep the system's handling.
void installFaultHook(FaultContinuation continuation);

// Restores the system's handling of every fault.
void removeFaultHook();

// Ends the process with exit code `code`.
[[noreturn]] void exitProcess(std::uint16_t code);

}  // namespace runtime::host
