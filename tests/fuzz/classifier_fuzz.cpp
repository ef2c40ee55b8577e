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

// The first input byte says which lookups succeed; the dropped names double
// as the names inside every folder, to a depth of three.
struct ByteFileSystem : testing::FakeFileSystem {
    std::uint8_t answers;
    std::vector<std::string> names;  // six a folder, four deep, is plenty
    unsigned bit(const std::string& path, unsigned salt) {
        return (std::hash<std::string>()(path) >> salt) & 1;
    }
    PathType typeOf(const std::string& path) override {
        return answers & 1 ? PathType::Missing : bit(path, 1) ? PathType::Folder : PathType::File;
    }
    Listing list(const std::string& folder) override {
        Listing listing{(answers & 2) == 0, {}, {}};
        bool deep = std::count(folder.begin(), folder.end(), '\\') > 3;
        for (const std::string& name : names) {
            if (bit(folder + name, 2) && !deep)
                listing.folders.push_back(name);
            else
                listing.files.push_back({name, bit(name, 3) ? kLargestPspFile + 1 : name.size()});
        }
        return listing;
    }
    std::string folderIdentity(const std::string& folder) override {
        return (answers & 4) ? std::string() : folder;
    }
    std::optional<FileStamp> stamp(const std::string& path) override {
        return bit(path, 4) ? std::optional<FileStamp>({path.size(), answers}) : std::nullopt;
    }
    bool flush(const std::string& path) override { return bit(path, 5); }
    std::optional<DriveSpace> space(const std::string&) override {
        return DriveSpace{answers, (answers & 8) ? 0u : 512u};
    }
};

struct StickOnlyShell : ShellCopy {
    CopyResult copy(const std::vector<FileCopy>& files) override {
        for (const FileCopy& f : files)
            if (f.destination.rfind("E:\\", 0) != 0 || f.size > kLargestPspFile) std::abort();
        return CopyResult::Copied;
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::string> paths;
    std::istringstream lines(std::string(data + 1, data + size));
    for (std::string path; std::getline(lines, path);) paths.push_back(path);
    ByteFileSystem fs;  // the stick is there; no file's bytes can be read
    fs.entries.insert("E:\\PSP");
    fs.answers = data[0];
    fs.names.assign(paths.begin(), paths.begin() + std::min<std::size_t>(6, paths.size()));
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
    StickOnlyShell shell;
    testing::FakeMessages messages;
    TransferRun run(queue, fs, shell, messages, [] { return std::string("E:"); });
    run.trasfer();
    if (!queue.empty() || !pending.lines.empty() || messages.shown.size() > 1) std::abort();
    return 0;
}
