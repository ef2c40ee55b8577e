#include "transfer/undo.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "common/language.h"
#include "common/paths.h"
#include "drive/scanner.h"
#include "text_ids.h"

namespace caldrift {

namespace {
// FAT keeps a file's time to two seconds.
constexpr std::uint64_t kTwoSeconds = 20'000'000;
constexpr std::size_t kRunsKept = 10;
constexpr std::uint64_t kMostBackupBytes = 2ull << 30;
// A rewritten list may stand torn at any length.
constexpr std::uint64_t kAnySize = std::numeric_limits<std::uint64_t>::max();

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> parts(1);
    for (char c : line)
        if (c == '\t')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    return parts;
}

bool number(const std::string& text, std::uint64_t& value) {
    char* end = nullptr;
    value = std::strtoull(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0';
}

std::string stampText(const FileStamp& stamp) {
    return std::to_string(stamp.size) + "\t" + std::to_string(stamp.written);
}
}  // namespace

bool unchanged(const FileStamp& before, const FileStamp& now) {
    std::uint64_t apart =
        before.written > now.written ? before.written - now.written : now.written - before.written;
    return before.size == now.size && apart <= kTwoSeconds;
}

// One record a line, its fields apart by tabs: R serial (a run begins), C path
// size (to be created), B path backup old-size old-time size (to be replaced),
// D path (a folder made), L path size time (landed), U (taken back).
Journal readJournal(const std::string& text) {
    Journal journal;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::vector<std::string> f = fields(text.substr(start, end - start));
        std::uint64_t n[4] = {};
        auto numbers = [&](std::size_t from, std::size_t count) {
            if (f.size() != from + count) return false;
            for (std::size_t i = 0; i < count; ++i)
                if (!number(f[from + i], n[i])) return false;
            return true;
        };
        if (f[0] == "R" && numbers(1, 1)) {
            journal = {static_cast<std::uint32_t>(n[0]), {}, {}, false};
        } else if (f[0] == "C" && numbers(2, 1)) {
            journal.files.push_back({f[1], "", n[0], std::nullopt, std::nullopt});
        } else if (f[0] == "B" && numbers(3, 3)) {
            journal.files.push_back({f[1], f[2], n[2], FileStamp{n[0], n[1]}, std::nullopt});
        } else if (f[0] == "D" && f.size() == 2) {
            journal.folders.push_back(f[1]);
        } else if (f[0] == "L" && numbers(2, 2)) {
            for (JournalFile& file : journal.files)
                if (file.path == f[1]) file.landed = FileStamp{n[0], n[1]};
        } else if (f[0] == "U") {
            journal.undone = true;
        }
    }
    return journal;
}

std::vector<UndoStep> undoPlan(const Journal& journal, FileSystem& stick,
                               const std::string& drive) {
    std::vector<UndoStep> steps;
    for (const JournalFile& file : journal.files) {
        std::string path = drive + file.path;
        std::optional<FileStamp> now = stick.stamp(path);
        // Left by the run as the journal tells, or cut short while it was written.
        bool asLeft =
            now && (file.landed ? unchanged(*file.landed, *now) : now->size <= file.planned);
        if (file.backup.empty()) {
            if (now) steps.push_back({asLeft ? UndoStep::Remove : UndoStep::Leave, path, ""});
        } else if (now && file.old && unchanged(*file.old, *now)) {
            continue;  // the run never came to it, or it is back already
        } else {
            steps.push_back(
                {!now || asLeft ? UndoStep::PutBack : UndoStep::Leave, path, file.backup});
        }
    }
    return steps;
}

std::string journalPath(Safekeeping& keeping) { return keeping.folder() + "\\Journal.txt"; }

void RunJournal::start(const std::string& drive) {
    drive_ = drive;
    backups_.clear();
    written_.clear();
    backedUp_.clear();
}

// A stick whose serial number is not known gets backups, but no undo.
bool RunJournal::begin() {
    if (!backups_.empty()) return true;
    if (keeping_->folder().empty()) return false;
    std::optional<std::uint32_t> serial = keeping_->volumeSerial(drive_);
    backups_ = keeping_->folder() + "\\Backups\\" + keeping_->now();
    if (keeping_->append(journalPath(*keeping_),
                         "R\t" + (serial ? std::to_string(*serial) : "unknown") + "\n", true))
        return true;
    backups_.clear();
    return false;
}

std::string RunJournal::backupOf(const std::string& path) const {
    return backups_ + path.substr(drive_.size());
}

void RunJournal::write(const std::string& text) {
    if (!text.empty()) keeping_->append(journalPath(*keeping_), text, false);
}

// All of them or none, within the room.
bool RunJournal::backUp(const std::vector<std::string>& paths, std::uint64_t& room) {
    std::uint64_t bytes = 0;
    for (const std::string& path : paths) bytes += stick_.fileSize(path).value_or(0);
    if (bytes > room) return false;
    for (const std::string& path : paths)
        if (!keeping_->copyFile(path, backupOf(path))) return false;
    backedUp_.insert(paths.begin(), paths.end());
    room -= bytes;
    return true;
}

std::vector<std::pair<std::string, std::vector<std::string>>> RunJournal::replacedByItem(
    const std::vector<FileCopy>& copies, const std::vector<std::optional<FileStamp>>& before) {
    std::vector<std::pair<std::string, std::vector<std::string>>> replacing;
    std::string saves = drive_ + "\\PSP\\SAVEDATA\\";
    std::set<std::string> savesListed;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const std::string& place = copies[i].destination;
        if (!before[i] || written_.count(place)) continue;
        auto item = std::find_if(replacing.begin(), replacing.end(),
                                 [&](auto& entry) { return entry.first == copies[i].item; });
        if (item == replacing.end()) item = replacing.insert(item, {copies[i].item, {}});
        std::vector<std::string> paths = {place};
        std::string save = place.substr(0, place.find('\\', saves.size()));
        if (place.rfind(saves, 0) == 0 && save != place && savesListed.insert(save).second) {
            for (const FileSystem::ListedFile& file : stick_.list(save).files)
                paths.push_back(save + "\\" + file.name);
        }
        for (const std::string& path : paths)
            if (std::find(item->second.begin(), item->second.end(), path) == item->second.end())
                item->second.push_back(path);
    }
    return replacing;
}

