#pragma once

// The tally file container: the tag "WRZL", the original size (32-bit,
// little-endian), then the data in blocks of 32 KiB, each a 16-bit body
// length and a body of the block codec. A size that is a multiple of 32 KiB
// ends with an empty block. Errors carry the texts the game has always shown.

#include "base/result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmora::tallyfile {

inline constexpr std::uint64_t kMaxOriginalSize = 0xFFFFFFFFu;

// Codes data into a whole container; fails only for more than 4 GiB.
Result<std::vector<std::uint8_t>> compress(std::span<const std::uint8_t> data);

// Expands a whole container. inputName goes into the error texts. Data
// that would expand beyond maxSize is refused before it is expanded.
Result<std::vector<std::uint8_t>> expand(std::span<const std::uint8_t> file, const std::string& inputName,
                                         std::uint64_t maxSize = kMaxOriginalSize);

// File to file; returns the number of bytes written. The output appears
// complete or not at all: after a failure an existing output file is as it
// was, and no partial file is left behind. Input and output may be the same.
Result<std::uint64_t> compressFile(const std::string& input, const std::string& output);
Result<std::uint64_t> expandFile(const std::string& input, const std::string& output);

// Reads a whole file of at most maxSize bytes (the error texts of expansion).
Result<std::vector<std::uint8_t>> readFile(const std::string& name, std::uint64_t maxSize);
// Replaces a file with data, whole or not at all.
Status writeFile(const std::string& name, std::span<const std::uint8_t> data);

} // namespace velmora::tallyfile
