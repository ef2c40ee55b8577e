#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "transfer/transfer_run.h"

namespace caldrift {

enum class DropOutcome { StartTransfer, AskForDrive };

struct TakenDrop {
    DropOutcome outcome;
    std::vector<UnfinishedItem> refused;  // a drive root, a path that is not there
};

// Queues every acceptable item of one drop, then says what comes next.
TakenDrop takeDrop(const std::vector<std::string>& paths, bool driveAssigned, FileSystem& fs,
                   TransferQueue& queue);

// Drops in the order they came. One that comes while a message box of the
// program is open waits until the box is closed, so that no run starts inside it.
class DropDesk : private MessageBoxes {
public:
    struct World {
        FileSystem& files;
        ShellCopy& shell;
        MessageBoxes& messages;
        std::function<std::string()> currentDrive;
        std::function<void()> beforeRun;  // shows the pending-transfers window
    };

    DropDesk(World world, TransferQueue& queue)
        : world_(std::move(world)),
          queue_(queue),
          run_(queue, world_.files, world_.shell, *this, world_.currentDrive) {}

    void arrive(std::vector<std::string> paths) { waiting_.push_back(std::move(paths)); }
    // Takes every drop that waits, unless a message box is open.
    void takeWaiting();
    // A box of another window opens or closes: drops wait while it is open.
    void boxOpened() { ++boxesOpen_; }
    void boxClosed() { --boxesOpen_; }
    TransferRun& run() { return run_; }

private:
    void show(const std::string& text, const std::string& title, unsigned style) override;

    World world_;
    TransferQueue& queue_;
    TransferRun run_;
    std::deque<std::vector<std::string>> waiting_;
    int boxesOpen_ = 0;
};

}  // namespace caldrift
