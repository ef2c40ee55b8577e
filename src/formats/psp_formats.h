#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "formats/byte_source.h"

namespace caldrift {

// The text entries of a PARAM.SFO that tell what it belongs to.
struct SfoFields {
    std::string category;  // "MS" save data, "MG" Memory Stick game, "UG" disc game
    std::string title;
};

// From the SFO's bytes; none when its header, an entry or a key does not fit them.
std::optional<SfoFields> parseParamSfo(const std::string& bytes);
std::optional<SfoFields> readParamSfo(ByteSource& file);

enum class DiscContent { Unreadable, Game, Video, Other };

// What an ISO 9660 image's root holds, and how long its volume says it is.
struct DiscVolume {
    DiscContent content = DiscContent::Unreadable;
    std::uint64_t bytes = 0;
};
DiscVolume readIsoVolume(ByteSource& file);

// An EBOOT.PBP's header: its eight offsets in order within the file, and the
// PARAM.SFO they frame readable.
bool ebootReadable(ByteSource& file);

// A CSO, ZSO or DAX image's header and block index fit the file; a JSO's magic is there.
bool compressedImageFits(ByteSource& file);

}  // namespace caldrift
