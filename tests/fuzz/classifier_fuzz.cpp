// Dropped paths as anything the shell could hand over: every item is either
// queued or ignored, and the queue and the pending list stay in step.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "../core/fakes.h"

namespace {
using namespace caldrift;

// Answers from the first byte of the input: which lookups succeed.
struct ByteFileSystem : FileSystem {
    std::uint8_t answers;
    explicit ByteFileSystem(std::uint8_t bits) : answers(bits) {}
    bool fileExists(const std::string&) override { return answers & 1; }
    bool entryExists(const std::string&) override { return answers & 2; }
    Listing list(const std::string&) override { return {(answers & 4) != 0, {"EBOOT.PBP"}, {}}; }
    std::string folderIdentity(const std::string& folder) override { return folder; }
    void removeFile(const std::string&) override {}
    std::unique_ptr<ByteSource> openForReading(const std::string&) override { return nullptr; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    ByteFileSystem fs(data[0]);
    std::vector<std::string> paths;
    std::istringstream lines(std::string(data + 1, data + size));
    for (std::string path; std::getline(lines, path);) paths.push_back(path);
    testing::FakePendingList pending;
    TransferQueue queue(pending);
    takeDrop(paths, (data[0] & 8) != 0, fs, queue);
    if (queue.size() != pending.lines.size() || queue.size() > paths.size()) std::abort();
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const std::string &path = queue.entries()[i].path, &file = queue.entries()[i].file;
        if (file.empty() || pending.lines[i] != file || path.size() < file.size() ||
            path.compare(path.size() - file.size(), file.size(), file) != 0)
            std::abort();
    }
    while (!queue.empty()) queue.removeFront();
    return pending.lines.empty() ? 0 : (std::abort(), 0);
}
