#include "dropwindow/run_life.h"

#include "common/language.h"
#include "drive/scanner.h"
#include "dropwindow/intake.h"
#include "text_ids.h"

namespace caldrift {

void RunLife::dropArrived(std::vector<std::string> paths) {
    waiting_.push_back(std::move(paths));
    world_.wake();  // the drag's source is not held up while the files are copied
}

void RunLife::boxClosed() {
    --boxesOpen_;
    if (!inLoop_) world_.wake();  // for drops that waited, or an Exit
}

// Inside a dialog the window and the icon go at once; the program ends when
// the dialog returns, a copy under way finished or cancelled, without a word.
void RunLife::exitAsked() {
    if (exiting_) return;
    exiting_ = true;
    if (inLoop_ || boxesOpen_ > 0) return world_.hide();
    resume();
}

void RunLife::stickGone() {
    if (run_.active()) run_.stickGone();
}

bool RunLife::undoOffered() {
    return keeping_ && state() == RunState::Idle && !ended_ &&
           caldrift::undoOffered(*keeping_, world_.currentDrive());
}

void RunLife::undoAsked() {
    if (!undoOffered()) return;
    ++boxesOpen_;
    bool yes = world_.messages.ask(say(IDS_UNDO_QUESTION), say(IDS_MENU_UNDO));
    --boxesOpen_;
    if (yes && undoOffered())
        show(undoneMessage(undoLastRun(*keeping_, world_.files, world_.currentDrive())));
    resume();  // drops that waited, or an Exit
}

void RunLife::resume() {
    if (ended_) return;
    if (inLoop_) return takeWaiting();  // joins the run, planned after the step
    inLoop_ = true;
    for (takeWaiting(); run_.active() && !exiting_; takeWaiting()) {
        run_.planJoined();
        stepDone(run_.step());
    }
    inLoop_ = false;
    if (exiting_ && run_.active()) stepDone(false);
    if (exiting_ && boxesOpen_ == 0) {
        ended_ = true;
        world_.exit();
    }
}

// Drops are taken in the order they came while no box is open: each joins
// the active run, or starts one, or asks for the PSP drive.
void RunLife::takeWaiting() {
    while (!waiting_.empty() && boxesOpen_ == 0 && !exiting_) {
        std::vector<std::string> paths = std::move(waiting_.front());
        waiting_.pop_front();
        TakenDrop taken =
            takeDrop(paths, driveAssigned(world_.currentDrive()), world_.files, queue_);
        run_.note(taken.refused);
        if (run_.active()) continue;
        if (taken.outcome == DropOutcome::AskForDrive) {
            show({say(IDS_SELECT_DRIVE), say(IDS_ERROR), kMessagePlain});
        } else if (run_.due()) {
            world_.copying(true);
            run_.start(world_.currentDrive());
        }
    }
}

void RunLife::stepDone(bool more) {
    if (more) return;
    Message closing = run_.finish();
    world_.copying(false);
    if (!exiting_) show(closing);
}

void RunLife::show(const Message& message) {
    ++boxesOpen_;
    world_.messages.show(message.text, message.title, message.style);
    --boxesOpen_;
}

RunState RunLife::state() const {
    if (exiting_) return RunState::Exiting;
    if (boxesOpen_ > 0) return RunState::InMessageBox;
    return run_.active() ? RunState::Copying : RunState::Idle;
}

}  // namespace caldrift
