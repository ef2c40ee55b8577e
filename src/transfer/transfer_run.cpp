#include "transfer/transfer_run.h"

#include <algorithm>
#include <set>

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
    case EntryProblem::LoneEboot: return "(trascinare la cartella del gioco, non il file)";
    case EntryProblem::NothingToCopy: return "(nessun file da trasferire)";
    case EntryProblem::AlreadyOnStick: return "(già sulla PSP)";
    case EntryProblem::TooLarge: return "(oltre 4 GB: la PSP non legge file così grandi)";
    case EntryProblem::NoSpace: return "(spazio insufficiente sulla PSP)";
    case EntryProblem::CopyFailed: return "(copia non riuscita)";
    case EntryProblem::CopyCancelled: return "(copia annullata)";
    }
    return "";
}

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
    text += itemLines(report.unfinished, [](const UnfinishedItem& entry) {
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
        if (!copyEntry(entry, drive, report)) {
            report.stickGone = true;  // the entry it was copying stays queued
            break;
        }
        queue_.removeFront();
        --passesLeft_;
    }
    active_ = false;
    if (abandoned_) return;

    Message message = closingMessage(report);
    messages_.show(message.text, message.title, message.style);
}

// A copied video is still copied when the PSP may not play it; the user is told why.
void TransferRun::checkVideo(const FileCopy& file, RunReport& report) {
    std::unique_ptr<ByteSource> source = fs_.openForReading(file.source);
    VideoVerdict verdict;
    if (source) verdict = caldrift::checkVideo(*source, extensionOf(file.source));
    if (!source || !verdict.plays)
        report.videos.push_back({file.item, source ? verdict.reason : kVideoNotRecognised});
}

bool TransferRun::stickPresent(const std::string& drive) {
    return !drive.empty() && driveAssigned(drive) && fs_.entryExists(pspFolder(drive));
}

// Nothing of an entry is written unless all of it fits on the stick.
bool TransferRun::copyEntry(const QueueEntry& entry, const std::string& drive, RunReport& report) {
    CopyPlan plan = planCopy(entry, drive, fs_);
    report.unfinished.insert(report.unfinished.end(), plan.leftOut.begin(), plan.leftOut.end());
    if (plan.files.empty()) return true;
    std::optional<DriveSpace> space = fs_.space(drive);
    if (space && spaceNeeded(plan.files, space->cluster) > space->available) {
        report.unfinished.push_back({entry.file, EntryProblem::NoSpace});
        return true;
    }
    std::vector<bool> wereThere;
    for (const FileCopy& f : plan.files)
        wereThere.push_back(fs_.fileSize(f.destination).has_value());
    CopyResult result = shell_.copy(plan.files);
    if (entry.kind != EntryKind::File && !stickPresent(drive)) return false;
    for (const FileCopy& f : landed(plan.files, wereThere, result, report))
        if (f.video) checkVideo(f, report);
    return true;
}

// A file has landed when the stick holds all of its bytes. One that did not is
// named (a game's file by its game), and removed unless it was there before.
std::vector<FileCopy> TransferRun::landed(const std::vector<FileCopy>& files,
                                          const std::vector<bool>& wereThere, CopyResult result,
                                          RunReport& report) {
    EntryProblem problem =
        result == CopyResult::Cancelled ? EntryProblem::CopyCancelled : EntryProblem::CopyFailed;
    std::vector<FileCopy> whole;
    std::set<std::string> named;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileCopy& f = files[i];
        if (fs_.fileSize(f.destination) == f.size && fs_.flush(f.destination)) {
            whole.push_back(f);
            continue;
        }
        if (!wereThere[i]) fs_.removeFile(f.destination);
        if (named.insert(f.item).second) report.unfinished.push_back({f.item, problem});
    }
    return whole;
}

}  // namespace caldrift
