#include "transfer/transfer_run.h"

#include <algorithm>
#include <limits>
#include <map>
#include <thread>
#include <set>
#include <utility>

#include "common/language.h"
#include "drive/scanner.h"
#include "formats/cso_writer.h"
#include "formats/psp_formats.h"
#include "formats/video_header.h"
#include "text_ids.h"
#include "transfer/destinations.h"
#include "transfer/plugin_list.h"

namespace caldrift {

namespace {
// Beyond this many item lines the message would not fit the screen.
constexpr std::size_t kMostItemLines = 20;

int reasonText(EntryProblem problem) {
    switch (problem) {
    case EntryProblem::DriveRoot: return IDS_DRIVE_ROOT;
    case EntryProblem::NotFound: return IDS_NOT_FOUND;
    case EntryProblem::UnknownType: return IDS_UNKNOWN_TYPE;
    case EntryProblem::LoneEboot: return IDS_LONE_EBOOT;
    case EntryProblem::NothingToCopy: return IDS_NOTHING_TO_COPY;
    case EntryProblem::AlreadyOnStick: return IDS_ALREADY_ON_STICK;
    case EntryProblem::BadName: return IDS_BAD_NAME;
    case EntryProblem::PathTooLong: return IDS_PATH_TOO_LONG;
    case EntryProblem::ExtractedDisc: return IDS_EXTRACTED_DISC;
    case EntryProblem::SameNameInRun: return IDS_SAME_NAME_IN_RUN;
    case EntryProblem::NotReplaced: return IDS_NOT_REPLACED;
    case EntryProblem::TooLarge: return IDS_TOO_LARGE;
    case EntryProblem::NoSpace: return IDS_NO_SPACE;
    case EntryProblem::CopyFailed: return IDS_COPY_FAILED;
    case EntryProblem::CopyCancelled: return IDS_COPY_CANCELLED;
    case EntryProblem::Link: return IDS_LINK_NOT_COPIED;
    case EntryProblem::NoBackupRoom: return IDS_NO_BACKUP_ROOM;
    }
    return IDS_COPY_FAILED;
}

std::string megabytes(std::uint64_t bytes, bool roundUp) {
    constexpr std::uint64_t kMegabyte = 1024 * 1024;
    return std::to_string(bytes / kMegabyte + (roundUp && bytes % kMegabyte != 0)) + " MB";
}

// One line a name, at most kMostItemLines of them, then how many more there are.
template <typename Item, typename Line>
std::string itemLines(const std::vector<Item>& items, Line line) {
    std::string text;
    std::size_t shown = std::min(items.size(), kMostItemLines);
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + line(items[i]);
    if (shown < items.size())
        text += "\n" + say(IDS_MORE_ITEMS, {std::to_string(items.size() - shown)});
    return text;
}
}  // namespace

Message closingMessage(const RunReport& report) {
    bool allCopied = report.unfinished.empty() && !report.stickGone;
    std::string text = say(allCopied ? IDS_ALL_COPIED : IDS_NOT_ALL_COPIED);
    text += itemLines(report.unfinished, [](const UnfinishedItem& entry) {
        return entry.name + " " + say(reasonText(entry.problem));
    });
    if (report.stickGone) text += "\n" + say(IDS_STICK_GONE);
    if (!report.compressed.empty())
        text += "\n\n" + say(IDS_COMPRESSED_IMAGES) +
                itemLines(report.compressed, [](const CompressedImage& image) {
                    return say(IDS_COMPRESSED_LINE, {image.name, megabytes(image.bytes, true),
                                                     megabytes(image.imageBytes, true)});
                });
    auto warned = [](const ItemWarning& item) { return item.name + " (" + item.reason + ")"; };
    if (!report.unstartable.empty())
        text += "\n\n" + say(IDS_MAY_NOT_START) + itemLines(report.unstartable, warned);
    if (!report.videos.empty())
        text += "\n\n" + say(IDS_MAY_NOT_PLAY) + itemLines(report.videos, warned);
    bool quiet = allCopied && report.videos.empty() && report.unstartable.empty();
    return {text, say(IDS_TRANSFER_TITLE), quiet ? kMessageInformation : kMessageWarning};
}

Message undoneMessage(const std::vector<std::string>& left) {
    std::string text =
        say(IDS_UNDONE) + itemLines(left, [](const std::string& line) { return line; });
    return {text, say(IDS_TRANSFER_TITLE), left.empty() ? kMessageInformation : kMessageWarning};
}

void TransferRun::note(const std::vector<UnfinishedItem>& items) {
    report_.unfinished.insert(report_.unfinished.end(), items.begin(), items.end());
}

void TransferRun::start(const std::string& drive) {
    active_ = true;
    drive_ = drive;
    journal_.start(drive);
    if (stickPresent()) {
        planner_.emplace(fs_, drive);
        planJoined();
    } else {
        report_.stickGone = true;
    }
}

void TransferRun::planJoined() {
    if (!planner_) return;
    for (std::size_t i = plans_.size(); i < queue_.size(); ++i)
        plans_.push_back(planner_->plan(queue_.entries()[i]));
}

bool TransferRun::step() {
    if (plans_.empty() || report_.stickGone) return false;
    if (!stickPresent() || !copyEntry(plans_.front(), queue_.front())) {
        report_.stickGone = true;  // the entry it was copying stays queued
        return false;
    }
    queue_.removeFront();
    plans_.pop_front();
    return true;
}

Message TransferRun::finish() {
    active_ = false;
    journal_.finish();
    plans_.clear();
    planner_.reset();
    return closingMessage(std::exchange(report_, {}));
}

// A copied video is still copied when the PSP may not play it; the user is told why.
void TransferRun::checkVideo(const FileCopy& file) {
    std::unique_ptr<ByteSource> source = fs_.openForReading(file.source);
    VideoVerdict verdict;
    if (source) verdict = caldrift::checkVideo(*source, extensionOf(file.source));
    if (!source || !verdict.plays)
        report_.videos.push_back(
            {file.item, source ? verdict.reason : say(IDS_VIDEO_NOT_RECOGNISED)});
}

namespace {
bool asciiOnly(const std::string& name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return c > 0 && c < 0x7F; });
}

