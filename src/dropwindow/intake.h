#pragma once
#include <string>
#include <vector>

#include "transfer/queue.h"

namespace caldrift {

enum class ItemKind { File, Homebrew, Ignored };

QueueEntry classifyDroppedPath(const std::string& path, FileSystem& fs, ItemKind& kind);

enum class DropOutcome { StartTransfer, AskForDrive };

// Queues every acceptable item of one drop, then says what comes next.
DropOutcome takeDrop(const std::vector<std::string>& paths, bool driveAssigned, FileSystem& fs,
                     TransferQueue& queue);

}  // namespace caldrift
