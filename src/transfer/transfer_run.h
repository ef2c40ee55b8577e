#pragma once
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/message_boxes.h"
#include "transfer/copy_plan.h"
#include "transfer/undo.h"

namespace caldrift {

enum class CopyResult { Copied, Failed, Cancelled, NoRoom };

// Files onto the stick in one operation of the system's shell, with its own
// dialogs: one progress window, one replace question for them all.
class ShellCopy {
public:
    virtual ~ShellCopy() = default;
    virtual CopyResult copy(const std::vector<FileCopy>& files) = 0;
};

// What the user sees while an image is compressed: its name, a bar and Cancel.
class CompressionProgress {
public:
    virtual ~CompressionProgress() = default;
    virtual void begin(const std::string& name, std::uint64_t total) = 0;
    // False once the user has cancelled.
    virtual bool update(std::uint64_t done) = 0;
    virtual void end() = 0;
};

// An image that went on as a CSO, and the bytes it and its ISO take.
struct CompressedImage {
    std::string name;
    std::uint64_t bytes, imageBytes;
};

// A video the PSP may not play, or a game it may not start, copied all the same, and why.
struct ItemWarning {
    std::string name, reason;
};

struct RunReport {
    std::vector<UnfinishedItem> unfinished;
    std::vector<ItemWarning> unstartable;
    std::vector<ItemWarning> videos;
    std::vector<CompressedImage> compressed;
    bool stickGone = false;
};

struct Message {
    std::string text, title;
    unsigned style;
};

// The one message that closes a run and tells what happened.
Message closingMessage(const RunReport& report);
// The one that closes an undo, with the lines of what it left.
Message undoneMessage(const std::vector<std::string>& left);

// Empties the transfer queue onto the stick, front first, every entry planned
// before the first byte of the run is written. It copies one entry a step;
// the program's run life decides when each step is taken.
class TransferRun {
public:
    TransferRun(TransferQueue& queue, FileSystem& fs, ShellCopy& shell,
                Safekeeping* keeping = nullptr, CompressionProgress* progress = nullptr)
        : queue_(queue), fs_(fs), shell_(shell), progress_(progress), journal_(fs, keeping) {}

    // Every PSP disc image goes on as a CSO, not only one that does not fit otherwise.
    void compressImages(bool always) { compressAlways_ = always; }

    // Something to copy, or to tell: queued entries, or items refused on the way in.
    bool due() const { return !queue_.empty() || !report_.unfinished.empty(); }
    // Begins a run onto the stick in drive and plans what is queued.
    void start(const std::string& drive);
    bool active() const { return active_; }
    // Entries queued since the last step get their places before anything more is copied.
    void planJoined();
    // Copies the next planned entry; false when none is left or the stick went away.
    bool step();
    // The stick is no longer the PSP drive: the run copies nothing more.
    void stickGone() { report_.stickGone = true; }
    // Ends the run with the message that tells what happened.
    Message finish();
    // Items refused before they were queued, named by the next closing message.
    void note(const std::vector<UnfinishedItem>& items);

private:
    bool stickPresent() const;
    // Copies what fits and checks it landed; false when the stick went away meanwhile.
    bool copyEntry(const CopyPlan& plan, const QueueEntry& entry);
    std::vector<std::optional<FileStamp>> stamps(const std::vector<FileCopy>& files);
    bool compressWhereNeeded(std::vector<FileCopy>& copies);
    std::vector<CopyResult> copyAll(std::vector<FileCopy>& copies);
    std::uint64_t roomBeside(const FileCopy& image, std::vector<FileCopy> later);
    CopyResult compress(FileCopy& image, std::uint64_t room);
    std::vector<FileCopy> landed(const std::vector<FileCopy>& files,
                                 const std::vector<std::optional<FileStamp>>& before,
                                 const std::set<std::string>& missing,
                                 const std::vector<CopyResult>& results,
                                 std::vector<UnfinishedItem>& unfinished,
                                 std::set<std::string>& undone);
    void checkVideo(const FileCopy& file);
    void checkStart(const FileCopy& file);
    bool mergeList(const FileCopy& list);

    TransferQueue& queue_;
    FileSystem& fs_;
    ShellCopy& shell_;
    CompressionProgress* progress_;
    RunJournal journal_;
    bool active_ = false, compressAlways_ = false;
    std::string drive_;
    std::optional<RunPlanner> planner_;
    std::deque<CopyPlan> plans_;  // of the queue's first entries
    RunReport report_;
};

}  // namespace caldrift
