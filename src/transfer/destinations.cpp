#include "transfer/destinations.h"

#include "common/utf8.h"

namespace caldrift {

namespace {
struct Row {
    const char* extension;
    Destination kind;
    const char* folder;
};

const char* const kPicture = "\\PICTURE\\";
const char* const kMusic = "\\MUSIC\\";
const char* const kVideo = "\\VIDEO\\";
const char* const kIso = "\\ISO\\";
const char* const kTheme = "\\PSP\\THEME\\";
const char* const kPlugins = "\\SEPLUGINS\\";

constexpr Destination kFile = Destination::File;

const Row kTable[] = {
    {"jpg", kFile, kPicture},  {"bmp", kFile, kPicture},
    {"jpeg", kFile, kPicture}, {"tiff", kFile, kPicture},
    {"tif", kFile, kPicture},  {"gif", kFile, kPicture},
    {"png", kFile, kPicture},  {"aac", kFile, kMusic},
    {"m4a", kFile, kMusic},    {"wma", kFile, kMusic},
    {"oma", kFile, kMusic},    {"omg", kFile, kMusic},
    {"aa3", kFile, kMusic},    {"at3", kFile, kMusic},
    {"mp4", kFile, kVideo},    {"avi", kFile, kVideo},
    {"mp3", kFile, kMusic},    {"wav", kFile, kMusic},
    {"cso", kFile, kIso},      {"dax", kFile, kIso},
    {"zso", kFile, kIso},      {"jso", kFile, kIso},
    {"ptf", kFile, kTheme},    {"ctf", kFile, kTheme},
    {"iso", kFile, kIso},      {"img", kFile, kIso},
    {"prx", kFile, kPlugins},  {"pbp", Destination::HomebrewFolder, kGameFolder},
};
}  // namespace

DestinationRule destinationFor(std::string_view extension) {
    for (const Row& row : kTable)
        if (utf8::equalsIgnoringAsciiCase(extension, row.extension)) {
            std::string_view folder = row.folder;
            bool keepsItsFolder = folder == kPicture || folder == kMusic || folder == kVideo;
            bool isDiscImage = utf8::equalsIgnoringAsciiCase(extension, "iso") ||
                               utf8::equalsIgnoringAsciiCase(extension, "img");
            bool isCompressedImage = folder == kIso && !isDiscImage;
            return {row.kind, row.folder, keepsItsFolder, isDiscImage, isCompressedImage};
        }
    return {};
}

bool DestinationRule::isVideo() const { return folder && std::string_view(folder) == kVideo; }

bool isFourLetterTableExtension(std::string_view extension) {
    return extension.size() == 4 && destinationFor(extension).kind == Destination::File;
}

std::string extensionOf(const std::string& name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool isPs1MemoryCard(std::string_view name) {
    return utf8::equalsIgnoringAsciiCase(name, "SCEVMC0.VMP") ||
           utf8::equalsIgnoringAsciiCase(name, "SCEVMC1.VMP");
}

bool isEboot(std::string_view name) { return utf8::equalsIgnoringAsciiCase(name, "EBOOT.PBP"); }

}  // namespace caldrift
