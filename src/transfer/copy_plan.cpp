#include "transfer/copy_plan.h"

#include <algorithm>

#include "common/utf8.h"
#include "formats/psp_formats.h"
#include "transfer/destinations.h"
#include "transfer/fat_names.h"
#include "transfer/plugin_list.h"

namespace caldrift {

namespace {
StartCheck startCheckFor(const std::string& name) {
    if (isEboot(name)) return StartCheck::Game;
    DestinationRule rule = destinationFor(extensionOf(name));
    return rule.isDiscImage         ? StartCheck::Disc
           : rule.isCompressedImage ? StartCheck::Compressed
                                    : StartCheck::None;
}

// The stick's folders a release's own mirror: at its top, and in its PSP folder.
const std::initializer_list<const char*> kAtRoot = {"SEPLUGINS", "ISO"},
                                         kInPsp = {"GAME", "SAVEDATA", "THEME"};

// The stick's folder that a release's folder of this name mirrors, if any.
const char* mirroredFolder(const std::string& name, std::initializer_list<const char*> folders) {
    for (const char* folder : folders)
        if (utf8::equalsIgnoringAsciiCase(name, folder)) return folder;
    return nullptr;
}

std::string numbered(const std::string& name, int n) {
    return name + " (" + std::to_string(n) + ")";
}

bool holdsEboot(const FileSystem::Listing& listing) {
    return std::any_of(listing.files.begin(), listing.files.end(),
                       [](const FileSystem::ListedFile& f) { return isEboot(f.name); });
}
}  // namespace

FolderKind classify(const std::string& name, const FileSystem::Listing& listing,
                    const std::function<std::string(const std::string& sfo)>& category) {
    if (holdsEboot(listing)) return FolderKind::Game;
    const FileSystem::ListedFile* sfo = nullptr;
    for (const FileSystem::ListedFile& f : listing.files) {
        if (isPs1MemoryCard(f.name)) return FolderKind::Save;
        if (utf8::equalsIgnoringAsciiCase(f.name, "PARAM.SFO")) sfo = &f;
    }
    if (sfo) return category(sfo->name) == "MS" ? FolderKind::Save : FolderKind::ExtractedDisc;
    auto inPsp = [](const std::string& sub) { return mirroredFolder(sub, kInPsp) != nullptr; };
    if (mirroredFolder(name, kAtRoot) ||
        (utf8::equalsIgnoringAsciiCase(name, "PSP") &&
         std::any_of(listing.folders.begin(), listing.folders.end(), inPsp)))
        return FolderKind::LaidOut;
    return FolderKind::Media;
}

CopyPlan RunPlanner::plan(const QueueEntry& entry) {
    plan_ = {};
    visited_.clear();
    if (entry.kind == EntryKind::File) {
        file({entry.path, {}, 0, entry.file}, fs_.fileSize(entry.path), {}, {});
    } else {
        firstVisit(entry.path);
        folder(entry.path, entry.file, fs_.list(entry.path));
        if (plan_.files.empty() && plan_.leftOut.empty())
            leave(entry.file, EntryProblem::NothingToCopy);
    }
    return std::move(plan_);
}

bool RunPlanner::firstVisit(const std::string& folder) {
    std::string identity = fs_.folderIdentity(folder);
    return identity.empty() || visited_.insert(identity).second;
}

// A game goes whole under PSP\GAME; a save whole under PSP\SAVEDATA with its
// own name, which its game looks it up by; a release onto the stick's own
// folders; media file by file.
void RunPlanner::folder(const std::string& source, const std::string& item,
                        const FileSystem::Listing& listing, const std::string& inPsp) {
    if (!listing.ok) return leave(item, EntryProblem::NotFound);
    std::string name = nameOf(source);
    if (const char* mirrored = inPsp.empty() ? nullptr : mirroredFolder(name, kInPsp)) {
        walk(source, item, listing,
             {drive_ + "\\PSP\\" + mirrored + "\\", Policy::FileByFile, inPsp});
        return;
    }
    auto category = [&](const std::string& sfo) {
        std::unique_ptr<ByteSource> bytes = fs_.openForReading(source + "\\" + sfo);
        std::optional<SfoFields> fields = bytes ? readParamSfo(*bytes) : std::nullopt;
        return fields ? fields->category : std::string();
    };
    switch (classify(name, listing, category)) {
    case FolderKind::Game: {
        std::optional<std::string> into = folderFor(source, drive_ + kGameFolder);
        return into ? whole(source, item, listing, *into) : leave(item, EntryProblem::BadName);
    }
    case FolderKind::Save: {
        std::string into = drive_ + kSaveFolder + name;
        if (!isFatName(name)) return leave(item, EntryProblem::BadName);
        if (!claim(into, source)) return leave(item, EntryProblem::SameNameInRun);
        return whole(source, item, listing, into);
    }
    case FolderKind::ExtractedDisc: return leave(item, EntryProblem::ExtractedDisc);
    case FolderKind::LaidOut: {
        const char* mirrored = mirroredFolder(name, kAtRoot);  // else a PSP folder
        walk(source, item, listing,
             {mirrored ? drive_ + "\\" + mirrored + "\\" : "", Policy::FileByFile, item});
        return;
    }
    case FolderKind::Media: walk(source, item, listing, {}); return;
    }
}

// Accepted, a game's or save's files and claims are kept; refused, it holds no place.
void RunPlanner::whole(const std::string& source, const std::string& item,
                       const FileSystem::Listing& listing, const std::string& into) {
    std::size_t before = plan_.files.size();
    std::optional<EntryProblem> problem =
        fatKey(source, fs_) == fatKey(into, fs_)
            ? EntryProblem::AlreadyOnStick
            : walk(source, item, listing, {into + "\\", Policy::Whole});
    if (!problem && plan_.files.size() == before) problem = EntryProblem::NothingToCopy;
    settle(!problem);
    if (!problem) return;
    plan_.files.resize(before);
    leave(item, *problem);
}

// A folder's files, then its sub-folders: each as the folder it is in a walk by
// type, else into the same place one deeper. Whole, the first problem ends the
// walk and is returned.
std::optional<EntryProblem> RunPlanner::walk(const std::string& source, const std::string& item,
                                             const FileSystem::Listing& listing, const Into& into) {
    bool whole = into.policy == Policy::Whole;
    if (!listing.ok && whole) return EntryProblem::CopyFailed;
    if (!listing.ok) return leave(item, EntryProblem::NotFound), std::nullopt;
    for (const std::string& link : listing.links) leave(item + "\\" + link, EntryProblem::Link);
    for (const FileSystem::ListedFile& f : listing.files) {
        FileCopy copy{source + "\\" + f.name, {}, 0, whole ? item : item + "\\" + f.name};
        copy.whole = whole ? item : into.whole;
        if (std::optional<EntryProblem> problem = file(copy, f.size, into, source)) return problem;
    }
    for (const std::string& sub : listing.folders) {
        std::string from = source + "\\" + sub, named = item + "\\" + sub;
        if (into.folder.empty()) {
            if (firstVisit(from)) folder(from, named, fs_.list(from), into.whole);
        } else if (!isFatName(sub)) {
            if (whole) return EntryProblem::BadName;
            leave(named, EntryProblem::BadName);
        } else if (firstVisit(from)) {
            if (std::optional<EntryProblem> problem =
                    walk(from, whole ? item : named, fs_.list(from),
                         {into.folder + sub + "\\", into.policy, into.whole}))
                return problem;
        }
    }
    return std::nullopt;
}

// Plans one file. File by file, its claims are kept or dropped with it and its
// problem named; whole, the problem is returned.
std::optional<EntryProblem> RunPlanner::file(FileCopy copy, std::optional<std::uint64_t> size,
                                             const Into& into, const std::string& sourceFolder) {
    std::optional<EntryProblem> problem = check(copy, size, into, sourceFolder);
    if (!problem) plan_.files.push_back(copy);
    if (into.policy == Policy::Whole) return problem;
    settle(!problem);
    if (problem) leave(copy.item, *problem);
    return std::nullopt;
}

// A file's place, or why it has none. By type, it keeps the folder it came in
// under MUSIC, PICTURE and VIDEO (none for a dropped file); laid out, its own
// name; in a game or save, its name or a numbered one.
std::optional<EntryProblem> RunPlanner::check(FileCopy& copy, std::optional<std::uint64_t> size,
                                              const Into& into, const std::string& sourceFolder) {
    std::string name = nameOf(copy.source), folder = into.folder;
    if (!isFatName(name)) return EntryProblem::BadName;
    DestinationRule rule = destinationFor(extensionOf(name));
    bool byType = folder.empty(), laid = !byType && into.policy == Policy::FileByFile;
    if (byType && rule.kind == Destination::None) return EntryProblem::UnknownType;
    if (byType && rule.kind == Destination::HomebrewFolder) return EntryProblem::LoneEboot;
    if (!size) return EntryProblem::NotFound;
    if (*size > kLargestPspFile) return EntryProblem::TooLarge;
    copy.size = *size;
    DiscContent disc = DiscContent::Unreadable;
    if (byType && rule.isDiscImage) {
        std::unique_ptr<ByteSource> bytes = fs_.openForReading(copy.source);
        if (bytes) disc = readIsoVolume(*bytes).content;
    }
    if (byType) {
        // A UMD video's image goes where the firmware lists videos, beside the games.
        folder = drive_ + (disc == DiscContent::Video ? kIsoVideoFolder : rule.folder);
        if (rule.keepsItsFolder && !sourceFolder.empty()) {
            std::optional<std::string> own = folderFor(sourceFolder, folder);
            if (!own) return EntryProblem::BadName;
            folder = *own + "\\";
        }
        copy.video = rule.isVideo();
    }
    copy.start = into.policy == Policy::Whole
                     ? (isEboot(name) ? StartCheck::Game : StartCheck::None)
                     : startCheckFor(name);
    std::optional<std::string> list =
        laid && folder == drive_ + kPluginFolder + "\\" ? stickPluginList(name) : std::nullopt;
    copy.mergesLines = list.has_value();
    copy.destination = list ? *list : laid ? folder + name : fileFor(copy.source, folder);
    if (laid && !list && !claim(copy.destination, copy.source)) return EntryProblem::SameNameInRun;
    if (fatKey(copy.source, fs_) == fatKey(copy.destination, fs_))
        return EntryProblem::AlreadyOnStick;
    if (!fitsTheShell(copy.source) || !fitsTheShell(copy.destination))
        return EntryProblem::PathTooLong;
    if (disc == DiscContent::Game) copy.cso = compressedPlace(copy);
    return std::nullopt;
}

// The stick's own plugin list of this name, in whatever letter case it has there.
std::optional<std::string> RunPlanner::stickPluginList(const std::string& name) {
    if (!isPluginList(name)) return std::nullopt;
    for (const FileSystem::ListedFile& f : fs_.list(drive_ + kPluginFolder).files)
        if (utf8::equalsIgnoringAsciiCase(f.name, name))
            return drive_ + kPluginFolder + "\\" + f.name;
    return std::nullopt;
}

// Beside the image, by its name: a place no file of the stick or the run holds.
std::string RunPlanner::compressedPlace(const FileCopy& copy) {
    std::string name = nameOf(copy.destination);
    std::string stem = parentOf(copy.destination) + "\\" + name.substr(0, name.rfind('.'));
    for (int n = 1;; ++n) {
        std::string place = (n == 1 ? stem : numbered(stem, n)) + ".cso";
        if (!fitsTheShell(place)) return {};
        if (fs_.typeOf(place) == PathType::Missing && claim(place, copy.source)) return place;
    }
}

void RunPlanner::leave(const std::string& item, EntryProblem problem) {
    plan_.leftOut.push_back({item, problem});
}

// Holds a place for the source, unless another source of the run holds it.
bool RunPlanner::claim(const std::string& destination, const std::string& source) {
    std::string key = fatKey(destination, fs_);
    auto kept = claimed_.find(key);
    if (kept != claimed_.end()) return kept->second == source;
    return held_.emplace(key, source).first->second == source;
}

// Keeps the places held for an accepted item; a refused one's are free again.
void RunPlanner::settle(bool accepted) {
    if (accepted) claimed_.merge(held_);
    held_.clear();
}

// The folder a source folder's files take inside into: its own name, else
// "<parent> - <name>", then with " (2)", " (3)" after it.
std::optional<std::string> RunPlanner::folderFor(const std::string& source,
                                                 const std::string& into) {
    std::string name = nameOf(source);
    if (!isFatName(name)) return std::nullopt;
    if (claim(into + name, source)) return into + name;
    std::string parent = nameOf(parentOf(source));
    std::string longer = parent + " - " + name;
    if (!parent.empty() && parent.back() != ':' && isFatName(longer)) name = longer;
    if (claim(into + name, source)) return into + name;
    for (int n = 2;; ++n)
        if (claim(into + numbered(name, n), source)) return into + numbered(name, n);
}

// The place of a file in folder: its own name, else "<name> (2).<extension>" and on.
std::string RunPlanner::fileFor(const std::string& source, const std::string& folder) {
    std::string name = nameOf(source);
    if (claim(folder + name, source)) return folder + name;
    std::size_t dot = name.rfind('.');
    if (dot == 0 || dot == std::string::npos) dot = name.size();
    for (int n = 2;; ++n) {
        std::string destination = folder + numbered(name.substr(0, dot), n) + name.substr(dot);
        if (claim(destination, source)) return destination;
    }
}

std::set<std::string> missingFolders(const std::vector<FileCopy>& files, FileSystem& fs) {
    std::set<std::string> missing, there;
    for (const FileCopy& f : files)
        for (std::string folder = parentOf(f.destination); folder.find('\\') != std::string::npos;
             folder = parentOf(folder)) {
            if (missing.count(folder) || there.count(folder)) break;
            if (fs.typeOf(folder) == PathType::Folder) {
                there.insert(folder);
                break;
            }
            missing.insert(folder);
        }
    return missing;
}

// A FAT folder holds a 32-byte entry for each name in it, and a name's long
// form one more for each 13 UTF-16 units (counted for every name, short ones
// too). Each folder that gains entries is taken to have no room left in its
// last cluster, and each folder made to take one cluster before its entries.
std::uint64_t spaceNeeded(const std::vector<FileCopy>& files,
                          const std::vector<std::optional<FileStamp>>& before,
                          const std::set<std::string>& missing, std::uint64_t cluster) {
    if (cluster == 0) cluster = 1;
    auto clusters = [cluster](std::uint64_t size) { return (size + cluster - 1) / cluster; };
    std::map<std::string, std::uint64_t> gained;  // the bytes of entries each folder gains
    auto enter = [&gained](const std::string& path) {
        gained[parentOf(path)] += 32 * (1 + (utf8::toUtf16(nameOf(path)).size() + 12) / 13);
    };
    std::uint64_t grown = missing.size(), freed = 0;
    for (const std::string& folder : missing) enter(folder);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].compressed) grown += clusters(files[i].size);
        if (i < before.size() && before[i])
            freed += clusters(before[i]->size);
        else
            enter(files[i].destination);
    }
    for (const auto& [folder, bytes] : gained) grown += clusters(bytes);
    return grown > freed ? (grown - freed) * cluster : 0;
}

}  // namespace caldrift
