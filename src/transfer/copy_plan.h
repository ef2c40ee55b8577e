#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "transfer/queue.h"

namespace caldrift {

// The PSP's FAT file system holds no file of 4 GiB or more.
constexpr std::uint64_t kLargestPspFile = 0xFFFFFFFFu;

enum class EntryProblem {
    UnknownType,
    LoneEboot,
    NothingToCopy,
    AlreadyOnStick,
    TooLarge,
    NoSpace,
    CopyFailed,
    CopyCancelled,
};

// An item that did not land: a dropped item by its name, a file or game inside
// a dropped folder by its path from that folder's name.
struct UnfinishedItem {
    std::string name;
    EntryProblem problem;
};

struct FileCopy {
    std::string source, destination;
    std::uint64_t size = 0;
    std::string item;    // named when the file does not land: itself, or its game
    bool video = false;  // checked for what the PSP plays once it is copied
};

struct CopyPlan {
    std::vector<FileCopy> files;
    std::vector<UnfinishedItem> leftOut;
};

bool holdsEboot(const FileSystem::Listing& listing);

// What one queue entry copies where on the stick in drive, and what it leaves out.
CopyPlan planCopy(const QueueEntry& entry, const std::string& drive, FileSystem& fs);

// The room the files take on a disk that hands out whole clusters.
std::uint64_t spaceNeeded(const std::vector<FileCopy>& files, std::uint64_t cluster);

}  // namespace caldrift
