// Dropped paths as anything the shell could hand over, on a file system whose
// answers come from the input: every item is queued or ignored, the queue and
// the pending list stay in step, and a run over files and folders copies only
// onto the stick and empties the queue.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "../core/fakes.h"

namespace {
using namespace caldrift;

// The first input byte says which answers fail: lists, folder identities and
// cluster sizes. The dropped names double as the names inside every folder,
// four deep, and a path's hash says what it is.
struct ByteFileSystem : testing::FakeFileSystem {
    std::uint8_t answers = 0;
    std::vector<std::string> names;  // six a folder is plenty, each once
    // True when the path is a folder; a file may be gone, or have no stamp.
    bool put(const std::string& path, int depth) {
        if (folders.count(path)) return true;  // a path dropped twice is one folder
        std::size_t hash = std::hash<std::string>()(path);
        if (depth > 3 || hash & 2) {
            if (hash & 4) files.insert(path);
            if (hash & 8) times[path] = answers;
            sizes[path] = hash & 16 ? kLargestPspFile + 1 : path.size();
            return false;
        }
        Folder& folder = folders[path];
        if (answers & 2) unlistable.insert(path);
        if (answers & 4) identities[path] = "";
        for (const std::string& name : names)
            (put(path + "\\" + name, depth + 1) ? folder.folders : folder.files).push_back(name);
        return true;
    }
    bool flush(const std::string& path) override {
        return std::hash<std::string>()(path) & 32 && FakeFileSystem::flush(path);
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::string> paths;
    std::istringstream lines(std::string(data + 1, data + size));
    for (std::string path; std::getline(lines, path);) paths.push_back(path);
    ByteFileSystem fs;  // the stick is there; no file's bytes can be read
    fs.answers = data[0];
    for (const std::string& path : paths)
        if (fs.names.size() < 6 &&
            std::find(fs.names.begin(), fs.names.end(), path) == fs.names.end())
            fs.names.push_back(path);
    for (const std::string& path : paths) fs.put(path, 0);
    fs.free = DriveSpace{std::uint64_t{fs.answers} << 27, fs.answers & 8 ? 0u : 512u};  // to 32 GiB
    testing::FakePendingList pending;
    TransferQueue queue(pending);
    takeDrop(paths, true, fs, queue);
    if (queue.size() != pending.lines.size() || queue.size() > paths.size()) std::abort();
    for (std::size_t i = 0; i < queue.size(); ++i) {  // each named by its path's last part
        const QueueEntry& e = queue.entries()[i];
        std::size_t cut = e.path.size() - std::min(e.path.size(), e.file.size());
        if (e.file.empty() || pending.lines[i] != e.file || e.path.substr(cut) != e.file)
            std::abort();
    }
    testing::FakeShell shell(fs);
    TransferRun run(queue, fs, shell);
    run.start("E:");
    while (run.step()) run.planJoined();
    run.finish();
    for (auto& [source, destination] : shell.copies)  // onto the stick, none too large
        if (destination.rfind("E:\\", 0) != 0 || fs.sizes[source] > kLargestPspFile) std::abort();
    if (!queue.empty() || !pending.lines.empty() || run.active()) std::abort();
    return 0;
}
