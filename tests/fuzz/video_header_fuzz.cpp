// A video file as anything a disk can hold: the header reader always answers,
// asks for no byte outside the file and for no more than 1 MiB in all.
#include "checked_bytes.h"
#include "common/language.h"
#include "transfer/video_header.h"

using namespace caldrift;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every text says something: its number will do.
    static const bool texts = (usePhrasebook([](int id) { return std::to_string(id); }), true);
    (void)texts;
    for (const char* extension : {"mp4", "avi"}) {
        CheckedBytes file({reinterpret_cast<const char*>(data), size}, kVideoReadLimit);
        VideoVerdict v = checkVideo(file, extension);
        if (v.plays != (v.recognised && v.reason.empty()) || (!v.plays && v.reason.empty()))
            std::abort();
    }
    return 0;
}
