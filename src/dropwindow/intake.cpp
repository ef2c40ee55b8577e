#include "dropwindow/intake.h"

#include "common/language.h"
#include "drive/scanner.h"
#include "text_ids.h"
#include "transfer/copy_plan.h"
#include "transfer/destinations.h"

namespace caldrift {

TakenDrop takeDrop(const std::vector<std::string>& paths, bool driveAssigned, FileSystem& fs,
                   TransferQueue& queue) {
    TakenDrop taken{driveAssigned ? DropOutcome::StartTransfer : DropOutcome::AskForDrive, {}};
    for (const std::string& path : paths) {
        std::string name = nameOf(path);
        if (name.empty()) {  // a drive root
            if (!path.empty()) taken.refused.push_back({path, EntryProblem::DriveRoot});
            continue;
        }
        switch (fs.typeOf(path)) {
        case PathType::File: queue.append({path, name, extensionOf(name), EntryKind::File}); break;
        case PathType::Folder: {
            bool game = holdsEboot(fs.list(path));
            queue.append({path, name, {}, game ? EntryKind::Homebrew : EntryKind::MediaFolder});
            break;
        }
        case PathType::Missing: taken.refused.push_back({name, EntryProblem::NotFound}); break;
        }
    }
    return taken;
}

void DropDesk::takeWaiting() {
    while (!waiting_.empty() && boxesOpen_ == 0 && !run_.abandoned()) {
        std::vector<std::string> paths = std::move(waiting_.front());
        waiting_.pop_front();
        TakenDrop taken =
            takeDrop(paths, driveAssigned(world_.currentDrive()), world_.files, queue_);
        run_.note(taken.refused);
        if (taken.outcome == DropOutcome::AskForDrive) {
            show(say(IDS_SELECT_DRIVE), say(IDS_ERROR), kMessagePlain);
            continue;
        }
        if (world_.beforeRun) world_.beforeRun();
        run_.trasfer();
    }
}

void DropDesk::show(const std::string& text, const std::string& title, unsigned style) {
    boxOpened();
    world_.messages.show(text, title, style);
    boxClosed();
}

}  // namespace caldrift
