// A dump from any bytes through the line list, the cleaning and the split, with the checks
// that must hold whatever the bytes are. Shared by the fuzz target and a test over
// generated dumps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Byte 0 chooses the mode (bit 0: CSV) and the cleaning (bit 1: comment lines, bit 2: blank
// lines), bytes 1 and 2 the piece size (1 to 65536 bytes); the rest is the dump. Answers
// what failed, or "" when every check held.
std::string CheckDumpSplit(const uint8_t* data, size_t size);