// Why the PSP may not start the copied game or disc image; empty when it will.
std::string startProblem(ByteSource* file, StartCheck check, const std::string& name) {
    if (check == StartCheck::Game)
        return file && ebootReadable(*file) ? "" : say(IDS_EBOOT_NOT_VALID);
    if (check == StartCheck::Compressed && !(file && compressedImageFits(*file)))
        return say(IDS_COMPRESSED_NOT_VALID);
    if (check == StartCheck::Disc) {
        DiscVolume volume = file ? readIsoVolume(*file) : DiscVolume{};
        if (volume.content != DiscContent::Game && volume.content != DiscContent::Video)
            return say(IDS_NOT_PSP_DISC);
        if (volume.bytes > file->size())
            return say(IDS_INCOMPLETE_FILE,
                       {megabytes(file->size(), false), megabytes(volume.bytes, true)});
    }
    return asciiOnly(name) ? "" : say(IDS_NON_ASCII_NAME);
}
}  // namespace

// A copied game or disc image is still copied when the PSP may not start it.
void TransferRun::checkStart(const FileCopy& file) {
    std::unique_ptr<ByteSource> source = fs_.openForReading(file.source);
    std::string problem = startProblem(source.get(), file.start, nameOf(file.source));
    if (!problem.empty()) report_.unstartable.push_back({file.item, problem});
}

bool TransferRun::stickPresent() const {
    return !drive_.empty() && driveAssigned(drive_) && fs_.entryExists(pspFolder(drive_));
}

std::vector<std::optional<FileStamp>> TransferRun::stamps(const std::vector<FileCopy>& files) {
    std::vector<std::optional<FileStamp>> found;
    for (const FileCopy& f : files) found.push_back(fs_.stamp(f.destination));
    return found;
}

