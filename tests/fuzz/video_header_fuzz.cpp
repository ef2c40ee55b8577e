// A video file as anything a disk can hold: the header reader always answers,
// asks for no byte outside the file and for no more than 1 MiB in all.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "transfer/video_header.h"

namespace {
using namespace caldrift;

class Bytes : public ByteSource {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t size() override { return size_; }
    bool read(std::uint64_t offset, std::size_t count, std::string& out) override {
        requested_ += count;
        if (requested_ > kVideoReadLimit || offset > size_ || count > size_ - offset) std::abort();
        out.assign(reinterpret_cast<const char*>(data_) + offset, count);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::uint64_t requested_ = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const char* extension : {"mp4", "avi"}) {
        Bytes file(data, size);
        VideoVerdict v = checkVideo(file, extension);
        if (v.plays != (v.recognised && v.reason.empty())) std::abort();
        if (!v.plays && v.reason.empty()) std::abort();
    }
    return 0;
}
