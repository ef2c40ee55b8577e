#pragma once
#include <string>
#include <string_view>

namespace caldrift {

enum class Destination { None, File, HomebrewFolder };

// Where the PSP looks for games, each in a folder of its own.
constexpr const char* kGameFolder = "\\PSP\\GAME\\";
constexpr const char* kSaveFolder = "\\PSP\\SAVEDATA\\";
constexpr const char* kPluginFolder = "\\SEPLUGINS";
constexpr const char* kIsoVideoFolder = "\\ISO\\VIDEO\\";

struct DestinationRule {
    Destination kind = Destination::None;
    const char* folder = nullptr;  // like "\PICTURE\"
    // The PSP shows one level of folders here, so a file keeps the folder it came in.
    bool keepsItsFolder = false;
    bool isDiscImage = false;        // an ISO 9660 image: a game, or a UMD video
    bool isCompressedImage = false;  // CSO, ZSO, JSO or DAX
    bool isVideo() const;
};

// Where an extension goes on the stick. Letter case does not matter.
DestinationRule destinationFor(std::string_view extension);

bool isFourLetterTableExtension(std::string_view extension);

// What follows the name's last full stop; empty when there is none.
std::string extensionOf(const std::string& name);

// A PS1 save's memory card, as PS1 emulation on the PSP names it.
bool isPs1MemoryCard(std::string_view name);

// The file that makes a folder a homebrew game, in any letter case.
bool isEboot(std::string_view name);

}  // namespace caldrift
