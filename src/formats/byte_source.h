#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace caldrift {

// A file opened for reading; the file system implements it over a real file.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() = 0;
    // Exactly count bytes from offset into out; false when they cannot be read.
    virtual bool read(std::uint64_t offset, std::size_t count, std::string& out) = 0;
};

// No more than this is read of one file's header.
constexpr std::uint64_t kHeaderReadLimit = 1024 * 1024;

// Every read of a header goes through here: within the file and within a budget.
class BoundedReader {
public:
    BoundedReader(ByteSource& source, std::uint64_t budget)
        : source_(source), size_(source.size()), left_(budget) {}
    std::uint64_t size() const { return size_; }
    bool read(std::uint64_t offset, std::uint64_t count, std::string& out) {
        if (offset > size_ || count > size_ - offset || count > left_) return false;
        left_ -= count;
        out.clear();
        return source_.read(offset, static_cast<std::size_t>(count), out) && out.size() == count;
    }

private:
    ByteSource& source_;
    std::uint64_t size_;
    std::uint64_t left_;
};

// The unsigned value of bytes [at, at + count) of b, count up to 8; b must hold them.
inline std::uint64_t bigEndian(const std::string& b, std::size_t at, int count) {
    std::uint64_t v = 0;
    for (int i = 0; i < count; ++i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}
inline std::uint64_t littleEndian(const std::string& b, std::size_t at, int count) {
    std::uint64_t v = 0;
    for (int i = count - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

}  // namespace caldrift
