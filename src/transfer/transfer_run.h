#pragma once
#include <functional>
#include <string>
#include <vector>

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

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const std::string& text, const std::string& title, unsigned style) = 0;
};

constexpr unsigned kMessagePlain = 0;
constexpr unsigned kMessageWarning = 48;
constexpr unsigned kMessageInformation = 64;

// A video that was copied but that the PSP may not play, and why.
struct VideoWarning {
    std::string name, reason;
};

struct RunReport {
    std::vector<UnfinishedItem> unfinished;
    std::vector<VideoWarning> videos;
    bool stickGone = false;
};

struct Message {
    std::string text, title;
    unsigned style;
};

// The one message that closes a run and tells what happened.
Message closingMessage(const RunReport& report);

// Empties the transfer queue onto the stick, front first.
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
    bool active() const { return active_; }
    // The program is ending: the copy under way finishes (or is cancelled in
    // the shell's dialog), then the run stops without a word.
    void abandon() { abandoned_ = true; }

private:
    bool stickPresent(const std::string& drive);
    // Copies what fits and checks it landed; false when the stick went away meanwhile.
    bool copyEntry(const QueueEntry& entry, const std::string& drive, RunReport& report);
    std::vector<FileCopy> landed(const std::vector<FileCopy>& files,
                                 const std::vector<bool>& wereThere, CopyResult result,
                                 RunReport& report);
    void checkVideo(const FileCopy& file, RunReport& report);

    TransferQueue& queue_;
    FileSystem& fs_;
    ShellCopy& shell_;
    MessageBoxes& messages_;
    std::function<std::string()> currentDrive_;
    bool active_ = false;
    bool abandoned_ = false;
    std::size_t passesLeft_ = 0;
};

}  // namespace caldrift
