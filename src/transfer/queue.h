#pragma once
#include <cstddef>
#include <deque>
#include <string>

#include "common/paths.h"

namespace caldrift {

// A folder is told a game, a save or media by the plan, from its listing.
enum class EntryKind { File, Folder };

struct QueueEntry {
    std::string path;  // as dropped
    std::string file;  // the name after the last backslash
    std::string ext;   // a file's extension as written
    EntryKind kind = EntryKind::File;
};

// The list of names in the pending-transfers window, kept in step with the queue.
class PendingList {
public:
    virtual ~PendingList() = default;
    virtual void append(const std::string& name) = 0;
    virtual void removeFirst() = 0;
};

// Dropped items waiting to be copied, front first.
class TransferQueue {
public:
    explicit TransferQueue(PendingList& pending) : pending_(pending) {}

    void append(QueueEntry entry);
    const QueueEntry& front() const { return entries_.front(); }
    void removeFront();
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const std::deque<QueueEntry>& entries() const { return entries_; }

private:
    PendingList& pending_;
    std::deque<QueueEntry> entries_;
};

}  // namespace caldrift
