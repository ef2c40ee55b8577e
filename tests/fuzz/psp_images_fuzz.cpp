// An EBOOT.PBP or a compressed disc image as anything a disk can hold: the
// readers answer without reading past the file or their budget.
#include "checked_bytes.h"
#include "formats/psp_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (bool (*reader)(caldrift::ByteSource&) :
         {caldrift::ebootReadable, caldrift::compressedImageFits}) {
        CheckedBytes file(bytes, caldrift::kHeaderReadLimit);
        reader(file);
    }
    return 0;
}
