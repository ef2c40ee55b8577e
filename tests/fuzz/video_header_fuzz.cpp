// A video file as anything a disk can hold: the header reader always answers,
// asks for no byte outside the file and for no more than 1 MiB in all.
#include <cstdlib>

#include "transfer/video_header.h"

using namespace caldrift;

struct Bytes : ByteSource {
    std::string_view data;
    std::uint64_t requested = 0;
    std::uint64_t size() override { return data.size(); }
    bool read(std::uint64_t offset, std::size_t count, std::string& out) override {
        requested += count;
        if (requested > kVideoReadLimit || offset > data.size() || count > data.size() - offset)
            std::abort();
        out = data.substr(offset, count);
        return true;
    }
};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const char* extension : {"mp4", "avi"}) {
        Bytes file;
        file.data = {reinterpret_cast<const char*>(data), size};
        VideoVerdict v = checkVideo(file, extension);
        if (v.plays != (v.recognised && v.reason.empty()) || (!v.plays && v.reason.empty()))
            std::abort();
    }
    return 0;
}
