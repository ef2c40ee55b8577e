#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "transfer/copy_plan.h"

namespace caldrift {

// What the backups, the journal and the undo ask of Windows besides the stick's files.
class Safekeeping {
public:
    virtual ~Safekeeping() = default;
    // The program's folder of the PC (%LOCALAPPDATA%\Caldrift); empty when there is none.
    virtual std::string folder() = 0;
    // Bytes that may still be written there.
    virtual std::optional<std::uint64_t> room() = 0;
    // The date and time, as a folder is named ("2026-12-09 03.10.22"), sorting as they come.
    virtual std::string now() = 0;
    virtual std::optional<std::uint32_t> volumeSerial(const std::string& drive) = 0;
    // Copies a file with its last-write time, making the folders above `to`; on the disk after.
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    // Adds to a text file (begun anew when fresh), on the disk before it returns.
    virtual bool append(const std::string& file, const std::string& text, bool fresh) = 0;
    virtual std::optional<std::string> read(const std::string& file) = 0;
    // The sub-folders of a folder, by name, with the bytes of all they hold.
    virtual std::vector<std::pair<std::string, std::uint64_t>> folders(
        const std::string& folder) = 0;
    virtual void removeTree(const std::string& folder) = 0;
};

// Size and time as FAT keeps them: the time to two seconds.
bool unchanged(const FileStamp& before, const FileStamp& now);

// One file of the last run, as its journal tells it.
struct JournalFile {
    std::string path, backup;         // path from the stick's root; no backup: the run made it
    std::uint64_t planned = 0;        // the size the run meant it to have
    std::optional<FileStamp> old;     // of the file it replaced
    std::optional<FileStamp> landed;  // as the stick held it once it landed
};

struct Journal {
    std::optional<std::uint32_t> serial;  // of the run's stick
    std::vector<JournalFile> files;
    std::vector<std::string> folders;  // the run made them, from the stick's root
    bool undone = false;
};

// The journal's text read back; a last line the program did not finish is left out.
Journal readJournal(const std::string& text);

struct UndoStep {
    enum Kind { Remove, PutBack, Leave } kind;
    std::string path, backup;
};

// What taking the run back does to each of its files, as the stick holds them
// now: what the run left as it left it goes, what it replaced comes back, and
// what changed since stays.
std::vector<UndoStep> undoPlan(const Journal& journal, FileSystem& stick, const std::string& drive);

// The journal of the last run and the backups of what it replaced, kept in
// the program's folder of the PC as the run goes.
class RunJournal {
public:
    RunJournal(FileSystem& stick, Safekeeping* keeping) : stick_(stick), keeping_(keeping) {}

    // A run begins on the stick in drive; nothing is written until it copies.
    void start(const std::string& drive);
    // Before an operation: what the copies replace is backed up, and what
    // they create and replace, and the missing folders they make, are written
    // down. An item whose backup finds no room leaves the copies (with its
    // stamps), and is named.
    void beforeCopy(std::vector<FileCopy>& copies, std::vector<std::optional<FileStamp>>& before,
                    const std::set<std::string>& missing, std::vector<UnfinishedItem>& unfinished);
    // Before a plugin list is rewritten; false when it could not be backed up.
    bool beforeRewrite(const std::string& path);
    void landed(const std::vector<FileCopy>& copies);
    // A file the operation replaced but did not finish gets its old bytes back.
    void putBack(const std::string& path);
    // Backups of the oldest runs go, beyond the last ten or 2 GiB; never this run's.
    void finish();

private:
    bool begin();
    // What each item of the copies replaces, a save's folder whole.
    std::vector<std::pair<std::string, std::vector<std::string>>> replacedByItem(
        const std::vector<FileCopy>& copies, const std::vector<std::optional<FileStamp>>& before);
    bool backUp(const std::vector<std::string>& paths, std::uint64_t& room);
    std::string backupOf(const std::string& path) const;
    void write(const std::string& text);

    FileSystem& stick_;
    Safekeeping* keeping_;
    std::string drive_, backups_;               // backups_: this run's folder, once it has begun
    std::set<std::string> written_, backedUp_;  // places of the journal, and those backed up
};

std::string journalPath(Safekeeping& keeping);

// Whether the last run's journal has something to take back from the stick in drive.
bool undoOffered(Safekeeping& keeping, const std::string& drive);
// Takes the last run back: the lines of what was left, in the closing message's form.
std::vector<std::string> undoLastRun(Safekeeping& keeping, FileSystem& stick,
                                     const std::string& drive);

}  // namespace caldrift
