// The host interface on Windows: kernel32 handles and calls, and a structured
// exception filter that hands processor faults to the program.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "runtime/host/host.hpp"

namespace runtime::host {

namespace {

HANDLE handleOf(Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// A fault the filter converts: the exception code, the run-time error it
// becomes, and whether the floating-point unit is reset before the report.
struct FaultRow {
  DWORD exceptionCode;
  FaultError errorNumber;
  bool floatingPoint;
};

// clang-format off
constexpr FaultRow FaultTable[] = {
    {STATUS_INTEGER_DIVIDE_BY_ZERO,  DivisionByZero,           false},
    {STATUS_FLOAT_DIVIDE_BY_ZERO,    DivisionByZero,           true},
    {STATUS_ARRAY_BOUNDS_EXCEEDED,   BoundsExceeded,           false},
    {STATUS_STACK_OVERFLOW,          StackOverflow,            false},
    {STATUS_FLOAT_OVERFLOW,          FloatingOverflow,         true},
    {STATUS_FLOAT_UNDERFLOW,         FloatingUnderflow,        true},
    {STATUS_FLOAT_INVALID_OPERATION, InvalidFloatingOperation, true},
    {STATUS_FLOAT_STACK_CHECK,       InvalidFloatingOperation, true},
    {STATUS_INTEGER_OVERFLOW,        IntegerOverflow,          false},
    {STATUS_ACCESS_VIOLATION,        AccessViolation,          false},
    {STATUS_FLOAT_DENORMAL_OPERAND,  AccessViolation,          true},
    {STATUS_SINGLE_STEP,             IllegalInstruction,       false},
    {STATUS_IN_PAGE_ERROR,           IllegalInstruction,       false},
    {STATUS_ILLEGAL_INSTRUCTION,     IllegalInstruction,       false},
    {STATUS_PRIVILEGED_INSTRUCTION,  IllegalInstruction,       false},
};
// clang-format on

// The row of `code` in the fault table, or null for a code left to the system.
const FaultRow* faultRowFor(DWORD code) {
  for (const FaultRow& row : FaultTable) {
    if (row.exceptionCode == code) return &row;
  }
  return nullptr;
}

// Steps `context` out of routines, by the unwind data the compiler leaves for
// each, until it leaves one that keeps a frame: its caller's frame pointer
// saved right below its return point.  Returns that frame, or null when the
// stack ends first.  GCC sets the frame pointer of a Windows routine below the
// registers it saves, so the saved one is no direct link to the caller's frame.
const void* nextFrame(CONTEXT& context) {
  constexpr int FramePointerRegister = 5;  // rbp, in the numbering of unwind data
  while (context.Rip != 0) {
    const DWORD64 stackPointer = context.Rsp;
    DWORD64 imageBase = 0;
    RUNTIME_FUNCTION* routine = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    KNONVOLATILE_CONTEXT_POINTERS restoredFrom{};
    if (routine == nullptr) {
      // A routine without unwind data calls nothing and saves nothing.
      context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
      context.Rsp += 8;
    } else {
      void* handlerData = nullptr;
      DWORD64 establisherFrame = 0;
      RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, routine, &context, &handlerData,
                       &establisherFrame, &restoredFrom);
    }
    if (context.Rsp <= stackPointer) return nullptr;
    const DWORD64 frame = context.Rsp - 16;
    if (restoredFrom.IntegerContext[FramePointerRegister] == reinterpret_cast<DWORD64*>(frame)) {
      return reinterpret_cast<const void*>(frame);
    }
  }
  return nullptr;
}

FaultContinuation faultContinuation = nullptr;

// What the filter keeps of a fault for the continuation.
const FaultRow* faultRow = nullptr;
const void* faultAddress = nullptr;
CONTEXT faultContext;

// The stack the continuation runs on.  After a stack overflow the thread's own
// stack has only the room kept back for dispatching it, so every continuation
// starts here, away from the stack whose levels the back-trace still walks.
// The error report needs far less.
alignas(16) unsigned char reserveStack[64 * 1024];

// Stack the system keeps back for dispatching a stack overflow to the filter
// (a few records of the thread's state and the handlers' frames, with room to
// spare); the call that sets it answers the previous size here.
ULONG overflowReserve = 64 * 1024;

// Handle of firstChanceFilter while it is installed.
void* firstChanceHandler = nullptr;

// Entered by the redirected thread as if called from nowhere: finds the frame
// of the routine that faulted and hands the fault to the continuation.
[[noreturn]] void continueAfterFault() {
  faultContinuation(
      {faultRow->errorNumber, faultRow->floatingPoint, faultAddress, nextFrame(faultContext)});
  __builtin_unreachable();
}

// The process's last exception handler: keeps a fault of the table and
// redirects the faulting thread to continueAfterFault on the reserve stack.
// It runs on what is left of the faulting stack, so it does no more.
LONG WINAPI faultFilter(EXCEPTION_POINTERS* exception) {
  faultRow = faultRowFor(exception->ExceptionRecord->ExceptionCode);
  if (faultRow == nullptr) return EXCEPTION_CONTINUE_SEARCH;
  faultAddress = exception->ExceptionRecord->ExceptionAddress;
  CONTEXT& context = *exception->ContextRecord;
  faultContext = context;
  // The state at a function's entry: a (null) return address just below the
  // 32-byte home area of its register arguments, on a 16-byte boundary.
  constexpr std::size_t HomeArea = 32;
  unsigned char* returnAddress = reserveStack + sizeof reserveStack - HomeArea - 8;
  *reinterpret_cast<DWORD64*>(returnAddress) = 0;
  context.Rsp = reinterpret_cast<DWORD64>(returnAddress);
  context.Rip = reinterpret_cast<DWORD64>(&continueAfterFault);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Hands the filter, before any frame's handler, the faults that would not
// reach it as the last handler: three codes that the MinGW start-up's own
// handler around main answers by resuming the faulting instruction, over and
// over; and a stack overflow, whose dispatch out through every frame can need
// more stack than is left (Wine keeps back two pages, whatever the guarantee
// asks).  No system routine raises these for a handler of its own to take.
LONG WINAPI firstChanceFilter(EXCEPTION_POINTERS* exception) {
  switch (exception->ExceptionRecord->ExceptionCode) {
    case STATUS_FLOAT_STACK_CHECK:
    case STATUS_INTEGER_OVERFLOW:
    case STATUS_ARRAY_BOUNDS_EXCEEDED:
    case STATUS_STACK_OVERFLOW: return faultFilter(exception);
    default: return EXCEPTION_CONTINUE_SEARCH;
  }
}

}  // namespace

void prepareProcess() {
  // A console program starts with its standard handles ready and its console
  // as the user set it up (code page included): there is nothing to change.
}

Handle standardHandle(StandardHandle which) {
  switch (which) {
    case StandardHandle::Input: return reinterpret_cast<Handle>(GetStdHandle(STD_INPUT_HANDLE));
    case StandardHandle::Output: return reinterpret_cast<Handle>(GetStdHandle(STD_OUTPUT_HANDLE));
    case StandardHandle::Error: return reinterpret_cast<Handle>(GetStdHandle(STD_ERROR_HANDLE));
  }
  return reinterpret_cast<Handle>(INVALID_HANDLE_VALUE);
}

bool openForWriting(const char* name, Handle& opened) {
  // The name with every '/' as '\'; an ANSI name longer than MAX_PATH is one
  // the system refuses anyway.
  char converted[MAX_PATH];
  std::size_t length = 0;
  for (; name[length] != '\0'; ++length) {
    if (length + 1 == sizeof converted) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return false;
    }
    converted[length] = name[length] == '/' ? '\\' : name[length];
  }
  converted[length] = '\0';

