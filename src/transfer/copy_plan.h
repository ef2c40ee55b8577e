#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "transfer/file_system.h"
#include "transfer/queue.h"

namespace caldrift {

// The PSP's FAT file system holds no file of 4 GiB or more.
constexpr std::uint64_t kLargestPspFile = 0xFFFFFFFFu;

enum class EntryProblem {
    DriveRoot,
    NotFound,
    UnknownType,
    LoneEboot,
    NothingToCopy,
    AlreadyOnStick,
    BadName,
    PathTooLong,
    TooLarge,
    NoSpace,
    NotReplaced,
    ExtractedDisc,
    SameNameInRun,
    CopyFailed,
    CopyCancelled,
    Link,
    NoBackupRoom,
};

// An item that did not land: a dropped item by its name, a file or game inside
// a dropped folder by its path from that folder's name.
struct UnfinishedItem {
    std::string name;
    EntryProblem problem;
};

// What is read of a copied file to tell whether the PSP will start it.
enum class StartCheck { None, Disc, Compressed, Game };

struct FileCopy {
    std::string source, destination;
    std::uint64_t size = 0;
    std::string item;    // named when the file does not land: itself, or its game
    bool video = false;  // checked for what the PSP plays once it is copied
    StartCheck start = StartCheck::None;
    bool mergesLines = false;  // a plugin list whose lines join the stick's own
    // The game, save or laid-out folder it lands with or not at all; empty on its own.
    std::string whole = {};
    // A PSP disc image's place as a CSO, should it go compressed; empty for any other file.
    std::string cso = {};
    bool compressed = false;  // destination is the CSO, written by the program itself
};

struct CopyPlan {
    std::vector<FileCopy> files;
    std::vector<UnfinishedItem> leftOut;
};

enum class FolderKind { Game, Save, ExtractedDisc, LaidOut, Media };

// What a folder is, from its name and listing: a game holds an EBOOT.PBP, a
// save a PS1 memory card or a PARAM.SFO of category MS (category reads the
// named PARAM.SFO, empty when it cannot), a disc's extracted files a PARAM.SFO
// of another; a release's SEPLUGINS, ISO, or PSP folder holding GAME, SAVEDATA
// or THEME is laid out like the stick.
FolderKind classify(const std::string& name, const FileSystem::Listing& listing,
                    const std::function<std::string(const std::string& sfo)>& category);

// Gives every file of a run its place on the stick in drive, entry by entry,
// so that no two sources of the run share one place.
class RunPlanner {
public:
    RunPlanner(FileSystem& fs, std::string drive) : fs_(fs), drive_(std::move(drive)) {}

    // What the entry copies where, and what it leaves out.
    CopyPlan plan(const QueueEntry& entry);

private:
    // Whole: the first problem refuses the whole item; file by file: each file
    // is named with its own.
    enum class Policy { Whole, FileByFile };
    // Where a walk puts files: below folder (ending in a backslash), names
    // kept, or each by its type when folder is empty.
    struct Into {
        std::string folder;
        Policy policy = Policy::FileByFile;
        // The laid-out folder its files belong to; by type, a release's PSP
        // folder, whose GAME, SAVEDATA and THEME are laid out.
        std::string whole = {};
    };

    bool firstVisit(const std::string& folder);
    void folder(const std::string& source, const std::string& item,
                const FileSystem::Listing& listing, const std::string& inPsp = {});
    void whole(const std::string& source, const std::string& item,
               const FileSystem::Listing& listing, const std::string& into);
    std::optional<EntryProblem> walk(const std::string& source, const std::string& item,
                                     const FileSystem::Listing& listing, const Into& into);
    std::optional<EntryProblem> file(FileCopy copy, std::optional<std::uint64_t> size,
                                     const Into& into, const std::string& sourceFolder);
    std::optional<EntryProblem> check(FileCopy& copy, std::optional<std::uint64_t> size,
                                      const Into& into, const std::string& sourceFolder);
    std::optional<std::string> stickPluginList(const std::string& name);
    std::string compressedPlace(const FileCopy& copy);
    void leave(const std::string& item, EntryProblem problem);
    bool claim(const std::string& destination, const std::string& source);
    void settle(bool accepted);
    std::optional<std::string> folderFor(const std::string& source, const std::string& into);
    std::string fileFor(const std::string& source, const std::string& folder);

    FileSystem& fs_;
    std::string drive_;
    CopyPlan plan_;
    std::set<std::string> visited_;  // folder identities, per entry
    // A place's FAT key and the source it holds: kept for the run, or held
    // for the item being planned until it is accepted.
    std::map<std::string, std::string> claimed_, held_;
};

// The folders on the way to the files that the stick does not hold yet.
std::set<std::string> missingFolders(const std::vector<FileCopy>& files, FileSystem& fs);

// The room the stick must grow by, in whole clusters, when the files replace
// what is already at their places and the missing folders are made. A
// compressed image counts only its folder entry: its bytes have the rest.
std::uint64_t spaceNeeded(const std::vector<FileCopy>& files,
                          const std::vector<std::optional<FileStamp>>& before,
                          const std::set<std::string>& missing, std::uint64_t cluster);

}  // namespace caldrift
