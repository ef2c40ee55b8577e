#include "transfer/destinations.h"

#include "common/utf8.h"

namespace caldrift {

namespace {
struct Row {
    const char* extension;
    Destination kind;
    const char* folder;
};

constexpr Row kTable[] = {
    {"jpg", Destination::File, "\\PICTURE\\"},
    {"bmp", Destination::File, "\\PICTURE\\"},
    {"jpeg", Destination::File, "\\PICTURE\\"},
    {"tiff", Destination::File, "\\PICTURE\\"},
    {"gif", Destination::File, "\\PICTURE\\"},
    {"png", Destination::File, "\\PICTURE\\"},
    {"aac", Destination::File, "\\MUSIC\\"},
    {"mp4", Destination::File, "\\VIDEO\\"},
    {"avi", Destination::File, "\\VIDEO\\"},
    {"mp3", Destination::File, "\\MUSIC\\"},
    {"wav", Destination::File, "\\MUSIC\\"},
    {"cso", Destination::File, "\\ISO\\"},
    {"dax", Destination::File, "\\ISO\\"},
    {"ptf", Destination::File, "\\PSP\\THEME\\"},
    {"ctf", Destination::File, "\\PSP\\THEME\\"},
    {"iso", Destination::File, "\\ISO\\"},
    {"pbp", Destination::HomebrewFolder, "\\PSP\\GAME\\"},
};
}  // namespace

DestinationRule destinationFor(std::string_view extension) {
    for (const Row& row : kTable)
        if (utf8::equalsIgnoringAsciiCase(extension, row.extension)) return {row.kind, row.folder};
    return {};
}

bool DestinationRule::isVideo() const { return folder && std::string_view(folder) == "\\VIDEO\\"; }

bool isFourLetterTableExtension(std::string_view extension) {
    return extension.size() == 4 && destinationFor(extension).kind == Destination::File;
}

}  // namespace caldrift
