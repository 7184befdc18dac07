#pragma once
// The start-up: the process entry hands it the program's driver.

namespace runtime {

// Prepares the process and the floating-point unit, then runs `driver` as the
// outermost level of every back-trace.  The driver ends the run itself with
// normalEnd(); should it return, the run ends normally here.
[[noreturn]] void startProgram(void (*driver)());

}  // namespace runtime
