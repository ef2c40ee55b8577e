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

// The stick's folder that a release's folder of this name mirrors, if any.
const char* mirroredFolder(const std::string& name, std::initializer_list<const char*> folders) {
    for (const char* folder : folders)
        if (utf8::equalsIgnoringAsciiCase(name, folder)) return folder;
    return nullptr;
}

std::string numbered(const std::string& name, int n) {
    return name + " (" + std::to_string(n) + ")";
}
}  // namespace

bool holdsEboot(const FileSystem::Listing& listing) {
    for (const FileSystem::ListedFile& f : listing.files)
        if (isEboot(f.name)) return true;
    return false;
}

CopyPlan RunPlanner::plan(const QueueEntry& entry) {
    plan_ = {};
    visited_.clear();
    switch (entry.kind) {
    case EntryKind::File:
        file(entry.path, entry.file, entry.ext, fs_.fileSize(entry.path), {});
        break;
    case EntryKind::Homebrew:
        firstVisit(entry.path);
        game(entry.path, entry.file, fs_.list(entry.path));
        break;
    case EntryKind::MediaFolder:
        firstVisit(entry.path);
        mediaFolder(entry.path, entry.file);
        if (plan_.files.empty() && plan_.leftOut.empty())
            leave(entry.file, EntryProblem::NothingToCopy);
        break;
    }
    return std::move(plan_);
}

bool RunPlanner::firstVisit(const std::string& folder) {
    std::string identity = fs_.folderIdentity(folder);
    return identity.empty() || visited_.insert(identity).second;
}

// A file goes by its type; under MUSIC, PICTURE and VIDEO it keeps the folder
// it came in (none for a dropped file).
void RunPlanner::file(const std::string& source, const std::string& item,
                      const std::string& extension, std::optional<std::uint64_t> size,
                      const std::string& sourceFolder) {
    if (!isFatName(nameOf(source))) return leave(item, EntryProblem::BadName);
    DestinationRule rule = destinationFor(extension);
    if (rule.kind == Destination::None) return leave(item, EntryProblem::UnknownType);
    if (rule.kind == Destination::HomebrewFolder) return leave(item, EntryProblem::LoneEboot);
    if (!size) return leave(item, EntryProblem::NotFound);
    if (*size > kLargestPspFile) return leave(item, EntryProblem::TooLarge);
    std::string folder =
        drive_ + (rule.isDiscImage ? imageFolder(source, rule.folder) : rule.folder);
    if (rule.keepsItsFolder && !sourceFolder.empty()) {
        std::optional<std::string> own = folderFor(sourceFolder, folder);
        if (!own) return leave(item, EntryProblem::BadName);
        folder = *own + "\\";
    }
    place({source, fileFor(source, folder), *size, item, rule.isVideo(),
           startCheckFor(nameOf(source))});
}

void RunPlanner::place(const FileCopy& copy) {
    if (alreadyThere(copy.source, copy.destination, copy.item)) return;
    if (!fitsTheShell(copy.source) || !fitsTheShell(copy.destination))
        return leave(copy.item, EntryProblem::PathTooLong);
    plan_.files.push_back(copy);
}

// A game is copied whole, with its folder name under PSP\GAME, or not at all.
void RunPlanner::game(const std::string& source, const std::string& item,
                      const FileSystem::Listing& listing) {
    if (!listing.ok) return leave(item, EntryProblem::NotFound);
    std::optional<std::string> destination = folderFor(source, drive_ + kGameFolder);
    if (!destination) return leave(item, EntryProblem::BadName);
    whole(source, item, listing, *destination);
}

// A save keeps its folder's name, which its game looks it up by.
void RunPlanner::save(const std::string& source, const std::string& item,
                      const FileSystem::Listing& listing) {
    std::string name = nameOf(source), destination = drive_ + kSaveFolder + name;
    if (!isFatName(name)) return leave(item, EntryProblem::BadName);
    if (!claim(destination, source)) return leave(item, EntryProblem::SameNameInRun);
    whole(source, item, listing, destination);
}

