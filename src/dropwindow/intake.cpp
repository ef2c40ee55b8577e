#include "dropwindow/intake.h"

#include "drive/scanner.h"
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
        case PathType::Folder: queue.append({path, name, {}, EntryKind::Folder}); break;
        case PathType::Missing: taken.refused.push_back({name, EntryProblem::NotFound}); break;
        }
    }
    return taken;
}

}  // namespace caldrift
