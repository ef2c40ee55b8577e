#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "transfer/transfer_run.h"

namespace caldrift {

// Where the program stands with its transfers.
enum class RunState { Idle, Copying, InMessageBox, Exiting };

// The one owner of a run's life: drops in the order they came, the runs they
// start, the message boxes that hold them, and Exit. Whatever happens inside
// the shell's dialogs or a message box is only recorded there; the one outer
// loop takes it up after each step, and ends the program once it has unwound.
class RunLife {
public:
    struct World {
        FileSystem& files;
        ShellCopy& shell;
        MessageBoxes& messages;
        std::function<std::string()> currentDrive;
        std::function<void()> wake;         // resume() soon, outside the current event
        std::function<void(bool)> copying;  // a run begins or ends
        std::function<void()> hide;         // Exit is waiting for a dialog to return
        std::function<void()> exit;         // the program ends
    };

    RunLife(World world, TransferQueue& queue, Safekeeping* keeping = nullptr,
            CompressionProgress* progress = nullptr)
        : world_(std::move(world)),
          queue_(queue),
          keeping_(keeping),
          run_(queue, world_.files, world_.shell, keeping, progress) {}

    void dropArrived(std::vector<std::string> paths);
    // A box of another window opens or closes: drops wait while one is open.
    void boxOpened() { ++boxesOpen_; }
    void boxClosed();
    void exitAsked();
    void stickGone();
    // Nothing runs, and the last run's stick, the current PSP drive, has something to take back.
    bool undoOffered();
    // Asks, then takes the last run back; drops wait while its boxes are open.
    void undoAsked();
    // Takes up what was recorded: the outer loop, or nothing when nested in it.
    void resume();

    // Every PSP disc image copied from now on goes compressed.
    void compressImages(bool always) { run_.compressImages(always); }

    RunState state() const;
    bool copying() const { return run_.active(); }

private:
    void takeWaiting();
    void stepDone(bool more);
    void show(const Message& message);

    World world_;
    TransferQueue& queue_;
    Safekeeping* keeping_;
    TransferRun run_;
    std::deque<std::vector<std::string>> waiting_;
    int boxesOpen_ = 0;
    bool inLoop_ = false;  // the outer loop is on the stack
    bool exiting_ = false;
    bool ended_ = false;
};

}  // namespace caldrift
