#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/byte_source.h"

namespace caldrift {

// What the header says, as written in the file.
struct VideoDetails {
    std::string container;  // "MP4" or "AVI"
    std::string codec;      // sample entry type ("avc1", "mp4v") or biCompression ("MJPG")
    int profile = -1;       // AVC profile_idc or MPEG-4 Visual profile_and_level_indication
    int level = -1;         // AVC level_idc
    int objectType = -1;    // an mp4v's objectTypeIndication (0x20: MPEG-4 Visual)
    int width = 0;
    int height = 0;        // positive even when the AVI stores it negative
    std::string audio;     // sample entry type ("mp4a", "ac-3"), "auds" in an AVI; empty: none
    int audioFormat = -1;  // mp4a objectTypeIndication or the AVI's wFormatTag
};

struct VideoVerdict {
    bool recognised = false;
    bool plays = false;
    // Empty when it plays. Otherwise "<codec>[ <level>], <width>×<height>[, audio <sound>]",
    // the level only when the profile plays but the level does not, the sound only when it
    // does not play; the text that the format was not recognised when the header could not be read.
    std::string reason;
    VideoDetails details;
};

// Whether the PSP plays the file: MP4 (H.264 Baseline/Main up to level 3.0, or MPEG-4
// Simple; AAC or no sound) or AVI (Motion JPEG; PCM, mu-law or no sound), at most 720×480.
// The first bytes tell the format; the extension only lets an MP4-family file that starts
// with an unusual box be tried as MP4.
VideoVerdict checkVideo(ByteSource& file, std::string_view extension);

}  // namespace caldrift