void RunJournal::beforeCopy(std::vector<FileCopy>& copies,
                            std::vector<std::optional<FileStamp>>& before,
                            const std::set<std::string>& missing,
                            std::vector<UnfinishedItem>& unfinished) {
    if (!keeping_) return;
    bool begun = begin();
    std::uint64_t room = begun ? keeping_->room().value_or(0) : 0;
    std::set<std::string> refused;
    for (auto& [item, paths] : replacedByItem(copies, before))
        if (!backUp(paths, room)) {
            refused.insert(item);
            unfinished.push_back({item, EntryProblem::NoBackupRoom});
        }
    std::vector<FileCopy> kept;
    std::vector<std::optional<FileStamp>> keptBefore;
    std::string records;
    std::set<std::string> folders;  // written down
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (refused.count(copies[i].item)) continue;
        kept.push_back(copies[i]);
        keptBefore.push_back(before[i]);
        const std::string& place = copies[i].destination;
        if (!begun || !written_.insert(place).second) continue;
        std::string path = place.substr(drive_.size()), size = std::to_string(copies[i].size);
        records += before[i] ? "B\t" + path + "\t" + backupOf(place) + "\t" +
                                   stampText(*before[i]) + "\t" + size + "\n"
                             : "C\t" + path + "\t" + size + "\n";
        for (std::string up = parentOf(place); missing.count(up) && folders.insert(up).second;
             up = parentOf(up))
            records += "D\t" + up.substr(drive_.size()) + "\n";
    }
    copies = std::move(kept);
    before = std::move(keptBefore);
    write(records);
}

bool RunJournal::beforeRewrite(const std::string& path) {
    if (!keeping_ || written_.count(path)) return true;
    std::optional<FileStamp> old = stick_.stamp(path);
    if (!old || !begin()) return false;
    std::uint64_t room = keeping_->room().value_or(0);
    if (!backUp({path}, room)) return false;
    written_.insert(path);
    write("B\t" + path.substr(drive_.size()) + "\t" + backupOf(path) + "\t" + stampText(*old) +
          "\t" + std::to_string(kAnySize) + "\n");
    return true;
}

void RunJournal::landed(const std::vector<FileCopy>& copies) {
    if (!keeping_ || backups_.empty()) return;
    std::string records;
    for (const FileCopy& copy : copies)
        if (std::optional<FileStamp> now = stick_.stamp(copy.destination))
            records +=
                "L\t" + copy.destination.substr(drive_.size()) + "\t" + stampText(*now) + "\n";
    write(records);
}

void RunJournal::putBack(const std::string& path) {
    if (keeping_ && backedUp_.count(path)) keeping_->copyFile(backupOf(path), path);
}

void RunJournal::finish() {
    if (!keeping_ || backups_.empty()) return;
    auto runs = keeping_->folders(keeping_->folder() + "\\Backups");
    std::sort(runs.begin(), runs.end());
    std::uint64_t bytes = 0;
    for (auto& run : runs) bytes += run.second;
    std::size_t count = runs.size();
    for (auto& [name, size] : runs) {
        if (count <= kRunsKept && bytes <= kMostBackupBytes) break;
        if (name == nameOf(backups_)) continue;
        keeping_->removeTree(keeping_->folder() + "\\Backups\\" + name);
        --count;
        bytes -= size;
    }
    backups_.clear();
}

namespace {
std::optional<Journal> lastRun(Safekeeping& keeping, const std::string& drive) {
    std::optional<std::string> text;
    if (!driveAssigned(drive) || keeping.folder().empty() ||
        !(text = keeping.read(journalPath(keeping))))
        return std::nullopt;
    Journal journal = readJournal(*text);
    bool something = !journal.files.empty() || !journal.folders.empty();
    if (journal.undone || !something || !journal.serial ||
        journal.serial != keeping.volumeSerial(drive))
        return std::nullopt;
    return journal;
}
}  // namespace

bool undoOffered(Safekeeping& keeping, const std::string& drive) {
    return lastRun(keeping, drive).has_value();
}

std::vector<std::string> undoLastRun(Safekeeping& keeping, FileSystem& stick,
                                     const std::string& drive) {
    std::vector<std::string> left;
    std::optional<Journal> journal = lastRun(keeping, drive);
    if (!journal) return left;
    for (const UndoStep& step : undoPlan(*journal, stick, drive)) {
        std::string name = step.path.substr(drive.size() + 1);
        if (step.kind == UndoStep::Remove && !stick.removeFile(step.path))
            left.push_back(name + " " + say(IDS_NOT_REMOVED));
        if (step.kind == UndoStep::PutBack && !keeping.copyFile(step.backup, step.path))
            left.push_back(name + " " + say(IDS_COPY_FAILED));
        if (step.kind == UndoStep::Leave) left.push_back(name + " " + say(IDS_CHANGED_LEFT));
    }
    std::vector<std::string> folders = journal->folders;
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& folder : folders) stick.removeFolder(drive + folder);
    keeping.append(journalPath(keeping), "\nU\n", false);  // after a line torn by a kill
    return left;
}

}  // namespace caldrift
