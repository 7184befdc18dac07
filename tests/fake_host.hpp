#pragma once
// A host that records every hand-over and delivers scripted input, so that
// tests see exactly which requests the run-time layer makes, and when.

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "runtime/host/host.hpp"

namespace fake {

using runtime::host::Handle;

constexpr Handle InputHandle = 10;
constexpr Handle OutputHandle = 11;
constexpr Handle ErrorHandle = 12;
constexpr Handle FirstFileHandle = 20;

// One write request: the bytes asked for and how many the fake wrote.
struct WriteRequest {
  Handle handle;
  std::string asked;
  std::uint32_t written;
};

struct Host {
  std::vector<WriteRequest> writes;  // every request, zero-byte ones included
  std::deque<std::string> reads;  // successive read requests deliver these; none left: end of input
  int readRequests = 0;
  std::uint32_t readFailure = 0;      // nonzero: every read request fails with this code
  std::set<Handle> characterDevices;  // handles the device test reports as character devices
  std::vector<std::string> openedNames;
  std::uint32_t openFailure = 0;  // nonzero: opening fails with this code
  Handle nextFile = FirstFileHandle;
  int failingWrite = -1;             // index of the write request that fails, writing nothing
  int shortWrite = -1;               // index of the write request that writes one byte short
  std::uint32_t writeFailure = 112;  // the code of the failing request
  bool closeFails = false;
  std::vector<Handle> closed;
  std::uint32_t lastError = 0;
};

// The fake every host call acts on.
Host& host();

// Starts a test with a fresh fake and freshly initialised standard streams.
void reset();

// Thrown by the fake's exitProcess, so a test sees how the run ended.
struct ProcessExit {
  std::uint16_t code;
};

// The bytes written to `handle`, all requests together.
std::string writtenTo(Handle handle);

}  // namespace fake
