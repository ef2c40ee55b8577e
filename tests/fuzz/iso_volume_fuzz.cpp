// A disc image whose descriptor and root are the input, cut where the input ends:
// the reader answers without reading past the file or its budget.
#include "checked_bytes.h"
#include "formats/psp_formats.h"
#include "psp_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string image = caldrift::testing::iso({"PSP_GAME"}).substr(0, 16 * 2048);
    image.append(reinterpret_cast<const char*>(data), size);
    CheckedBytes file(image, caldrift::kHeaderReadLimit);
    caldrift::readIsoVolume(file);
    return 0;
}
