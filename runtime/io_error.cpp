// The pending I/O error and the checks every stream operation starts with.

#include "runtime/host/host.hpp"
#include "runtime/stream_internals.hpp"

namespace runtime {

std::uint16_t pendingIoError = 0;

void failStream(std::uint16_t number) {
  pendingIoError = number;
}

// Windows codes 19 to 31 (write-protected to general failure) become 150 to
// 162 so that they do not collide with the program's own numbers; a sharing
// violation is reported as access denied.
std::uint16_t ioErrorForHostCode(std::uint32_t code) {
  if (code >= 19 && code <= 31) return static_cast<std::uint16_t>(code + 131);
  if (code == 32) return 5;
  return static_cast<std::uint16_t>(code);
}

void failFromHost() {
  failStream(ioErrorForHostCode(host::lastError()));
}

bool readyForOutput(const TextStream& stream) {
  if (pendingIoError != 0) return false;
  if (stream.state == StreamState::Output) return true;
  failStream(stream.state == StreamState::Closed ? 103 : 105);
  return false;
}

bool readyForInput(const TextStream& stream) {
  if (pendingIoError != 0) return false;
  if (stream.state == StreamState::Input) return true;
  failStream(stream.state == StreamState::Closed ? 103 : 104);
  return false;
}

}  // namespace runtime
