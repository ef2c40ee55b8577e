#pragma once
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

}  // namespace caldrift