// Nothing of an entry is written unless all of it fits on the stick.
bool TransferRun::copyEntry(const CopyPlan& plan, const QueueEntry& entry) {
    std::vector<UnfinishedItem> unfinished = plan.leftOut;
    std::vector<FileCopy> copies, lists, whole;
    for (const FileCopy& f : plan.files) (f.mergesLines ? lists : copies).push_back(f);
    if (!compressWhereNeeded(copies)) {
        unfinished.push_back({entry.file, EntryProblem::NoSpace});
    } else {
        std::vector<std::optional<FileStamp>> before = stamps(copies);
        std::set<std::string> missing = missingFolders(copies, fs_), undone;
        journal_.beforeCopy(copies, before, missing, unfinished);
        if (!copies.empty()) {
            std::vector<CopyResult> results = copyAll(copies);
            if (!stickPresent()) return false;
            whole = landed(copies, before, missing, results, unfinished, undone);
            journal_.landed(whole);
        }
        for (const FileCopy& list : lists) {
            if (undone.count(list.whole))
                continue;  // a release taken back leaves the stick's lists
            if (!journal_.beforeRewrite(list.destination))
                unfinished.push_back({list.item, EntryProblem::NoBackupRoom});
            else if (!mergeList(list))
                unfinished.push_back({list.item, EntryProblem::CopyFailed});
            else
                journal_.landed({list});
        }
    }
    note(unfinished);
    for (const FileCopy& f : whole) {
        if (f.video) checkVideo(f);
        if (f.compressed) {
            std::optional<std::uint64_t> image = fs_.fileSize(f.source);
            report_.compressed.push_back({f.item, f.size, image.value_or(0)});
            FileCopy written = f;  // read as any CSO copied onto the stick
            written.source = f.destination;
            written.start = StartCheck::Compressed;
            checkStart(written);
        } else if (f.start != StartCheck::None) {
            checkStart(f);
        }
    }
    return true;
}

// True when the copies fit on the stick: PSP disc images go as CSOs when
// asked, or when the copies would not fit with them as they are.
bool TransferRun::compressWhereNeeded(std::vector<FileCopy>& copies) {
    std::optional<DriveSpace> space = fs_.space(drive_);
    auto fits = [&] {
        return !space || spaceNeeded(copies, stamps(copies), missingFolders(copies, fs_),
                                     space->cluster) <= space->available;
    };
    if (!compressAlways_ && fits()) return true;
    for (FileCopy& f : copies) {
        if (f.cso.empty()) continue;
        f.destination = f.cso;
        f.compressed = true;
    }
    return fits();
}

// One shell operation for the files it copies, then each image compressed in
// turn; what happened to each file, in order. Cancel stops what is left of the entry.
std::vector<CopyResult> TransferRun::copyAll(std::vector<FileCopy>& copies) {
    std::vector<CopyResult> results(copies.size(), CopyResult::Copied);
    std::vector<FileCopy> shelled, images;
    for (const FileCopy& f : copies) (f.compressed ? images : shelled).push_back(f);
    CopyResult shell = shelled.empty() ? CopyResult::Copied : shell_.copy(shelled);
    bool cancelled = shell == CopyResult::Cancelled;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (!copies[i].compressed) {
            results[i] = shell;
            continue;
        }
        images.erase(images.begin());
        results[i] = cancelled || !stickPresent()
                         ? CopyResult::Cancelled
                         : compress(copies[i], roomBeside(copies[i], images));
        cancelled = cancelled || results[i] == CopyResult::Cancelled;
    }
    return results;
}

// The bytes an image may take: the stick's free room but for the folder
// entries of it and the images still to come.
std::uint64_t TransferRun::roomBeside(const FileCopy& image, std::vector<FileCopy> later) {
    std::optional<DriveSpace> space = fs_.space(drive_);
    if (!space) return std::numeric_limits<std::uint64_t>::max();
    later.push_back(image);
    std::uint64_t entries =
        spaceNeeded(later, stamps(later), missingFolders(later, fs_), space->cluster);
    std::uint64_t cluster = std::max<std::uint64_t>(space->cluster, 1);
    if (space->available <= entries) return 0;
    return (space->available - entries) / cluster * cluster;
}

