// The recording host.

#include "tests/fake_host.hpp"

#include <algorithm>
#include <cstring>

#include "runtime/standard_streams.hpp"

namespace fake {

Host& host() {
  static Host instance;
  return instance;
}

void reset() {
  host() = Host{};
  runtime::runtimeInit();
}

std::string writtenTo(Handle handle) {
  std::string bytes;
  for (const auto& request : host().writes) {
    if (request.handle == handle) bytes += request.asked.substr(0, request.written);
  }
  return bytes;
}

}  // namespace fake

namespace runtime::host {

using fake::host;

void prepareProcess() {}

Handle standardHandle(StandardHandle which) {
  switch (which) {
    case StandardHandle::Input: return fake::InputHandle;
    case StandardHandle::Output: return fake::OutputHandle;
    case StandardHandle::Error: return fake::ErrorHandle;
  }
  return -1;
}

bool openForWriting(const char* name, Handle& opened) {
  host().openedNames.emplace_back(name);
  if (host().openFailure != 0) {
    host().lastError = host().openFailure;
    return false;
  }
  opened = host().nextFile++;
  return true;
}

bool read(Handle, void* into, std::uint32_t size, std::uint32_t& got) {
  ++host().readRequests;
  got = 0;
  if (host().readFailure != 0) {
    host().lastError = host().readFailure;
    return false;
  }
  if (host().reads.empty()) return true;
  std::string& next = host().reads.front();
  got = static_cast<std::uint32_t>(std::min<std::size_t>(size, next.size()));
  std::memcpy(into, next.data(), got);
  next.erase(0, got);
  if (next.empty()) host().reads.pop_front();
  return true;
}

bool write(Handle handle, const void* from, std::uint32_t size, std::uint32_t& written) {
  const auto index = static_cast<int>(host().writes.size());
  written = size;
  if (index == host().shortWrite && size > 0) written = size - 1;
  if (index == host().failingWrite) written = 0;
  host().writes.push_back({handle, std::string(static_cast<const char*>(from), size), written});
  if (index == host().failingWrite) {
    host().lastError = host().writeFailure;
    return false;
  }
  return true;
}

bool close(Handle handle) {
  host().closed.push_back(handle);
  if (host().closeFails) host().lastError = 31;
  return !host().closeFails;
}

bool isCharacterDevice(Handle handle) {
  return host().characterDevices.count(handle) != 0;
}

std::uint32_t lastError() {
  return host().lastError;
}

std::uint32_t codeLocation(const void* address) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address)) | 1;
}

const void* callerFrame(const void* frame) {
  return *static_cast<const void* const*>(frame);
}

void installFaultHook(FaultContinuation) {}

void removeFaultHook() {}

void exitProcess(std::uint16_t code) {
  throw fake::ProcessExit{code};
}

}  // namespace runtime::host
