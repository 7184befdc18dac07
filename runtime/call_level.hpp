#pragma once
// A call level: the record each active routine keeps at its frame link, read
// by the back-trace of a run-time error.

namespace runtime {

struct CallLevel {
  const CallLevel* callerLink;  // the caller's level; the start-up's for the driver
  const void* returnPoint;      // where in the caller this call returns to
};

}  // namespace runtime
