#pragma once
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "formats/byte_source.h"

namespace caldrift {

// A file being written: bytes added at its end, and bytes put back in place.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool append(const std::string& bytes) = 0;
    virtual bool writeAt(std::uint64_t offset, const std::string& bytes) = 0;
};

constexpr std::uint32_t kCsoBlock = 2048;
constexpr std::uint64_t kCsoHeader = 24;

enum class CsoOutcome { Written, Cancelled, NoRoom, ReadFailed, WriteFailed, CheckFailed };

struct CsoResult {
    CsoOutcome outcome;
    std::uint64_t bytes = 0;  // of the CSO, once written
};

struct CsoOptions {
    std::uint64_t room = std::numeric_limits<std::uint64_t>::max();  // the CSO may not pass it
    unsigned workers = 2;
    // Source and compressed bytes held at once, whatever the image's size.
    std::uint64_t inFlight = 64u << 20;
    // Told the image's bytes done so far, several times a second; false cancels.
    std::function<bool(std::uint64_t done)> progress = [](std::uint64_t) { return true; };
};

// The index shift that keeps every offset of an image's CSO within 31 bits,
// whatever its blocks compress to: 0 up to 2 GiB, then 1.
unsigned csoShift(std::uint64_t imageBytes);

// Writes the image as a CSO, version 1: the header, one index entry per block
// and one past the last, then each block as raw deflate at zlib's best level,
// or as is where that is no smaller (the index entry's top bit). A last
// partial block is padded with zeros. Each compressed block is inflated again
// and compared with its source before it is written. Blocks are compressed on
// a pool of workers and written in order from the calling thread.
CsoResult writeCso(ByteSource& image, ByteSink& out, const CsoOptions& options);

}  // namespace caldrift
