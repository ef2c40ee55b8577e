#pragma once
#include <cstdint>
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
};

struct CopyPlan {
    std::vector<FileCopy> files;
    std::vector<UnfinishedItem> leftOut;
};

bool holdsEboot(const FileSystem::Listing& listing);

// Gives every file of a run its place on the stick in drive, entry by entry,
// so that no two sources of the run share one place.
class RunPlanner {
public:
    RunPlanner(FileSystem& fs, std::string drive) : fs_(fs), drive_(std::move(drive)) {}

    // What the entry copies where, and what it leaves out.
    CopyPlan plan(const QueueEntry& entry);

private:
    bool firstVisit(const std::string& folder);
    void file(const std::string& source, const std::string& item, const std::string& extension,
              std::optional<std::uint64_t> size, const std::string& sourceFolder);
    void game(const std::string& source, const std::string& item,
              const FileSystem::Listing& listing);
    void save(const std::string& source, const std::string& item,
              const FileSystem::Listing& listing);
    void whole(const std::string& source, const std::string& item,
               const FileSystem::Listing& listing, const std::string& destination);
    bool laidLikeTheStick(const std::string& source, const std::string& item,
                          const FileSystem::Listing& listing);
    void layOnto(const std::string& source, const std::string& item,
                 const FileSystem::Listing& listing, const std::string& destination);
    void place(const FileCopy& copy);
    std::optional<std::string> stickPluginList(const std::string& name);
    bool savedGame(const std::string& source, const std::string& item,
                   const FileSystem::Listing& listing);
    std::string imageFolder(const std::string& source, const char* folder);
    std::optional<EntryProblem> gameTree(const std::string& source,
                                         const FileSystem::Listing& listing,
                                         const std::string& destination, const std::string& item,
                                         std::vector<FileCopy>& files);
    void mediaFolder(const std::string& source, const std::string& item);
    void leave(const std::string& item, EntryProblem problem);
    bool alreadyThere(const std::string& source, const std::string& destination,
                      const std::string& item);
    bool claim(const std::string& destination, const std::string& source);
    std::optional<std::string> folderFor(const std::string& source, const std::string& into);
    std::string fileFor(const std::string& source, const std::string& folder);

    FileSystem& fs_;
    std::string drive_;
    CopyPlan plan_;
    std::set<std::string> visited_;               // folder identities, per entry
    std::map<std::string, std::string> claimed_;  // a place's FAT key, and the source it holds
};

// The room the stick must grow by, in whole clusters, when the files replace
// what is already at their places.
std::uint64_t spaceNeeded(const std::vector<FileCopy>& files,
                          const std::vector<std::optional<FileStamp>>& before,
                          std::uint64_t cluster);

}  // namespace caldrift
