#pragma once
// The pieces the stream operations share: the one path that hands bytes to the
// operating system, buffer filling, refilling, and the recording of failures.

#include <cstdint>

#include "runtime/text_stream.hpp"

namespace runtime {

// Records `number` as the pending I/O error.
void failStream(std::uint16_t number);

// Records the operating system's reason for the failed call just made, in the
// program's numbering.
void failFromHost();

// The program's error number for the Windows system error code `code`.
std::uint16_t ioErrorForHostCode(std::uint32_t code);

// Whether an output operation may proceed: no error pending and the stream
// open for output (otherwise records 103 or 105).
bool readyForOutput(const TextStream& stream);

// Whether an input operation may proceed: no error pending and the stream open
// for input (otherwise records 103 or 104).
bool readyForInput(const TextStream& stream);

// Makes one write request for every byte the buffer holds, zero included, and
// empties it; a failed or short request leaves 101.
void handOver(TextStream& stream);

// Appends `size` bytes; whenever the buffer is full and more remain, it is
// handed over first.  Stops at a failed hand-over.
void putBytes(TextStream& stream, const char* bytes, std::uint32_t size);

// Appends `count` blanks, handing over as putBytes does.
void putBlanks(TextStream& stream, std::uint32_t count);

// Whether the input buffer holds an untaken byte, refilling it with one read
// request when it is used up.  False at end of input or after a failed read.
bool refillIfUsed(TextStream& stream);

}  // namespace runtime
