#pragma once
// The process's standard handles and the four standard text streams, laid out
// statically so that nothing needs allocating before the error report works.

#include "runtime/host/host.hpp"
#include "runtime/text_stream.hpp"

namespace runtime {

// The handles the process started with, fetched once by runtimeInit.
struct StandardHandles {
  host::Handle input = 0;
  host::Handle output = 0;
  host::Handle error = 0;
};
extern StandardHandles standardHandles;

extern TextStream inputStream;          // standard input; the reply is read from it
extern TextStream reportStream;         // standard output until bound to a name
extern TextStream errorStream;          // standard output; carries only the error report
extern TextStream standardErrorStream;  // standard error; nothing writes to it

// Fetches the standard handles, opens the four standard streams on them and
// clears the pending I/O error.  A program's first act.
void runtimeInit();

}  // namespace runtime
