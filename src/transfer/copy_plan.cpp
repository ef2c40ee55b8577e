#include "transfer/copy_plan.h"

#include <optional>
#include <set>

#include "common/utf8.h"
#include "transfer/destinations.h"

namespace caldrift {

namespace {
class Planner {
public:
    Planner(FileSystem& fs, const std::string& drive) : fs_(fs), drive_(drive) {}

    CopyPlan plan;

    bool firstVisit(const std::string& folder) {
        std::string identity = fs_.folderIdentity(folder);
        return identity.empty() || visited_.insert(identity).second;
    }

    // A file goes by its type; under MUSIC, PICTURE and VIDEO it keeps the
    // folder it came in (none for a dropped file).
    void file(const std::string& source, const std::string& item, const std::string& extension,
              std::optional<std::uint64_t> size, const std::string& folder) {
        std::string name = nameOf(source);
        DestinationRule rule = destinationFor(extension);
        if (rule.kind == Destination::None) return leave(item, EntryProblem::UnknownType);
        if (rule.kind == Destination::HomebrewFolder) return leave(item, EntryProblem::LoneEboot);
        if (!size) return leave(item, EntryProblem::CopyFailed);
        if (*size > kLargestPspFile) return leave(item, EntryProblem::TooLarge);
        std::string into = rule.keepsItsFolder && !folder.empty() ? folder + "\\" : "";
        add({source, drive_ + rule.folder + into + name, *size, item, rule.isVideo()});
    }

    // A game is copied whole, with its folder name under PSP\GAME, or not at all.
    void game(const std::string& source, const std::string& item,
              const FileSystem::Listing& listing) {
        std::string destination = drive_ + kGameFolder + nameOf(source);
        if (alreadyThere(source, destination, item)) return;
        std::vector<FileCopy> files;
        std::optional<EntryProblem> problem = gameTree(source, listing, destination, item, files);
        if (!problem && files.empty()) problem = EntryProblem::NothingToCopy;
        if (problem) return leave(item, *problem);
        plan.files.insert(plan.files.end(), files.begin(), files.end());
    }

    void mediaFolder(const std::string& source, const std::string& item) {
        FileSystem::Listing listing = fs_.list(source);
        if (!listing.ok) return leave(item, EntryProblem::CopyFailed);
        if (holdsEboot(listing)) return game(source, item, listing);
        for (const FileSystem::ListedFile& f : listing.files)
            file(source + "\\" + f.name, item + "\\" + f.name, extensionOf(f.name), f.size,
                 nameOf(source));
        for (const std::string& sub : listing.folders)
            if (firstVisit(source + "\\" + sub))
                mediaFolder(source + "\\" + sub, item + "\\" + sub);
    }

    void leave(const std::string& item, EntryProblem problem) {
        plan.leftOut.push_back({item, problem});
    }

private:
    // A source that is its own destination (dragged from the stick) is never copied.
    bool alreadyThere(const std::string& source, const std::string& destination,
                      const std::string& item) {
        bool same = utf8::equalsIgnoringAsciiCase(source, destination);
        if (same) leave(item, EntryProblem::AlreadyOnStick);
        return same;
    }

    void add(FileCopy copy) {
        if (!alreadyThere(copy.source, copy.destination, copy.item))
            plan.files.push_back(std::move(copy));
    }

    std::optional<EntryProblem> gameTree(const std::string& source,
                                         const FileSystem::Listing& listing,
                                         const std::string& destination, const std::string& item,
                                         std::vector<FileCopy>& files) {
        if (!listing.ok) return EntryProblem::CopyFailed;
        for (const FileSystem::ListedFile& f : listing.files) {
            if (f.size > kLargestPspFile) return EntryProblem::TooLarge;
            files.push_back({source + "\\" + f.name, destination + "\\" + f.name, f.size, item});
        }
        for (const std::string& sub : listing.folders)
            if (firstVisit(source + "\\" + sub))
                if (auto problem = gameTree(source + "\\" + sub, fs_.list(source + "\\" + sub),
                                            destination + "\\" + sub, item, files))
                    return problem;
        return std::nullopt;
    }

    FileSystem& fs_;
    std::string drive_;
    std::set<std::string> visited_;
};
}  // namespace

bool holdsEboot(const FileSystem::Listing& listing) {
    for (const FileSystem::ListedFile& f : listing.files)
        if (isEboot(f.name)) return true;
    return false;
}

CopyPlan planCopy(const QueueEntry& entry, const std::string& drive, FileSystem& fs) {
    Planner planner(fs, drive);
    switch (entry.kind) {
    case EntryKind::File:
        planner.file(entry.path, entry.file, entry.ext, fs.fileSize(entry.path), {});
        break;
    case EntryKind::Homebrew:
        planner.firstVisit(entry.path);
        planner.game(entry.path, entry.file, fs.list(entry.path));
        break;
    case EntryKind::MediaFolder:
        planner.firstVisit(entry.path);
        planner.mediaFolder(entry.path, entry.file);
        if (planner.plan.files.empty() && planner.plan.leftOut.empty())
            planner.leave(entry.file, EntryProblem::NothingToCopy);
        break;
    }
    return planner.plan;
}

std::uint64_t spaceNeeded(const std::vector<FileCopy>& files, std::uint64_t cluster) {
    if (cluster == 0) cluster = 1;
    std::uint64_t total = 0;
    for (const FileCopy& f : files) total += (f.size + cluster - 1) / cluster * cluster;
    return total;
}

}  // namespace caldrift