  // An inheritable handle, no security descriptor.  The length is the
  // record's size as this build lays it out: 24 bytes in a 64-bit program,
  // where a 32-bit one has 12.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE handle = CreateFileA(converted, GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  opened = reinterpret_cast<Handle>(handle);
  return true;
}

bool read(Handle handle, void* into, std::uint32_t size, std::uint32_t& got) {
  DWORD count = 0;
  const bool done = ReadFile(handleOf(handle), into, size, &count, nullptr);
  got = done ? count : 0;
  return done;
}

bool write(Handle handle, const void* from, std::uint32_t size, std::uint32_t& written) {
  DWORD count = 0;
  const bool done = WriteFile(handleOf(handle), from, size, &count, nullptr);
  written = count;
  return done;
}

bool close(Handle handle) {
  return CloseHandle(handleOf(handle));
}

bool isCharacterDevice(Handle handle) {
  return GetFileType(handleOf(handle)) == FILE_TYPE_CHAR;
}

std::uint32_t lastError() {
  return GetLastError();
}

std::uint32_t codeLocation(const void* address) {
  // The relative virtual address: the same wherever the image is loaded.
  const auto base = reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address) - base);
}

const void* callerFrame(const void* frame) {
  // The state the caller resumes in: at the return point, the stack pointer
  // just above it, and the frame pointer the routine saved.
  const auto* level = static_cast<const DWORD64*>(frame);
  CONTEXT context{};
  context.Rbp = level[0];
  context.Rip = level[1];
  context.Rsp = reinterpret_cast<DWORD64>(level + 2);
  return nextFrame(context);
}

void installFaultHook(FaultContinuation continuation) {
  faultContinuation = continuation;
  SetThreadStackGuarantee(&overflowReserve);
  SetUnhandledExceptionFilter(faultFilter);
  firstChanceHandler = AddVectoredExceptionHandler(1, firstChanceFilter);
}

void removeFaultHook() {
  SetUnhandledExceptionFilter(nullptr);
  RemoveVectoredExceptionHandler(firstChanceHandler);
}

void exitProcess(std::uint16_t code) {
  ExitProcess(code);
}

}  // namespace runtime::host
