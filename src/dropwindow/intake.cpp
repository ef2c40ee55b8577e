#include "dropwindow/intake.h"

#include "common/utf8.h"
#include "transfer/destinations.h"

namespace caldrift {

namespace {
const char* const kEbootSpellings[] = {"\\EBOOT.PBP", "\\EBOOT.pbp", "\\Eboot.pbp",
                                       "\\Eboot.PBP", "\\eboot.PBP", "\\eboot.pbp"};

bool holdsEboot(const std::string& folder, FileSystem& fs) {
    bool found = false;
    for (const char* spelling : kEbootSpellings)
        if (fs.fileExists(folder + spelling)) found = true;
    return found;
}
}  // namespace

QueueEntry classifyDroppedPath(const std::string& path, FileSystem& fs, ItemKind& kind) {
    kind = ItemKind::Ignored;
    std::size_t slash = path.rfind('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return {};  // a drive root or a path ending in a separator

    if (utf8::charFromEnd(name, 4) == ".") {
        kind = ItemKind::File;
        return {path, name, std::string(utf8::lastChars(name, 3))};
    }
    std::string_view four = utf8::lastChars(name, 4);
    if (utf8::charFromEnd(name, 5) == "." && isFourLetterTableExtension(four)) {
        kind = ItemKind::File;
        return {path, name, std::string(four)};
    }
    if (holdsEboot(path, fs)) {
        kind = ItemKind::Homebrew;
        return {path, name, kHomebrewExtension};
    }
    return {};
}

DropOutcome takeDrop(const std::vector<std::string>& paths, bool driveAssigned, FileSystem& fs,
                     TransferQueue& queue) {
    for (const std::string& path : paths) {
        ItemKind kind;
        QueueEntry entry = classifyDroppedPath(path, fs, kind);
        if (kind != ItemKind::Ignored) queue.append(std::move(entry));
    }
    return driveAssigned ? DropOutcome::StartTransfer : DropOutcome::AskForDrive;
}

}  // namespace caldrift
