// The run-time error state, the I/O check, the error report and the normal end.

#include "runtime/runtime_error.hpp"

#include "runtime/host/host.hpp"
#include "runtime/standard_streams.hpp"

namespace runtime {

namespace {

std::uint16_t errorNumber = 0;    // also the exit code: 0 after a clean run
std::uint32_t errorLocation = 0;  // 0: no run-time error recorded
const CallLevel* traceStart = nullptr;
const CallLevel* outermostLink = nullptr;

// Back-trace lines at most: a screenful on a console, more for a file or pipe.
constexpr int CharacterDeviceTraceLimit = 9;
constexpr int OtherTraceLimit = 257;

// Whether `caller` is a level the walk may go on to from `level`: a real
// frame further out on the stack, short of the start-up's.
bool walksOn(const CallLevel* level, const CallLevel* caller) {
  return caller != nullptr && caller != outermostLink && caller > level;
}

// The level of the routine that called the one at `level`.
const CallLevel* callerOf(const CallLevel* level) {
  return static_cast<const CallLevel*>(host::callerFrame(level));
}

// The driver's level: the outermost one below the start-up, found from
// `level` outward.  Without a known start-up level, `level`'s caller.
const CallLevel* driverLevel(const CallLevel* level) {
  if (outermostLink == nullptr) return callerOf(level);
  for (const CallLevel* caller = callerOf(level); walksOn(level, caller); caller = callerOf(level))
    level = caller;
  return level;
}

// Writes "0x" and the 8 upper-case hexadecimal digits of `location`.
void writeLocation(std::uint32_t location) {
  char text[10] = {'0', 'x'};
  for (int digit = 0; digit < 8; ++digit) {
    text[9 - digit] = "0123456789ABCDEF"[location & 0xF];
    location >>= 4;
  }
  writeString(errorStream, {text, sizeof text});
}

void writeTraceLine(std::uint32_t location) {
  writeString(errorStream, "  ");
  writeLocation(location);
  endLine(errorStream);
}

// The header, the error location as the first back-trace line, a line for
// each return point from the back-trace start outward, and an empty line.
void writeErrorReport() {
  writeString(errorStream, "Runtime error ");
  writeWhole(errorStream, errorNumber);
  writeString(errorStream, " at ");
  writeLocation(errorLocation);
  endLine(errorStream);
  writeTraceLine(errorLocation);
  const int limit =
      host::isCharacterDevice(errorStream.handle) ? CharacterDeviceTraceLimit : OtherTraceLimit;
  const CallLevel* level = traceStart;
  for (int walked = 1; level != nullptr; ++walked) {
    if (level->returnPoint != nullptr) writeTraceLine(host::codeLocation(level->returnPoint));
    if (walked == limit) break;
    const CallLevel* caller = callerOf(level);
    if (!walksOn(level, caller)) break;
    level = caller;
  }
  endLine(errorStream);
}

}  // namespace

void setOutermostLink(const CallLevel* startupLevel) {
  outermostLink = startupLevel;
}

void ioCheck() {
  if (pendingIoError == 0) return;
  // The location is the point the check returns to, the start of the next
  // statement; the back-trace leaves the check itself out.
  runtimeError(pendingIoError, host::codeLocation(__builtin_return_address(0)),
               driverLevel(static_cast<const CallLevel*>(__builtin_frame_address(0))));
}

void runtimeError(std::uint16_t number, std::uint32_t location, const CallLevel* start) {
  // An I/O failure earlier in the statement must not silence the report.
  pendingIoError = 0;
  errorNumber = number;
  errorLocation = location;
  traceStart = start;
  normalEnd();
}

void normalEnd() {
  if (errorLocation != 0) writeErrorReport();
  host::removeFaultHook();
  host::exitProcess(errorNumber);
}

}  // namespace runtime
