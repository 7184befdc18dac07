#pragma once
// A call level: the record each active routine keeps at its frame (see
// host::callerFrame), read by the back-trace of a run-time error.

namespace runtime {

struct CallLevel {
  const void* savedFramePointer;  // the caller's, as saved; host::callerFrame
                                  // finds the caller's level from it
  const void* returnPoint;        // where in the caller this call returns to
};

}  // namespace runtime
