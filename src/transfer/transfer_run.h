#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/message_boxes.h"
#include "transfer/copy_plan.h"

namespace caldrift {

enum class CopyResult { Copied, Failed, Cancelled };

// Files onto the stick in one operation of the system's shell, with its own
// dialogs: one progress window, one replace question for them all.
class ShellCopy {
public:
    virtual ~ShellCopy() = default;
    virtual CopyResult copy(const std::vector<FileCopy>& files) = 0;
};

// A video the PSP may not play, or a game it may not start, copied all the same, and why.
struct ItemWarning {
    std::string name, reason;
};

struct RunReport {
    std::vector<UnfinishedItem> unfinished;
    std::vector<ItemWarning> unstartable;
    std::vector<ItemWarning> videos;
    bool stickGone = false;
};

struct Message {
    std::string text, title;
    unsigned style;
};

// The one message that closes a run and tells what happened.
Message closingMessage(const RunReport& report);

// Empties the transfer queue onto the stick, front first, every entry planned
// before the first byte of the run is written.
class TransferRun {
public:
    TransferRun(TransferQueue& queue, FileSystem& fs, ShellCopy& shell, MessageBoxes& messages,
                std::function<std::string()> currentDrive)
        : queue_(queue),
          fs_(fs),
          shell_(shell),
          messages_(messages),
          currentDrive_(std::move(currentDrive)) {}

    // Called after each accepted drop. A call made while a run is copying (a
    // drop handled inside the shell's dialogs) hands the new entries to that run.
    void trasfer();
    // Items refused before they were queued, named by the next closing message.
    void note(const std::vector<UnfinishedItem>& items);
    bool active() const { return active_; }
    // Told when a run starts and when it ends.
    void onActivity(std::function<void(bool)> changed) { activityChanged_ = std::move(changed); }
    // The program is ending: the copy under way finishes (or is cancelled in
    // the shell's dialog), then the run stops without a word.
    void abandon() { abandoned_ = true; }
    bool abandoned() const { return abandoned_; }

private:
    void setActive(bool active);
    void planJoined();
    bool stickPresent(const std::string& drive);
    // Copies what fits and checks it landed; false when the stick went away meanwhile.
    bool copyEntry(const CopyPlan& plan, const QueueEntry& entry, const std::string& drive);
    std::vector<FileCopy> landed(const std::vector<FileCopy>& files,
                                 const std::vector<std::optional<FileStamp>>& before,
                                 CopyResult result, std::vector<UnfinishedItem>& unfinished);
    void checkVideo(const FileCopy& file);
    void checkStart(const FileCopy& file);
    bool mergeList(const FileCopy& list);

    TransferQueue& queue_;
    FileSystem& fs_;
    ShellCopy& shell_;
    MessageBoxes& messages_;
    std::function<std::string()> currentDrive_;
    std::function<void(bool)> activityChanged_;
    bool active_ = false;
    bool abandoned_ = false;
    std::optional<RunPlanner> planner_;
    std::deque<CopyPlan> plans_;  // of the queue's first entries
    RunReport report_;
};

}  // namespace caldrift
