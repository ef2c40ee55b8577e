// A PSP file as anything a disk can hold: an EBOOT.PBP, a compressed disc image,
// a PARAM.SFO, and a disc image whose descriptor and root are the input, cut where
// the input ends. Each reader answers without reading past the file or its budget.
#include <string>

#include "checked_bytes.h"
#include "formats/psp_formats.h"
#include "psp_writer.h"

using namespace caldrift;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string kDiscStart = testing::iso({"PSP_GAME"}).substr(0, 16 * 2048);
    const std::string input(reinterpret_cast<const char*>(data), size), disc = kDiscStart + input;
    CheckedBytes eboot(input, kHeaderReadLimit), image(input, kHeaderReadLimit),
        sfo(input, 64 * 1024), iso(disc, kHeaderReadLimit);
    ebootReadable(eboot);
    compressedImageFits(image);
    readParamSfo(sfo);
    readIsoVolume(iso);
    return 0;
}
