#include "transfer/queue.h"

namespace caldrift {

void TransferQueue::append(QueueEntry entry) {
    pending_.append(entry.file);
    entries_.push_back(std::move(entry));
}

void TransferQueue::removeFront() {
    if (entries_.empty()) return;
    pending_.removeFirst();
    entries_.pop_front();
}

}  // namespace caldrift
