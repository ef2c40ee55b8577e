// A file as anything a disk can hold, given to each reader of file headers: an
// EBOOT.PBP, a compressed disc image, a PARAM.SFO, a disc image whose descriptor
// and root are the input, and a video as MP4 and as AVI. Each reader answers
// without reading past the file or its budget; a video that may not play says why.
#include <cstdlib>
#include <string>

#include "checked_bytes.h"
#include "common/language.h"
#include "formats/psp_formats.h"
#include "psp_writer.h"
#include "formats/video_header.h"

using namespace caldrift;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string kDiscStart = testing::iso({"PSP_GAME"}).substr(0, 16 * 2048);
    // Every text says something: its number will do.
    usePhrasebook([](int id) { return std::to_string(id); });
    const std::string input(reinterpret_cast<const char*>(data), size), disc = kDiscStart + input;
    CheckedBytes eboot(input, kHeaderReadLimit), image(input, kHeaderReadLimit),
        sfo(input, 64 * 1024), iso(disc, kHeaderReadLimit);
    ebootReadable(eboot);
    compressedImageFits(image);
    readParamSfo(sfo);
    readIsoVolume(iso);
    for (const char* extension : {"mp4", "avi"}) {
        CheckedBytes video(input, kHeaderReadLimit);
        VideoVerdict v = checkVideo(video, extension);
        if (v.plays != (v.recognised && v.reason.empty()) || (!v.plays && v.reason.empty()))
            std::abort();
    }
    return 0;
}
