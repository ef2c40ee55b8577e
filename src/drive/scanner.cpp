#include "drive/scanner.h"

namespace caldrift {

void DriveTable::refresh(DriveProbe& probe, std::uint32_t recheck) {
    std::uint32_t existing = probe.existingDrives();
    for (char letter : kCandidateLetters) {
        std::uint32_t bit = letterBit(letter);
        if (!(recheck & bit) && (existing & bit) == (existing_ & bit)) continue;
        types_[letter - 'A'] = (existing & bit) ? probe.driveType(std::string{letter, ':'}) : 0;
    }
    existing_ = existing;
}

bool DriveTable::removable(char letter) const {
    return letter >= 'A' && letter <= 'Z' && types_[letter - 'A'] == kDriveRemovable;
}

std::uint32_t DriveTable::mayBeRemovable(std::uint32_t letters) const {
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        if (types_[letter - 'A'] > kDriveRemovable) letters &= ~letterBit(letter);
    return letters;
}

bool driveAssigned(const std::string& driveCaption) {
    return driveCaption != DriveScanner::kNoDrive;
}

std::string pspFolder(const std::string& drive) { return drive + "\\PSP"; }

DriveScanner::DriveScanner() : watchPath_(pspFolder(caption_)) {
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        std::string drive{kCandidateLetters[i], ':'};
        candidates_[i] = {drive, pspFolder(drive), pspFolder(drive) + "\\SAVEDATA"};
    }
}

// Switching modes forgets an earlier find, so a drive found before a switch
// to a fixed drive and back is looked for again.
void DriveScanner::startAutomatic() {
    pspFound_ = false;
    scanEnabled_ = true;
}

void DriveScanner::setFixed(const std::string& drive) {
    pspFound_ = false;
    scanEnabled_ = false;
    watchEnabled_ = false;
    setCaption(drive);
}

bool DriveScanner::qualifies(DriveProbe& probe, const Candidate& c) const {
    return drives_.removable(c.drive[0]) && probe.lookup(c.psp) == Lookup::Found &&
           probe.lookup(c.saveData) == Lookup::Found;
}

// Looks into the candidates among `letters`; true when the PSP was found.
bool DriveScanner::scan(DriveProbe& probe, std::uint32_t letters) {
    if (!scanEnabled_) return false;
    const Candidate* found = nullptr;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        if ((letters & letterBit(kCandidateLetters[i])) && qualifies(probe, candidates_[i]))
            found = &candidates_[i];  // last one wins
    }
    if (!found) {
        setCaption(kNoDrive);
        return false;
    }
    setCaption(found->drive);
    pspFound_ = true;
    watchEnabled_ = true;
    scanEnabled_ = false;
    mounting_ = 0;
    return true;
}

bool DriveScanner::volumesArrived(DriveProbe& probe, std::uint32_t letters) {
    drives_.refresh(probe, letters);
    if (!scanEnabled_ || scan(probe, letters)) return false;
    mounting_ |= drives_.mayBeRemovable(letters);
    retriesLeft_ = kMountRetries;
    return mounting_ != 0;
}

void DriveScanner::volumesRemoved(DriveProbe& probe, std::uint32_t letters) {
    drives_.refresh(probe, letters);
    mounting_ &= ~letters;
    if (watchEnabled_ && (letters & letterBit(caption_[0]))) watchTick(probe);
}

bool DriveScanner::retryMounting(DriveProbe& probe) {
    if (!mounting_ || retriesLeft_ <= 0) return false;
    --retriesLeft_;
    drives_.refresh(probe, mounting_);
    mounting_ = drives_.mayBeRemovable(mounting_);
    if (!mounting_ || scan(probe, mounting_) || !scanEnabled_ || retriesLeft_ == 0) mounting_ = 0;
    return mounting_ != 0;
}

void DriveScanner::tick(DriveProbe& probe) {
    if (scanEnabled_ && ++ticksSinceDriveList_ >= kTicksPerDriveList) {
        drives_.refresh(probe, 0);
        ticksSinceDriveList_ = 0;
    }
    scanEnabled_ ? scanTick(probe) : watchTick(probe);
}

void DriveScanner::watchTick(DriveProbe& probe) {
    if (!watchEnabled_) return;
    bool removable = !caption_.empty() && drives_.removable(caption_[0]);
    if (removable && probe.lookup(watchPath_) == Lookup::Found) return;
    setCaption(kNoDrive);
    pspFound_ = false;
    watchEnabled_ = false;
    scanEnabled_ = true;
}

void DriveScanner::setCaption(const std::string& text) {
    if (caption_ == text) return;
    caption_ = text;
    watchPath_ = pspFolder(caption_);
}

}  // namespace caldrift
