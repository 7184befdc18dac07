#pragma once
// Run-time errors: the I/O check after every statement, the error report with
// its back-trace, and the normal end through which every run leaves.

#include <cstdint>

#include "runtime/call_level.hpp"

namespace runtime {

// Ends the program with run-time error pendingIoError if a statement left one;
// returns otherwise.  Call it after every input or output statement.
[[gnu::noinline]] void ioCheck();

// Ends the program with run-time error `number`: the error report, at code
// location `location`, with a back-trace from `traceStart` outward, on
// standard output; the number is the exit code.  Safe in a signal handler.
[[noreturn]] void runtimeError(std::uint16_t number, std::uint32_t location,
                               const CallLevel* traceStart);

// Ends the run: writes the error report if a run-time error was recorded,
// then ends the process with the exit code (0 after a clean run).
[[noreturn]] void normalEnd();

// Remembers the start-up's own level, the caller link of the driver, at
// which every back-trace stops.
void setOutermostLink(const CallLevel* startupLevel);

}  // namespace runtime