void RunPlanner::whole(const std::string& source, const std::string& item,
                       const FileSystem::Listing& listing, const std::string& destination) {
    if (alreadyThere(source, destination, item)) return;
    std::vector<FileCopy> files;
    std::optional<EntryProblem> problem = gameTree(source, listing, destination, item, files);
    if (!problem && files.empty()) problem = EntryProblem::NothingToCopy;
    if (problem) return leave(item, *problem);
    plan_.files.insert(plan_.files.end(), files.begin(), files.end());
}

std::optional<EntryProblem> RunPlanner::gameTree(const std::string& source,
                                                 const FileSystem::Listing& listing,
                                                 const std::string& destination,
                                                 const std::string& item,
                                                 std::vector<FileCopy>& files) {
    if (!listing.ok) return EntryProblem::CopyFailed;
    for (const FileSystem::ListedFile& f : listing.files) {
        std::string from = source + "\\" + f.name;
        if (!isFatName(f.name)) return EntryProblem::BadName;
        if (f.size > kLargestPspFile) return EntryProblem::TooLarge;
        std::string to = fileFor(from, destination + "\\");
        if (!fitsTheShell(from) || !fitsTheShell(to)) return EntryProblem::PathTooLong;
        files.push_back(
            {from, to, f.size, item, false, isEboot(f.name) ? StartCheck::Game : StartCheck::None});
    }
    for (const std::string& sub : listing.folders) {
        std::string from = source + "\\" + sub;
        if (!isFatName(sub)) return EntryProblem::BadName;
        if (firstVisit(from))
            if (auto problem =
                    gameTree(from, fs_.list(from), destination + "\\" + sub, item, files))
                return problem;
    }
    return std::nullopt;
}

void RunPlanner::mediaFolder(const std::string& source, const std::string& item) {
    FileSystem::Listing listing = fs_.list(source);
    if (!listing.ok) return leave(item, EntryProblem::NotFound);
    if (holdsEboot(listing)) return game(source, item, listing);
    if (savedGame(source, item, listing) || laidLikeTheStick(source, item, listing)) return;
    for (const FileSystem::ListedFile& f : listing.files)
        file(source + "\\" + f.name, item + "\\" + f.name, extensionOf(f.name), f.size, source);
    for (const std::string& sub : listing.folders)
        if (firstVisit(source + "\\" + sub)) mediaFolder(source + "\\" + sub, item + "\\" + sub);
}

// A release's SEPLUGINS or ISO folder, or a PSP folder's GAME, SAVEDATA and
// THEME, onto the stick's own folders, every name kept. True when it is one.
bool RunPlanner::laidLikeTheStick(const std::string& source, const std::string& item,
                                  const FileSystem::Listing& listing) {
    if (const char* mirrored = mirroredFolder(nameOf(source), {"SEPLUGINS", "ISO"}))
        return layOnto(source, item, listing, drive_ + "\\" + mirrored), true;
    auto inPsp = [](const std::string& sub) {
        return mirroredFolder(sub, {"GAME", "SAVEDATA", "THEME"});
    };
    if (!utf8::equalsIgnoringAsciiCase(nameOf(source), "PSP") ||
        std::none_of(listing.folders.begin(), listing.folders.end(), inPsp))
        return false;
    for (const FileSystem::ListedFile& f : listing.files)
        file(source + "\\" + f.name, item + "\\" + f.name, extensionOf(f.name), f.size, source);
    for (const std::string& sub : listing.folders) {
        std::string from = source + "\\" + sub;
        if (!firstVisit(from)) continue;
        if (const char* mirrored = inPsp(sub))
            layOnto(from, item + "\\" + sub, fs_.list(from), drive_ + "\\PSP\\" + mirrored);
        else
            mediaFolder(from, item + "\\" + sub);
    }
    return true;
}