// Writes the image as a CSO at its destination, within room; its size once written.
CopyResult TransferRun::compress(FileCopy& image, std::uint64_t room) {
    std::unique_ptr<ByteSource> source = fs_.openForReading(image.source);
    std::unique_ptr<ByteSink> sink = source ? fs_.createFile(image.destination) : nullptr;
    if (!sink) return CopyResult::Failed;
    CsoOptions options;
    options.room = room;
    options.workers = std::max(2u, std::thread::hardware_concurrency());
    if (progress_) {
        progress_->begin(nameOf(image.source), source->size());
        options.progress = [this](std::uint64_t done) { return progress_->update(done); };
    }
    CsoResult written = writeCso(*source, *sink, options);
    if (progress_) progress_->end();
    image.size = written.bytes;
    switch (written.outcome) {
    case CsoOutcome::Written: return CopyResult::Copied;
    case CsoOutcome::Cancelled: return CopyResult::Cancelled;
    case CsoOutcome::NoRoom: return CopyResult::NoRoom;
    default: return CopyResult::Failed;
    }
}

// The stick's plugin list keeps its lines and gains the dropped list's new ones.
bool TransferRun::mergeList(const FileCopy& list) {
    auto readAll = [this](const std::string& path) -> std::optional<std::string> {
        std::unique_ptr<ByteSource> file = fs_.openForReading(path);
        std::string bytes;
        if (!file) return std::nullopt;
        BoundedReader reader(*file, kHeaderReadLimit);
        return reader.read(0, reader.size(), bytes) ? std::optional(bytes) : std::nullopt;
    };
    std::optional<std::string> onStick = readAll(list.destination), dropped = readAll(list.source);
    return onStick && dropped &&
           fs_.rewrite(list.destination, mergedPluginList(*onStick, *dropped));
}

// A file has landed when the stick holds all of its bytes. One whose place
// still has the size and time noted before was not replaced. One that did not
// land is named. A game, save or laid-out folder lands whole or not at all:
// when one of its files did not, it is named once. What such a file or item
// made is removed, with the folders it made once empty, and what it replaced
// gets its old bytes back from the backup.
std::vector<FileCopy> TransferRun::landed(const std::vector<FileCopy>& files,
                                          const std::vector<std::optional<FileStamp>>& before,
                                          const std::set<std::string>& missing,
                                          const std::vector<CopyResult>& results,
                                          std::vector<UnfinishedItem>& unfinished,
                                          std::set<std::string>& undone) {
    auto problemOf = [](CopyResult result) {
        return result == CopyResult::Cancelled ? EntryProblem::CopyCancelled
               : result == CopyResult::NoRoom  ? EntryProblem::NoSpace
                                               : EntryProblem::CopyFailed;
    };
    std::vector<std::optional<EntryProblem>> missed(files.size());
    std::map<std::string, EntryProblem> failedWhole;  // by its first file that did not land
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileCopy& f = files[i];
        std::optional<FileStamp> now = fs_.stamp(f.destination);
        bool written = !f.compressed || results[i] == CopyResult::Copied;  // a CSO is whole or not
        if (written && before[i] && now && unchanged(*before[i], *now))
            missed[i] = EntryProblem::NotReplaced;
        else if (!written || !now || now->size != f.size || !fs_.flush(f.destination))
            missed[i] = problemOf(results[i]);
        if (missed[i] && missed[i] != EntryProblem::NotReplaced && !f.whole.empty() &&
            failedWhole.emplace(f.whole, *missed[i]).second)
            undone.insert(f.whole);
    }
    std::vector<FileCopy> whole;
    std::set<std::string> named, emptied;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileCopy& f = files[i];
        bool back = undone.count(f.whole) > 0;
        bool failed = missed[i] && missed[i] != EntryProblem::NotReplaced;
        if ((back || failed) && before[i])
            journal_.putBack(f.destination);
        else if (back || failed)
            fs_.removeFile(f.destination);
        for (std::string up = parentOf(f.destination); back && missing.count(up); up = parentOf(up))
            emptied.insert(up);
        std::string item = back ? f.whole : f.item;
        if (back || missed[i]) {
            if (named.insert(item).second)
                unfinished.push_back({item, back ? failedWhole[f.whole] : *missed[i]});
        } else {
            whole.push_back(f);
        }
    }
    // A folder's own folders come after it in order, and are removed before it.
    for (auto folder = emptied.rbegin(); folder != emptied.rend(); ++folder)
        fs_.removeFolder(*folder);
    return whole;
}

}  // namespace caldrift
