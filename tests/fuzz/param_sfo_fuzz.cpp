// A PARAM.SFO as anything a disk can hold: the reader answers without reading past it.
#include "checked_bytes.h"
#include "formats/psp_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckedBytes file({reinterpret_cast<const char*>(data), size}, 64 * 1024);
    caldrift::readParamSfo(file);
    return 0;
}
