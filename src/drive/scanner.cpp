#include "drive/scanner.h"

namespace caldrift {

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

// The folder lookups are the cheap questions, so they come first: on most
// ticks no drive holds a PSP and the drive list and types are never asked for.
bool DriveScanner::qualifies(DriveProbe& probe, const Candidate& c,
                             std::optional<std::uint32_t>& existing) const {
    if (probe.lookup(c.psp) != Lookup::Found || probe.lookup(c.saveData) != Lookup::Found)
        return false;
    if (!existing) existing = probe.existingDrives();
    unsigned bit = static_cast<unsigned>(c.drive[0] - 'A');
    return (*existing & (1u << bit)) && probe.driveType(c.drive) == kDriveRemovable;
}

void DriveScanner::scanTick(DriveProbe& probe) {
    selected_ = 0;
    if (pspFound_) {
        setCaption(kNoDrive);
        return;
    }
    const Candidate* found = nullptr;
    std::optional<std::uint32_t> existing;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        selected_ = static_cast<int>(i);
        if (qualifies(probe, candidates_[i], existing)) found = &candidates_[i];  // last one wins
    }
    if (!found) {
        setCaption(kNoDrive);
        return;
    }
    setCaption(found->drive);
    pspFound_ = true;
    watchEnabled_ = true;
    scanEnabled_ = false;
}

void DriveScanner::watchTick(DriveProbe& probe) {
    if (probe.lookup(watchPath_) == Lookup::Found) return;
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
