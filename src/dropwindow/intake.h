#pragma once
#include <optional>
#include <string>
#include <vector>

#include "transfer/queue.h"

namespace caldrift {

// The queue entry for a dropped path, or none when it is not one to copy.
std::optional<QueueEntry> classifyDroppedPath(const std::string& path, FileSystem& fs);

enum class DropOutcome { StartTransfer, AskForDrive };

// Queues every acceptable item of one drop, then says what comes next.
DropOutcome takeDrop(const std::vector<std::string>& paths, bool driveAssigned, FileSystem& fs,
                     TransferQueue& queue);

}  // namespace caldrift
