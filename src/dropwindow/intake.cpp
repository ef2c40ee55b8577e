#include "dropwindow/intake.h"

#include "common/utf8.h"
#include "transfer/destinations.h"
#include "transfer/copy_plan.h"

namespace caldrift {

namespace {
// A path that is gone by now is judged by its name alone: a three-letter
// extension, or one of the table's four-letter ones, makes it a file.
std::optional<QueueEntry> classifyByName(const std::string& path, const std::string& name) {
    if (utf8::charFromEnd(name, 4) == ".")
        return QueueEntry{path, name, std::string(utf8::lastChars(name, 3)), EntryKind::File};
    std::string_view four = utf8::lastChars(name, 4);
    if (utf8::charFromEnd(name, 5) == "." && isFourLetterTableExtension(four))
        return QueueEntry{path, name, std::string(four), EntryKind::File};
    return std::nullopt;
}
}  // namespace

std::optional<QueueEntry> classifyDroppedPath(const std::string& path, FileSystem& fs) {
    std::string name = nameOf(path);
    if (name.empty()) return std::nullopt;  // a drive root or a path ending in a separator

    switch (fs.typeOf(path)) {
    case PathType::File: return QueueEntry{path, name, extensionOf(name), EntryKind::File};
    case PathType::Folder: {
        bool game = holdsEboot(fs.list(path));
        return QueueEntry{path, name, {}, game ? EntryKind::Homebrew : EntryKind::MediaFolder};
    }
    case PathType::Missing: break;
    }
    return classifyByName(path, name);
}

DropOutcome takeDrop(const std::vector<std::string>& paths, bool driveAssigned, FileSystem& fs,
                     TransferQueue& queue) {
    for (const std::string& path : paths)
        if (std::optional<QueueEntry> entry = classifyDroppedPath(path, fs))
            queue.append(std::move(*entry));
    return driveAssigned ? DropOutcome::StartTransfer : DropOutcome::AskForDrive;
}

}  // namespace caldrift
