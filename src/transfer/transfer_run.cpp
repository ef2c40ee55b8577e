#include "transfer/transfer_run.h"

#include <algorithm>

#include "drive/scanner.h"
#include "transfer/destinations.h"

namespace caldrift {

namespace {
const char* const kTitle = "Trasferimento...";
// Beyond this many item lines the message would not fit the screen.
constexpr std::size_t kMostItemLines = 20;

const char* reasonText(EntryProblem problem) {
    switch (problem) {
    case EntryProblem::UnknownType: return "(tipo di file non gestito)";
    case EntryProblem::CopyFailed: return "(copia non riuscita)";
    case EntryProblem::CopyCancelled: return "(copia annullata)";
    }
    return "";
}

// A failure outweighs a cancel, which outweighs a success.
CopyResult worse(CopyResult a, CopyResult b) {
    if (a == CopyResult::Failed || b == CopyResult::Failed) return CopyResult::Failed;
    if (a == CopyResult::Cancelled || b == CopyResult::Cancelled) return CopyResult::Cancelled;
    return CopyResult::Copied;
}
}  // namespace

namespace {
// One line a name, at most kMostItemLines of them, then how many more there are.
template <typename Item, typename Line>
std::string itemLines(const std::vector<Item>& items, Line line) {
    std::string text;
    std::size_t shown = std::min(items.size(), kMostItemLines);
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + line(items[i]);
    if (shown < items.size())
        text += "\n... e altri " + std::to_string(items.size() - shown) + " elementi";
    return text;
}
}  // namespace

Message closingMessage(const RunReport& report) {
    bool allCopied = report.unfinished.empty() && !report.stickGone;
    std::string text = allCopied ? "File/s Trasferito/i Con Successo !!!"
                                 : "Alcuni elementi non sono stati trasferiti:";
    text += itemLines(report.unfinished, [](const UnfinishedEntry& entry) {
        return entry.name + " " + reasonText(entry.problem);
    });
    if (report.stickGone) text += "\nPSP scollegata: gli elementi rimasti sono ancora in coda.";
    if (!report.videos.empty())
        text += "\n\nLa PSP potrebbe non riprodurre:" +
                itemLines(report.videos, [](const VideoWarning& video) {
                    return video.name + " (" + video.reason + ")";
                });
    bool quiet = allCopied && report.videos.empty();
    return {text, kTitle, quiet ? kMessageInformation : kMessageWarning};
}

void TransferRun::trasfer() {
    if (active_) {
        passesLeft_ = queue_.size();  // the entry being copied is still at the front
        return;
    }
    if (queue_.empty() || abandoned_) return;

    active_ = true;
    passesLeft_ = queue_.size();
    RunReport report;
    while (passesLeft_ > 0 && !queue_.empty() && !abandoned_) {
        std::string drive = currentDrive_();
        if (!stickPresent(drive)) {
            report.stickGone = true;
            break;
        }
        QueueEntry entry = queue_.front();
        bool known = true;
        CopyResult result = copyEntry(entry, drive, known);
        if (!known)
            report.unfinished.push_back({entry.file, EntryProblem::UnknownType});
        else if (result == CopyResult::Failed)
            report.unfinished.push_back({entry.file, EntryProblem::CopyFailed});
        else if (result == CopyResult::Cancelled)
            report.unfinished.push_back({entry.file, EntryProblem::CopyCancelled});
        else
            checkVideo(entry, report);
        queue_.removeFront();
        --passesLeft_;
    }
    active_ = false;
    if (abandoned_) return;

    Message message = closingMessage(report);
    messages_.show(message.text, message.title, message.style);
}

// A copied video is still copied when the PSP may not play it; the user is told why.
void TransferRun::checkVideo(const QueueEntry& entry, RunReport& report) {
    if (!destinationFor(entry.ext).isVideo()) return;
    std::unique_ptr<ByteSource> file = fs_.openForReading(entry.path);
    VideoVerdict verdict;
    if (file) verdict = caldrift::checkVideo(*file, entry.ext);
    if (!file || !verdict.plays)
        report.videos.push_back({entry.file, file ? verdict.reason : kVideoNotRecognised});
}

bool TransferRun::stickPresent(const std::string& drive) {
    return !drive.empty() && driveAssigned(drive) && fs_.entryExists(pspFolder(drive));
}

CopyResult TransferRun::copyEntry(const QueueEntry& entry, const std::string& drive, bool& known) {
    DestinationRule rule = destinationFor(entry.ext);
    switch (rule.kind) {
    case Destination::None: known = false; return CopyResult::Failed;
    case Destination::File: return copyFile(entry.path, drive + rule.folder + entry.file);
    case Destination::HomebrewFolder: {
        bool foundFiles = false;
        std::set<std::string> visited;
        CopyResult result =
            copyFolder(entry.path, drive + rule.folder + entry.file, foundFiles, visited);
        return foundFiles ? result : CopyResult::Failed;
    }
    }
    return CopyResult::Failed;
}

// A copy that did not finish leaves no half file on the stick; a file that
// was there before it is the user's and stays.
CopyResult TransferRun::copyFile(const std::string& source, const std::string& destination) {
    bool wasThere = fs_.fileExists(destination);
    CopyResult result = shell_.copy(source, destination);
    if (result != CopyResult::Copied && !wasThere && fs_.fileExists(destination))
        fs_.removeFile(destination);
    return result;
}

// The whole tree of a homebrew folder, one shell copy per file.
CopyResult TransferRun::copyFolder(const std::string& source, const std::string& destination,
                                   bool& foundFiles, std::set<std::string>& visited) {
    std::string identity = fs_.folderIdentity(source);
    if (!identity.empty() && !visited.insert(identity).second) return CopyResult::Copied;
    FileSystem::Listing listing = fs_.list(source);
    if (!listing.ok) return CopyResult::Failed;
    if (!listing.files.empty()) foundFiles = true;
    CopyResult result = CopyResult::Copied;
    for (const std::string& file : listing.files) {
        if (abandoned_) return CopyResult::Cancelled;
        result = worse(result, copyFile(source + "\\" + file, destination + "\\" + file));
    }
    for (const std::string& folder : listing.folders)
        result = worse(result, copyFolder(source + "\\" + folder, destination + "\\" + folder,
                                          foundFiles, visited));
    return result;
}

}  // namespace caldrift