void RunPlanner::layOnto(const std::string& source, const std::string& item,
                         const FileSystem::Listing& listing, const std::string& destination) {
    if (!listing.ok) return leave(item, EntryProblem::NotFound);
    for (const FileSystem::ListedFile& f : listing.files) {
        std::string from = source + "\\" + f.name, to = destination + "\\" + f.name;
        std::string named = item + "\\" + f.name;
        if (!isFatName(f.name))
            leave(named, EntryProblem::BadName);
        else if (f.size > kLargestPspFile)
            leave(named, EntryProblem::TooLarge);
        else if (auto list =
                     destination == drive_ + kPluginFolder ? stickPluginList(f.name) : std::nullopt)
            place({from, *list, f.size, named, false, StartCheck::None, true});
        else if (!claim(to, from))
            leave(named, EntryProblem::SameNameInRun);
        else
            place({from, to, f.size, named, false, startCheckFor(f.name)});
    }
    for (const std::string& sub : listing.folders) {
        std::string from = source + "\\" + sub;
        if (!isFatName(sub))
            leave(item + "\\" + sub, EntryProblem::BadName);
        else if (firstVisit(from))
            layOnto(from, item + "\\" + sub, fs_.list(from), destination + "\\" + sub);
    }
}

// The stick's own plugin list of this name, in whatever letter case it has there.
std::optional<std::string> RunPlanner::stickPluginList(const std::string& name) {
    if (!isPluginList(name)) return std::nullopt;
    for (const FileSystem::ListedFile& f : fs_.list(drive_ + kPluginFolder).files)
        if (utf8::equalsIgnoringAsciiCase(f.name, name))
            return drive_ + kPluginFolder + "\\" + f.name;
    return std::nullopt;
}

// A folder with a PARAM.SFO or a PS1 memory card and no EBOOT.PBP: a save when
// it is one, else a disc's extracted files, which no firmware starts. True when
// the folder is either.
bool RunPlanner::savedGame(const std::string& source, const std::string& item,
                           const FileSystem::Listing& listing) {
    std::optional<std::string> sfo;
    for (const FileSystem::ListedFile& f : listing.files) {
        if (isPs1MemoryCard(f.name)) return save(source, item, listing), true;
        if (utf8::equalsIgnoringAsciiCase(f.name, "PARAM.SFO")) sfo = source + "\\" + f.name;
    }
    if (!sfo) return false;
    std::unique_ptr<ByteSource> bytes = fs_.openForReading(*sfo);
    std::optional<SfoFields> fields = bytes ? readParamSfo(*bytes) : std::nullopt;
    if (fields && fields->category == "MS") return save(source, item, listing), true;
    leave(item, EntryProblem::ExtractedDisc);
    return true;
}

// A UMD video's image goes where the firmware lists videos, beside the games.
std::string RunPlanner::imageFolder(const std::string& source, const char* folder) {
    std::unique_ptr<ByteSource> bytes = fs_.openForReading(source);
    if (bytes && readIsoVolume(*bytes).content == DiscContent::Video) return kIsoVideoFolder;
    return folder;
}

void RunPlanner::leave(const std::string& item, EntryProblem problem) {
    plan_.leftOut.push_back({item, problem});
}

// A source that is its own destination (dragged from the stick) is never copied.
bool RunPlanner::alreadyThere(const std::string& source, const std::string& destination,
                              const std::string& item) {
    bool same = fatKey(source) == fatKey(destination);
    if (same) leave(item, EntryProblem::AlreadyOnStick);
    return same;
}

// Takes a place for the source, unless another source of the run holds it.
bool RunPlanner::claim(const std::string& destination, const std::string& source) {
    return claimed_.emplace(fatKey(destination), source).first->second == source;
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

std::uint64_t spaceNeeded(const std::vector<FileCopy>& files,
                          const std::vector<std::optional<FileStamp>>& before,
                          std::uint64_t cluster) {
    if (cluster == 0) cluster = 1;
    auto whole = [cluster](std::uint64_t size) { return (size + cluster - 1) / cluster * cluster; };
    std::uint64_t grown = 0, freed = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        grown += whole(files[i].size);
        if (i < before.size() && before[i]) freed += whole(before[i]->size);
    }
    return grown > freed ? grown - freed : 0;
}

}  // namespace caldrift
